#pragma once
// The first steps of a measure formatting: the staves laid out, the measure
// record of the column, and its set-up (meter, length, start tick, numbers,
// tempo at the start and the state carried over from the previous measure).

#include <cstdint>
#include <vector>

#include "score/layout/measure/FormatContext.h"

// Length in ticks of a meter word ((numerator shl 9) div denominator, at
// most 65535); 0 when the word is no meter (a zero numerator or denominator).
uint16_t MeasureLengthOfMeter(uint16_t Meter);

// The parts laid out: every part of the piece (vsComposition) or the active
// part when it belongs to the piece (vsPart).
std::vector<TKVPart*> PartsLaidOut(TKVFormatContext& Ctx);
// Numbers the staves laid out (every part's in vsComposition, the active
// part's in vsPart) into Ctx.Staves and lists their voices in the piece.
void CollectStaves(TKVFormatContext& Ctx);
// Record Ctx.ColumnIndex of the piece, made (with those before it) on first
// need.
TKVMeasureRecord& GetMeasureRecord(TKVFormatContext& Ctx);
// The measure set-up: takes the record and resets or carries every field.
void CalcMeasureLengths(TKVFormatContext& Ctx);
// Length of a measure without a meter: the largest end of its notes, rests,
// beat repeats and tuplets over all parts, at least 1.
void GetColumnEnd(TKVPiece& Piece, TKVMeasureRecord& Record);
