#pragma once
// Spelling of MIDI keys as notes: black keys are always sharps here; the
// conversion respells them by the key signature later.

#include <cstdint>

#include "score/import/midi/MidiImportState.h"

// Diatonic step (C = 0 .. B = 6) of each semitone 0..11.
inline constexpr uint8_t MidiStepOfSemitone[12] = {0, 0, 1, 1, 2, 3, 3, 4, 4, 5, 5, 6};
// 1 for the semitones of black keys.
inline constexpr uint8_t MidiSharpOfSemitone[12] = {0, 1, 0, 1, 0, 0, 1, 0, 1, 0, 1, 0};
// Semitone of each diatonic step 0..6.
inline constexpr uint8_t MidiSemitoneOfStep[7] = {0, 2, 4, 5, 7, 9, 11};

inline constexpr uint8_t MidiDrumChannel = 9;  // MIDI channel 10
inline constexpr uint8_t SharpAccidental = 0x34;

struct TKVMidiSpelling {
  int Octave = 0;
  int Step = 0;
  uint8_t Accidental = 0;
  uint8_t Symbol = 0;
};

// `SpellMidiNote`: on the drum channel an enabled drum-map entry decides the
// staff position; every other note is spelled from its key.
TKVMidiSpelling SpellMidiNote(uint8_t channel, uint8_t key, const TKVMidiDrumMap* drumMap);
