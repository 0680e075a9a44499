#include "platform/midi/Synthesiser.h"

#include <algorithm>

#include "platform/midi/MidiStream.h"
#include "platform/midi/SendTime.h"
#include "platform/midi/SoundFont.h"

namespace midi {

const char* const SynthesiserName = "FluidSynth Synthesiser";

namespace {
constexpr uint16_t kPolyphony = 256;  // FluidSynth's default, which we keep
}

TSampleSource& AttachSynthesiser(int sampleRate) {
  auto synth = TSynthesiser::Instance();
  synth->Attach(sampleRate);
  return *synth;
}

void DetachSynthesiser() { TSynthesiser::Instance()->Detach(); }

std::shared_ptr<TSynthesiser> TSynthesiser::Instance() {
  static const std::shared_ptr<TSynthesiser> instance = std::make_shared<TSynthesiser>();
  return instance;
}

TSynthesiser::TSynthesiser() : FSink(*this) {}

TSynthesiser::~TSynthesiser() { FSink.Stop(); }

TMidiOutCaps TSynthesiser::Caps() {
  TMidiOutCaps caps;
  caps.DriverVersion = FluidVersion();
  caps.ProductName = SynthesiserName;
  caps.Technology = MOD_SWSYNTH;
  caps.Voices = kPolyphony;
  caps.Notes = kPolyphony;
  caps.ChannelMask = 0xFFFF;
  caps.Support = MIDICAPS_VOLUME | MIDICAPS_LRVOLUME;
  return caps;
}

TResult TSynthesiser::BuildEngine() {
  TResult result = MMSYSERR_NOERROR;
  FEngine = TFluidEngine::Create(FRate.load(), FindSoundFont(SoundFontDataDirs()), result);
  return result;
}

TResult TSynthesiser::Open() {
  std::lock_guard<std::mutex> control(FControl);
  {
    std::unique_lock<std::shared_mutex> engine(FEngineLock);
    if (!FEngine) {
      const TResult result = BuildEngine();
      if (result != MMSYSERR_NOERROR) return result;
    }
  }
  FOpen = true;
  if (!FAttached) FSink.Start();
  return MMSYSERR_NOERROR;
}

void TSynthesiser::Close() {
  std::lock_guard<std::mutex> control(FControl);
  {
    std::unique_lock<std::shared_mutex> engine(FEngineLock);
    // What still waits is played and at once silenced by the reset: nothing
    // sent before Close sounds after it.
    if (FEngine) {
      while (NextDue(0, INT64_MAX) == 0) PlayFirst(*FEngine);
      FEngine->Reset();
    }
    std::lock_guard<std::mutex> queue(FQueueLock);
    FQueue.clear();
    FLastTimeNs = 0;
  }
  FOpen = false;
  FSink.Stop();
}

TResult TSynthesiser::Short(uint32_t message, int64_t timeNs) {
  std::shared_lock<std::shared_mutex> engine(FEngineLock);
  if (!FEngine) return MMSYSERR_NOTENABLED;
  Enqueue({timeNs, message, {}});
  return MMSYSERR_NOERROR;
}

TResult TSynthesiser::Long(const uint8_t* data, size_t length, int64_t timeNs) {
  std::shared_lock<std::shared_mutex> engine(FEngineLock);
  if (!FEngine) return MMSYSERR_NOTENABLED;
  Enqueue({timeNs, 0, std::vector<uint8_t>(data, data + length)});
  return MMSYSERR_NOERROR;
}

void TSynthesiser::Enqueue(TTimed message) {
  std::lock_guard<std::mutex> queue(FQueueLock);
  message.TimeNs = std::max(message.TimeNs, FLastTimeNs);
  FLastTimeNs = message.TimeNs;
  FQueue.push_back(std::move(message));
}

int64_t TSynthesiser::NextDue(int64_t firstFrameNs, int64_t now) {
  std::lock_guard<std::mutex> queue(FQueueLock);
  if (FQueue.empty()) return -1;
  const int64_t time = FQueue.front().TimeNs;
  if (firstFrameNs == 0) return time <= now ? 0 : INT64_MAX;
  if (time <= firstFrameNs) return 0;
  // Rounded to the nearest frame; in 128-bit, as nanoseconds times the rate
  // outgrow 64 bits after a few hours ahead.
  const __int128 scaled = __int128(time - firstFrameNs) * FRate.load() + 500'000'000;
  const __int128 frame = scaled / 1'000'000'000;
  return frame > INT64_MAX ? INT64_MAX : int64_t(frame);
}

void TSynthesiser::PlayFirst(TFluidEngine& engine) {
  TTimed message;
  {
    std::lock_guard<std::mutex> queue(FQueueLock);
    if (FQueue.empty()) return;
    message = std::move(FQueue.front());
    FQueue.pop_front();
  }
  if (message.Long.empty()) {
    engine.Short(message.Short);
    return;
  }
  SplitMidiStream(message.Long.data(), message.Long.size(),
                  {[&engine](uint32_t m) { engine.Short(m); },
                   [&engine](const uint8_t* b, size_t n) { engine.SysEx(b, n); }});
}

TResult TSynthesiser::SetVolume(uint32_t volume) {
  FVolume.store(volume);
  return MMSYSERR_NOERROR;
}

TResult TSynthesiser::GetVolume(uint32_t& volume) {
  volume = FVolume.load();
  return MMSYSERR_NOERROR;
}

void TSynthesiser::Render(float* out, int frames) { RenderAt(out, frames, 0); }

void TSynthesiser::RenderAt(float* out, int frames, int64_t firstFrameNs) {
  if (frames <= 0) return;
  {
    std::shared_lock<std::shared_mutex> lock(FEngineLock);
    if (!FEngine) {
      std::fill(out, out + size_t(frames) * 2, 0.0f);
      return;
    }
    TFluidEngine& engine = *FEngine;
    const int64_t now = firstFrameNs ? 0 : MonotonicNowNs();
    int pos = 0;
    for (;;) {
      const int64_t due = NextDue(firstFrameNs, now);
      if (due < 0 || due >= frames) break;
      int at = int(std::max<int64_t>(due, pos));
      if (!engine.Sounding()) {
        // Nothing sounds: the block grid may move to the message's frame.
        engine.Render(out + size_t(pos) * 2, at - pos);
        engine.AlignGrid();
      } else {
        // The boundary nearest to the frame, never one already rendered.
        const int first = pos + (TFluidEngine::GridFrames - engine.GridPhase()) % TFluidEngine::GridFrames;
        const int grid = TFluidEngine::GridFrames;
        at = at <= first ? first : first + (at - first + grid / 2) / grid * grid;
        if (at > frames) break;
        engine.Render(out + size_t(pos) * 2, at - pos);
      }
      pos = at;
      PlayFirst(engine);
    }
    engine.Render(out + size_t(pos) * 2, frames - pos);
  }
  Limit(out, frames);
  ApplyVolume(out, frames);
}

void TSynthesiser::Limit(float* out, int frames) {
  std::lock_guard<std::mutex> lock(FLimiterLock);
  FLimiter.Process(out, frames, FRate.load());
}

void TSynthesiser::ApplyVolume(float* out, int frames) {
  const uint32_t volume = FVolume.load();
  if (volume == 0xFFFFFFFFu) return;
  const float left = float(volume & 0xFFFF) / 65535.0f;
  const float right = float(volume >> 16) / 65535.0f;
  for (int i = 0; i < frames; ++i) {
    out[2 * i] *= left;
    out[2 * i + 1] *= right;
  }
}

void TSynthesiser::Attach(int sampleRate) {
  sampleRate = std::clamp(sampleRate, 8000, 96000);
  std::lock_guard<std::mutex> control(FControl);
  FAttached = true;
  FSink.Stop();
  if (sampleRate == FRate.load()) return;
  std::unique_lock<std::shared_mutex> engine(FEngineLock);
  FRate.store(sampleRate);
  FEngine.reset();
  // A closed device builds at its next Open; an open one must sound now.
  // Should the rebuild fail, the device stays open and silent.
  if (FOpen) BuildEngine();
}

void TSynthesiser::Detach() {
  std::lock_guard<std::mutex> control(FControl);
  FAttached = false;
  if (FOpen) FSink.Start();
}

}  // namespace midi
