#include "platform/text/FontMeasurer.h"

#include "platform/musicfont/MusicFont.h"
#include "platform/text/Charsets.h"
#include "platform/text/FontEngine.h"

namespace text {

namespace {

TFontKey KeyOf(const TFontSpec& font) { return TFontKey{font.Name, font.Style, PixelEm(font.Size), 0}; }

}  // namespace

std::string MusicCodes(std::u16string_view text) {
  std::string codes;
  codes.reserve(text.size());
  for (char16_t c : text) codes.push_back(c <= 0xFF ? char(c) : '\0');
  return codes;
}

int TFontMeasurer::TextWidth(const TFontSpec& font, const std::string& bytes) {
  if (musicfont::IsMusicFontName(font.Name)) return musicfont::CurrentMusicFont().TextWidth(bytes, font.Size);
  return TFontEngine::Instance().LayoutBytes(KeyOf(font), bytes, csDefault).Width;
}

int TFontMeasurer::TextWidthW(const TFontSpec& font, const std::u16string& text) {
  if (musicfont::IsMusicFontName(font.Name))
    return musicfont::CurrentMusicFont().TextWidth(MusicCodes(text), font.Size);
  return TFontEngine::Instance().Layout(KeyOf(font), text).Width;
}

int TFontMeasurer::TextHeight(const TFontSpec& font) { return GetTextMetrics(font).Height; }

TTextMetric MusicFontMetric(int emPx) {
  musicfont::TMusicFont& mf = musicfont::CurrentMusicFont();
  musicfont::TMusicMetric mm = mf.MetricsEm(emPx);
  TTextMetric m;
  m.Ascent = mm.Ascent;
  m.Descent = mm.Descent;
  m.Height = mm.Height;
  m.InternalLeading = std::max(0, mm.Height - emPx);
  m.AveCharWidth = mf.AdvanceEm(0x35, emPx);  // the black note head
  m.MaxCharWidth = emPx;
  return m;
}

TTextMetric TFontMeasurer::GetTextMetrics(const TFontSpec& font) {
  if (musicfont::IsMusicFontName(font.Name)) return MusicFontMetric(PixelEm(font.Size));
  return TFontEngine::Instance().Metrics(KeyOf(font));
}

}  // namespace text
