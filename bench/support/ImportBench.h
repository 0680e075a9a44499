#pragma once
// What the import benchmarks share: finding the largest corpus file, timing
// imports of one file into fresh scores with the real layout (real fonts when
// installed, else the fake measurers) and whole loads as the program opens a
// file, best of several runs; the cost per note of generated documents.

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "base/Streams.h"
#include "score/layout/FontServices.h"
#include "score/layout/ScoreLayout.h"
#include "score/model/Item.h"
#include "score/model/Measure.h"
#include "score/model/Part.h"
#include "score/model/Piece.h"
#include "score/model/Score.h"

namespace importbench {

// The largest file below Dir (searched recursively) whose extension, in any
// letter case, is one of Extensions; empty when there is none.
inline std::string LargestFile(const std::filesystem::path& dir, std::initializer_list<const char*> extensions) {
  namespace fs = std::filesystem;
  std::string best;
  uintmax_t bestSize = 0;
  std::error_code error;
  for (fs::recursive_directory_iterator it(dir, error), end; !error && it != end; it.increment(error)) {
    std::string ext = it->path().extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    const bool wanted = std::any_of(extensions.begin(), extensions.end(), [&](const char* e) { return ext == e; });
    if (wanted && it->is_regular_file() && it->file_size() > bestSize)
      best = it->path().string(), bestSize = it->file_size();
  }
  return best;
}

struct TFigures {
  double Import = 1e9, Format = 1e9;  // best seconds
  size_t Notes = 0, Parts = 0, Measures = 0;
};

inline double SecondsSince(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// The real fonts when installed (else the fake measurers) and the layout
// service, once.
inline void PrepareLayout(const char* name) {
  static bool done = false;
  if (done) return;
  done = true;
  try {
    InstallFontServices();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s: fake fonts (%s)\n", name, e.what());
  }
  RegisterScoreLayout();
}

// The best of Runs loads of the file at Path into fresh scores, as the
// program opens a file: the registered importer, the layout with pages and
// the play order. The scores are freed outside the timing.
inline double BestLoad(const std::string& path, int runs) {
  double best = 1e9;
  for (int run = 0; run < runs; ++run) {
    auto score = std::make_unique<TKVScore>();
    const auto start = std::chrono::steady_clock::now();
    score->LoadFromFile(path);
    best = std::min(best, SecondsSince(start));
  }
  return best;
}

// Loads generated documents of each note count (Generate(notes) gives the
// file's bytes), written to a scratch file with the given extension, and
// prints the whole load's cost per note and how the largest's compares with
// the smallest's: a load in linear time keeps the two close.
template <class Generate>
void ReportPerNote(const char* name, const char* extension, Generate generate) {
  namespace fs = std::filesystem;
  const fs::path path = fs::temp_directory_path() / (std::string(name) + "-generated" + extension);
  std::vector<double> perNote;
  const std::vector<size_t> counts{10000, 100000, 400000};
  for (size_t notes : counts) {
    const std::string bytes = generate(notes);
    if (std::FILE* out = std::fopen(path.c_str(), "wb")) {
      std::fwrite(bytes.data(), 1, bytes.size(), out);
      std::fclose(out);
    }
    const double seconds = BestLoad(path.string(), notes > 100000 ? 2 : 3);
    perNote.push_back(seconds * 1e6 / double(notes));
    std::printf("generated %zu notes: whole load %.3f s, %.2f us per note\n", notes, seconds, perNote.back());
  }
  std::error_code ignored;
  fs::remove(path, ignored);
  std::printf("generated: per-note cost at %zu notes / at %zu notes: %.2f\n", counts.back(), counts.front(),
              perNote.back() / perNote.front());
}

// Imports File Runs times into fresh scores with Import(score, stream) and
// times each import (with the layout it runs) and a full reformat after it.
template <class ImportFunction>
TFigures Measure(const char* name, TMemoryStream& file, int runs, ImportFunction Import) {
  PrepareLayout(name);
  auto seconds = SecondsSince;
  TFigures figures;
  for (int run = 0; run < runs; ++run) {
    auto score = std::make_unique<TKVScore>();
    file.SetPosition(0);
    auto start = std::chrono::steady_clock::now();
    Import(*score, file);
    figures.Import = std::min(figures.Import, seconds(start));
    start = std::chrono::steady_clock::now();
    score->Reformat(0);
    figures.Format = std::min(figures.Format, seconds(start));
    const TKVPiece& piece = *score->GetPiece(0);
    figures.Notes = 0;
    for (int32_t p = 0; p < piece.GetPartCount(); ++p)
      for (int32_t m = 0; m < piece.GetPart(p)->GetMeasureCount(); ++m)
        for (TKVItem* item : piece.GetPart(p)->GetMeasure(m)->Items()) figures.Notes += item->Kind() == 20;
    figures.Parts = size_t(piece.GetPartCount());
    figures.Measures = size_t(piece.GetColumnCount());
  }
  return figures;
}

}  // namespace importbench
