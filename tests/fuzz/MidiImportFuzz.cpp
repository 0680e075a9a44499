// The whole Standard MIDI File import (reading, limits and the conversion
// into notation) into a fresh score, whose update bracket is closed either way.

#include "FuzzInput.h"
#include "base/Exceptions.h"
#include "score/import/MidiImport.h"
#include "score/model/Score.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TMemoryStream stream = InputStream(data, size);
  TKVScore score;
  try {
    ImportMIDI(score, stream);
  } catch (const Exception&) {
  }
  Check(score.UpdateCount() == 0);
  return 0;
}
