#include "platform/audio/Spool.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

namespace audio {

namespace {

bool WriteAll(int fd, const uint8_t* data, size_t count) {
  while (count > 0) {
    const ssize_t n = ::write(fd, data, count);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    count -= size_t(n);
  }
  return true;
}

}  // namespace

TSpool::~TSpool() {
  if (FWriter.joinable()) {
    {
      std::lock_guard<std::mutex> lock(FLock);
      FQuit = true;
    }
    FWork.notify_one();
    FWriter.join();
  }
  if (FFile >= 0) ::close(FFile);
}

bool TSpool::Open() {
  if (FFile >= 0) return true;
  std::error_code error;
  std::string name = (std::filesystem::temp_directory_path(error) / "sonarid-take-XXXXXX").string();
  if (error) return false;
  FFile = ::mkostemp(name.data(), O_CLOEXEC);
  if (FFile < 0) return false;
  ::unlink(name.c_str());
  FWriter = std::thread([this] { Run(); });
  return true;
}

void TSpool::Append(const uint8_t* data, size_t count) {
  if (count == 0) return;
  {
    std::lock_guard<std::mutex> lock(FLock);
    if (FFailed) return;
    FPending.insert(FPending.end(), data, data + count);
    FAppended.fetch_add(count);
  }
  FWork.notify_one();
}

bool TSpool::Drain() {
  std::unique_lock<std::mutex> lock(FLock);
  FIdle.wait(lock, [this] { return FPending.empty() && !FWriting; });
  return !FFailed;
}

bool TSpool::ReadAt(uint64_t offset, uint8_t* buffer, size_t count) const {
  while (count > 0) {
    const ssize_t n = ::pread(FFile, buffer, count, off_t(offset));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    buffer += n;
    offset += uint64_t(n);
    count -= size_t(n);
  }
  return true;
}

void TSpool::Run() {
  std::vector<uint8_t> batch;
  std::unique_lock<std::mutex> lock(FLock);
  for (;;) {
    FWork.wait(lock, [this] { return FQuit || !FPending.empty(); });
    if (FPending.empty()) return;
    batch.swap(FPending);
    FWriting = true;
    lock.unlock();
    const bool ok = WriteAll(FFile, batch.data(), batch.size());
    batch.clear();
    lock.lock();
    FWriting = false;
    if (!ok && !FFailed) {
      // What is on disk is all there is: the size counts only that.
      FFailed = true;
      FAppended.store(uint64_t(::lseek(FFile, 0, SEEK_END)));
      FPending.clear();
    }
    if (FPending.empty()) FIdle.notify_all();
  }
}

}  // namespace audio
