#pragma once
// The real text measurer: text fonts through the font engine (fontconfig +
// FreeType, the same runs the canvas draws), music-font names through the
// music-font service. The program installs one at start:
//   static text::TFontMeasurer measurer; text::InstallMeasurer(&measurer);

#include "platform/text/TextMeasurer.h"

namespace text {

class TFontMeasurer : public TTextMeasurer {
public:
  int TextWidth(const TFontSpec& font, const std::string& bytes) override;
  int TextWidthW(const TFontSpec& font, const std::u16string& text) override;
  int TextHeight(const TFontSpec& font) override;
  TTextMetric GetTextMetrics(const TFontSpec& font) override;
};

// 8-bit codes of a wide string in a music font: characters above 0xFF have
// no glyph there and become code 0 (which has no advance).
std::string MusicCodes(std::u16string_view text);

// Text metrics of the music font at a pixel em, from the music-font service.
TTextMetric MusicFontMetric(int emPx);

}  // namespace text
