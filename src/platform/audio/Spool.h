#pragma once
// A growing store of recorded bytes in a temporary file (the system's
// temporary folder, removed from the folder at once, so nothing is left
// behind). The capture thread appends without waiting for the disk; a
// thread of its own writes.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

namespace audio {

class TSpool {
public:
  TSpool() = default;
  ~TSpool();
  TSpool(const TSpool&) = delete;
  TSpool& operator=(const TSpool&) = delete;

  // Makes the file and starts the writer; false when no file can be made.
  bool Open();
  // Any thread; keeps the bytes until the writer has them on disk.
  void Append(const uint8_t* data, size_t count);
  // Returns when everything appended is on disk; false once a write failed
  // (later bytes are dropped).
  bool Drain();
  // Bytes appended so far.
  uint64_t Size() const { return FAppended.load(); }
  // Reads Count bytes at Offset of what is on disk.
  bool ReadAt(uint64_t offset, uint8_t* buffer, size_t count) const;

private:
  void Run();

  int FFile = -1;
  std::thread FWriter;
  std::mutex FLock;
  std::condition_variable FWork, FIdle;
  std::vector<uint8_t> FPending;
  bool FWriting = false, FQuit = false, FFailed = false;
  std::atomic<uint64_t> FAppended{0};
};

}  // namespace audio
