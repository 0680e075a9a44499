#pragma once
// A tie or slur (kind 30), attached to the note where it starts.

#include <cstdint>

#include "score/model/ElementBlocks.h"
#include "score/model/Item.h"

class TKVLiga : public TKVItem {
public:
  explicit TKVLiga(TObject* Owner);
  TKVItemClass ItemClass() const override { return TKVItemClass::Liga; }

  // Block only.
  void Assign(const TKVItem& Source) override;
  void ReadData(TStream& Stream) override;

  // Places the curve's end points where the importers want them unless the
  // user has set them (flag bit 5): a first offset within 16 units of 0
  // becomes 0 when the curve lies on the other side or the owning note's stem
  // goes down, else 32; a second offset within 16 units of 0 becomes -32 on
  // the other side, else 0.
  void SetDefaultOffsets();
  // Gives a curve without control points (an imported one whose document
  // shapes none) a bow: both control points Height units away from the
  // notes on the curve's side and Inset units in from its ends. Nothing when
  // the user set the offsets or a control point is already there.
  void SetDefaultControls(int16_t Height, int16_t Inset);

  uint8_t Flags() const { return Data().u8(LigaBlock::Flags); }
  void SetFlags(uint8_t V) { Data().setU8(LigaBlock::Flags, V); }
  bool Flag(int Bit) const { return Data().bit(LigaBlock::Flags, Bit); }
  int16_t FirstOffset() const { return Data().i16(LigaBlock::FirstOffset); }
  void SetFirstOffset(int16_t V) { Data().setI16(LigaBlock::FirstOffset, V); }
  int16_t SecondOffset() const { return Data().i16(LigaBlock::SecondOffset); }
  void SetSecondOffset(int16_t V) { Data().setI16(LigaBlock::SecondOffset, V); }
  // The curve's control points: offsets from the start and the end point,
  // score units at Scale 100.
  int16_t Control1X() const { return Data().i16(LigaBlock::FirstCurve); }
  int16_t Control1Y() const { return Data().i16(LigaBlock::FirstCurve + 2); }
  int16_t Control2X() const { return Data().i16(LigaBlock::SecondCurve); }
  int16_t Control2Y() const { return Data().i16(LigaBlock::SecondCurve + 2); }
  void SetControls(int16_t X1, int16_t Y1, int16_t X2, int16_t Y2) {
    Data().setI16(LigaBlock::FirstCurve, X1), Data().setI16(LigaBlock::FirstCurve + 2, Y1);
    Data().setI16(LigaBlock::SecondCurve, X2), Data().setI16(LigaBlock::SecondCurve + 2, Y2);
  }
  uint32_t Color() const { return Data().u32(LigaBlock::Color); }
  void SetColor(uint32_t V) { Data().setU32(LigaBlock::Color, V); }
  uint8_t PenStyle() const { return Data().u8(LigaBlock::PenStyle); }
  void SetPenStyle(uint8_t V) { Data().setU8(LigaBlock::PenStyle, V); }
};
