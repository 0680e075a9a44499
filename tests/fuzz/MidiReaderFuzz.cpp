// The Standard MIDI File reader, with a drum map so that the drum channel's
// spelling is read too.

#include "FuzzInput.h"
#include "base/Exceptions.h"
#include "score/import/midi/MidiReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const TKVMidiDrumMap drums = [] {
    TKVMidiDrumMap map{};
    for (size_t key = 35; key < 82; key += 2) map[key] = {true, uint8_t(key % 40), uint8_t(key % 7)};
    return map;
  }();
  TMemoryStream stream = InputStream(data, size);
  try {
    ReadMidiFile(stream, size % 2 ? &drums : nullptr);
  } catch (const Exception&) {
  }
  return 0;
}
