// Throughput of the MIDI import with the layout it runs, on the largest
// Standard MIDI File of the corpus (or the file named): notes written per
// second for the import (which lays the columns out once the parts are in) and for a
// full reformat of the imported score, best of three, and the process's
// peak memory. Real fonts when installed, else the fake measurers.
//
// Usage: midi_import [file.mid]

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "base/Streams.h"
#include "score/import/MidiImport.h"
#include "score/layout/FontServices.h"
#include "score/layout/ScoreLayout.h"
#include "score/model/Item.h"
#include "score/model/Measure.h"
#include "score/model/Part.h"
#include "score/model/Piece.h"

namespace fs = std::filesystem;

namespace {

std::string LargestCorpusFile() {
  std::string best;
  uintmax_t bestSize = 0;
  if (!fs::is_directory(SONARID_MIDI_CACHE)) return best;
  for (const auto& entry : fs::recursive_directory_iterator(SONARID_MIDI_CACHE)) {
    std::string ext = entry.path().extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), ::tolower);
    if (entry.is_regular_file() && (ext == ".mid" || ext == ".midi" || ext == ".kar") && entry.file_size() > bestSize)
      best = entry.path().string(), bestSize = entry.file_size();
  }
  return best;
}

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

size_t NoteCount(const TKVScore& score) {
  size_t notes = 0;
  for (int32_t p = 0; p < score.GetPiece(0)->GetPartCount(); ++p) {
    TKVPart* part = score.GetPiece(0)->GetPart(p);
    for (int32_t m = 0; m < part->GetMeasureCount(); ++m)
      for (TKVItem* item : part->GetMeasure(m)->Items()) notes += item->Kind() == 20;
  }
  return notes;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string path = argc > 1 ? argv[1] : LargestCorpusFile();
  if (path.empty()) {
    std::fprintf(stderr, "midi_import: no file given and no corpus at %s (scripts/fetch-midi-corpus)\n",
                 SONARID_MIDI_CACHE);
    return 1;
  }
  try {
    InstallFontServices();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "midi_import: fake fonts (%s)\n", e.what());
  }
  RegisterScoreLayout();
  TMemoryStream file;
  file.LoadFromFile(path);
  double bestImport = 1e9, bestFormat = 1e9;
  size_t notes = 0, parts = 0, measures = 0;
  for (int run = 0; run < 3; ++run) {
    auto score = std::make_unique<TKVScore>();
    file.SetPosition(0);
    auto start = std::chrono::steady_clock::now();
    ImportMIDI(*score, file);
    bestImport = std::min(bestImport, Seconds(start));
    start = std::chrono::steady_clock::now();
    score->Reformat(0);
    bestFormat = std::min(bestFormat, Seconds(start));
    notes = NoteCount(*score);
    parts = size_t(score->GetPiece(0)->GetPartCount());
    measures = size_t(score->GetPiece(0)->GetColumnCount());
  }
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("file %s: %zu bytes, %zu parts, %zu measures, %zu notes written\n", path.c_str(),
              size_t(file.GetSize()), parts, measures, notes);
  std::printf("import with its layout of the columns: %.3f s, %.0f notes/s\n", bestImport, notes / bestImport);
  std::printf("full reformat: %.3f s, %.0f notes/s\n", bestFormat, notes / bestFormat);
  std::printf("peak memory: %.1f MiB\n", usage.ru_maxrss / 1024.0);
  return 0;
}
