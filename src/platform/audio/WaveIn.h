#pragma once
// Wave input as the level monitor uses it: a handle opened on a capture
// device (or on the device chosen for input) with a PCM format, buffers
// that the caller prepares and queues, and each filled buffer handed back on
// the main thread through the program's main queue. Data arrive only
// between Start and Stop (or Reset); with no buffer queued they are lost.
//
// Threads: every call belongs to the main thread. The caller's buffer
// memory is written by the capture thread while the buffer is queued; the
// caller leaves it alone until it comes back.

#include <cstdint>
#include <functional>
#include <string>

#include "base/MmResults.h"
#include "platform/codec/WaveFormat.h"

namespace audio {

using namespace mmresult;  // result codes (base/MmResults.h)

// The device chosen for input (SetInputDevice).
constexpr int WAVE_MAPPER = -1;

// Header flags.
constexpr uint32_t WHDR_DONE = 0x01;
constexpr uint32_t WHDR_PREPARED = 0x02;
constexpr uint32_t WHDR_INQUEUE = 0x10;

struct TWaveHdr {
  uint8_t* lpData = nullptr;
  uint32_t dwBufferLength = 0;
  uint32_t dwBytesRecorded = 0;  // set when the buffer comes back
  uintptr_t dwUser = 0;
  uint32_t dwFlags = 0;
};

// 0 is never a valid handle; handles are not reused.
using HWAVEIN = uint32_t;

// A buffer that came back (filled, or cut short by Stop or Reset), on the
// main thread. Nothing arrives for a handle after its Close.
using TWaveInProc = std::function<void(HWAVEIN handle, TWaveHdr* header)>;

struct TWaveInCaps {
  std::string ProductName;  // at most 32 characters
  uint16_t Channels = 0;
};

unsigned WaveInGetNumDevs();
MMRESULT WaveInGetDevCaps(int deviceId, TWaveInCaps& caps);

// WAVERR_BADFORMAT unless IsRecordFormat(Format) (CaptureFormat.h).
MMRESULT WaveInOpen(HWAVEIN& handle, int deviceId, const codec::TWaveFormat& format, TWaveInProc proc);
// Resets the input first.
MMRESULT WaveInClose(HWAVEIN handle);
MMRESULT WaveInPrepareHeader(HWAVEIN handle, TWaveHdr& header);
// WAVERR_STILLPLAYING while the buffer is queued.
MMRESULT WaveInUnprepareHeader(HWAVEIN handle, TWaveHdr& header);
// WAVERR_UNPREPARED for a header not prepared.
MMRESULT WaveInAddBuffer(HWAVEIN handle, TWaveHdr& header);
MMRESULT WaveInStart(HWAVEIN handle);
// Stops; the buffer being filled comes back with what it holds, the empty
// ones stay queued.
MMRESULT WaveInStop(HWAVEIN handle);
// Stops and hands every queued buffer back.
MMRESULT WaveInReset(HWAVEIN handle);

}  // namespace audio
