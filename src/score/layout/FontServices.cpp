#include "score/layout/FontServices.h"

#include <memory>

#include "platform/musicfont/EmmentalerFont.h"
#include "platform/text/FontMeasurer.h"

void InstallFontServices() {
  // Opened first: a missing font leaves everything as it was.
  static std::unique_ptr<musicfont::TEmmentalerFont> font;
  auto opened = std::make_unique<musicfont::TEmmentalerFont>();
  static text::TFontMeasurer measurer;
  musicfont::InstallMusicFont(opened.get());
  font = std::move(opened);
  text::InstallMeasurer(&measurer);
}
