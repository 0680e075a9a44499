#pragma once
// Importing MusicXML documents held in strings or corpus files, and reading
// back what the walk made.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "base/Streams.h"
#include "platform/musicfont/MusicFont.h"
#include "platform/text/TextMeasurer.h"
#include "score/import/musicxml/MusicXMLImport.h"
#include "score/import/musicxml/MusicXMLWalk.h"
#include "score/import/musicxml/XMLEntryList.h"
#include "score/layout/ScoreLayout.h"
#include "score/model/Item.h"
#include "score/model/Measure.h"
#include "score/model/Note.h"
#include "score/model/Part.h"
#include "score/model/Piece.h"
#include "score/model/Score.h"
#include "score/model/ScoreTypes.h"
#include "score/model/Vorschlag.h"

inline std::filesystem::path MusicXMLCorpusDir() {
  const char* env = std::getenv("SONARID_CORPUS_DIR");
  return std::filesystem::path(env && *env ? env : SONARID_CORPUS_DIR) / "musicxml";
}

// The file's text, "" when the corpus is not there.
inline std::string LoadCorpusFile(const std::filesystem::path& path) {
  std::ifstream in(path.is_absolute() ? path : MusicXMLCorpusDir() / path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// The corpus's .xml files in name order; none when the corpus is not there.
inline std::vector<std::filesystem::path> CorpusXMLFiles() {
  std::vector<std::filesystem::path> files;
  std::filesystem::path dir = MusicXMLCorpusDir();
  if (!std::filesystem::is_directory(dir)) return files;
  for (const auto& entry : std::filesystem::directory_iterator(dir))
    if (entry.path().extension() == ".xml") files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  return files;
}

inline void ImportDocument(TKVScore& score, const std::string& document) {
  TMemoryStream stream(std::vector<uint8_t>(document.begin(), document.end()));
  ImportMusicXML(score, stream);
}

// The items of a kind in a measure's list, in order, as class T.
template <class T>
std::vector<T*> ItemsOfKind(const TKVItemHolder& holder, uint8_t kind) {
  std::vector<T*> items;
  for (TKVItem* item : holder.Items())
    if (item->Kind() == kind) items.push_back(dynamic_cast<T*>(item));
  return items;
}

// The MIDI keys the layout gave the notes of each part (grace notes
// included), in ascending order.
inline std::vector<std::vector<int>> LaidOutKeys(const TKVPiece& piece) {
  std::vector<std::vector<int>> parts;
  for (int32_t p = 0; p < piece.GetPartCount(); ++p) {
    const TKVPart* part = piece.GetPart(p);
    std::vector<int>& keys = parts.emplace_back();
    for (int32_t m = 0; m < part->GetMeasureCount(); ++m) {
      const TKVMeasure& measure = *part->GetMeasure(m);
      for (TKVNote* note : ItemsOfKind<TKVNote>(measure, ItemKind::Note)) keys.push_back(note->MidiKey);
      for (TKVVorschlag* group : ItemsOfKind<TKVVorschlag>(measure, ItemKind::GraceGroup))
        for (TKVNote* note : ItemsOfKind<TKVNote>(*group, ItemKind::Note)) keys.push_back(note->MidiKey);
    }
    std::sort(keys.begin(), keys.end());
  }
  return parts;
}

// Scores laid out by the real layout service (fake fonts).
class MusicXMLLayoutTest : public testing::Test {
protected:
  MusicXMLLayoutTest() {
    text::InstallMeasurer(nullptr);
    musicfont::InstallMusicFont(nullptr);
    RegisterScoreLayout();
  }
  ~MusicXMLLayoutTest() override { SetLayoutServiceFactory({}); }
};

// A document's walk with its entry list, for what the walk leaves the
// finishing pass.
struct TWalkedDocument {
  TKVScore Score;
  TKVXMLEntryList List;
  TKVPiece* Piece = nullptr;
  std::unique_ptr<TKVMusicXMLWalk> Walk;

  explicit TWalkedDocument(const std::string& document) {
    TMemoryStream stream(std::vector<uint8_t>(document.begin(), document.end()));
    List = ReadXMLEntries(stream);
    Piece = Score.NewPiece();
    Walk = std::make_unique<TKVMusicXMLWalk>(Score, *Piece, List);
    Walk->Run();
  }
  TKVMeasure* Measure(int32_t part, int32_t index) const { return Piece->GetPart(part)->GetMeasure(index); }
};

// A partwise document with one part per entry of Parts (ids P1, P2 ...),
// each holding the given measures.
inline std::string Partwise(const std::vector<std::string>& parts, const std::string& header = "") {
  std::string list, body;
  for (size_t i = 0; i < parts.size(); ++i) {
    std::string id = "P" + std::to_string(i + 1);
    list += "<score-part id=\"" + id + "\"><part-name>" + id + "</part-name></score-part>";
    body += "<part id=\"" + id + "\">" + parts[i] + "</part>";
  }
  return "<?xml version=\"1.0\"?><score-partwise>" + header + "<part-list>" + list + "</part-list>" + body +
         "</score-partwise>";
}

// A note of a pitch (step and octave) with a duration and further content.
inline std::string XMLNote(const std::string& step, int duration, const std::string& more = "") {
  return "<note><pitch><step>" + step + "</step><octave>4</octave></pitch><duration>" + std::to_string(duration) +
         "</duration>" + more + "</note>";
}
