#pragma once
// What the reader reads a clip from: bytes, a position and a length.

#include <cstdint>

namespace wma {

class TByteSource {
public:
  virtual ~TByteSource() = default;
  // Up to Count bytes from the position on; the count read, 0 at the end.
  virtual int64_t Read(void* buffer, int64_t count) = 0;
  // Moves Offset from the start (origin 0), the position (1) or the end (2);
  // the new position, -1 when it cannot.
  virtual int64_t Seek(int64_t offset, int origin) = 0;
  // The whole length; -1 when not known.
  virtual int64_t Size() = 0;
};

}  // namespace wma
