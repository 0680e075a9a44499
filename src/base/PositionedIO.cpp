#include "base/PositionedIO.h"

#include <unistd.h>

#include <cerrno>

size_t WriteAtOffset(int fd, const void* data, size_t count, uint64_t offset) {
  const auto* bytes = static_cast<const uint8_t*>(data);
  size_t done = 0;
  while (done < count) {
    const ssize_t n = ::pwrite(fd, bytes + done, count - done, off_t(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += size_t(n);
  }
  return done;
}

bool ReadAtOffset(int fd, void* data, size_t count, uint64_t offset) {
  auto* bytes = static_cast<uint8_t*>(data);
  size_t done = 0;
  while (done < count) {
    const ssize_t n = ::pread(fd, bytes + done, count - done, off_t(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += size_t(n);
  }
  return true;
}
