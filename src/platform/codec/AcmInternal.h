#pragma once
// What the enumeration and the stream halves of the compression manager share.

#include <vector>

#include "platform/codec/Acm.h"
#include "platform/codec/CodecCatalog.h"

namespace codec {

struct TAcmDriver {
  const detail::TDriverInfo* Info = nullptr;
};

namespace detail {

// The handles this layer gave out and has not closed, so that a closed or
// made-up handle is refused without being touched.
void AddLiveHandle(const void* handle);
// False when Handle is not live (then nothing is removed).
bool RemoveLiveHandle(const void* handle);
bool IsLiveHandle(const void* handle);

inline bool IsLiveDriver(HACMDRIVER had) { return IsLiveHandle(had); }
// The drivers a call covers: Had's own, or every available one.
std::vector<const TDriverInfo*> DriversOf(HACMDRIVER had);
// The formats Driver can convert Src into, in the order they are offered.
std::vector<TWaveFormat> ConvertTargets(const TDriverInfo& driver, const TWaveFormat& src);

}  // namespace detail
}  // namespace codec
