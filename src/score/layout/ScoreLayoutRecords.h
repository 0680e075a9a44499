#pragma once
// The layout records a score owns beside its pieces' measure records: the
// user symbol-font list, the page records the page composer makes and the
// score's running time of the play order. The score keeps the store
// (TKVScore::LayoutRecords) and frees it with itself.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "score/layout/PageRecords.h"
#include "score/model/LayoutService.h"

class TKVScore;

// A symbol font of the score: glyphs of the music font that it replaces.
struct TKVSymbolFontEntry {
  std::string FontName;
  uint16_t SizePercent = 100;
  int16_t Step = 0;  // layout units: the vertical step of the replaced glyphs
  // Per glyph code: replacement code (0 = not mapped; its low byte is the
  // glyph drawn) and two further words.
  std::vector<std::array<uint16_t, 3>> Glyphs;
};

class TKVScoreLayoutRecords : public TKVLayoutRecords {
public:
  std::vector<TKVSymbolFontEntry> SymbolFonts;
  std::vector<std::unique_ptr<TKVPageRecord>> Pages;
  int32_t PageCount = 0;  // used count of Pages
  // ms: the end of the last play of the pieces that are not separate, the
  // total time of the score.
  double RunningTime = 0;
  // Non-zero: in vsPart the layout also takes the bar marks, meter marks and
  // measure repeats of the active part's own measures. Nothing sets it yet.
  uint8_t PartMarkFlag = 0;
};

// The store of Score, made on first use.
TKVScoreLayoutRecords& ScoreLayoutRecords(TKVScore& Score);
