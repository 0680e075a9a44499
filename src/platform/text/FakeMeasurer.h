#pragma once
// Deterministic metrics with no font files: every byte or character has a
// fixed advance that depends only on its code and the pixel em. Tests use it
// to compute expected layout numbers by hand.

#include <vector>

#include "platform/text/TextMeasurer.h"

namespace text {

class TFakeMeasurer : public TTextMeasurer {
public:
  // Advance of one code in thousandths of the em: 500 + 50 * (code mod 7).
  static int AdvanceMilli(unsigned code) { return 500 + 50 * int(code % 7); }

  int TextWidth(const TFontSpec& font, const std::string& bytes) override;
  int TextWidthW(const TFontSpec& font, const std::u16string& text) override;
  int TextHeight(const TFontSpec& font) override;
  TTextMetric GetTextMetrics(const TFontSpec& font) override;

  // Every query, in order, so tests can check which font and size were used;
  // none when KeepQueries is off (the fallback measurer serves a whole
  // process, whose journal would grow with every text measured).
  bool KeepQueries = true;
  struct Query {
    TFontSpec Font;
    std::u16string Text;
  };
  std::vector<Query> Queries;
};

}  // namespace text
