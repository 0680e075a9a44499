// Throughput of the MIDI import with the layout it runs, on the largest
// Standard MIDI File of the corpus (or the file named): notes written per
// second for the import (which lays the columns out once the parts are in) and for a
// full reformat of the imported score, best of three; the whole load as the
// program opens the file (import, layout with pages, play order), best of
// seven; the whole load's cost per note of generated files of 10,000,
// 100,000 and 400,000 notes; the reader on stray note-offs of one key; the
// process's peak memory. Real fonts when installed, else the fake measurers.
//
// Usage: midi_import [--load-only] [file.mid]
// (--load-only: one whole load and nothing else, for counting instructions
// with valgrind --tool=callgrind)

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "../support/ImportBench.h"
#include "score/import/midi/MidiImport.h"
#include "score/import/midi/MidiReader.h"
#include "support/MidiFileBuilder.h"

namespace {

// A type-1 file of Notes notes in 4/4 at 96 ticks a quarter: eight tracks of
// eighths on their own channels, each a melody over two octaves with a rest
// every seventh eighth and a third above every fifth note.
std::string GeneratedFile(size_t notes) {
  constexpr int Tracks = 8;
  TMidiFileBuilder file(1, 96);
  file.AddTrack().Tempo(0, 500000).TimeSignature(0, 4, 2).EndOfTrack();
  for (int t = 0; t < Tracks; ++t) {
    TMidiTrackBuilder& track = file.AddTrack();
    const int channel = t < 9 ? t : t + 1;
    uint32_t rest = 0;
    size_t written = 0;
    for (int slot = 0; written < notes / Tracks; ++slot) {
      if (slot % 7 == 6) {
        rest += 48;
        continue;
      }
      const int key = 48 + (slot * 5 + t * 3) % 25;
      const bool third = slot % 5 == 0;
      track.NoteOn(rest, channel, key, 60 + slot % 4 * 10);
      if (third) track.NoteOn(0, channel, key + 4, 60);
      track.NoteOff(48, channel, key);
      if (third) track.NoteOff(0, channel, key + 4);
      rest = 0;
      written += third ? 2 : 1;
    }
    track.EndOfTrack(rest);
  }
  const TBytes bytes = file.Bytes();
  return std::string(bytes.begin(), bytes.end());
}

// The reader alone on 200,000 strikes of one key each with its note-off,
// then 200,000 note-offs that end nothing: pairing the notes with what ends
// them, seconds.
double StrayNoteOffsRead() {
  TMidiFileBuilder file(0, 128);
  TMidiTrackBuilder& track = file.AddTrack();
  for (int i = 0; i < 200000; ++i) track.NoteOn(1, 0, 60, 90).NoteOff(1, 0, 60);
  for (int i = 0; i < 200000; ++i) track.NoteOff(1, 0, 60);
  track.EndOfTrack();
  const auto start = std::chrono::steady_clock::now();
  TMemoryStream stream(file.Bytes());
  ReadMidiFile(stream);
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  const bool loadOnly = argc > 1 && std::string(argv[1]) == "--load-only";
  if (loadOnly) --argc, ++argv;
  const std::string path =
      argc > 1 ? argv[1] : importbench::LargestFile(SONARID_MIDI_CACHE, {".mid", ".midi", ".kar"});
  if (path.empty()) {
    std::fprintf(stderr, "midi_import: no file given and no corpus at %s (scripts/fetch-midi-corpus)\n",
                 SONARID_MIDI_CACHE);
    return 1;
  }
  if (loadOnly) {
    importbench::PrepareLayout("midi_import");
    RegisterMidiImporter();
    std::printf("whole load (import, layout with pages, play order): %.3f s\n", importbench::BestLoad(path, 1));
    return 0;
  }
  TMemoryStream file;
  file.LoadFromFile(path);
  const importbench::TFigures f =
      importbench::Measure("midi_import", file, 3, [](TKVScore& score, TStream& stream) { ImportMIDI(score, stream); });
  RegisterMidiImporter();
  const double load = importbench::BestLoad(path, 7);
  std::printf("file %s: %zu bytes, %zu parts, %zu measures, %zu notes written\n", path.c_str(),
              size_t(file.GetSize()), f.Parts, f.Measures, f.Notes);
  std::printf("import with its layout of the columns: %.3f s, %.0f notes/s\n", f.Import, f.Notes / f.Import);
  std::printf("full reformat: %.3f s, %.0f notes/s\n", f.Format, f.Notes / f.Format);
  std::printf("whole load (import, layout with pages, play order): %.3f s, %.2f us per note\n", load,
              load * 1e6 / double(f.Notes));
  importbench::ReportPerNote("midi_import", ".mid", GeneratedFile);
  std::printf("reading 200,000 notes of one key and 200,000 stray note-offs: %.3f s\n", StrayNoteOffsRead());
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("peak memory: %.1f MiB\n", usage.ru_maxrss / 1024.0);
  return 0;
}
