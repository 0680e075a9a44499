// Throughput of the MusicXML import (walk, finishing pass and the layout it
// runs) on the largest MusicXML file of the corpus (or the file named):
// bytes and notes per second for the import and for a full reformat of the
// imported score, best of five. Real fonts when installed, else the fake
// measurers.
//
// Usage: musicxml_import [file.xml]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "base/Streams.h"
#include "score/import/MusicXMLImport.h"
#include "score/layout/FontServices.h"
#include "score/layout/ScoreLayout.h"
#include "score/model/Item.h"
#include "score/model/Measure.h"
#include "score/model/Part.h"
#include "score/model/Piece.h"
#include "score/model/Score.h"

namespace fs = std::filesystem;

namespace {

std::string LargestCorpusFile() {
  const fs::path dir = fs::path(SONARID_CORPUS_DIR) / "musicxml";
  std::string best;
  uintmax_t bestSize = 0;
  if (!fs::is_directory(dir)) return best;
  for (const auto& entry : fs::directory_iterator(dir))
    if (entry.path().extension() == ".xml" && entry.file_size() > bestSize)
      best = entry.path().string(), bestSize = entry.file_size();
  return best;
}

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

size_t NoteCount(const TKVPiece& piece) {
  size_t notes = 0;
  for (int32_t p = 0; p < piece.GetPartCount(); ++p)
    for (int32_t m = 0; m < piece.GetPart(p)->GetMeasureCount(); ++m)
      for (TKVItem* item : piece.GetPart(p)->GetMeasure(m)->Items()) notes += item->Kind() == 20;
  return notes;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string path = argc > 1 ? argv[1] : LargestCorpusFile();
  if (path.empty()) {
    std::fprintf(stderr, "musicxml_import: no file given and no corpus at %s\n", SONARID_CORPUS_DIR);
    return 1;
  }
  try {
    InstallFontServices();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "musicxml_import: fake fonts (%s)\n", e.what());
  }
  RegisterScoreLayout();
  TMemoryStream file;
  file.LoadFromFile(path);
  double bestImport = 1e9, bestFormat = 1e9;
  size_t notes = 0, measures = 0;
  for (int run = 0; run < 5; ++run) {
    auto score = std::make_unique<TKVScore>();
    file.SetPosition(0);
    auto start = std::chrono::steady_clock::now();
    ImportMusicXML(*score, file);
    bestImport = std::min(bestImport, Seconds(start));
    start = std::chrono::steady_clock::now();
    score->Reformat(0);
    bestFormat = std::min(bestFormat, Seconds(start));
    notes = NoteCount(*score->GetPiece(0));
    measures = size_t(score->GetPiece(0)->GetColumnCount());
  }
  const double bytes = double(file.GetSize());
  std::printf("file %s: %.0f bytes, %zu measures, %zu notes\n", path.c_str(), bytes, measures, notes);
  std::printf("import with its layout: %.4f s, %.0f KiB/s, %.0f notes/s\n", bestImport, bytes / 1024 / bestImport,
              notes / bestImport);
  std::printf("full reformat: %.4f s, %.0f notes/s\n", bestFormat, notes / bestFormat);
  return 0;
}
