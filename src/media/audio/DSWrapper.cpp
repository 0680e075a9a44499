#include "media/audio/DSWrapper.h"

#include <algorithm>
#include <cstring>
#include <vector>

using namespace audio;

void DSEnumerateDevices(TDSDeviceList& list, const TDSEnumerator& enumerate) {
  list.Count = 0;
  enumerate([&](const TGuid& guid, const std::string& description) {
    TDSDevice& d = list.Devices[list.Count++];
    d.Guid = guid;
    std::memset(d.Description, 0, sizeof d.Description);
    std::memcpy(d.Description, description.data(), std::min(description.size(), sizeof d.Description - 1));
    return list.Count < MaxDSDevices;
  });
}

HRESULT DSCreate(TDSContext& ctx, const TGuid& guid, TOutputBus* bus) {
  ctx.DS.reset();
  return DirectSoundCreate(&guid, ctx.DS, bus);
}

HRESULT DSInitOutput(TDSContext& ctx, void* window, const codec::TWaveFormat& format, uint32_t bytes) {
  ctx.BufferSize = bytes;
  ctx.FrameSize = format.nBlockAlign();
  if (HRESULT r = ctx.DS->SetCooperativeLevel(window, DSSCL_EXCLUSIVE)) return r;
  if (HRESULT r = ctx.DS->SetPrimaryFormat(format)) return r;
  ctx.Primary = true;
  if (HRESULT r = ctx.DS->CreateSoundBuffer(format, bytes, ctx.Buffer)) return r;
  uint8_t *p1, *p2;
  uint32_t n1, n2;
  if (HRESULT r = ctx.Buffer->Lock(0, bytes, p1, n1, p2, n2)) return r;
  std::memset(p1, format.wBitsPerSample() == 8 ? 128 : 0, n1);
  ctx.Buffer->Unlock(p1, n1, p2, n2);
  ctx.TicksPerBuffer = std::max<uint64_t>(1, ctx.DS->PerformanceFrequency() * bytes / format.nAvgBytesPerSec());
  return DS_OK;
}

void DSStartOutput(TDSContext& ctx) {
  ctx.LastCounter = ctx.DS->PerformanceCounter();
  ctx.Underruns = 0;
  ctx.LastPlayPos = 0;
  ctx.Played = 0;
  ctx.Buffer->SetCurrentPosition(0);
  ctx.Buffer->Play(DSBPLAY_LOOPING);
  ctx.Playing = true;
}

void DSStopOutput(TDSContext& ctx) {
  ctx.Playing = false;
  ctx.Buffer->Stop();
}

void DSRestartOutput(TDSContext& ctx) {
  ctx.LastCounter = ctx.DS->PerformanceCounter();
  ctx.Buffer->Play(DSBPLAY_LOOPING);
  ctx.Playing = true;
}

uint32_t DSGetFreeSpace(TDSContext& ctx) {
  const int64_t size = ctx.BufferSize;
  uint32_t playCursor, writeCursor;
  ctx.Buffer->GetCurrentPosition(playCursor, writeCursor);
  const int64_t guard = (int64_t(writeCursor) - playCursor + size) % size;
  int64_t play = playCursor;
  if (ctx.Playing) {
    const uint64_t now = ctx.DS->PerformanceCounter();
    const uint64_t elapsed = now - ctx.LastCounter;
    ctx.LastCounter = now;
    int64_t played = (play - ctx.LastPlayPos + size) % size;
    ctx.LastPlayPos = playCursor;
    const int64_t expected = int64_t(elapsed * uint64_t(size) / ctx.TicksPerBuffer);
    // Wraps the cursor alone cannot show.
    const int64_t wraps = expected > played ? (expected - played) / size : 0;
    play += wraps * size;
    played += wraps * size;
    ctx.Played += uint64_t(played);
  }
  int64_t free = play - ctx.WritePos;
  if (free < 0) free += size;
  if (size - guard >= free) return uint32_t(free);
  // The writer fell behind: it goes on where the device reads next.
  if (ctx.Playing) ++ctx.Underruns;
  ctx.WritePos = writeCursor;
  return uint32_t(size - guard);
}

void DSWriteBlock(TDSContext& ctx, const uint8_t* data, uint32_t bytes) {
  uint8_t *p1, *p2;
  uint32_t n1, n2;
  if (bytes == 0 || ctx.Buffer->Lock(ctx.WritePos, bytes, p1, n1, p2, n2) != DS_OK) return;
  std::memcpy(p1, data, n1);
  if (p2) std::memcpy(p2, data + n1, n2);
  ctx.Buffer->Unlock(p1, n1, p2, n2);
  ctx.WritePos = (ctx.WritePos + bytes) % ctx.BufferSize;
  ctx.Written += bytes;
}

uint32_t DSFillSilence(TDSContext& ctx, uint8_t silence) {
  const uint32_t free = DSGetFreeSpace(ctx) / ctx.FrameSize * ctx.FrameSize;
  if (free == 0) return 0;
  const std::vector<uint8_t> quiet(free, silence);
  DSWriteBlock(ctx, quiet.data(), free);
  return free / ctx.FrameSize;
}

void DSTerminate(TDSContext& ctx) {
  if (ctx.Buffer) ctx.Buffer->Stop();
  ctx.Buffer.reset();
  ctx.Primary = false;
  ctx.DS.reset();
  ctx.Playing = false;
}
