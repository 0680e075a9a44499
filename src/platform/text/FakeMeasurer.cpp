#include "platform/text/FakeMeasurer.h"

#include "base/Strings.h"

namespace text {

int PixelEm(int size) { return MulDiv(size, 96, 72); }

int TFakeMeasurer::TextWidth(const TFontSpec& font, const std::string& bytes) {
  if (KeepQueries) Queries.push_back({font, std::u16string(bytes.begin(), bytes.end())});
  int em = PixelEm(font.Size), w = 0;
  for (unsigned char c : bytes) w += MulDiv(em, AdvanceMilli(c), 1000);
  return w;
}

int TFakeMeasurer::TextWidthW(const TFontSpec& font, const std::u16string& text) {
  if (KeepQueries) Queries.push_back({font, text});
  int em = PixelEm(font.Size), w = 0;
  for (char16_t c : text) w += MulDiv(em, AdvanceMilli(c), 1000);
  return w;
}

int TFakeMeasurer::TextHeight(const TFontSpec& font) { return GetTextMetrics(font).Height; }

TTextMetric TFakeMeasurer::GetTextMetrics(const TFontSpec& font) {
  int em = PixelEm(font.Size);
  TTextMetric m;
  m.Ascent = MulDiv(em, 90, 100);
  m.Descent = MulDiv(em, 25, 100);
  m.Height = m.Ascent + m.Descent;
  m.InternalLeading = m.Height - em;
  m.AveCharWidth = MulDiv(em, 650, 1000);
  m.MaxCharWidth = MulDiv(em, 800, 1000);
  return m;
}

}  // namespace text
