// Cost of drawing pages: every page of the largest MIDI corpus file (the
// one bench/midi_import uses) and of 41b-MultiParts-MoreThan10.xml drawn
// into an off-screen bitmap at zoom 100 and 300, the paper filled first as
// a view does, on the file's own page and on A4; import and layout are not
// timed. Real fonts when installed, else the fake measurers. Prints pages,
// milliseconds per page (mean, p95, max) and peak memory, one line per
// figure.
//
// Usage: render_pages [file.mid|file.xml ...]

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "../support/ImportBench.h"
#include "platform/canvas/Bitmap.h"
#include "player/Window.h"
#include "render/page/PageDrawer.h"
#include "score/import/midi/MidiImport.h"
#include "score/import/musicxml/MusicXMLImport.h"
#include "score/layout/ScoreLayoutRecords.h"
#include "score/model/Page.h"

namespace {

void ReportZoom(const std::string& name, TKVScore& score, int zoom) {
  TKVWindow view;
  view.SetScore(&score);
  view.SetZoom(zoom);
  const TKVPageRect size = view.GetPageSize();
  canvas::TBitmap bitmap(std::max(size.Right, 1), std::max(size.Bottom, 1));
  const int32_t pages = ScoreLayoutRecords(score).PageCount;
  std::vector<double> ms;
  for (int32_t p = 0; p < pages; ++p) {
    const auto start = std::chrono::steady_clock::now();
    canvas::TCanvas& c = bitmap.Canvas();
    c.Brush = {canvas::clWhite, canvas::bsSolid};
    c.FillRect({0, 0, bitmap.Width(), bitmap.Height()});
    render::TKVPageDrawer(view, c).DrawPageContent(p, zoom, zoom, 0, 0);
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  }
  if (ms.empty()) {
    std::printf("%s at %d %%: no pages\n", name.c_str(), zoom);
    return;
  }
  double mean = 0;
  for (double m : ms) mean += m;
  mean /= double(ms.size());
  std::vector<double> sorted = ms;
  std::sort(sorted.begin(), sorted.end());
  const double p95 = sorted[std::min(sorted.size() - 1, size_t(std::ceil(0.95 * double(sorted.size()))) - 1)];
  std::printf("%s at %d %%: %d pages of %dx%d pixels\n", name.c_str(), zoom, pages, bitmap.Width(), bitmap.Height());
  std::printf("%s at %d %%: mean %.2f ms per page\n", name.c_str(), zoom, mean);
  std::printf("%s at %d %%: p95 %.2f ms per page\n", name.c_str(), zoom, p95);
  std::printf("%s at %d %%: max %.2f ms per page\n", name.c_str(), zoom, sorted.back());
}

void ReportFile(const std::string& path) {
  if (path.empty()) return;
  TMemoryStream file;
  file.LoadFromFile(path);
  TKVScore score;
  if (path.ends_with(".xml"))
    ImportMusicXML(score, file);
  else
    ImportMIDI(score, file);
  score.Reformat(0);
  for (int zoom : {100, 300}) ReportZoom(path, score, zoom);
  // The same music on A4 paper, the page a person prints on.
  score.BeginUpdate();
  score.Page().SetPaperSize(TKVPaperSize::A4);
  score.Page().SetOrientation(poPortrait);
  score.EndUpdate();
  score.Reformat(0);
  for (int zoom : {100, 300}) ReportZoom(path + " on A4", score, zoom);
}

}  // namespace

int main(int argc, char** argv) {
  try {
    InstallFontServices();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "render_pages: fake fonts (%s)\n", e.what());
  }
  RegisterScoreLayout();
  if (argc > 1) {
    for (int i = 1; i < argc; ++i) ReportFile(argv[i]);
  } else {
    ReportFile(importbench::LargestFile(SONARID_MIDI_CACHE, {".mid", ".midi", ".kar"}));
    ReportFile(std::string(SONARID_CORPUS_DIR) + "/musicxml/41b-MultiParts-MoreThan10.xml");
  }
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("peak memory: %.1f MiB\n", usage.ru_maxrss / 1024.0);
  return 0;
}
