#pragma once
// What the enumeration and the stream halves of the compression manager share.

#include <vector>

#include "platform/codec/Acm.h"
#include "platform/codec/CodecCatalog.h"

namespace codec {

struct TAcmDriver {
  static constexpr uint32_t kMagic = 0x44524956;  // tells a live handle from a stale one
  uint32_t Magic = kMagic;
  const detail::TDriverInfo* Info = nullptr;
};

namespace detail {

bool IsLiveDriver(HACMDRIVER had);
// The drivers a call covers: Had's own, or every available one.
std::vector<const TDriverInfo*> DriversOf(HACMDRIVER had);
// The formats Driver can convert Src into, in the order they are offered.
std::vector<TWaveFormat> ConvertTargets(const TDriverInfo& driver, const TWaveFormat& src);

}  // namespace detail
}  // namespace codec
