#pragma once
// A lyric syllable or text line (kind 33 by construction, 34 and 35 through
// the factory): a text (the font name of a part label), its lines as wide
// strings, and an optional dynamics setting (a kind-34 text that changes the
// velocity).

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/text/TextMeasurer.h"
#include "score/model/DynamicsSetting.h"
#include "score/model/ElementBlocks.h"
#include "score/model/Item.h"
#include "score/model/StreamStrings.h"
#include "score/model/TextAlignment.h"

struct TKVDisplayItem;

class TKVLyric : public TKVVoicedItem {
public:
  explicit TKVLyric(TObject* Owner);
  TKVItemClass ItemClass() const override { return TKVItemClass::Lyric; }

  // Block, text, the lines rebuilt as copies, the dynamics setting (dropped
  // when the source has none).
  void Assign(const TKVItem& Source) override;
  void ReadData(TStream& Stream) override;

  const std::string& Text() const { return FText; }
  void SetText(const std::string& Value) { FText = Value; }
  TKVWideList& Lines() { return FLines; }
  const TKVWideList& Lines() const { return FLines; }
  TKVDynamicsSetting* Dynamics() const { return FDynamics.get(); }
  void SetDynamics(std::unique_ptr<TKVDynamicsSetting> Setting) { FDynamics = std::move(Setting); }

  uint16_t Position() const { return Data().u16(LyricBlock::Position); }
  void SetPosition(uint16_t V) { Data().setU16(LyricBlock::Position, V); }
  uint8_t StaffVoice() const { return Data().u8(LyricBlock::StaffVoice); }
  void SetStaffVoice(uint8_t V) { Data().setU8(LyricBlock::StaffVoice, V); }
  uint8_t Flags() const { return Data().u8(LyricBlock::Flags); }
  void SetFlags(uint8_t V) { Data().setU8(LyricBlock::Flags, V); }
  int16_t OffsetX() const { return Data().i16(LyricBlock::OffsetX); }
  void SetOffsetX(int16_t V) { Data().setI16(LyricBlock::OffsetX, V); }
  int16_t OffsetY() const { return Data().i16(LyricBlock::OffsetY); }
  void SetOffsetY(int16_t V) { Data().setI16(LyricBlock::OffsetY, V); }
  uint8_t FontSize() const { return Data().u8(LyricBlock::FontSize); }
  void SetFontSize(uint8_t V) { Data().setU8(LyricBlock::FontSize, V); }
  uint8_t FontStyle() const { return Data().u8(LyricBlock::FontStyle); }
  void SetFontStyle(uint8_t V) { Data().setU8(LyricBlock::FontStyle, V); }
  // The font it is measured, drawn and edited in: its name ("Arial" when it
  // has none) and its size in points (8 when 0).
  std::string FontName() const { return FText.empty() ? "Arial" : FText; }
  uint8_t FontPoints() const { return FontSize() != 0 ? FontSize() : 8; }
  // That font as the layout measures it (and the importers, to leave the
  // room the layout will take): eight units a point, its own style.
  text::TFontSpec LayoutFont() const { return {FontName(), FontPoints() * 8, FontStyle()}; }
  TKVTextAlign Alignment() const { return TextAlignOf(Flags()); }
  uint8_t Verse() const { return Data().u8(LyricBlock::Verse); }
  void SetVerse(uint8_t V) { Data().setU8(LyricBlock::Verse, V); }
  uint32_t Color() const { return Data().u32(LyricBlock::Color); }
  void SetColor(uint32_t V) { Data().setU32(LyricBlock::Color, V); }
  uint16_t Angle() const { return Data().u16(LyricBlock::Angle); }
  void SetAngle(uint16_t V) { Data().setU16(LyricBlock::Angle, V); }
  uint16_t BoxWidth() const { return Data().u16(LyricBlock::BoxWidth); }
  uint16_t BoxHeight() const { return Data().u16(LyricBlock::BoxHeight); }
  // Clearing either asks the layout to measure the text again.
  void SetBox(uint16_t Width, uint16_t Height) {
    Data().setU16(LyricBlock::BoxWidth, Width);
    Data().setU16(LyricBlock::BoxHeight, Height);
  }

  // Run-time fields of the layout and the player.
  uint8_t RuntimeStaff = 0;
  TKVItem* SyllableLink = nullptr;  // the syllable this one is joined to (page composer)
  std::vector<uint8_t> MidiBytes;   // a MIDI play action's message, prepared by the layout
  uint8_t State = 0;                // bit 6: highlighted while it is sung (the player's)

private:
  std::string FText;
  TKVWideList FLines;
  std::unique_ptr<TKVDynamicsSetting> FDynamics;
};

// The room a lyric's text takes in its layout font: its widest line, at
// least 64 units ("Empty" when it has no lines), and a text line's height
// for each line (one at least), without the room the layout leaves below.
struct TKVTextSize {
  int32_t Width = 0, Height = 0;
};
TKVTextSize LyricTextSize(text::TTextMeasurer& Measurer, const TKVLyric& Lyric);
