// Cost of composing pages: for the largest MIDI and MusicXML corpus files
// and a generated score of 2,000 measures x 4 parts, the best time of a full
// reformat with the page composer and with a composer that does nothing,
// the composer's measures and pages per second, and the peak memory. Real
// fonts when installed, else the fake measurers. One line per figure.
//
// Usage: page_composer [file.mid|file.xml ...]

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "../support/ImportBench.h"
#include "score/import/midi/MidiImport.h"
#include "score/import/musicxml/MusicXMLImport.h"
#include "score/layout/ScoreLayoutRecords.h"
#include "score/model/Column.h"

namespace {

double BestReformat(TKVScore& score, int runs) {
  double best = 1e9;
  for (int run = 0; run < runs; ++run) {
    const auto start = std::chrono::steady_clock::now();
    score.Reformat(0);
    best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  return best;
}

void Report(const std::string& name, TKVScore& score) {
  auto& service = static_cast<TKVScoreLayout&>(score.Layout());
  const auto composer = service.Steps().PaginatePages;
  // The composer's own time, apart from the play order it lets link ties.
  double inside = 1e9;
  service.Steps().PaginatePages = [&](TKVScore& s, int32_t from) {
    const auto start = std::chrono::steady_clock::now();
    composer(s, from);
    inside = std::min(inside, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  };
  const double with = BestReformat(score, 5);
  const int32_t pages = ScoreLayoutRecords(score).PageCount;
  const int32_t measures = score.GetPiece(0)->Layout().MeasureRecordCount;
  service.Steps().PaginatePages = [](TKVScore& s, int32_t) { s.SetFirstDirtyPage(-1); };
  const double without = BestReformat(score, 5);
  service.Steps().PaginatePages = composer;
  const double composing = std::max(inside, 1e-9);
  std::printf("%s: %d parts, %d measures, %d pages\n", name.c_str(), score.GetPiece(0)->GetPartCount(), measures, pages);
  std::printf("%s: full reformat without pages: %.4f s\n", name.c_str(), without);
  std::printf("%s: full reformat with pages: %.4f s\n", name.c_str(), with);
  std::printf("%s: composer alone: %.4f s\n", name.c_str(), inside);
  std::printf("%s: composer: %.0f measures/s\n", name.c_str(), measures / composing);
  std::printf("%s: composer: %.0f pages/s\n", name.c_str(), pages / composing);
}

void ReportFile(const std::string& path, bool xml) {
  if (path.empty()) return;
  TMemoryStream file;
  file.LoadFromFile(path);
  auto score = std::make_unique<TKVScore>();
  if (xml)
    ImportMusicXML(*score, file);
  else
    ImportMIDI(*score, file);
  Report(path, *score);
}

void ReportGenerated() {
  auto score = std::make_unique<TKVScore>();
  score->BeginUpdate();
  TKVPiece* piece = score->NewPiece();
  for (int p = 0; p < 4; ++p) {
    TKVPart* part = score->NewPart(piece);
    while (part->GetMeasureCount() < 2000) part->NewMeasure();
  }
  while (piece->GetColumnCount() < 2000) piece->NewColumn();
  score->EndUpdate();
  Report("generated 2000x4", *score);
}

}  // namespace

int main(int argc, char** argv) {
  try {
    InstallFontServices();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "page_composer: fake fonts (%s)\n", e.what());
  }
  RegisterScoreLayout();
  if (argc > 1) {
    for (int i = 1; i < argc; ++i) ReportFile(argv[i], std::string(argv[i]).ends_with(".xml"));
  } else {
    ReportFile(importbench::LargestFile(SONARID_MIDI_CACHE, {".mid", ".midi", ".kar"}), false);
    ReportFile(importbench::LargestFile(std::string(SONARID_CORPUS_DIR) + "/musicxml", {".xml"}), true);
    ReportGenerated();
  }
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("peak memory: %.1f MiB\n", usage.ru_maxrss / 1024.0);
  return 0;
}
