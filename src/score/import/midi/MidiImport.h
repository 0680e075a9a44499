#pragma once
// The Standard MIDI File import of a score (".mid", ".midi", ".rmi" and
// ".kar"): the reader collects the file's events, the conversion builds a new
// piece from them inside the score's update bracket.
//
// Only a file whose structure cannot be read raises (EImportError): one that
// is not a MIDI file, has a damaged header, or would need more measures or
// parts than the import builds. Such a failure leaves the score as it was.
// A file that ends inside a chunk imports what it holds, with the warning
// SMidiFileCutShort in Score.ImportWarning. Score.MidiImportNotice counts
// the notes merged and the data bytes read without their top bit, and
// says when the piece holds no note.

#include <vector>

#include "base/Streams.h"
#include "score/import/midi/MidiConversion.h"
#include "score/import/midi/MidiImportState.h"
#include "score/model/Score.h"

struct TKVMidiImportResult {
  // Notes not written because the same key already stood at the same
  // position in the same voice.
  std::vector<TKVMidiMergedNote> MergedDuplicates;
};

// The first phase: reads Stream (spelling drum notes by Score's drum map)
// and checks what it found against the import limits. Changes nothing.
TKVMidiImportState ReadMidiImport(TKVScore& Score, TStream& Stream);
// The second phase: a new piece of Score from State, which it consumes. On
// a failure the piece and all it built are taken out again before the
// exception passes on.
TKVMidiImportResult BuildMidiScore(TKVScore& Score, TKVMidiImportState& State);
// Both phases.
TKVMidiImportResult ImportMIDI(TKVScore& Score, TStream& Stream);

// Makes TKVScore::LoadFromFile import MIDI files (at program start).
void RegisterMidiImporter();
