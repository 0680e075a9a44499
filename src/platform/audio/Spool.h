#pragma once
// A take's recorded frames as they arrive, kept in its journal
// (TakeJournal.h): a file of the name given, or of no name in the system's
// temporary folder (nothing is left behind). The capture thread appends
// without waiting for the disk; a thread of its own writes, brings the
// journal's sizes up to date after every write and puts the file on disk
// at least once a second, so that a process that dies keeps what arrived.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/codec/WaveFormat.h"

namespace audio {

class TSpool {
public:
  TSpool() = default;
  ~TSpool();
  TSpool(const TSpool&) = delete;
  TSpool& operator=(const TSpool&) = delete;

  // Makes the journal for frames in Format: the file Path (replacing one
  // there) or, Path empty, a file of no name; starts the writer. The journal
  // is locked while it is open; one that another process holds locked is
  // left to it (a file of no name serves instead). False when no file can
  // be made.
  bool Open(const std::string& path, const codec::TWaveFormat& format);
  bool IsOpen() const { return FFile >= 0; }
  // Any thread; keeps the bytes until the writer has them on disk.
  void Append(const uint8_t* data, size_t count);
  // Returns when everything appended is written; false once a write failed
  // (later bytes are dropped, what was written stays).
  bool Drain();
  // Frame bytes appended so far (after a failed write: those written).
  uint64_t Size() const { return FAppended.load(); }
  // Reads Count frame bytes at Offset of what is written.
  bool ReadAt(uint64_t offset, uint8_t* buffer, size_t count) const;
  // Makes the named journal a complete take of its first Bytes (TakeJournal.h)
  // and renames it to Path, so that nothing is copied and a full disk
  // cannot stop it.
  // False when the journal has no name, could not be completed or lies on
  // another file system. Once moved the file is no longer the spool's: its
  // frames stay readable, but no more are taken and Remove leaves it.
  bool MoveTo(const std::string& path, uint64_t bytes);
  bool Moved() const { return FMoved; }
  // Removes the named journal from its folder.
  void Remove();

private:
  void Run();

  int FFile = -1;
  std::string FPath;  // empty: no name
  bool FMoved = false;
  std::thread FWriter;
  std::mutex FLock;
  std::condition_variable FWork, FIdle;
  std::vector<uint8_t> FPending;
  bool FWriting = false, FQuit = false, FFailed = false;
  std::atomic<uint64_t> FAppended{0};
  std::chrono::steady_clock::time_point FSynced;  // the writer's own
};

}  // namespace audio
