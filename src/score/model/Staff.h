#pragma once
// One staff of a part: its line settings and its voices. A staff owns the
// voices whose Staff it is; a voice written on this staff as its second
// staff (a cross-staff voice) is only listed here.

#include <array>
#include <cstdint>

#include "base/ByteBlock.h"
#include "base/Object.h"
#include "score/model/ChildList.h"
#include "score/model/ElementBlocks.h"

class TKVPart;
class TKVScore;
class TKVVoice;
class TStream;

class TKVStaff : public TObject {
public:
  // Part must not be nil: raises "Is not owner of the Line". Joins the
  // part's staves (OnAddItem(staff, nil)).
  explicit TKVStaff(TKVPart* Part);
  // Frees its voices, then leaves the part (OnDeleteItem(staff, nil)).
  ~TKVStaff() override;

  TKVPart* Part() const { return FPart; }
  TKVScore* Score() const;
  int32_t Index() const { return FIndex; }
  void SetIndex(int32_t Index) { FIndex = Index; }

  TByteBlock& Data() { return FData; }
  const TByteBlock& Data() const { return FData; }
  uint16_t DataSize() const { return uint16_t(FData.Size()); }
  std::array<uint8_t, StaffBlock::LineArrayBytes>& LineArray() { return FLineArray; }
  uint8_t LineCount() const { return FData.u8(StaffBlock::LineCount); }
  uint8_t Range() const { return FData.u8(StaffBlock::Range); }
  void SetRange(uint8_t V) { FData.setU8(StaffBlock::Range, V); }
  uint8_t SizePercent() const { return FData.u8(StaffBlock::Size100); }
  void SetSizePercent(uint8_t V) { FData.setU8(StaffBlock::Size100, V); }

  // Run-time: the number the layout gave the staff among the staves it lays
  // out (0 first).
  int32_t LayoutIndex = 0;
  // Run-time: non-zero, the player leaves the staff's notes silent.
  uint8_t Mute = 0;

  int32_t GetVoiceCount() const { return FVoices.Count(); }
  TKVVoice* GetVoice(int32_t Index) const { return FVoices.Get(Index); }
  const TKVChildList<TKVVoice>& Voices() const { return FVoices; }

  // Lists Voice at Index (0 <= Index <= count, else at the end) unless the
  // registration switch is set, renumbers this staff's own voices and the
  // part's voices, then fires OnAddItem(voice, nil) for an own voice or
  // OnAddItem(voice, this staff) for a guest.
  void AddVoice(TKVVoice* Voice, int32_t Index);
  // A new own voice at the end.
  TKVVoice* NewVoice();
  // OnDeleteItem(voice, nil) for an own voice or (voice, this staff) for a
  // guest, then takes it out and renumbers.
  void RemoveVoice(TKVVoice* Voice);
  // Lets go of the guests and frees the own voices, the last first.
  void ClearVoices();

  // Block, line array and a copy of each own voice (guests are skipped; a
  // copied cross-staff voice notes its second staff for the part to link),
  // then OnItemChanged(staff, nil). Any other source raises EAssignError.
  void Assign(const TObject& Source);
  void ReadData(TStream& Stream);

  uint8_t RegistrationSwitch() const { return FRegistrationSwitch; }
  void SetRegistrationSwitch(uint8_t Value) { FRegistrationSwitch = Value; }

private:
  void RenumberVoices();

  TKVPart* FPart;
  int32_t FIndex = 0;
  TByteBlock FData{StaffBlock::Size};
  TKVChildList<TKVVoice> FVoices;
  std::array<uint8_t, StaffBlock::LineArrayBytes> FLineArray{};
  uint8_t FRegistrationSwitch = 0;
};
