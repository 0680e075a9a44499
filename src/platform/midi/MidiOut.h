#pragma once
// MIDI output as the player sees it: a numbered device list with
// capabilities, open and close, short messages packed into one 32-bit word
// (status | data1 << 8 | data2 << 16), system-exclusive blocks, left/right
// volume and result codes with texts. Device 0 is the built-in synthesiser;
// ALSA sequencer ports follow when the machine has them; tests and
// benchmarks may add devices of their own (AddDevice).
//
// Threads: any thread may send; open, close, volume and the device list
// belong to the main thread. A send that races a Close either reaches the
// device before Close silences it or fails with MMSYSERR_INVALHANDLE, never
// after. The "done" notice of a long message always runs on the main thread,
// through the program's main queue.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "base/MmResults.h"

namespace midi {

class TOutputDevice;

// Result codes (base/MmResults.h), logged by the player and compared with 0.
using namespace mmresult;
using TResult = MMRESULT;

// Device technologies and support flags of TMidiOutCaps.
enum : uint16_t { MOD_MIDIPORT = 1, MOD_SYNTH = 2, MOD_MAPPER = 5, MOD_SWSYNTH = 7 };
enum : uint32_t { MIDICAPS_VOLUME = 1, MIDICAPS_LRVOLUME = 2 };

// The device standing in for the mapper: the default device (device 0).
constexpr int MIDI_MAPPER = -1;

struct TMidiOutCaps {
  uint32_t DriverVersion = 0;  // major << 8 | minor
  std::string ProductName;
  uint16_t Technology = 0;
  uint16_t Voices = 0;
  uint16_t Notes = 0;
  uint16_t ChannelMask = 0;
  uint32_t Support = 0;
};

// An open device. 0 is never a valid handle; a closed handle stays invalid
// (handles are not reused).
using THandle = uint32_t;

enum : uint32_t { MHDR_DONE = 1 };

// A long message as the caller hands it over. The bytes are sent before
// LongMsg returns; the header comes back, with MHDR_DONE set, in the
// owner's done procedure on the main thread. The caller keeps the header
// and the bytes alive until then (or until it cancels its queued calls).
struct TMidiHdr {
  const uint8_t* Data = nullptr;
  size_t Length = 0;
  uintptr_t User = 0;
  uint32_t Flags = 0;
};

// Runs on the main thread, from TMainQueue::ProcessPending.
using TMidiOutProc = std::function<void(THandle handle, TMidiHdr* header)>;

// Device list. Ids run from 0 to GetNumDevs() - 1; MIDI_MAPPER selects
// device 0.
unsigned GetNumDevs();
TResult GetDevCaps(int deviceId, TMidiOutCaps& caps);

// Opens a device for this caller alone (a second Open of an open device
// gives MMSYSERR_ALLOCATED). Done (may be empty) receives every finished
// long message; it is posted to the main queue with PostOwner, so that the
// caller can cancel what is still queued before it dies.
TResult Open(THandle& handle, int deviceId, TMidiOutProc done = {}, const void* postOwner = nullptr);
// Silences the device (all sound off, controllers reset) and closes it.
TResult Close(THandle handle);
TResult ShortMsg(THandle handle, uint32_t message);
// Header->Data holds Length raw MIDI bytes: system-exclusive blocks
// (F0 .. F7) and/or channel messages, running status allowed.
TResult LongMsg(THandle handle, TMidiHdr* header);

// Volume of a device (not of a handle): Right << 16 | Left, 0xFFFF = full.
// It applies while the device is open or closed.
TResult SetVolume(int deviceId, uint32_t volume);
TResult GetVolume(int deviceId, uint32_t& volume);

// MMSYSERR_BADERRNUM (text left empty) for a code without a text.
TResult GetErrorText(TResult code, std::string& text);

// Adds a device at the end of the list and returns its id; RemoveDevice
// takes it out again (the ids after it move down by one). For tests and
// benchmarks: the program's own list is fixed at its first use.
int AddDevice(std::shared_ptr<TOutputDevice> device);
void RemoveDevice(const std::shared_ptr<TOutputDevice>& device);

}  // namespace midi
