#include "media/audio/DXAudioOut.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

#include "media/audio/AuException.h"
#include "media/audio/WaveHeader.h"

using namespace audio;

namespace {
constexpr uint32_t kSilenceStepMs = 100;
}

TDXAudioOut::TDXAudioOut(TOutputBus* bus, const TDSEnumerator& enumerate) : FBus(bus) {
  DSEnumerateDevices(FDevices, enumerate);
}

TDXAudioOut::~TDXAudioOut() { Stop(false); }

void TDXAudioOut::SetFramesInBuffer(uint32_t frames) {
  if (!FBusy) FFramesInBuffer = frames;
}

codec::TWaveFormat TDXAudioOut::Format() const {
  std::lock_guard<std::mutex> lock(FFormatLock);
  return FFormat;
}

codec::TWaveFormat TDXAudioOut::MakeFormat(int channels, uint32_t rate, int bits) {
  codec::TWaveFormat f;
  f.SetChannels(uint16_t(channels));
  f.SetSamplesPerSec(rate);
  f.SetBitsPerSample(uint16_t(bits));
  f.SetBlockAlign(uint16_t(channels * bits / 8));
  f.SetAvgBytesPerSec(f.nBlockAlign() * rate);
  if (channels < 3 && bits != 24) {
    f.SetFormatTag(codec::WAVE_FORMAT_PCM);
    return f;
  }
  f.SetFormatTag(WAVE_FORMAT_EXTENSIBLE);
  f.SetExtraSize(22);
  f.SetExtraU16(18, uint16_t(bits));
  f.SetExtraU32(20, channels == 2 ? 3 : channels == 6 ? 63 : channels == 8 ? 255 : 0);
  for (int i = 0; i < 4; ++i) {
    const uint8_t* g = wavein::KSDATAFORMAT_SUBTYPE_PCM + 4 * i;
    f.SetExtraU32(24 + 4 * i, uint32_t(g[0]) | uint32_t(g[1]) << 8 | uint32_t(g[2]) << 16 | uint32_t(g[3]) << 24);
  }
  return f;
}

void TDXAudioOut::Prepare() {
  FDone = false;
  if (DeviceNumber < 0 || uint32_t(DeviceNumber) >= FDevices.Count) throw EAuException("Invalid device number");
  TAuInput& input = *AuInput();
  input.Init();
  FChannels = input.GetChannels();
  FRate = uint32_t(input.GetSampleRate());
  FBits = input.GetBitsPerSample();
  FCtx = TDSContext();
  if (DSCreate(FCtx, FDevices.Devices[DeviceNumber].Guid, FBus) != DS_OK)
    throw EAuException("Failed to create DirectSound device");
  const uint64_t bytes = uint64_t(FFramesInBuffer) * uint32_t(FBits / 8) * uint32_t(FChannels);
  const codec::TWaveFormat format = MakeFormat(FChannels, FRate, FBits);
  {
    std::lock_guard<std::mutex> lock(FFormatLock);
    FFormat = format;
  }
  const HRESULT r = bytes > UINT32_MAX / 2 ? DSERR_OUTOFMEMORY : DSInitOutput(FCtx, nullptr, format, uint32_t(bytes));
  if (r != DS_OK) {
    char code[9];
    std::snprintf(code, sizeof code, "%08X", uint32_t(r));
    throw EAuException(std::string("Failed to create DirectSound buffer ") + code);
  }
  FTransfer.assign(bytes, 0);
  FSilence = FBits == 8 ? 128 : 0;
  FPrefill = true;
  FInputEnded = false;
  FLastUnderruns = 0;
}

uint32_t TDXAudioOut::FillTransfer(uint32_t bytes) {
  uint32_t filled = 0;
  while (filled < bytes && !FInputEnded) {
    uint8_t* data = nullptr;
    uint32_t n = bytes - filled;
    AuInput()->GetData(data, n);
    if (n == 0) {
      FInputEnded = true;
      FClipEnd = FCtx.Written + filled;
      break;
    }
    std::memcpy(FTransfer.data() + filled, data, n);
    filled += n;
  }
  return filled;
}

bool TDXAudioOut::DoOutput(bool abort) {
  if (!FBusy) return true;
  if (!FActive) return false;
  if (FPrefill) {
    const uint32_t n = FillTransfer(uint32_t(FTransfer.size()));
    std::memset(FTransfer.data() + n, FSilence, FTransfer.size() - n);
    DSWriteBlock(FCtx, FTransfer.data(), uint32_t(FTransfer.size()));
    // In time with the notes the play thread sent when it started the clip.
    FCtx.Buffer->SetPlayTime(RunTimeNs());
    DSStartOutput(FCtx);
    FPrefill = false;
  }
  if (abort) {
    DSStopOutput(FCtx);
    FActive = false;
    return false;
  }
  if (FInputEnded) {
    FActive = false;
    PadToClipEnd();
    DSStopOutput(FCtx);
    return false;
  }
  uint32_t free = 0;
  for (int round = 0; round < 16 && free == 0; ++round) {
    // A stop ends the wait for room at once, not after sixteen rounds.
    if (WaitForStop(int(PollingInterval))) {
      DSStopOutput(FCtx);
      FActive = false;
      return false;
    }
    free = DSGetFreeSpace(FCtx) / FCtx.FrameSize * FCtx.FrameSize;
  }
  if (free == 0) {
    SetErrorText("Audio output error");
    PostEvent(&TAuOutput::OnThreadException);
    return false;
  }
  const uint32_t n = FillTransfer(std::min<uint32_t>(free, uint32_t(FTransfer.size())));
  DSWriteBlock(FCtx, FTransfer.data(), n);
  if (FInputEnded) DSFillSilence(FCtx, FSilence);
  if (FCtx.Underruns != FLastUnderruns) {
    FLastUnderruns = FCtx.Underruns;
    DSStopOutput(FCtx);
    DSFillSilence(FCtx, FSilence);
    PostEvent(static_cast<TOutputEvent TAuOutput::*>(&TDXAudioOut::OnUnderrun));
    DSRestartOutput(FCtx);
  }
  return true;
}

// Silence follows the clip until the device has played its last byte: at
// most the buffer's length of the device's time, in steps that a stop
// request cuts short.
void TDXAudioOut::PadToClipEnd() {
  const uint64_t limit = FCtx.DS->PerformanceCounter() + FCtx.TicksPerBuffer;
  const auto wallLimit = std::chrono::steady_clock::now() +
                         std::chrono::milliseconds(10 * 1000 * uint64_t(FCtx.BufferSize) / (FRate * FCtx.FrameSize) + 5000);
  while (FCtx.Played < FClipEnd && FCtx.DS->PerformanceCounter() < limit &&
         std::chrono::steady_clock::now() < wallLimit) {
    if (WaitForStop(int(kSilenceStepMs))) break;
    DSFillSilence(FCtx, FSilence);
  }
}

void TDXAudioOut::Done() {
  if (FCtx.DS) {
    DSTerminate(FCtx);
    FTransfer.clear();
  }
  if (AuInput()) AuInput()->Flush();
  FDone = true;
}
