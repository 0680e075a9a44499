#pragma once
// A rest (kind 21) with the items attached to it.

#include <cstdint>
#include <string>

#include "score/model/ElementBlocks.h"
#include "score/model/Item.h"
#include "score/model/ItemHolder.h"

class TKVVoice;
struct TKVDisplayItem;

class TKVPause : public TKVVoicedItem, public TKVItemHolder {
public:
  explicit TKVPause(TObject* Owner);
  TKVItemClass ItemClass() const override { return TKVItemClass::Pause; }
  ~TKVPause() override;

  // Block, text, then every attached item cloned.
  void Assign(const TKVItem& Source) override;
  void ReadData(TStream& Stream) override;

  const std::string& Text() const { return FText; }
  void SetText(const std::string& Value) { FText = Value; }

  uint16_t Position() const { return Data().u16(PauseBlock::Position); }
  void SetPosition(uint16_t V) { Data().setU16(PauseBlock::Position, V); }
  uint16_t Value() const { return Data().u16(PauseBlock::Value); }
  void SetValue(uint16_t V) { Data().setU16(PauseBlock::Value, V); }
  uint16_t Duration() const { return Data().u16(PauseBlock::Duration); }
  void SetDuration(uint16_t V) { Data().setU16(PauseBlock::Duration, V); }
  uint8_t StaffVoice() const { return Data().u8(PauseBlock::StaffVoice); }
  void SetStaffVoice(uint8_t V) { Data().setU8(PauseBlock::StaffVoice, V); }
  uint8_t Flags() const { return Data().u8(PauseBlock::Flags); }
  void SetFlags(uint8_t V) { Data().setU8(PauseBlock::Flags, V); }
  int16_t OffsetX() const { return Data().i16(PauseBlock::OffsetX); }
  uint8_t SizePercent() const { return Data().u8(PauseBlock::Size100); }
  bool Dotted() const { return (Flags() & 0x0C) != 0; }
  bool Hidden() const { return (Flags() & 0x80) != 0; }
  uint8_t BracketKind() const { return (Flags() >> 2) & 3; }
  uint8_t FontCode() const { return Data().u8(PauseBlock::FontCode); }
  uint32_t Color() const { return Data().u32(PauseBlock::Color); }
  uint8_t FontStyle() const { return Data().u8(PauseBlock::FontStyle); }
  // Vertical offset in 1/8 pixel, negative is up.
  int16_t OffsetY() const { return Data().i16(PauseBlock::OffsetY); }
  void SetOffsetY(int16_t V) { Data().setI16(PauseBlock::OffsetY, V); }

  // Run-time fields.
  TKVVoice* Voice = nullptr;

private:
  std::string FText;
};
