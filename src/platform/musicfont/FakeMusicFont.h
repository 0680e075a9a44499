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

  int Advance(std::uint8_t code, int size) override;
  TMusicMetric Metrics(int size) override;
  TGlyphRun Layout(std::uint8_t code, int size) override;
  TGlyphRun LayoutBrace(int heightPx, int widthPx) override;
};

// Pixel em of a point size at 96 pixels per inch.
int EmPx(int size);

}  // namespace musicfont
