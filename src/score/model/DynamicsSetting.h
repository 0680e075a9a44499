#pragma once
// A dynamics setting of its own, carried by a lyric text or a mark: a
// relative flag word and a signed value (five plain bytes) and a text. The
// piece's velocity pass reads it.

#include <cstdint>
#include <string>

#include "base/ByteBlock.h"
#include "score/model/ElementBlocks.h"

struct TKVDynamicsSetting {
  TByteBlock Data{DynamicsBlock::Size};
  std::string Text;

  // Non-zero: Value changes the current level; zero: Value is the level.
  bool Relative() const { return Data.u16(DynamicsBlock::Relative) != 0; }
  int16_t Value() const { return Data.i16(DynamicsBlock::Value); }
  // The same bytes read as a play action.
  uint8_t ActionKind() const { return Data.u8(DynamicsBlock::Action); }
  uint16_t FirstValue() const { return Data.u16(DynamicsBlock::Relative); }
  uint16_t SecondValue() const { return Data.u16(DynamicsBlock::Value); }
  void SetAction(uint8_t Kind, uint16_t First, uint16_t Second) {
    Data.setU8(DynamicsBlock::Action, Kind);
    Data.setU16(DynamicsBlock::Relative, First);
    Data.setU16(DynamicsBlock::Value, Second);
  }
  void Set(bool Relative, int16_t Value) {
    Data.setU16(DynamicsBlock::Relative, Relative ? 1 : 0);
    Data.setI16(DynamicsBlock::Value, Value);
  }
};
