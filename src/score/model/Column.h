#pragma once
// One measure taken across all parts of a piece: it holds the items that
// belong to the whole column (meters, tempo marks, repeats ...) and the page
// and system breaks after it.

#include <cstdint>
#include <vector>

#include "base/ByteBlock.h"
#include "base/Object.h"
#include "score/model/ElementBlocks.h"
#include "score/model/ItemHolder.h"

class TKVPiece;
class TStream;
struct TKVMeasureRecord;

class TKVColumn : public TObject, public TKVItemHolder {
public:
  // Piece must not be nil: raises "Is not owner of the Piece". Appends
  // itself to the piece's columns (no event).
  explicit TKVColumn(TKVPiece* Piece);
  ~TKVColumn() override;

  TKVPiece* Piece() const { return FPiece; }
  int32_t Index() const { return FIndex; }
  void SetIndex(int32_t Index) { FIndex = Index; }
  TByteBlock& Data() { return FData; }
  const TByteBlock& Data() const { return FData; }
  uint16_t DataSize() const { return uint16_t(FData.Size()); }
  std::vector<uint16_t>& Words() { return FWords; }
  uint16_t Meter() const { return FData.u16(ColumnBlock::Meter); }
  void SetMeter(uint16_t V) { FData.setU16(ColumnBlock::Meter, V); }
  int16_t EndRoom() const { return FData.i16(ColumnBlock::EndRoom); }
  void SetEndRoom(int16_t V) { FData.setI16(ColumnBlock::EndRoom, V); }

  // Run-time: the measure record the layout made of this column.
  TKVMeasureRecord* Record = nullptr;
  // How the column's bar lines are painted: a width factor (0 is drawn as
  // 1, and painting stores 1 back) and a pen style (5 = no line). No score
  // file sets them.
  uint8_t BarWidthFactor = 0;
  uint8_t BarLineStyle = 0;

  // Frees own items, copies block and word array and a copy of every item.
  // Any other source raises EAssignError.
  void Assign(const TObject& Source);
  void ReadData(TStream& Stream);

private:
  TKVPiece* FPiece;
  int32_t FIndex = 0;
  TByteBlock FData{ColumnBlock::Size};
  std::vector<uint16_t> FWords;
};
