// Throughput of the MIDI import with the layout it runs, on the largest
// Standard MIDI File of the corpus (or the file named): notes written per
// second for the import (which lays the columns out once the parts are in) and for a
// full reformat of the imported score, best of three, and the process's
// peak memory. Real fonts when installed, else the fake measurers.
//
// Usage: midi_import [file.mid]

#include <sys/resource.h>

#include <cstdio>
#include <string>

#include "../support/ImportBench.h"
#include "score/import/midi/MidiImport.h"

int main(int argc, char** argv) {
  const std::string path =
      argc > 1 ? argv[1] : importbench::LargestFile(SONARID_MIDI_CACHE, {".mid", ".midi", ".kar"});
  if (path.empty()) {
    std::fprintf(stderr, "midi_import: no file given and no corpus at %s (scripts/fetch-midi-corpus)\n",
                 SONARID_MIDI_CACHE);
    return 1;
  }
  TMemoryStream file;
  file.LoadFromFile(path);
  const importbench::TFigures f =
      importbench::Measure("midi_import", file, 3, [](TKVScore& score, TStream& stream) { ImportMIDI(score, stream); });
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("file %s: %zu bytes, %zu parts, %zu measures, %zu notes written\n", path.c_str(),
              size_t(file.GetSize()), f.Parts, f.Measures, f.Notes);
  std::printf("import with its layout of the columns: %.3f s, %.0f notes/s\n", f.Import, f.Notes / f.Import);
  std::printf("full reformat: %.3f s, %.0f notes/s\n", f.Format, f.Notes / f.Format);
  std::printf("peak memory: %.1f MiB\n", usage.ru_maxrss / 1024.0);
  return 0;
}
