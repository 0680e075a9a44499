#pragma once
// One entry of the MIDI device list. The layer (MidiOut.cpp) owns the rules
// that every device shares: who holds it open, handles, and keeping sends
// and Close apart. A device only does the sending.
//
// Calls arrive as follows: Open and Close never overlap each other nor a
// send; Short and Long run only between a successful Open and its Close but
// may overlap each other (the play thread and the main thread both send);
// Caps, SetVolume and GetVolume may come at any time from the main thread.

#include <cstddef>
#include <cstdint>

#include "platform/midi/MidiOut.h"

namespace midi {

class TOutputDevice {
public:
  virtual ~TOutputDevice() = default;
  virtual TMidiOutCaps Caps() = 0;
  virtual TResult Open() = 0;
  // Silences what sounds; nothing sent earlier may sound after it.
  virtual void Close() = 0;
  // TimeNs: when the message is meant to sound (SendTime.h); a device that
  // cannot wait plays it at once.
  virtual TResult Short(uint32_t message, int64_t timeNs) = 0;
  // Data holds Length > 0 raw MIDI bytes.
  virtual TResult Long(const uint8_t* data, size_t length, int64_t timeNs) = 0;
  virtual TResult SetVolume(uint32_t) { return MMSYSERR_NOTSUPPORTED; }
  virtual TResult GetVolume(uint32_t&) { return MMSYSERR_NOTSUPPORTED; }
};

}  // namespace midi
