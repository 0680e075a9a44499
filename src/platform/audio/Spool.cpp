#include "platform/audio/Spool.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>

#include "base/PositionedIO.h"
#include "platform/audio/TakeJournal.h"

namespace audio {

namespace {

constexpr auto kSyncInterval = std::chrono::seconds(1);

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

bool TSpool::Open(const std::string& path, const codec::TWaveFormat& format) {
  if (FFile >= 0) return true;
  if (path.empty()) {
    std::error_code error;
    std::string name = (std::filesystem::temp_directory_path(error) / "sonarid-take-XXXXXX").string();
    if (error) return false;
    FFile = ::mkostemp(name.data(), O_CLOEXEC);
    if (FFile >= 0) ::unlink(name.c_str());
  } else {
    // A journal another process records into (it holds the lock) is left
    // to it: this take goes into a file of no name. A file system without
    // locks gets the journal unlocked.
    FFile = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (FFile >= 0 && ::flock(FFile, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
      ::close(FFile);
      FFile = -1;
      return Open("", format);
    }
    if (FFile >= 0 && ::ftruncate(FFile, 0) != 0) {
      ::close(FFile);
      FFile = -1;
    }
    FPath = path;
  }
  if (FFile < 0) return false;
  const std::vector<uint8_t> header = TakeJournalHeader(format, 0);
  if (WriteAtOffset(FFile, header.data(), header.size(), 0) != header.size()) {
    ::close(FFile);
    FFile = -1;
    if (!FPath.empty()) ::unlink(FPath.c_str());
    return false;
  }
  FSynced = std::chrono::steady_clock::now();
  FWriter = std::thread([this] { Run(); });
  return true;
}

void TSpool::Append(const uint8_t* data, size_t count) {
  if (count == 0) return;
  {
    std::lock_guard<std::mutex> lock(FLock);
    if (FFailed || FMoved) return;
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
  return ReadAtOffset(FFile, buffer, count, offset + TakeJournalHeaderBytes);
}

bool TSpool::MoveTo(const std::string& path, uint64_t bytes) {
  if (FPath.empty() || FMoved) return false;
  Drain();
  std::lock_guard<std::mutex> lock(FLock);
  if (!CompleteTakeJournal(FFile, std::min(bytes, FAppended.load())) || ::rename(FPath.c_str(), path.c_str()) != 0) return false;
  FMoved = true;
  return true;
}

void TSpool::Remove() {
  if (!FPath.empty() && !FMoved) ::unlink(FPath.c_str());
}

void TSpool::Run() {
  std::vector<uint8_t> batch;
  uint64_t written = 0;
  std::unique_lock<std::mutex> lock(FLock);
  for (;;) {
    FWork.wait(lock, [this] { return FQuit || !FPending.empty(); });
    if (FPending.empty()) return;
    batch.swap(FPending);
    FWriting = true;
    lock.unlock();
    const size_t done = WriteAtOffset(FFile, batch.data(), batch.size(), TakeJournalHeaderBytes + written);
    written += done;
    // A reader of the journal, or the next start after a crash, finds the
    // frames written so far; the disk gets them at least once a second.
    WriteTakeJournalSizes(FFile, written);
    const auto now = std::chrono::steady_clock::now();
    if (!FPath.empty() && now - FSynced >= kSyncInterval) {
      ::fdatasync(FFile);
      FSynced = now;
    }
    const bool ok = done == batch.size();
    batch.clear();
    lock.lock();
    FWriting = false;
    if (!ok && !FFailed) {
      // What is written is all there is: the size counts only that.
      FFailed = true;
      FAppended.store(written);
      FPending.clear();
    }
    if (FPending.empty()) FIdle.notify_all();
  }
}

}  // namespace audio
