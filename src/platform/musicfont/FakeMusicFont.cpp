#include "platform/musicfont/FakeMusicFont.h"

#include "base/Strings.h"

namespace musicfont {

int EmPx(int size) { return MulDiv(size, 96, 72); }

int TFakeMusicFont::Advance(std::uint8_t code, int size) {
  return IsMapped(code) ? MulDiv(EmPx(size), AdvanceMilli(code), 1000) : 0;
}

TMusicMetric TFakeMusicFont::Metrics(int size) {
  int em = EmPx(size);
  TMusicMetric m;
  m.Ascent = MulDiv(em, 800, 1000);
  m.Descent = em - m.Ascent;
  m.Height = em;
  return m;
}

TGlyphRun TFakeMusicFont::Layout(std::uint8_t code, int size) {
  TGlyphRun run;
  run.EmPx = EmPx(size);
  run.Advance = Advance(code, size);
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
