#pragma once
// Widths of the signatures at a measure's start, measured on the formatting
// canvas: clefs (in pixels at the size the caller set, with their vertical
// extent), key signatures with their cancellations and time signatures (in
// layout units).

#include <cstdint>

#include "score/layout/measure/FormatContext.h"

class TByteBlock;
class TKVMark;

// Width of clef Code drawn with Ctx.Glyph in the canvas font; 0 for codes
// without a width. Code 13 sets the canvas to the clef-text font.
int32_t GetClefWidth(TKVFormatContext& Ctx, uint16_t Code);
// Sets Display's top and bottom to the extent of clef Code.
void SetClefExtent(uint16_t Code, TKVDisplayItem& Display);

// Width of key Key (NewKey 0), or of the naturals that cancel Key when
// NewKey follows it. KeyTable and NewTable are the seven alteration words of
// a key of its own (key 20), or nil.
int32_t GetKeySignatureWidth(TKVFormatContext& Ctx, uint8_t FontIndex, uint8_t Key, const TByteBlock* KeyTable,
                             uint8_t NewKey, const TByteBlock* NewTable);

// Width of a time signature: the common-time or cut-time glyph for styles 1
// and 2, else the wider of numerator and denominator, plus the alternative
// meters of Mark in brackets.
int32_t GetMeterWidth(TKVFormatContext& Ctx, uint16_t Meter, uint8_t Style, const TKVMark* Mark);
