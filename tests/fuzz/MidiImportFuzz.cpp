// The whole Standard MIDI File import (reading, limits and the conversion
// into notation) into a fresh score.

#include "ScoreImportFuzz.h"
#include "score/import/midi/MidiImport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return FuzzScoreImport(data, size, [](TKVScore& score, TStream& stream) { ImportMIDI(score, stream); });
}
