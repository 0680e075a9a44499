// Throughput of the MusicXML import (walk, finishing pass and the layout it
// runs) on the largest MusicXML file of the corpus (or the file named):
// bytes and notes per second for the import and for a full reformat of the
// imported score, best of five. Real fonts when installed, else the fake
// measurers.
//
// Usage: musicxml_import [file.xml]

#include <cstdio>
#include <filesystem>
#include <string>

#include "../support/ImportBench.h"
#include "score/import/musicxml/MusicXMLImport.h"

int main(int argc, char** argv) {
  const std::string path =
      argc > 1 ? argv[1] : importbench::LargestFile(std::filesystem::path(SONARID_CORPUS_DIR) / "musicxml", {".xml"});
  if (path.empty()) {
    std::fprintf(stderr, "musicxml_import: no file given and no corpus at %s\n", SONARID_CORPUS_DIR);
    return 1;
  }
  TMemoryStream file;
  file.LoadFromFile(path);
  const importbench::TFigures f = importbench::Measure("musicxml_import", file, 5, ImportMusicXML);
  const double bytes = double(file.GetSize());
  std::printf("file %s: %.0f bytes, %zu measures, %zu notes\n", path.c_str(), bytes, f.Measures, f.Notes);
  std::printf("import with its layout: %.4f s, %.0f KiB/s, %.0f notes/s\n", f.Import, bytes / 1024 / f.Import,
              f.Notes / f.Import);
  std::printf("full reformat: %.4f s, %.0f notes/s\n", f.Format, f.Notes / f.Format);
  return 0;
}
