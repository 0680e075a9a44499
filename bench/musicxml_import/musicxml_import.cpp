// Throughput of the MusicXML import (walk, finishing pass and the layout it
// runs) on the largest MusicXML file of the corpus (or the file named):
// bytes and notes per second for the import and for a full reformat of the
// imported score, best of five; and the whole load's cost per note (import,
// layout with pages, play order) of generated documents of 10,000, 100,000
// and 400,000 notes. Real fonts when installed, else the fake measurers.
//
// Usage: musicxml_import [--load-only] [file.xml]
// (--load-only: one whole load and nothing else, for counting instructions
// with valgrind --tool=callgrind)

#include <cstdio>
#include <filesystem>
#include <string>

#include "../support/ImportBench.h"
#include "score/import/musicxml/MusicXMLImport.h"

namespace {

// A partwise document of Notes notes in 4/4: four parts of sixteenths, each
// measure fifteen notes and a rest, a slur over each of the first three
// groups of four notes, a third above every fifth note as a chord, a dynamic
// every eighth measure.
std::string GeneratedDocument(size_t notes) {
  constexpr int Parts = 4;
  static const char* const Steps[] = {"C", "D", "E", "F", "G", "A", "B"};
  std::string xml =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<score-partwise version=\"4.0\">\n<part-list>\n";
  for (int p = 1; p <= Parts; ++p)
    xml += "<score-part id=\"P" + std::to_string(p) + "\"><part-name>Part " + std::to_string(p) +
           "</part-name></score-part>\n";
  xml += "</part-list>\n";
  auto note = [&](int step, bool chord, const char* slur) {
    xml += "<note>";
    if (chord) xml += "<chord/>";
    xml += "<pitch><step>" + std::string(Steps[step % 7]) + "</step><octave>" + std::to_string(4 + step / 7) +
           "</octave></pitch><duration>1</duration><voice>1</voice><type>16th</type>";
    if (slur) xml += std::string("<notations><slur number=\"1\" type=\"") + slur + "\"/></notations>";
    xml += "</note>\n";
  };
  for (int p = 1; p <= Parts; ++p) {
    xml += "<part id=\"P" + std::to_string(p) + "\">\n";
    size_t written = 0;
    for (int m = 1; written < notes / Parts; ++m) {
      xml += "<measure number=\"" + std::to_string(m) + "\">\n";
      if (m == 1)
        xml += "<attributes><divisions>4</divisions><key><fifths>0</fifths></key><time><beats>4</beats>"
               "<beat-type>4</beat-type></time><clef><sign>G</sign><line>2</line></clef></attributes>\n";
      if (m % 8 == 1)
        xml += std::string("<direction placement=\"below\"><direction-type><dynamics><") + (m % 16 == 1 ? "p" : "f") +
               "/></dynamics></direction-type></direction>\n";
      for (int slot = 0; slot < 15; ++slot) {
        const int step = (slot * 3 + m + p) % 10;
        note(step, false, slot >= 12 ? nullptr : slot % 4 == 0 ? "start" : slot % 4 == 3 ? "stop" : nullptr);
        ++written;
        if (slot % 5 == 0) note(step + 2, true, nullptr), ++written;
      }
      xml += "<note><rest/><duration>1</duration><voice>1</voice><type>16th</type></note>\n</measure>\n";
    }
    xml += "</part>\n";
  }
  return xml + "</score-partwise>\n";
}

}  // namespace

int main(int argc, char** argv) {
  const bool loadOnly = argc > 1 && std::string(argv[1]) == "--load-only";
  if (loadOnly) --argc, ++argv;
  const std::string path =
      argc > 1 ? argv[1] : importbench::LargestFile(std::filesystem::path(SONARID_CORPUS_DIR) / "musicxml", {".xml"});
  if (path.empty()) {
    std::fprintf(stderr, "musicxml_import: no file given and no corpus at %s\n", SONARID_CORPUS_DIR);
    return 1;
  }
  if (loadOnly) {
    importbench::PrepareLayout("musicxml_import");
    RegisterMusicXMLImporter();
    std::printf("whole load (import, layout with pages, play order): %.3f s\n", importbench::BestLoad(path, 1));
    return 0;
  }
  TMemoryStream file;
  file.LoadFromFile(path);
  const importbench::TFigures f = importbench::Measure("musicxml_import", file, 5, ImportMusicXML);
  const double bytes = double(file.GetSize());
  std::printf("file %s: %.0f bytes, %zu measures, %zu notes\n", path.c_str(), bytes, f.Measures, f.Notes);
  std::printf("import with its layout: %.4f s, %.0f KiB/s, %.0f notes/s\n", f.Import, bytes / 1024 / f.Import,
              f.Notes / f.Import);
  std::printf("full reformat: %.4f s, %.0f notes/s\n", f.Format, f.Notes / f.Format);
  RegisterMusicXMLImporter();
  importbench::ReportPerNote("musicxml_import", ".xml", GeneratedDocument);
  return 0;
}
