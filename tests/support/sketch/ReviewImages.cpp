#include "support/sketch/ReviewImages.h"

#include <algorithm>
#include <cctype>
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

std::string CorpusTestName(const std::string& Path) {
  std::string name = std::filesystem::path(Path).stem().string();
  for (char& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return name;
}

std::vector<std::string> CorpusFiles() {
  namespace fs = std::filesystem;
  std::vector<std::string> files;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(std::string(SONARID_CORPUS_DIR) + "/musicxml", error))
    if (entry.path().extension() == ".xml") files.push_back(entry.path().string());
  for (fs::recursive_directory_iterator it(SONARID_MIDI_CACHE, error), end; !error && it != end; it.increment(error))
    if (it->path().extension() == ".mid") files.push_back(it->path().string());
  std::sort(files.begin(), files.end());
  return files;
}
