#pragma once
// Saving a take: a checked copy of the working file, or its conversion
// through a codec into a RIFF WAVE file with "fmt ", "fact" and "data"
// chunks, in blocks of 100 ms of audio so that a caller can show progress
// and stop. The result says which of the program's messages applies; the
// caller shows it. The destination is written under a temporary name in
// its folder and renamed when complete: a failed or stopped save leaves no
// partial file, and a file the destination named before stays as it was.

#include <cstdint>
#include <functional>
#include <string>

#include "platform/codec/Acm.h"

namespace codec {

enum class TWaveSaveStatus {
  wsOk,
  wsNoStream,     // the codec cannot convert this source (no usable compressed format or stream)
  wsCannotOpen,   // Path cannot be opened or created, or the destination is the source itself
  wsBadSource,    // the source is no readable RIFF WAVE file of 8- or 16-bit PCM
  wsWriteError,   // writing the destination failed
  wsConvertError, // the codec failed or made no progress
  wsAborted,      // the caller stopped the save
};

struct TWaveSaveResult {
  TWaveSaveStatus Status = TWaveSaveStatus::wsOk;
  MMRESULT Code = MMSYSERR_NOERROR;  // the codec call's code, when one failed
  std::string Path;                  // the file that could not be opened or written
  // Why the destination could not be made or written, as the system said it
  // (its errno: no permission, a full disk, a read-only file system ...);
  // 0 when not known.
  int Error = 0;
  std::string Detail;                // what was wrong, in English, for the log
  uint32_t Samples = 0;              // sample frames converted (the "fact" value)
  bool Ok() const { return Status == TWaveSaveStatus::wsOk; }
};

struct TWaveSaveEvents {
  // After each block: source data bytes converted so far and in all.
  std::function<void(uint64_t done, uint64_t total)> OnProgress;
  // Asked after each block (the caller may let its window messages run
  // here); true stops the save.
  std::function<bool()> Aborted;
};

// Converts the "data" chunk of Source (8- or 16-bit PCM in its own format)
// into Format, through driver Driver (0: any driver).
TWaveSaveResult ConvertWaveFile(const std::string& source, const std::string& dest, const TWaveFormat& format,
                                HACMDRIVERID driver, const TWaveSaveEvents& events = {});
// Copies Source to Dest byte for byte, checked.
TWaveSaveResult CopyWaveFile(const std::string& source, const std::string& dest);
// True when both names lead to one existing file (same device and inode).
bool SameFile(const std::string& a, const std::string& b);

}  // namespace codec
