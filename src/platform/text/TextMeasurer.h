#pragma once
// Text measurement as the layout sees it: a font by name, point size at
// 96 pixels per inch and style bits; widths are whole-pixel advances summed
// without kerning, the height is the font's cell height (ascent + descent).
// 8-bit strings are measured byte by byte (music and symbol fonts address
// glyphs by byte code); wide strings are UTF-16.
// The program installs the real measurer at start; tests install a fake so
// that layout results never depend on the fonts a machine has.

#include <string>

namespace text {

enum TFontStyleBits : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

struct TFontSpec {
  std::string Name;
  int Size = 10;       // points; the pixel em is MulDiv(Size, 96, 72)
  unsigned Style = 0;  // TFontStyleBits
  bool operator==(const TFontSpec&) const = default;
};

struct TTextMetric {
  int Height = 0;  // Ascent + Descent
  int Ascent = 0;
  int Descent = 0;
  int InternalLeading = 0;
  int ExternalLeading = 0;
  int AveCharWidth = 0;
  int MaxCharWidth = 0;
  bool operator==(const TTextMetric&) const = default;
};

class TTextMeasurer {
public:
  virtual ~TTextMeasurer() = default;
  virtual int TextWidth(const TFontSpec& font, const std::string& bytes) = 0;
  virtual int TextWidthW(const TFontSpec& font, const std::u16string& text) = 0;
  virtual int TextHeight(const TFontSpec& font) = 0;
  virtual TTextMetric GetTextMetrics(const TFontSpec& font) = 0;
};

// The measurer in use; a deterministic fake until the program installs
// another. The caller keeps ownership of what it installs.
TTextMeasurer& CurrentMeasurer();
void InstallMeasurer(TTextMeasurer* measurer);  // nullptr restores the fake

// Pixel em of a point size at 96 dpi.
int PixelEm(int size);

}  // namespace text
