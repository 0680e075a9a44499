#pragma once
// Music-font metrics with no font file: every mapped code has a fixed advance
// that depends only on its code and the pixel em, and draws as a filled bar
// of that width. Layout tests use it so that their numbers never depend on
// the fonts a machine has.

#include "platform/musicfont/MusicFont.h"

namespace musicfont {

class TFakeMusicFont : public TMusicFont {
public:
  // Advance of a mapped code in thousandths of the em: 300 + 50 * (code mod 5).
  static int AdvanceMilli(std::uint8_t code) { return 300 + 50 * (code % 5); }

  int AdvanceEm(std::uint8_t code, int emPx) override;
  TMusicMetric MetricsEm(int emPx) override;
  TGlyphRun LayoutEm(std::uint8_t code, int emPx) override;
  TGlyphRun LayoutBrace(int heightPx, int widthPx) override;
};

}  // namespace musicfont
