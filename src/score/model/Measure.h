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
class TKVNote;
class TKVScore;
class TStream;
struct TKVMeasureRecord;

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

  // Run-time fields of the importers and the layout.
  TKVMeasureRecord* Record = nullptr;
  int32_t Number = 0;       // 0 marks a pickup measure
  uint16_t Length = 0;      // ticks
  std::vector<std::array<uint32_t, 2>> BeatEntries;
  std::vector<uint16_t> StaffNoteCounts;

private:
  TKVPart* FPart;
  int32_t FIndex = 0;
  TByteBlock FData{MeasureBlock::Size};
  std::vector<uint16_t> FWords;
  std::vector<uint8_t> FStaffBytes;
  std::vector<TKVNote*> FNotes;
};
