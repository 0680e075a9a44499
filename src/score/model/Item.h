#pragma once
// The base of every notation element. An item knows its owner and its kind
// byte; each element class sizes the data block that holds its plain fields.
// The constructor registers the item with its owner and the destructor
// unregisters it, so an owner's list never holds a freed item.

#include <cstdint>

#include "base/ByteBlock.h"
#include "base/Object.h"

class TStream;

class TKVItem : public TObject {
public:
  // Owner may be nil (an unowned item). An owner whose registration switch is
  // set does not list the item; its creator inserts it.
  explicit TKVItem(TObject* Owner);
  ~TKVItem() override;

  TObject* Owner() const { return FOwner; }
  uint8_t Kind() const { return FKind; }
  virtual void SetKind(uint8_t Kind) { FKind = Kind; }

  // The element's plain fields; its size is the element's data size.
  TByteBlock& Data() { return FData; }
  const TByteBlock& Data() const { return FData; }
  uint16_t DataSize() const { return uint16_t(FData.Size()); }

  // Copies Source's plain fields; elements add their managed fields.
  virtual void Assign(const TKVItem& Source);
  // Reads the item's record; elements override it.
  virtual void ReadData(TStream& Stream);

private:
  TObject* FOwner;
  uint8_t FKind = 0;
  TByteBlock FData;
};
