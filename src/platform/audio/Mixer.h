#pragma once
// Mixers as the record panel uses them: one mixer per capture device (same
// index, same product name), each with one destination line, the wave-input
// line, whose controls are the device's input volume (unsigned, 0..65535,
// one value per channel) and its mute switch. A handle opened with a
// procedure hears, on the main thread, of every change of a control of its
// device, made through any handle or outside the program, and of capture
// devices coming or going (a line change: the indexes may have moved).
//
// Threads: every call belongs to the main thread.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/MmResults.h"

namespace audio {

using namespace mmresult;  // result codes (base/MmResults.h)

// 0 is never a valid handle; handles are not reused.
using HMIXER = uint32_t;

constexpr uint32_t MIXERLINE_COMPONENTTYPE_DST_WAVEIN = 7;
constexpr uint32_t MIXERCONTROL_CONTROLTYPE_VOLUME = 0x50030001;
constexpr uint32_t MIXERCONTROL_CONTROLTYPE_MUTE = 0x20010002;
constexpr uint32_t MIXERCONTROL_CONTROLF_UNIFORM = 0x00000001;
constexpr uint32_t MIXERLINE_LINEF_ACTIVE = 0x00000001;

// Notification messages.
constexpr uint32_t MM_MIXM_LINE_CHANGE = 0x3D0;
constexpr uint32_t MM_MIXM_CONTROL_CHANGE = 0x3D1;

// Message is MM_MIXM_CONTROL_CHANGE (Id = the control's ID) or
// MM_MIXM_LINE_CHANGE (Id = the line's ID). Nothing arrives after Close.
using TMixerProc = std::function<void(HMIXER mixer, uint32_t message, uint32_t id)>;

struct TMixerCaps {
  std::string ProductName;  // at most 32 characters
  uint32_t Destinations = 0;
};

struct TMixerLine {
  uint32_t Destination = 0;
  uint32_t LineID = 0;
  uint32_t Flags = 0;
  uint32_t ComponentType = 0;
  uint32_t Channels = 0;
  uint32_t Controls = 0;
  std::string ShortName, Name;
};

struct TMixerControl {
  uint32_t ControlID = 0;
  uint32_t ControlType = 0;
  uint32_t Flags = 0;
  uint32_t Minimum = 0, Maximum = 0;
  std::string ShortName, Name;
};

unsigned MixerGetNumDevs();
MMRESULT MixerGetDevCaps(int mixerId, TMixerCaps& caps);
MMRESULT MixerOpen(HMIXER& handle, int mixerId, TMixerProc proc);
MMRESULT MixerClose(HMIXER handle);
// The destination line of ComponentType (MIXERR_INVALLINE when the mixer
// has none).
MMRESULT MixerGetLineInfoByComponentType(HMIXER handle, uint32_t componentType, TMixerLine& line);
// Every control of the line, in the mixer's order: volume first, then mute.
MMRESULT MixerGetLineControls(HMIXER handle, uint32_t lineId, std::vector<TMixerControl>& controls);
// Channels values: 1 (a uniform control, or all channels as one) or the
// line's channel count. Set clamps each value to the control's range.
MMRESULT MixerGetControlDetails(HMIXER handle, uint32_t controlId, uint32_t channels, std::vector<uint32_t>& values);
MMRESULT MixerSetControlDetails(HMIXER handle, uint32_t controlId, const std::vector<uint32_t>& values);

}  // namespace audio
