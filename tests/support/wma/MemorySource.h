#pragma once
// Bytes in memory as the Windows Media reader reads a clip, remembering the
// furthest byte it was asked for.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/wma/ByteSource.h"

namespace wmatest {

class TMemorySource final : public wma::TByteSource {
public:
  explicit TMemorySource(std::vector<uint8_t> bytes) : Bytes(std::move(bytes)) {}
  int64_t Read(void* buffer, int64_t count) override {
    const int64_t n = std::clamp<int64_t>(int64_t(Bytes.size()) - Position, 0, std::max<int64_t>(count, 0));
    if (n > 0) std::memcpy(buffer, Bytes.data() + Position, size_t(n));
    Furthest = std::max(Furthest, count > INT64_MAX - Position ? INT64_MAX : Position + count);
    Position += n;
    return n;
  }
  int64_t Seek(int64_t offset, int origin) override {
    const int64_t base = origin == 0 ? 0 : origin == 1 ? Position : int64_t(Bytes.size());
    if ((offset > 0 && base > INT64_MAX - offset) || base + offset < 0) return -1;
    return Position = base + offset;
  }
  int64_t Size() override { return int64_t(Bytes.size()); }

  std::vector<uint8_t> Bytes;
  int64_t Position = 0;
  int64_t Furthest = 0;  // one past the last byte a read asked for
};

}  // namespace wmatest
