#pragma once
// The clip output's buffer routines over one context: a looping secondary
// buffer that the output keeps filled between its write position and the
// device's play cursor, with the play cursor's wraps read from the
// performance counter so that an output that fell behind by whole buffers
// is noticed as an underrun.

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/audio/DirectSound.h"

namespace audio {
class TOutputBus;
}

struct TDSContext {
  std::unique_ptr<audio::TDirectSound> DS;
  std::unique_ptr<audio::TSoundBuffer> Buffer;
  uint32_t WritePos = 0;
  uint32_t BufferSize = 0;
  uint32_t FrameSize = 0;
  uint64_t TicksPerBuffer = 0;
  uint64_t LastCounter = 0;
  uint32_t LastPlayPos = 0;
  uint32_t Underruns = 0;
  bool Playing = false;
  bool Primary = false;
  uint64_t Played = 0;   // bytes the play cursor has passed since the start
  uint64_t Written = 0;  // bytes written since the start
};

struct TDSDevice {
  audio::TGuid Guid;
  char Description[128] = {};
};

constexpr int MaxDSDevices = 16;

struct TDSDeviceList {
  uint32_t Count = 0;
  TDSDevice Devices[MaxDSDevices];
};

using TDSEnumerator = std::function<audio::HRESULT(const audio::TDSEnumCallback&)>;

// Keeps at most 16 devices, then ends the enumeration.
void DSEnumerateDevices(TDSDeviceList& list, const TDSEnumerator& enumerate = audio::DirectSoundEnumerate);
audio::HRESULT DSCreate(TDSContext& ctx, const audio::TGuid& guid, audio::TOutputBus* bus);
// The first failing result of the buffer's set-up, else DS_OK.
audio::HRESULT DSInitOutput(TDSContext& ctx, void* window, const codec::TWaveFormat& format, uint32_t bytes);
void DSStartOutput(TDSContext& ctx);
void DSStopOutput(TDSContext& ctx);
void DSRestartOutput(TDSContext& ctx);
uint32_t DSGetFreeSpace(TDSContext& ctx);
void DSWriteBlock(TDSContext& ctx, const uint8_t* data, uint32_t bytes);
uint32_t DSFillSilence(TDSContext& ctx, uint8_t silence);
void DSTerminate(TDSContext& ctx);
