#pragma once
// One piece of music in a score: its parts, its columns and, once laid out,
// its measure records. The constructor registers the piece with its score
// (which numbers it and announces it) and the destructor frees its parts and
// columns and removes it again.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "base/ByteBlock.h"
#include "base/Object.h"
#include "score/model/ChildList.h"
#include "score/model/ElementBlocks.h"
#include "score/model/LayoutRecords.h"

class TKVScore;
class TKVPart;
class TKVColumn;
class TKVMeasure;
class TKVVoice;
class TStream;

class TKVPiece : public TObject {
public:
  static constexpr int WordListCount = 5;
  // The spacing arrays of the piece (vsComposition): word lists 1 to 3 hold
  // the staff distances (by staff line), the left indents and the right
  // indents (by system).
  static constexpr int SpacingArrayCount = 3;

  // Score must not be nil: raises "Is not owner of the Score".
  explicit TKVPiece(TKVScore* Score);
  ~TKVPiece() override;

  TKVScore* Score() const { return FScore; }
  // Position in the score's piece list, kept by the score; -1 while unlisted.
  int32_t GetIndex() const { return FIndex; }
  void SetIndex(int32_t Index) { FIndex = Index; }

  TByteBlock& Data() { return FData; }
  const TByteBlock& Data() const { return FData; }
  uint16_t DataSize() const { return uint16_t(FData.Size()); }
  uint16_t Tempo() const { return FData.u16(PieceBlock::Tempo); }
  void SetTempo(uint16_t V) { FData.setU16(PieceBlock::Tempo, V); }
  uint16_t Meter() const { return FData.u16(PieceBlock::Meter); }
  void SetMeter(uint16_t V) { FData.setU16(PieceBlock::Meter, V); }
  // Played and placed on its own, on a time line of its own.
  bool Separate() const { return FData.u8(PieceBlock::Separate) != 0; }
  void SetSeparate(bool V) { FData.setU8(PieceBlock::Separate, V ? 1 : 0); }
  // The page (from 1; 0 = every page) on which a separate piece stands.
  uint16_t SeparatePage() const { return FData.u16(PieceBlock::Word14); }
  const std::string& Title() const { return FTitle; }
  void SetTitle(const std::string& Value) { FTitle = Value; }

  // ---- parts ----
  int32_t GetPartCount() const { return FParts.Count(); }
  TKVPart* GetPart(int32_t Index) const { return FParts.Get(Index); }
  // Lists Part at Index (0 <= Index <= count, else at the end) unless the
  // registration switch is set, renumbers, fires OnAddItem(part, nil).
  void AddPart(TKVPart* Part, int32_t Index);
  // Fires OnDeleteItem(part, nil) unless the switch is set; always takes the
  // part out and renumbers.
  void RemovePart(TKVPart* Part);
  // A new part at the end; lays out and repaints.
  TKVPart* NewPart();

  // ---- columns (no events) ----
  int32_t GetColumnCount() const { return FColumns.Count(); }
  TKVColumn* GetColumn(int32_t Index) const { return FColumns.Get(Index); }
  void AddColumn(TKVColumn* Column);
  void RemoveColumn(TKVColumn* Column);
  TKVColumn* NewColumn();

  uint8_t RegistrationSwitch() const { return FRegistrationSwitch; }
  void SetRegistrationSwitch(uint8_t Value) { FRegistrationSwitch = Value; }

  // Lays the score out from the page that holds this piece's index.
  void Reformat();

  // ---- layout records ----
  TKVPieceLayoutRecords& Layout() { return FLayout; }
  const TKVPieceLayoutRecords& Layout() const { return FLayout; }
  int32_t MeasureRecordCount() const { return FLayout.MeasureRecordCount; }
  // The laid-out record nearest to MeasureIndex (clamped into the laid-out
  // records); nil before the first layout.
  TKVMeasureRecord* GetMeasureRecord(int32_t MeasureIndex) const;
  // Ticks of the measures First..Last; a measure past the laid-out records
  // counts the length of the last one. 0 when Last < First.
  int32_t GetRangeLength(int32_t First, int32_t Last) const;
  // Voices in the layout's order (filled by the layout).
  std::vector<TKVVoice*> LayoutVoices;

  // ---- MIDI and dynamics ----
  // The first channel 1..15 (never 9, the percussion channel) that no voice
  // with settings of its own and no part with a voice that follows it uses;
  // Except (a part or a voice) is left out. 0 when every channel is taken.
  uint8_t FindFreeChannel(const TObject* Except = nullptr) const;
  // Fills the velocities of the dynamics records from their items.
  virtual void CalcVelocities();
  // The velocity in force for Measure's part at Position (ticks from the
  // start of Measure); 64 when no dynamic applies.
  int32_t GetDynamicValue(const TKVMeasure* Measure, int32_t Position) const;

  // Block, lists, and copies of the parts and columns, then
  // OnItemChanged(piece, nil). The title is not copied. Any other source
  // raises EAssignError.
  virtual void Assign(const TObject& Source);
  void ReadData(TStream& Stream);

  std::array<std::vector<uint16_t>, WordListCount>& WordLists() { return FWordLists; }
  std::vector<uint16_t>& SpacingArray(int Index) { return FWordLists.at(size_t(Index)); }
  std::vector<uint8_t>& ByteList() { return FByteList; }

private:
  TKVScore* FScore;
  int32_t FIndex = -1;
  TByteBlock FData{PieceBlock::Size};
  std::string FTitle;
  TKVChildList<TKVPart> FParts;
  TKVChildList<TKVColumn> FColumns;
  std::array<std::vector<uint16_t>, WordListCount> FWordLists;
  std::vector<uint8_t> FByteList;
  uint8_t FRegistrationSwitch = 0;
  TKVPieceLayoutRecords FLayout;
};
