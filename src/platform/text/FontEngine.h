#pragma once
// Text fonts on this system: fontconfig (with the project's own font map,
// data/fonts.conf) chooses a font file for a name and style, FreeType reads
// its metrics. Glyphs are laid out one after another with whole-pixel
// advances and no kerning or shaping, as the layout measures text; the
// canvas draws exactly these runs, so measured and drawn widths agree.
// A name nothing matches falls back to a last-resort face; with no usable
// font at all, runs still get fixed advances, so measuring never fails.
// Music-font names never reach fontconfig: they are served by the music-font
// service.

#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text/TextMeasurer.h"

namespace text {

// A text font at a pixel size. WidthPx > 0 asks for that average character
// width (a condensed or widened font); 0 keeps the design's proportions.
struct TFontKey {
  std::string Name;
  unsigned Style = 0;  // TFontStyleBits
  int EmPx = 13;
  int WidthPx = 0;
  bool operator==(const TFontKey&) const = default;
};

// A font file as the canvas must open it to draw a run.
struct TRunFace {
  std::string File;  // empty: no font file found, glyphs are not drawn
  int FaceIndex = 0;
  double EmPx = 0;
  double ScaleX = 1;          // horizontal stretch for a requested width
  bool SyntheticBold = false;  // no bold face: embolden the outline
  bool SyntheticItalic = false;
  bool operator==(const TRunFace&) const = default;
};

struct TRunGlyph {
  int Face = 0;  // index into TTextRun::Faces
  unsigned Glyph = 0;
  int X = 0;  // whole pixels from the run's origin
};

// Lines drawn under and through the text, pixels below the baseline
// (negative: above).
struct TTextDecoration {
  int UnderlinePos = 1, UnderlineThickness = 1;
  int StrikeOutPos = -4, StrikeOutThickness = 1;
};

struct TTextRun {
  std::vector<TRunFace> Faces;
  std::vector<TRunGlyph> Glyphs;
  int Width = 0;
  TTextMetric Metric;  // of the font asked for
  TTextDecoration Decoration;
};

class TFontEngine {
public:
  // The engine shared by the text measurer and every canvas.
  static TFontEngine& Instance();

  // The fontconfig file in use: $SONARID_FONTS_CONF when set, else the
  // project's data/fonts.conf. Only read before the first use of Instance().
  static std::string ConfigFile();

  TTextRun Layout(const TFontKey& font, std::u16string_view text);
  // 8-bit text in a character set (see Charsets.h); in a font with a symbol
  // character map every byte addresses the glyph at U+F000 + byte.
  TTextRun LayoutBytes(const TFontKey& font, std::string_view bytes, int charset);
  TTextMetric Metrics(const TFontKey& font);
  // Pixel em of a font given by its cell height (GDI's positive height).
  int EmForCellHeight(const std::string& name, unsigned style, int cellPx);
  // The file fontconfig chose for a name and style (for tests and reports).
  std::string MatchedFile(const std::string& name, unsigned style);
  // False when the project's fontconfig file could not be loaded and the
  // system's configuration is used instead.
  bool UsesProjectConfig() const;

  ~TFontEngine();

private:
  TFontEngine();
  struct TImpl;
  std::unique_ptr<TImpl> FImpl;
  std::mutex FLock;
};

}  // namespace text
