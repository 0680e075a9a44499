#pragma once
// Elements that are little more than their block: the bend (kind 119), the
// effect (22), the drawn line (202), rectangle and ellipse (203, 204), arc,
// pie and chord shape (205-207) and the raw MIDI event (220).

#include <cstdint>
#include <string>
#include <vector>

#include "score/model/ElementBlocks.h"
#include "score/model/Item.h"

class TKVBend : public TKVVoicedItem {
public:
  explicit TKVBend(TObject* Owner);
  TKVItemClass ItemClass() const override { return TKVItemClass::Bend; }
  // Block and both texts.
  void Assign(const TKVItem& Source) override;
  void ReadData(TStream& Stream) override;
  // Text 1: the font of the one-half signs (empty: the score's).
  const std::string& Text1() const { return FText1; }
  void SetText1(const std::string& Value) { FText1 = Value; }
  const std::string& Text2() const { return FText2; }
  void SetText2(const std::string& Value) { FText2 = Value; }

  uint8_t Variant() const { return Data().u8(BendBlock::Variant); }
  uint16_t Position() const { return Data().u16(BendBlock::Position); }
  // Widths of the bend's three segments, layout units.
  uint16_t SegmentWidth(int Index) const { return Data().u16(BendBlock::Length1 + 2 * size_t(Index)); }
  uint16_t Height() const { return Data().u16(BendBlock::Height); }
  int16_t OffsetX() const { return Data().i16(BendBlock::OffsetX); }
  int16_t OffsetY() const { return Data().i16(BendBlock::OffsetY); }
  uint8_t StaffVoice() const { return Data().u8(BendBlock::StaffVoice); }
  void SetStaffVoice(uint8_t V) { Data().setU8(BendBlock::StaffVoice, V); }
  uint8_t SizePercent() const { return Data().u8(BendBlock::Size100); }
  uint32_t Color() const { return Data().u32(BendBlock::Color); }
  void SetColor(uint32_t V) { Data().setU32(BendBlock::Color, V); }
  uint8_t FontStyle() const { return Data().u8(BendBlock::FontStyle); }

  uint8_t RuntimeStaff = 0;  // run-time: the staff laid out on

private:
  std::string FText1, FText2;
};

class TKVVoice;

// Block-only elements.

// An extra played note of an ornament or tremolo, attached to its note.
class TKVEffect : public TKVItem {
public:
  explicit TKVEffect(TObject* Owner);
  TKVItemClass ItemClass() const override { return TKVItemClass::Effect; }
  void Assign(const TKVItem& Source) override;
  void ReadData(TStream& Stream) override;

  uint8_t Pitch() const { return Data().u8(EffectBlock::Pitch); }
  void SetPitch(uint8_t V) { Data().setU8(EffectBlock::Pitch, V); }
  uint16_t Position() const { return Data().u16(EffectBlock::Position); }
  void SetPosition(uint16_t V) { Data().setU16(EffectBlock::Position, V); }
  uint16_t Length() const { return Data().u16(EffectBlock::Length); }
  void SetLength(uint16_t V) { Data().setU16(EffectBlock::Length, V); }
  uint8_t Source() const { return Data().u8(EffectBlock::Source); }
  void SetSource(uint8_t V) { Data().setU8(EffectBlock::Source, V); }

  // Run-time fields of the layout and the player, as for a note.
  uint8_t Channel = 0;
  uint8_t MidiKey = 0;
  uint32_t Instrument = 0;
  TKVVoice* Voice = nullptr;
};

class TKVLine : public TKVItem {
public:
  explicit TKVLine(TObject* Owner);
  void Assign(const TKVItem& Source) override;
  void ReadData(TStream& Stream) override;
};

// Kind 203 or 204, set by the factory.
class TKVRectangle : public TKVItem {
public:
  explicit TKVRectangle(TObject* Owner);
  void Assign(const TKVItem& Source) override;
  void ReadData(TStream& Stream) override;
};

// Kind 205, 206 or 207, set by the factory.
class TKVArc : public TKVItem {
public:
  explicit TKVArc(TObject* Owner);
  void Assign(const TKVItem& Source) override;
  void ReadData(TStream& Stream) override;
};

class TKVMIDIEvent : public TKVItem {
public:
  explicit TKVMIDIEvent(TObject* Owner);
  TKVItemClass ItemClass() const override { return TKVItemClass::MIDIEvent; }
  // Block and the data, as long as the block's data length says.
  void Assign(const TKVItem& Source) override;
  void ReadData(TStream& Stream) override;

  // Takes Length bytes of Data and stores Length in the block.
  void SetData(const uint8_t* Data, uint16_t Length);
  const std::vector<uint8_t>& MidiData() const { return FData; }
  uint16_t DataLength() const { return Data().u16(MidiEventBlock::DataLength); }
  uint16_t Position() const { return Data().u16(MidiEventBlock::Position); }
  void SetPosition(uint16_t V) { Data().setU16(MidiEventBlock::Position, V); }

private:
  std::vector<uint8_t> FData;
};
