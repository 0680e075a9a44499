#pragma once
// A record of a measure's work list while the MIDI import turns a part's
// events into notation: a note, lyric or key signature placed in its measure,
// with the note's raw and snapped timing.

#include <cstdint>
#include <memory>
#include <vector>

#include "score/import/midi/MidiImportState.h"
#include "score/model/ScoreTypes.h"

class TKVNote;

struct TMidiWorkRecord {
  const TKVImportEvent* Source = nullptr;  // the reader's record; nil for the second half of a split note
  uint32_t Time = 0;     // raw start inside the measure
  uint16_t Length = 0;   // raw length of the whole note
  uint8_t Velocity = 0;
  bool IsNote = false;
  TKVImportNote Note;    // pitch byte, symbol, accidental and key of a note
  int32_t Position = 0;  // raw start, then the snapped one
  int32_t Value = 0;     // raw length left in this measure, then the snapped length
  bool Split = false;    // the first half of a note split at a bar line
  // A note split at a bar line shares this between its halves: the first
  // half leaves here the note the second half is tied to, which gives it its
  // voice (none when the first half ended on a duplicate already tied on),
  // and whether a note of it is struck.
  struct TChain {
    TKVNote* Last = nullptr;
    int32_t LastValue = 0;
    bool Started = false;
  };
  std::shared_ptr<TChain> Chain;  // the first half's
  std::shared_ptr<TChain> Link;   // the second half's: the first half's chain

  // Diatonic pitch: octave x 7 + step.
  int32_t Line() const { return PitchLine(Note.Pitch); }
  // Semitone value: octave x 12 + semitone of the step (what the split key compares).
  int32_t Semitones() const { return PitchOctave(Note.Pitch) * 12 + StepSemitone(PitchStep(Note.Pitch)); }
};

using TMidiWorkList = std::vector<std::unique_ptr<TMidiWorkRecord>>;
