#pragma once
// The layout records a score owns beside its pieces' measure records: the
// user symbol-font list and the page records the page composer makes. The
// score keeps the store (TKVScore::LayoutRecords) and frees it with itself.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "score/model/LayoutService.h"

class TKVScore;

// A symbol font of the score: glyphs of the music font that it replaces.
struct TKVSymbolFontEntry {
  std::string FontName;
  uint16_t SizePercent = 100;
  // Per glyph code: replacement code (0 = not mapped; its low byte is the
  // glyph drawn) and two further words.
  std::vector<std::array<uint16_t, 3>> Glyphs;
};

// A page as far as the measure formatter reads it; the page composer owns
// the rest.
struct TKVPageRecord {
  uint16_t PageIndex = 0;
  uint16_t StartPiece = 0;    // piece whose measures the page continues
  uint16_t FirstMeasure = 0;  // first measure record placed on the page
};

class TKVScoreLayoutRecords : public TKVLayoutRecords {
public:
  std::vector<TKVSymbolFontEntry> SymbolFonts;
  std::vector<std::unique_ptr<TKVPageRecord>> Pages;
  int32_t PageCount = 0;  // used count of Pages
};

// The store of Score, made on first use.
TKVScoreLayoutRecords& ScoreLayoutRecords(TKVScore& Score);
