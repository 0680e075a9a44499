#pragma once
// A chord diagram (kind 36): a text, raw data, a byte per fret row (the
// barre bytes; block byte 10 gives their count) and a 3-byte entry per string
// (block byte 8 gives their count).

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "score/model/ElementBlocks.h"
#include "score/model/Item.h"

struct TKVDisplayItem;

using TKVFrameEntry = std::array<uint8_t, FrameBlock::EntryBytes>;

class TKVFrame : public TKVVoicedItem {
public:
  explicit TKVFrame(TObject* Owner);
  TKVItemClass ItemClass() const override { return TKVItemClass::Frame; }

  // Block, entries, barre bytes, raw data and text: a copy keeps every array
  // its block announces.
  void Assign(const TKVItem& Source) override;
  void ReadData(TStream& Stream) override;

  // Sizes the byte array and the entry array from block bytes 10 and 8
  // (after the block was read or changed); new entries are zero.
  void SizeArraysFromBlock();

  // The entry of string Index; entry 0 for an index past the entries, and a
  // zero entry when there is none at all.
  TKVFrameEntry GetEntry(int32_t Index) const;
  // The barre byte of fret row Index + 1; the first byte for an index past
  // the array, and 0 when it is empty.
  uint8_t GetValue(int32_t Index) const;

  std::vector<TKVFrameEntry>& Entries() { return FEntries; }
  std::vector<uint8_t>& Values() { return FValues; }
  std::vector<uint8_t>& RawData() { return FRawData; }
  const std::string& Text() const { return FText; }
  void SetText(const std::string& Value) { FText = Value; }

  uint8_t EntryCount() const { return Data().u8(FrameBlock::EntryCount); }
  uint8_t ValueCount() const { return Data().u8(FrameBlock::ValueCount); }
  uint16_t Position() const { return Data().u16(FrameBlock::Position); }
  void SetPosition(uint16_t V) { Data().setU16(FrameBlock::Position, V); }
  int16_t OffsetX() const { return Data().i16(FrameBlock::OffsetX); }
  int16_t OffsetY() const { return Data().i16(FrameBlock::OffsetY); }
  uint8_t StaffVoice() const { return Data().u8(FrameBlock::StaffVoice); }
  void SetStaffVoice(uint8_t V) { Data().setU8(FrameBlock::StaffVoice, V); }
  uint8_t SizePercent() const { return Data().u8(FrameBlock::Size100); }
  uint8_t FontStyle() const { return Data().u8(FrameBlock::FontStyle); }
  bool Numeral() const { return Data().u8(FrameBlock::Numeral) != 0; }
  // The fret the diagram's first row stands for, less one (0: the nut).
  uint8_t FirstFret() const { return Data().u8(FrameBlock::Numeral); }
  void SetFirstFret(uint8_t V) { Data().setU8(FrameBlock::Numeral, V); }
  uint32_t Color() const {
    return Data().u8(FrameBlock::Color) | uint32_t(Data().u8(FrameBlock::Color + 1)) << 8 |
           uint32_t(Data().u8(FrameBlock::Color + 2)) << 16;
  }
  void SetColor(uint32_t V) {
    for (size_t i = 0; i < 3; ++i) Data().setU8(FrameBlock::Color + i, uint8_t(V >> (8 * i)));
  }

  // Run-time fields of the layout.
  uint8_t RuntimeStaff = 0;

private:
  std::string FText;
  std::vector<uint8_t> FRawData;
  std::vector<uint8_t> FValues;
  std::vector<TKVFrameEntry> FEntries;
};
