#pragma once
// The second phase of the MIDI import: turns what the reader collected into
// a piece of the score. It makes the measure-level marks, gives each part its
// staves and clefs, spreads each part's events over its measures, snaps the
// notes of each measure and staff onto a rhythmic grid, writes them as note
// values with voices, chords, ties and accidentals, runs the notation rules
// and lays each part's measures out; then the import passes: tempo marks,
// clef changes, part labels and the raw MIDI events.

#include <cstdint>
#include <memory>
#include <vector>

#include "score/import/midi/MidiImportState.h"
#include "score/import/midi/MidiMeasureMap.h"
#include "score/import/midi/MidiWorkRecord.h"
#include "score/model/Score.h"
#include "score/model/VoiceKey.h"

class TKVPiece;
class TKVPart;
class TKVMeasure;
class TKVColumn;
class TKVMark;
class TKVLyric;
class TKVNote;
class TKVItem;

// A note the import did not write because the same key already stood at the
// same position in the same voice.
struct TKVMidiMergedNote {
  int32_t Part = 0;   // index of the part in the piece
  uint8_t Key = 0;
  uint32_t Time = 0;  // start in score ticks from the start of the piece
};

// How far the import goes for one file: beyond these it refuses the file
// before building anything.
namespace MidiImportLimits {
// Measures of a part, and columns of the piece.
constexpr int64_t Measures = TKVScore::MaxMeasuresOnDemand;
// Parts that keep notes, lyrics or key signatures (the voice key numbers
// parts in one byte).
constexpr size_t Parts = 255;
// Measures over all parts.
constexpr int64_t PartMeasures = 100000;
// Notes, lyrics and key signatures of one part in one measure: placing them
// compares each with those placed before.
constexpr size_t MeasureRecords = 4096;
}  // namespace MidiImportLimits

// Raises EImportError (SMidiTooLarge) when State would need more than the
// limits allow.
void CheckMidiImportLimits(const TKVMidiImportState& State, const TKVImportOptions& Options);

class TKVMidiConversion {
public:
  TKVMidiConversion(TKVScore& Score, TKVMidiImportState& State);

  // The piece, the parts with their measures, and the import passes.
  void Run();
  // Takes out what Run made: the piece and the page mark.
  void Discard();

  TKVPiece* Piece() const { return FPiece; }
  const std::vector<TKVMidiMergedNote>& Merged() const { return FMerged; }

private:
  // State of one note record while its written notes are made.
  struct TPlacing;

  // ---- pieces, parts and measures (MidiConversion.cpp) ----
  void PlaceMeterMarks();
  void ConvertWholePart(TKVMidiImportPart& Source);
  TKVPart* MakePart(const TKVMidiImportPart& Source);
  void MakeStaves(const TKVMidiImportPart& Source);
  void ConvertPart(TKVMidiImportPart& Source);
  void CopyFirstPartKeys(int64_t MeasureIndex);
  void QuantizeMeasure(std::vector<TMidiWorkList>& Lists, size_t MeasureIndex);
  void PlaceRecord(TMidiWorkRecord& Record, int64_t MeasureIndex);
  void ApplyNotationRules(TKVMeasure& Measure);
  void FormatParts();
  // Measure Index of the current part, made with those before it (and the
  // piece's columns up to it); nil at the measure limit.
  TKVMeasure* GetPartMeasure(int64_t Index);
  TKVColumn* GetColumn(int64_t Index);
  TKVMark* NewMark(TObject* Owner, uint8_t Kind);
  TKVVoiceKey VoiceKeyOf(int32_t StaffIndex, int32_t VoiceIndex) const;
  // Gives every item of the part the voice number of its staff and voice
  // again after a new voice renumbered the part's voices.
  void RefreshVoiceNumbers();

  // ---- note values, voices and accidentals (MidiNotePlacer.cpp) ----
  void PlaceNote(TMidiWorkRecord& Record, int64_t MeasureIndex);
  // Writes one value of the record; false when it duplicated a note.
  bool EmitNote(TPlacing& S, int32_t Position, int32_t Written, int32_t Unit, bool Dotted);
  int32_t ChooseVoice(TPlacing& S, int32_t Position, int32_t Written);

  // ---- import passes (MidiImportPasses.cpp) ----
  void PlaceScoreMark(const TKVImportEvent& Record);
  void ClefChangePass();
  void AddPartLabel();
  void AlignPartLabels();
  void AddPageMark();
  void PlaceMIDIEvents();

  TKVScore& FScore;
  TKVMidiImportState& FState;
  TKVMidiMeasureMap FMap;
  TKVImportOptions FOptions;
  TKVPiece* FPiece = nullptr;
  TKVItem* FPageMark = nullptr;
  TKVPart* FPart = nullptr;        // the part being converted
  TKVMark* FLastKey = nullptr;     // the last key signature placed in it
  std::vector<int32_t> FLastStaffUse;  // of FPart before its notation rules (LastStaffUse)
  std::vector<TKVLyric*> FLabels;  // part labels of the import
  std::vector<TKVMidiMergedNote> FMerged;
};
