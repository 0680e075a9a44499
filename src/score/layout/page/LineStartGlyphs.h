#pragma once
// The glyph routines of a system's start, on the measure layout's canvas:
// clef glyphs and widths by clef code, key-signature widths by accidental
// count, and which measures show their number.

#include <cstdint>

#include "score/layout/measure/FormatContext.h"

class TByteBlock;

// The music-font glyph drawn for clef Code (0 for codes drawn otherwise).
uint8_t ClefTableGlyph(uint16_t Code);
// Width in pixels of clef Code in the canvas font.
int32_t ClefGlyphWidth(TKVFormatContext& Ctx, uint16_t Code);
// Width in units of a key of Count accidentals (20: the seven accidental
// words of Accidentals, each glyph measured in font FontIndex).
int32_t KeySignatureWidth(TKVFormatContext& Ctx, uint8_t FontIndex, uint8_t Count, const TByteBlock* Accidentals);
// Whether a measure-number mark of style Mode shows number Number on a
// measure that starts a system (SystemStart) or a page (PageStart).
bool ShowsMeasureNumber(uint8_t Mode, bool SystemStart, bool PageStart, uint16_t Number);
