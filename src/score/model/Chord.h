#pragma once
// A chord symbol (kind 31): its entries (15-byte records whose bytes 5-8
// hold the entry's text), a raw note buffer and a text.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/ByteBlock.h"
#include "score/model/ElementBlocks.h"
#include "score/model/Item.h"

struct TKVDisplayItem;

struct TKVChordEntry {
  TByteBlock Record{ChordBlock::EntryBytes};
  std::string Text;
};

// The text entries of a chord symbol, as the host's chord-text event fills
// them.
class TKVChordEntryList {
public:
  int32_t Count() const { return int32_t(FEntries.size()); }
  TKVChordEntry* Get(int32_t Index) const {
    return Index >= 0 && Index < Count() ? FEntries[size_t(Index)].get() : nullptr;
  }
  TKVChordEntry& Add() { return *FEntries.emplace_back(std::make_unique<TKVChordEntry>()); }
  void Clear() { FEntries.clear(); }

private:
  std::vector<std::unique_ptr<TKVChordEntry>> FEntries;
};

class TKVChord : public TKVVoicedItem {
public:
  explicit TKVChord(TObject* Owner);
  TKVItemClass ItemClass() const override { return TKVItemClass::Chord; }

  // Block and text only: the entries and the note buffer are rebuilt by
  // whoever makes the chord.
  void Assign(const TKVItem& Source) override;
  void ReadData(TStream& Stream) override;

  TKVChordEntryList& Entries() { return FEntries; }
  // The note buffer keeps its length.
  std::vector<uint8_t>& Notes() { return FNotes; }
  void SetNotesSize(size_t Size) { FNotes.resize(Size, 0); }
  const std::string& Text() const { return FText; }
  void SetText(const std::string& Value) { FText = Value; }

  uint16_t Position() const { return Data().u16(ChordBlock::Position); }
  void SetPosition(uint16_t V) { Data().setU16(ChordBlock::Position, V); }
  int16_t OffsetX() const { return Data().i16(ChordBlock::OffsetX); }
  int16_t OffsetY() const { return Data().i16(ChordBlock::OffsetY); }
  uint8_t StaffVoice() const { return Data().u8(ChordBlock::StaffVoice); }
  void SetStaffVoice(uint8_t V) { Data().setU8(ChordBlock::StaffVoice, V); }
  uint8_t SizePercent() const { return Data().u8(ChordBlock::Size100); }
  uint8_t FontSize() const { return Data().u8(ChordBlock::FontSize); }
  uint8_t FontStyle() const { return Data().u8(ChordBlock::FontStyle); }
  uint32_t Color() const { return Data().u32(ChordBlock::Color); }

  // Run-time fields of the layout.
  uint8_t RuntimeStaff = 0;

private:
  TKVChordEntryList FEntries;
  std::vector<uint8_t> FNotes;
  std::string FText;
};
