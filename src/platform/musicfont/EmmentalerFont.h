#pragma once
// The real music-font service: Emmentaler (LilyPond's notation font, Debian
// package lilypond-fonts), opened by file path; it is not in fontconfig's
// search path. One design size serves every point size, so that the widths
// the layout measures at 144 and 112 points are exactly eight times those
// drawn at 18 and 14 up to rounding.

#include <memory>
#include <string>

#include "platform/musicfont/MusicFont.h"

namespace musicfont {

class TEmmentalerFont : public TMusicFont {
public:
  static constexpr const char* kFolderVariable = "SONARID_MUSIC_FONT_DIR";
  static constexpr const char* kFontFileName = "emmentaler-18.otf";
  static constexpr const char* kBraceFileName = "emmentaler-brace.otf";

  // The folder that holds the font: $SONARID_MUSIC_FONT_DIR when set, else
  // the newest /usr/share/lilypond/<version>/fonts/otf. Raises
  // EMusicFontError when the font file is not there.
  static std::string FindFontFolder();

  // Opens <folder>/emmentaler-18.otf (and the brace font beside it, when
  // present). Raises EMusicFontError when the file is missing, unreadable or
  // lacks a glyph the map needs.
  explicit TEmmentalerFont(const std::string& folder = FindFontFolder());
  ~TEmmentalerFont() override;

  int AdvanceEm(std::uint8_t code, int emPx) override;
  TMusicMetric MetricsEm(int emPx) override;
  TGlyphRun LayoutEm(std::uint8_t code, int emPx) override;
  TGlyphRun LayoutBrace(int heightPx, int widthPx) override;

  const std::string& FontFile() const;
  bool HasBraceFont() const;

private:
  struct TImpl;
  std::unique_ptr<TImpl> FImpl;
};

}  // namespace musicfont
