#pragma once
// One measure of one part: the notation items of all its staves and voices
// within one bar. The part owns its measures, the measure its items. The
// measure also keeps the beam order of its notes (Notes), filled by the
// notation rules.

#include <array>
#include <cstdint>
#include <vector>

#include "base/ByteBlock.h"
#include "base/Object.h"
#include "score/model/ElementBlocks.h"
#include "score/model/ItemHolder.h"

class TKVPart;
class TKVMark;
class TKVNote;
class TKVScore;
class TStream;
class TKVPause;
struct TKVMeasureRecord;
struct TKVDisplayItem;
struct TKVVoiceGaps;
struct TKVVoiceKey;

// The place of one beam group in the measure's beam order (Notes), and the
// beam record the per-staff layout made for it (cleared at every
// formatting of the measure).
struct TKVBeamGroupRange {
  uint16_t First = 0, Last = 0;  // indexes in Notes
  TKVDisplayItem* Beam = nullptr;
};

class TKVMeasure : public TObject, public TKVItemHolder {
public:
  // Part must not be nil: raises "Is not owner of the measure". Appends
  // itself to the part's measures (no event).
  explicit TKVMeasure(TKVPart* Part);
  ~TKVMeasure() override;

  TKVPart* Part() const { return FPart; }
  TKVScore* Score() const;
  // Position in the part's measure list, kept by the part.
  int32_t Index() const { return FIndex; }
  void SetIndex(int32_t Index) { FIndex = Index; }

  TByteBlock& Data() { return FData; }
  const TByteBlock& Data() const { return FData; }
  uint16_t DataSize() const { return uint16_t(FData.Size()); }

  // Called by an item being freed: a note also leaves the beam order of this
  // measure and of the measures beside it (a beam group may run over the bar
  // line either way).
  void RemoveItem(TKVItem* Item) override;
  // Empties the beam order, then frees every item, the last first.
  void ClearItems();
  // Takes Note out of the beam order of this measure and its neighbours.
  void ForgetNote(const TKVNote* Note);

  // Items, the word array and a copy of every item. The staff bytes and the
  // beam order are not copied. Any other source raises EAssignError.
  void Assign(const TObject& Source);
  void ReadData(TStream& Stream);

  std::vector<uint16_t>& Words() { return FWords; }
  const std::vector<uint16_t>& Words() const { return FWords; }
  // One byte per staff (bit 0: several voices on that staff).
  std::vector<uint8_t>& StaffBytes() { return FStaffBytes; }
  std::vector<TKVNote*>& Notes() { return FNotes; }
  const std::vector<TKVNote*>& Notes() const { return FNotes; }

  // ---- notation rules: chords, voices, stems, item order ----
  // Sorts the chord at Position of the voice that matches Key in part index,
  // voice number and staff index into ascending line order within its list
  // slots, then sets the head sides. True when the item order changed.
  // ClearSingle clears the chord bits of a note that stands alone.
  bool ArrangeChord(const TKVVoiceKey& Key, uint16_t Position, bool ClearSingle, bool Ascending);
  // Puts the heads of a cluster's seconds on alternate sides of the stem,
  // walking the chord upwards (Ascending) or downwards.
  void ArrangeChordHeads(const TKVVoiceKey& Key, uint16_t Position, bool Ascending);
  // Notes which staves hold several voices (staff byte bit 0), moves each
  // staff's current voice to one it holds and, with Apply, re-derives the
  // stems, seconds and rest offsets of a staff whose state changed.
  // StaffIndex -1 takes every staff.
  void UpdateVoiceLayout(int32_t StaffIndex, bool Apply);
  // MarkVoiceSeconds for every note.
  void UpdateStems();
  // Shifts the notes of the higher voices at Position on Key's staff when
  // one of them stands a second from a note of the staff's first voice.
  void MarkVoiceSeconds(const TKVVoiceKey& Key, uint16_t Position);
  // Stem direction of beam group Group of Key's voice, or for Group 0 of
  // its chord at Position; covering tuplets follow the stems.
  void CalcStemDirection(uint8_t Group, const TKVVoiceKey& Key, uint16_t Position);
  // Orders the items by time, voice number and (within a chord) line.
  // Items without a time keep their place relative to each other.
  void SortItems();
  // Ticks from the measure start of an ordered item, else -1.
  static int32_t GetItemTime(const TKVItem* Item);
  // The voice key of an item that carries one for ordering, else zeros.
  static TKVVoiceKey GetItemVoiceKey(const TKVItem* Item);
  // The first tuplet mark of Key's voice number that covers Position.
  TKVMark* FindTupletAt(const TKVVoiceKey& Key, int32_t Position) const;
  // Line offset of the clef in force on a staff at Position, from the
  // layout record's clef list (0 without a record or a clef).
  int32_t GetClefOffsetAt(int32_t StaffIndex, int32_t Position) const;
  // Bit 0 of the staff's byte: several voices on that staff in this
  // measure. A staff without a byte has one voice.
  bool StaffHasVoices(int32_t StaffIndex) const;

  // ---- rests, beat grid and beams ----
  // Fills the free time of every voice of the part with rests. Length 0
  // takes the length from the layout record (nothing without one).
  // LastStaffUse (from LastStaffUse below, optional) answers whether a staff
  // is used after this measure without walking the later measures, which
  // makes filling every measure of a long part quadratic.
  void FillRests(bool EmptyVoiceRule, int32_t Length, bool ForceWholeRest,
                 const std::vector<int32_t>* LastStaffUse = nullptr);
  // Fills [Start, End) of Key's voice with rests aligned to boundaries of
  // Unit ticks (0: one beat of the record's meter), inserting them in time
  // order from InsertHint. Returns the index of the last rest made
  // (InsertHint when none).
  int32_t FillGapWithRests(const TKVVoiceKey& Key, int32_t Start, int32_t Unit, int32_t InsertHint, int32_t End);
  // Sets the join bit of Note and of the note before it by the beats of the
  // meter or of the beam mode.
  void CalcBeatGrid(TKVNote* Note, bool ByQuarter);
  // Numbers the beam groups and rebuilds the beam order (Notes) and the
  // group ranges; with geometry, stems for Note's group or for Group.
  void BuildBeamGroups(uint8_t Group, bool WithGeometry, TKVNote* Note);
  // Stem lengths of beam group Group (0: every group) so that the beam
  // clears the heads.
  void CalcBeamGeometry(uint8_t Group);
  std::vector<TKVBeamGroupRange>& GroupRanges() { return FGroupRanges; }
  const std::vector<TKVBeamGroupRange>& GroupRanges() const { return FGroupRanges; }

  // The layout record that serves this measure (the piece's last one when
  // the measure was not laid out); nil before the first layout.
  TKVMeasureRecord* GetLayoutRecord() const;

  // Run-time fields of the importers and the layout.
  TKVMeasureRecord* Record = nullptr;
  int32_t Number = 0;       // 0 marks a pickup measure
  uint16_t Length = 0;      // ticks
  std::vector<uint16_t> StaffNoteCounts;

private:
  // Shifts Higher (the notes of the higher voices at one place on the
  // staff) when one stands a second from a note of First (the first voice).
  void MarkVoiceSeconds(int32_t StaffIndex, const std::vector<TKVNote*>& First, const std::vector<TKVNote*>& Higher);
  void UpdateStaffVoices(int32_t StaffIndex, bool Apply);
  void ApplyStaffVoiceLayout(int32_t StaffIndex);
  void FillVoiceGaps(const TKVVoiceGaps& Gaps, const TKVVoiceKey& Key, bool EmptyVoiceRule, bool ForceWholeRest,
                     int32_t Length, const std::vector<int32_t>* LastStaffUse);
  bool StaffUsedLater(int32_t StaffIndex, const std::vector<int32_t>* LastStaffUse) const;
  // A rest with the score's rest defaults, inserted in time order from
  // InsertHint, which then holds its index.
  TKVPause* AddFillerRest(const TKVVoiceKey& Key, int32_t Position, int32_t Value, int32_t Length, int16_t Offset,
                          int32_t& InsertHint);

  TKVPart* FPart;
  int32_t FIndex = 0;
  TByteBlock FData{MeasureBlock::Size};
  std::vector<uint16_t> FWords;
  std::vector<uint8_t> FStaffBytes;
  std::vector<TKVNote*> FNotes;
  std::vector<TKVBeamGroupRange> FGroupRanges;
};

// The index of the last measure of Part holding a note, rest or repeat on
// each staff (-1 for none), for FillRests over measures that it leaves as
// they are after the one being filled.
std::vector<int32_t> LastStaffUse(const TKVPart& Part);
