#pragma once
// The object table of a metafile: the pens, brushes, fonts and regions its
// records create, select and delete by index. Its size comes from the
// header; an index outside it, or a slot already empty, is refused.

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "platform/metafile/DcState.h"

namespace metafile {

class TObjectTable {
public:
  explicit TObjectTable(std::uint32_t capacity) : FCapacity(capacity) {}
  // A Windows metafile's new object takes the lowest free index; false when the table is full.
  bool AddAtLowest(TGdiObject object);
  // An enhanced metafile names the index; false outside the table.
  bool Put(std::uint32_t index, TGdiObject object);
  const TGdiObject* Get(std::uint32_t index) const;
  bool Remove(std::uint32_t index);

private:
  std::uint32_t FCapacity;
  std::unordered_map<std::uint32_t, TGdiObject> FObjects;
  std::uint32_t FLowestFree = 0;
};

}  // namespace metafile
