#include "support/sketch/ReviewImages.h"

#include <filesystem>

#include "platform/musicfont/MusicFont.h"
#include "platform/text/TextMeasurer.h"
#include "score/import/midi/MidiImport.h"
#include "score/import/musicxml/MusicXMLImport.h"
#include "score/layout/FontServices.h"
#include "score/layout/ScoreLayout.h"
#include "score/model/Score.h"

TRealLayout::TRealLayout() {
  try {
    InstallFontServices();
    FRealFonts = true;
  } catch (const std::exception&) {
  }
  RegisterScoreLayout();
  RegisterMusicXMLImporter();
  RegisterMidiImporter();
}

TRealLayout::~TRealLayout() {
  text::InstallMeasurer(nullptr);
  musicfont::InstallMusicFont(nullptr);
  SetLayoutServiceFactory({});
}

std::unique_ptr<TKVScore> LoadLaidOut(const std::string& Path) {
  auto score = std::make_unique<TKVScore>();
  score->LoadFromFile(Path);
  return score;
}

std::string ReviewImagePath(const std::string& Folder, const std::string& Name) {
  const std::filesystem::path folder = std::filesystem::path(SONARID_BINARY_DIR) / Folder;
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  return (folder / (Name + ".png")).string();
}
