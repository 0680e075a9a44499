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

#include "score/layout/page/PageRecords.h"
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

// Run-time settings and state of the page composer that the score keeps
// but never stores (off or 0 for a new score).
struct TKVComposerSettings {
  bool Fill = false;         // go on with empty measures past the music until the line is full
  bool FillStop = false;     // the fill has ended
  bool GrowFirstPage = false;     // the first page grows to fit its systems
  bool KeepJustification = false; // the stretch of a system is kept in its columns' offsets
  bool JustifyInFill = false;     // stretch systems also in fill mode
  bool LayoutDone = false;   // a composition has finished
  bool Composing = false;    // the visibility table grows with the systems composed
  long double FirstSystemOffset = 0;  // 0.1 mm below the top margin; 0: the page Interval
  uint16_t FirstPageBreaks = 0;       // page breaks before the first page's music
  uint16_t MinMeasureWidth = 0;       // 1/8 px
  uint16_t MinMusicWidth = 0;         // 1/8 px
  // The staves of a page spread down to its bottom: per page a byte whose
  // bit 0 asks for it, or every page; the spread of the view's page kept
  // in the staff distances.
  std::vector<uint8_t> PageJustify;
  bool JustifyAllPages = false;
  bool KeepPageJustification = false;
  // The score's totals after the last run.
  uint16_t RunningMeasures = 0, RealMeasures = 0;
};

class TKVScoreLayoutRecords : public TKVLayoutRecords {
public:
  TKVComposerSettings Composer;
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
