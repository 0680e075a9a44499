#include "score/import/midi/MidiSpelling.h"

#include <algorithm>

namespace {
// The staff position of key 0, and the highest position a pitch byte can
// carry (key 127: octave 10, step 4).
constexpr int DrumPositionOfKey0 = 23;
constexpr int HighestPosition = 10 * 7 + 4;
}  // namespace

TKVMidiSpelling SpellMidiNote(uint8_t channel, uint8_t key, const TKVMidiDrumMap* drumMap) {
  TKVMidiSpelling s;
  key &= 0x7F;
  if (channel == MidiDrumChannel && drumMap && (*drumMap)[key].Enabled) {
    const TKVMidiDrumEntry& entry = (*drumMap)[key];
    // A position below key 0 or above key 127 would not fit the pitch byte.
    int position = std::clamp(int(entry.StaffPosition) - DrumPositionOfKey0, 0, HighestPosition);
    s.Octave = position / 7;
    s.Step = position % 7;
    s.Symbol = entry.SymbolIndex == 255 ? 255 : uint8_t(entry.SymbolIndex + 5);
    return s;
  }
  s.Octave = key / 12;
  s.Step = MidiStepOfSemitone[key % 12];
  s.Accidental = MidiSharpOfSemitone[key % 12] ? SharpAccidental : 0;
  return s;
}
