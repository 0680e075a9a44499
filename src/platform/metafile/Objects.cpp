#include "platform/metafile/Objects.h"

namespace metafile {

bool TObjectTable::AddAtLowest(TGdiObject object) {
  while (FLowestFree < FCapacity && FObjects.count(FLowestFree)) ++FLowestFree;
  if (FLowestFree >= FCapacity) return false;
  FObjects[FLowestFree++] = std::move(object);
  return true;
}

bool TObjectTable::Put(std::uint32_t index, TGdiObject object) {
  if (index >= FCapacity) return false;
  FObjects[index] = std::move(object);
  return true;
}

const TGdiObject* TObjectTable::Get(std::uint32_t index) const {
  auto it = FObjects.find(index);
  return it == FObjects.end() ? nullptr : &it->second;
}

bool TObjectTable::Remove(std::uint32_t index) {
  if (!FObjects.erase(index)) return false;
  if (index < FLowestFree) FLowestFree = index;
  return true;
}

}  // namespace metafile
