#pragma once
// The formatting canvas: a font that persists between measurements (name,
// point size at 96 pixels per inch, style), as the layout steps rely on what
// an earlier step left set. Widths of 8-bit strings address a music or
// symbol font's glyphs by byte code; wide strings are measured as Unicode.
// Measurements go to the text measurer in use (a fake in tests).

#include <cstdint>
#include <string>

#include "platform/text/TextMeasurer.h"

class TKVLayoutCanvas {
public:
  text::TFontSpec Font;

  int TextWidth(const std::string& Bytes) const { return text::CurrentMeasurer().TextWidth(Font, Bytes); }
  int TextWidthW(const std::u16string& Text) const { return text::CurrentMeasurer().TextWidthW(Font, Text); }
  // Width of the one-character string holding Code.
  int CharWidth(uint8_t Code) const { return TextWidth(std::string(1, char(Code))); }
  // The font's cell height, whatever the text.
  int TextHeight() const { return text::CurrentMeasurer().TextHeight(Font); }
};
