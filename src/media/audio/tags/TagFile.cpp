#include "media/audio/tags/TagFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "base/Log.h"
#include "base/PartialFile.h"
#include "base/PositionedIO.h"

namespace tagfile {

int64_t FileSize(int file) {
  struct stat st;
  return ::fstat(file, &st) == 0 ? int64_t(st.st_size) : -1;
}

bool ReadAt(int file, int64_t offset, void* buffer, size_t count) {
  return offset >= 0 && ReadAtOffset(file, buffer, count, uint64_t(offset));
}

namespace {

class TReadOnly {
public:
  explicit TReadOnly(const std::string& name) : Handle(::open(name.c_str(), O_RDONLY | O_CLOEXEC)) {}
  ~TReadOnly() {
    if (Handle >= 0) ::close(Handle);
  }
  TReadOnly(const TReadOnly&) = delete;
  TReadOnly& operator=(const TReadOnly&) = delete;
  const int Handle;
};

}  // namespace

bool Rewrite(const std::string& fileName, const std::vector<uint8_t>& head, int64_t skip, int64_t cut,
             const std::vector<uint8_t>& tail) {
  TReadOnly old(fileName);
  struct stat st;
  if (old.Handle < 0 || ::fstat(old.Handle, &st) != 0 || skip < 0 || cut < 0 || skip + cut > st.st_size) return false;
  auto fail = [&](const std::string& why) {
    Log("Tags not written to " + fileName + ": " + why);
    return false;
  };
  TPartialFile out(fileName);
  if (!out.Create()) return fail("no new file can be made beside it");
  try {
    out.Stream().WriteBuffer(head.data(), int64_t(head.size()));
    std::vector<uint8_t> block(1 << 16);
    for (int64_t at = skip, end = st.st_size - cut; at < end;) {
      const size_t n = size_t(std::min<int64_t>(int64_t(block.size()), end - at));
      if (!ReadAt(old.Handle, at, block.data(), n)) return fail("the old file cannot be read");
      out.Stream().WriteBuffer(block.data(), int64_t(n));
      at += int64_t(n);
    }
    out.Stream().WriteBuffer(tail.data(), int64_t(tail.size()));
  } catch (const EStreamError& e) {
    return fail(e.what());
  }
  if (!out.Commit()) return fail("the new file cannot be completed");
  ::chmod(fileName.c_str(), st.st_mode & 07777);
  return true;
}

}  // namespace tagfile
