#pragma once
// A group of grace notes (kind 32). The group owns its grace notes; an item
// attached to a grace note lies in the group's measure.

#include <cstdint>

#include "score/model/ElementBlocks.h"
#include "score/model/Item.h"
#include "score/model/ItemHolder.h"

class TKVVorschlag : public TKVVoicedItem, public TKVItemHolder {
public:
  explicit TKVVorschlag(TObject* Owner);
  TKVItemClass ItemClass() const override { return TKVItemClass::Vorschlag; }
  ~TKVVorschlag() override;

  // Block, then every grace note cloned.
  void Assign(const TKVItem& Source) override;
  void ReadData(TStream& Stream) override;

  // Stem directions of the grace notes of Key's part and voice in beam
  // group Group, or at Position for Group 0, then their head sides: the
  // group follows its own rule, not the main notes'.
  void ArrangeStems(uint8_t Group, const TKVVoiceKey& Key, uint16_t Position);
  // Head sides of the grace chord of Key's part and voice at Position.
  void ArrangeHeads(const TKVVoiceKey& Key, uint16_t Position);

  uint16_t Position() const { return Data().u16(VorschlagBlock::Position); }
  void SetPosition(uint16_t V) { Data().setU16(VorschlagBlock::Position, V); }
  uint16_t Value() const { return Data().u16(VorschlagBlock::Value); }
  int16_t OffsetX() const { return Data().i16(VorschlagBlock::OffsetX); }
  uint8_t StaffVoice() const { return Data().u8(VorschlagBlock::StaffVoice); }
  void SetStaffVoice(uint8_t V) { Data().setU8(VorschlagBlock::StaffVoice, V); }
  uint8_t Spacing() const { return Data().u8(VorschlagBlock::Spacing); }
  uint8_t Flags() const { return Data().u8(VorschlagBlock::Flags); }
  void SetFlags(uint8_t V) { Data().setU8(VorschlagBlock::Flags, V); }
  // The group stands after its main note (flag bit 0).
  bool After() const { return (Flags() & 1) != 0; }
  bool Slashed() const { return (Flags() & 0x10) != 0; }
};
