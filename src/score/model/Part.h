#pragma once
// One instrument of a piece: its staves (with their voices), its measures
// (with their items), the items of the whole part, its MIDI channel, volume
// and pan, its names, and word and byte lists that the layout reads. The
// part owns its staves, measures and items.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "base/ByteBlock.h"
#include "base/Object.h"
#include "score/model/ChildList.h"
#include "score/model/ElementBlocks.h"
#include "score/model/ItemHolder.h"

class TKVPiece;
class TKVScore;
class TKVStaff;
class TKVMeasure;
class TKVVoice;
class TStream;

// An entry of the part's transposition list.
struct TKVTransposition {
  uint16_t Word = 0;
  int16_t Semitones = 0;
  bool operator==(const TKVTransposition&) const = default;
};

class TKVPart : public TObject, public TKVItemHolder {
public:
  static constexpr int WordListCount = 5;
  // The spacing arrays of a part shown on its own (vsPart): word lists 1
  // to 3 hold the staff distances (by staff line), the left indents and the
  // right indents (by system).
  static constexpr int SpacingArrayCount = 3;

  // Piece must not be nil: raises "Is not owner of the Piece". Joins the
  // piece's parts at the end (OnAddItem(part, nil)).
  explicit TKVPart(TKVPiece* Piece);
  // Frees its staves, measures and items, then leaves the piece
  // (OnDeleteItem(part, nil)).
  ~TKVPart() override;

  TKVPiece* Piece() const { return FPiece; }
  TKVScore* Score() const;
  int32_t Index() const { return FIndex; }
  void SetIndex(int32_t Index) { FIndex = Index; }

  TByteBlock& Data() { return FData; }
  const TByteBlock& Data() const { return FData; }
  uint16_t DataSize() const { return uint16_t(FData.Size()); }
  uint8_t Program() const { return FData.u8(PartBlock::Program); }
  uint8_t Channel() const { return FData.u8(PartBlock::Channel); }
  void SetChannel(uint8_t V) { FData.setU8(PartBlock::Channel, V); }
  uint8_t Volume() const { return FData.u8(PartBlock::Volume); }
  uint8_t Pan() const { return FData.u8(PartBlock::Pan); }
  // On a change: store, Changed, then the controller message to a playing
  // view (controller 7 or 10; 255, "not set", sends 127 or 63).
  void SetVolume(uint8_t Value);
  void SetPan(uint8_t Value);

  const std::string& Name() const { return FName; }
  void SetName(const std::string& Value);
  // The plug-in name the host resolves into a plug-in handle.
  const std::string& SecondName() const { return FSecondName; }
  void SetSecondName(const std::string& Value) { FSecondName = Value; }
  // OnItemChanged(part, nil), then OnChanged with the part as Sender.
  void Changed();

  // ---- staves ----
  int32_t GetStaffCount() const { return FStaffs.Count(); }
  TKVStaff* GetStaff(int32_t Index) const { return FStaffs.Get(Index); }
  // Lists Staff at Index (0 <= Index <= count, else at the end) unless the
  // registration switch is set, renumbers, fires OnAddItem(staff, nil).
  void AddStaff(TKVStaff* Staff, int32_t Index);
  // OnDeleteItem(staff, nil), takes it out, renumbers.
  void RemoveStaff(TKVStaff* Staff);
  // From the last staff to the first: a staff out of place takes its place
  // and fires OnItemChanged(staff, nil).
  void RenumberStaffs();
  // A new staff at the end; lays out and repaints.
  TKVStaff* NewStaff();

  // ---- measures (no events) ----
  int32_t GetMeasureCount() const { return FMeasures.Count(); }
  TKVMeasure* GetMeasure(int32_t Index) const { return FMeasures.Get(Index); }
  void AddMeasure(TKVMeasure* Measure);
  void RemoveMeasure(TKVMeasure* Measure);
  TKVMeasure* NewMeasure();

  // ---- voices ----
  // Every own voice of every staff, in staff order.
  const std::vector<TKVVoice*>& VoiceList() const { return FVoiceList; }
  // Numbers the own voices over all staves (guests skipped) and rebuilds
  // VoiceList; a voice whose number changes, or every voice when Notify is
  // set, fires OnItemChanged(voice, nil) and, for a cross-staff voice,
  // OnItemChanged(voice, second staff). Nothing while the voice renumbering
  // switch is set.
  void RenumberVoices(bool Notify);
  // Links every voice that notes a second staff (SecondStaffRef) to it. A
  // reference past the staves or to the voice's own staff links nothing.
  void ResolveSecondStaffs();
  // Takes a freed voice out of VoiceList.
  void ForgetVoice(const TKVVoice* Voice);
  uint8_t VoiceRenumberingSwitch() const { return FVoiceRenumberingSwitch; }
  void SetVoiceRenumberingSwitch(uint8_t Value) { FVoiceRenumberingSwitch = Value; }

  // Sum of the semitones of the transposition list.
  int32_t GetTranspose() const;

  // Staves (second-staff links resolved), measures, lists, block and name
  // from Source; copies of its items are added to the items already here.
  // Then OnItemChanged(part, nil). Any other source raises EAssignError.
  void Assign(const TObject& Source);
  void ReadData(TStream& Stream);

  std::array<std::vector<uint16_t>, WordListCount>& WordLists() { return FWordLists; }
  std::vector<uint16_t>& SpacingArray(int Index) { return FWordLists.at(size_t(Index)); }
  std::vector<uint8_t>& ByteListA() { return FByteListA; }
  std::vector<uint8_t>& ByteListB() { return FByteListB; }
  std::vector<TKVTransposition>& Transpositions() { return FTranspositions; }

  // Run-time fields.
  int32_t StreamPosition = 0;  // where the score stream stood after the measures
  int32_t VSTHandle = 0;       // from the score's OnGetVSTHandle
  int32_t UserPages = 0;       // page count asked for while the part is shown on its own
  uint8_t Mute = 0;            // non-zero: the player leaves the part silent

private:
  void SendController(uint8_t Controller, uint8_t Value);

  TKVPiece* FPiece;
  int32_t FIndex = 0;
  TByteBlock FData{PartBlock::Size};
  std::string FName;
  TKVChildList<TKVStaff> FStaffs;
  TKVChildList<TKVMeasure> FMeasures;
  std::array<std::vector<uint16_t>, WordListCount> FWordLists;
  std::vector<uint8_t> FByteListA;
  std::vector<TKVTransposition> FTranspositions;
  std::string FSecondName;
  std::vector<uint8_t> FByteListB;
  uint8_t FVoiceRenumberingSwitch = 0;
  std::vector<TKVVoice*> FVoiceList;
};
