#pragma once
// The marks (clefs, key and time signatures, tempo marks, dynamics, repeats,
// voltas and some sixty further kinds): one class whose kind is set by the
// factory. Besides the block a mark keeps two texts (text 1 the font name,
// text 2 the caption, such as the pass numbers of a volta), an extra block
// whose form depends on the kind (the key table of a key signature, the slot
// lengths of a tuplet, the composite meters of a time signature) and an
// optional dynamics setting.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/ByteBlock.h"
#include "score/model/DynamicsSetting.h"
#include "score/model/ElementBlocks.h"
#include "score/model/Item.h"

class TKVVoice;
struct TKVDisplayItem;

class TKVMark : public TKVVoicedItem {
public:
  explicit TKVMark(TObject* Owner);
  TKVItemClass ItemClass() const override { return TKVItemClass::Mark; }

  // Kind 3 (key signature) gets a zero-filled key table of its own.
  void SetKind(uint8_t Kind) override;
  // Block, extra block, both texts and the dynamics setting (dropped when
  // the source has none).
  void Assign(const TKVItem& Source) override;
  void ReadData(TStream& Stream) override;

  const std::string& Text1() const { return FText1; }
  void SetText1(const std::string& Value) { FText1 = Value; }
  const std::string& Text2() const { return FText2; }
  void SetText2(const std::string& Value) { FText2 = Value; }
  TByteBlock& Extra() { return FExtra; }
  const TByteBlock& Extra() const { return FExtra; }
  // Entry Index of the extra block read as 16-bit words; 0 past its end.
  uint16_t ExtraWord(int32_t Index) const;
  TKVDynamicsSetting* Dynamics() const { return FDynamics.get(); }
  // Gives the mark a setting of its own (nil removes it).
  void SetDynamics(std::unique_ptr<TKVDynamicsSetting> Setting) { FDynamics = std::move(Setting); }

  uint8_t Variant() const { return Data().u8(MarkBlock::Variant); }
  void SetVariant(uint8_t V) { Data().setU8(MarkBlock::Variant, V); }
  uint16_t Position() const { return Data().u16(MarkBlock::Position); }
  void SetPosition(uint16_t V) { Data().setU16(MarkBlock::Position, V); }
  uint16_t Value() const { return Data().u16(MarkBlock::Value); }
  void SetValue(uint16_t V) { Data().setU16(MarkBlock::Value, V); }
  uint8_t Flags() const { return Data().u8(MarkBlock::Flags); }
  void SetFlags(uint8_t V) { Data().setU8(MarkBlock::Flags, V); }
  uint8_t StaffVoice() const { return Data().u8(MarkBlock::StaffVoice); }
  void SetStaffVoice(uint8_t V) { Data().setU8(MarkBlock::StaffVoice, V); }
  uint8_t SizePercent() const { return Data().u8(MarkBlock::Size100); }
  void SetSizePercent(uint8_t V) { Data().setU8(MarkBlock::Size100, V); }
  uint32_t Color() const { return Data().u32(MarkBlock::Color); }
  void SetColor(uint32_t V) { Data().setU32(MarkBlock::Color, V); }
  uint8_t FontIndex() const { return Data().u8(MarkBlock::FontIndex); }
  void SetFontIndex(uint8_t V) { Data().setU8(MarkBlock::FontIndex, V); }
  // Pen style of the mark's lines (TPenStyle order; 5 draws none).
  uint8_t LineStyle() const { return Data().u8(MarkBlock::LineStyle); }
  void SetLineStyle(uint8_t V) { Data().setU8(MarkBlock::LineStyle, V); }
  int16_t OffsetX() const { return Data().i16(MarkBlock::OffsetX); }
  void SetOffsetX(int16_t V) { Data().setI16(MarkBlock::OffsetX, V); }
  int16_t OffsetY() const { return Data().i16(MarkBlock::OffsetY); }
  void SetOffsetY(int16_t V) { Data().setI16(MarkBlock::OffsetY, V); }
  uint8_t Height() const { return Data().u8(MarkBlock::Height); }
  int16_t Extent() const { return Data().i16(MarkBlock::Extent); }
  void SetExtent(int16_t V) { Data().setI16(MarkBlock::Extent, V); }
  int16_t ExtraWidth() const { return Data().i16(MarkBlock::ExtraWidth); }
  // Offset of a mark's own text (a clef's octave number), score units.
  int16_t TextX() const { return Data().i16(MarkBlock::TextX); }
  int16_t TextY() const { return Data().i16(MarkBlock::TextY); }
  void SetTextY(int16_t V) { Data().setI16(MarkBlock::TextY, V); }
  uint8_t TextStyle() const { return Data().u8(MarkBlock::TextStyle); }
  void SetTextStyle(uint8_t V) { Data().setU8(MarkBlock::TextStyle, V); }

  // Run-time fields of the layout and the player.
  uint8_t CancelledKey = 0;
  uint8_t Channel = 0;
  uint8_t RuntimeStaff = 0;
  TKVVoice* Voice = nullptr;
  std::vector<uint8_t> MidiBytes;  // a MIDI play action's message, prepared by the layout

private:
  std::string FText1, FText2;
  TByteBlock FExtra;
  std::unique_ptr<TKVDynamicsSetting> FDynamics;
};
