#include "media/audio/AuFileStream.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "media/audio/AuException.h"

TAuFileStream::TAuFileStream(const std::string& fileName, unsigned mode) {
  static constexpr int kAccess[4] = {O_RDONLY, O_WRONLY, O_RDWR, O_RDONLY};
  const int flags = mode == CreateMode ? O_RDWR | O_CREAT | O_TRUNC : kAccess[mode & 3];
  FHandle = ::open(fileName.c_str(), flags | O_CLOEXEC, 0644);
  if (FHandle < 0) throw EAuException(std::strerror(errno));
}

TAuFileStream::~TAuFileStream() {
  if (FHandle >= 0) ::close(FHandle);
}

int64_t TAuFileStream::Read(void* buffer, int64_t count) {
  int64_t done = 0;
  while (done < count) {
    const ssize_t n = ::read(FHandle, static_cast<char*>(buffer) + done, size_t(count - done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += n;
  }
  return done;
}

int64_t TAuFileStream::Write(const void* buffer, int64_t count) {
  int64_t done = 0;
  while (done < count) {
    const ssize_t n = ::write(FHandle, static_cast<const char*>(buffer) + done, size_t(count - done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += n;
  }
  return done;
}

int64_t TAuFileStream::Seek(int64_t offset, TSeekOrigin origin) {
  const int whence = origin == TSeekOrigin::soBeginning ? SEEK_SET : origin == TSeekOrigin::soCurrent ? SEEK_CUR : SEEK_END;
  const off_t at = ::lseek(FHandle, off_t(offset), whence);
  return at < 0 ? -1 : int64_t(at);
}
