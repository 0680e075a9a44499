#pragma once
// A lyric syllable or text line (kind 33 by construction, 34 and 35 through
// the factory): a text (the font name of a part label), its lines as wide
// strings, and an optional dynamics setting (a kind-34 text that changes the
// velocity).

#include <cstdint>
#include <memory>
#include <string>

#include "score/model/DynamicsSetting.h"
#include "score/model/ElementBlocks.h"
#include "score/model/Item.h"
#include "score/model/StreamStrings.h"

class TKVLyric : public TKVVoicedItem {
public:
  explicit TKVLyric(TObject* Owner);

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

private:
  std::string FText;
  TKVWideList FLines;
  std::unique_ptr<TKVDynamicsSetting> FDynamics;
};
