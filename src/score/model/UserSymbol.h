#pragma once
// A user-defined symbol kept by the score (by name in its user-symbol list):
// an 8-byte block and the page objects it draws. Items are not registered by
// their constructor here; the symbol's reader appends them itself. A freed
// item still leaves the list.

#include <cstdint>

#include "base/ByteBlock.h"
#include "base/Object.h"
#include "score/model/ElementBlocks.h"
#include "score/model/ItemHolder.h"

class TStream;

class TKVUserSymbol : public TObject, public TKVItemHolder {
public:
  TKVUserSymbol() = default;
  ~TKVUserSymbol() override;

  TByteBlock& Data() { return FData; }
  uint16_t DataSize() const { return uint16_t(FData.Size()); }
  uint16_t Width() const { return FData.u16(UserSymbolBlock::Width); }
  uint16_t Height() const { return FData.u16(UserSymbolBlock::Height); }
  void SetSize(uint16_t W, uint16_t H) {
    FData.setU16(UserSymbolBlock::Width, W);
    FData.setU16(UserSymbolBlock::Height, H);
  }
  // Appends Item (owned by this symbol) whatever the switch.
  void AppendItem(TKVItem* Item) { InsertItem(GetItemCount(), Item); }
  void ReadData(TStream& Stream);

private:
  TByteBlock FData{UserSymbolBlock::Size};
};
