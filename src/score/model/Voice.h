#pragma once
// One voice of a staff, with MIDI settings of its own when byte 0 of its
// block is not 255, and an optional second staff on which it is also written
// (a cross-staff voice).

#include <cstdint>

#include "base/ByteBlock.h"
#include "base/Object.h"
#include "score/model/ElementBlocks.h"

class TKVStaff;
class TKVScore;
class TStream;

class TKVVoice : public TObject {
public:
  // Staff must not be nil: raises "Is not owner of the Voice". Joins the
  // staff at the end (OnAddItem(voice, nil)).
  explicit TKVVoice(TKVStaff* Staff);
  // Leaves its staff (OnDeleteItem(voice, nil)) and its second staff
  // (OnDeleteItem(voice, second staff)).
  ~TKVVoice() override;

  TKVStaff* Staff() const { return FStaff; }
  TKVStaff* SecondStaff() const { return FSecondStaff; }
  // Plain store; the second staff lists the voice through its AddVoice.
  void SetSecondStaff(TKVStaff* Staff) { FSecondStaff = Staff; }
  TKVScore* Score() const;

  // Position in its own staff's voice list.
  int32_t Index() const { return FIndex; }
  void SetIndex(int32_t Index) { FIndex = Index; }
  // Position in Staff's voice list (-1 when absent); with nil the stored
  // Index.
  int32_t GetIndex(const TKVStaff* Staff) const;
  // Position in the part's voice list.
  int32_t Number() const { return FNumber; }
  void SetNumber(int32_t Number) { FNumber = Number; }

  TByteBlock& Data() { return FData; }
  const TByteBlock& Data() const { return FData; }
  uint16_t DataSize() const { return uint16_t(FData.Size()); }
  uint8_t Program() const { return FData.u8(VoiceBlock::Program); }
  // True when the voice has MIDI settings of its own.
  bool HasOwnSettings() const { return Program() != 255; }
  uint8_t Channel() const { return FData.u8(VoiceBlock::Channel); }
  uint16_t SecondStaffRef() const { return FData.u16(VoiceBlock::SecondStaffRef); }
  void SetSecondStaffRef(uint16_t V) { FData.setU16(VoiceBlock::SecondStaffRef, V); }
  uint16_t SecondPosition() const { return FData.u16(VoiceBlock::SecondPosition); }
  void SetSecondPosition(uint16_t V) { FData.setU16(VoiceBlock::SecondPosition, V); }

  // The block, then OnItemChanged(voice, nil); staves and numbers stay.
  // Any other source raises EAssignError.
  void Assign(const TObject& Source);
  void ReadData(TStream& Stream);

  uint8_t Mute = 0;  // run-time: non-zero, the player leaves the voice silent

private:
  TKVStaff* FStaff;
  TKVStaff* FSecondStaff = nullptr;
  int32_t FIndex = 0;
  int32_t FNumber = 0;
  TByteBlock FData{VoiceBlock::Size};
};
