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
