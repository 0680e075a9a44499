#pragma once
// The column-wide marks of a measure, laid out before any staff: meter
// changes, tempo marks with the measure's timing, tempo equations, measure
// numbers, rehearsal marks, repeats, segno and coda signs, "D.C."/"D.S.",
// room for repeat and volta bars, voltas, and the MIDI events and sounds of
// the column.

#include <cstdint>

#include "score/layout/measure/FormatContext.h"

class TKVMark;

// Sets Ctx.Result when the piece has the column and lays out its marks.
void LayoutTempoMarks(TKVFormatContext& Ctx);

// Quarter notes per minute of a tempo mark: Value beats of note value Beat
// (0 whole, 1 half, 2 quarter, ...), with Dots (0-3) on the beat. 0 when the
// mark gives no usable tempo (a beat below 1/512, a tempo of 0 or above
// 32767).
int32_t TempoOfMark(uint16_t Value, uint8_t Beat, uint8_t Dots);
// The same for a tempo mark (kind 6): its value, beat unit and dot bits.
int32_t TempoOfMark(const TKVMark& Mark);
