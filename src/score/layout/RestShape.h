#pragma once
// The shape a rest stands in on the page, which its layout and its drawing
// share: its written value (a dotted or tuplet rest is drawn as its plain
// value, its dots beside it), except that a rest as long as its measure is
// a whole-measure rest whatever the meter.

#include <cstdint>

class TKVPause;
struct TKVMeasureRecord;

constexpr uint16_t WholeRestValue = 512;

// The music-font code of a rest drawn as a glyph, by its shape: the eighth
// to the 128th their own glyphs (the 128th's serves the 256th and shorter
// too), any other value (the quarter, and the odd lengths of a rest the
// document gave no type) the quarter rest's. Its layout measures and its
// drawing draws this one glyph.
constexpr uint8_t RestGlyphCode(uint16_t Shape) {
  switch (Shape) {
    case 64: return 'N';
    case 32: return 'O';
    case 16: return 'P';
    case 8: return 'Q';
    case 4:
    case 2:
    case 1: return 'R';
    default: return 'M';
  }
}

// The written value, or WholeRestValue for a rest that fills the measure of
// Record; not in a piece's first column when that is a shortened pickup
// (its rest of the pickup's length keeps its own value).
uint16_t RestShapeValue(const TKVPause& Rest, const TKVMeasureRecord& Record);
