#include "platform/musicfont/FakeMusicFont.h"

#include "base/Strings.h"

namespace musicfont {

int TFakeMusicFont::AdvanceEm(std::uint8_t code, int emPx) {
  return IsMapped(code) ? MulDiv(emPx, AdvanceMilli(code), 1000) : 0;
}

TMusicMetric TFakeMusicFont::MetricsEm(int emPx) {
  int em = emPx;
  TMusicMetric m;
  m.Ascent = MulDiv(em, 800, 1000);
  m.Descent = em - m.Ascent;
  m.Height = em;
  return m;
}

TGlyphRun TFakeMusicFont::LayoutEm(std::uint8_t code, int emPx) {
  TGlyphRun run;
  run.EmPx = emPx;
  run.Advance = AdvanceEm(code, emPx);
  if (run.Advance > 0) run.Rects.push_back({0, -run.EmPx / 4, double(run.Advance), run.EmPx / 4});
  return run;
}

TGlyphRun TFakeMusicFont::LayoutBrace(int heightPx, int widthPx) {
  TGlyphRun run;
  run.Advance = widthPx > 0 ? widthPx : 1;
  run.Rects.push_back({0, -heightPx / 2.0, double(run.Advance), double(heightPx)});
  return run;
}

}  // namespace musicfont
