#pragma once
// The music font as layout and drawing see it. Glyphs are addressed by the
// single-byte codes the score's music fonts use; the fonts the scores name
// ("Ostinel Symbols", "Ostinel Jazz Symbols") do not exist on this system, so
// every such name is served by one shared service that maps each code onto a
// shape of a free notation font. Advances are whole pixels at the pixel em
// MulDiv(size, 96, 72), so layout widths and drawn positions agree.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/Exceptions.h"

namespace musicfont {

// The music font could not be opened; the message names what was looked for.
class EMusicFontError : public Exception { using Exception::Exception; };

// One glyph of a font file, placed relative to the code's origin (x right,
// y down, pixels; the origin is on the baseline where the caller writes).
struct TPlacedGlyph {
  unsigned Glyph = 0;  // glyph index in FontFile
  double X = 0, Y = 0;
};

// A filled rectangle of a composite (stems of tempo-mark notes), pixels.
struct TFilledRect {
  double X = 0, Y = 0, W = 0, H = 0;
};

// Everything needed to draw one code: glyphs of one font file at EmPx,
// filled rectangles, or a labelled placeholder frame for codes without a
// known shape. Advance is the whole-pixel width the layout measures.
struct TGlyphRun {
  std::string FontFile;  // empty when the run has no glyphs
  int FaceIndex = 0;
  double EmPx = 0;
  std::vector<TPlacedGlyph> Glyphs;
  std::vector<TFilledRect> Rects;
  bool Placeholder = false;
  TFilledRect PlaceholderBox;  // frame to draw, relative to the origin
  std::string Label;           // e.g. "5A": the code in hexadecimal
  int Advance = 0;
};

struct TMusicMetric {
  int Ascent = 0, Descent = 0, Height = 0;  // Height = Ascent + Descent
  bool operator==(const TMusicMetric&) const = default;
};

class TMusicFont {
public:
  virtual ~TMusicFont() = default;
  // By pixel em (a canvas font of any height).
  // Whole-pixel advance of one code (0 for unmapped codes).
  virtual int AdvanceEm(std::uint8_t code, int emPx) = 0;
  virtual TMusicMetric MetricsEm(int emPx) = 0;
  virtual TGlyphRun LayoutEm(std::uint8_t code, int emPx) = 0;
  // The brace drawn over a staff group: ink height and width in pixels.
  virtual TGlyphRun LayoutBrace(int heightPx, int widthPx) = 0;

  // By point size at 96 pixels per inch, as the layout measures.
  int Advance(std::uint8_t code, int size) { return AdvanceEm(code, EmPx(size)); }
  TMusicMetric Metrics(int size) { return MetricsEm(EmPx(size)); }
  TGlyphRun Layout(std::uint8_t code, int size) { return LayoutEm(code, EmPx(size)); }
  // Sum of the codes' advances, GDI text-extent style (no kerning).
  int TextWidth(std::string_view codes, int size);

  // Pixel em of a point size at 96 pixels per inch.
  static int EmPx(int size);
};

// True when a code has an entry in the map (a shape or a placeholder).
bool IsMapped(std::uint8_t code);
// True when a mapped code draws a real shape rather than a placeholder.
bool HasShape(std::uint8_t code);
// Every mapped code in ascending order.
std::vector<std::uint8_t> MappedCodes();

// Names of music fonts (case-insensitive): the two the scores use by
// default, plus any registered later (e.g. a score's own symbol-font list).
bool IsMusicFontName(const std::string& name);
void RegisterMusicFontName(const std::string& name);

// The service in use; a fake with fixed widths until the program installs
// the real one. The caller keeps ownership of what it installs.
TMusicFont& CurrentMusicFont();
void InstallMusicFont(TMusicFont* font);  // nullptr restores the fake

}  // namespace musicfont
