#pragma once
// A 64-bit intermediate result as a 32-bit integer, held at the limits
// instead of wrapping.

#include <algorithm>
#include <cstdint>
#include <limits>

inline int32_t Saturate32(int64_t Value) {
  return int32_t(std::clamp<int64_t>(Value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}
