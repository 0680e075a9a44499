#include "platform/midi/Synthesiser.h"

#include <algorithm>

#include "platform/midi/MidiStream.h"
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
    if (FEngine) FEngine->Reset();
  }
  FOpen = false;
  FSink.Stop();
}

TResult TSynthesiser::Short(uint32_t message) {
  std::shared_lock<std::shared_mutex> engine(FEngineLock);
  if (!FEngine) return MMSYSERR_NOTENABLED;
  FEngine->Short(message);
  return MMSYSERR_NOERROR;
}

TResult TSynthesiser::Long(const uint8_t* data, size_t length) {
  std::shared_lock<std::shared_mutex> engine(FEngineLock);
  if (!FEngine) return MMSYSERR_NOTENABLED;
  TFluidEngine& e = *FEngine;
  SplitMidiStream(data, length,
                  {[&e](uint32_t m) { e.Short(m); }, [&e](const uint8_t* b, size_t n) { e.SysEx(b, n); }});
  return MMSYSERR_NOERROR;
}

TResult TSynthesiser::SetVolume(uint32_t volume) {
  FVolume.store(volume);
  return MMSYSERR_NOERROR;
}

TResult TSynthesiser::GetVolume(uint32_t& volume) {
  volume = FVolume.load();
  return MMSYSERR_NOERROR;
}

void TSynthesiser::Render(float* out, int frames) {
  if (frames <= 0) return;
  {
    std::shared_lock<std::shared_mutex> engine(FEngineLock);
    if (FEngine) FEngine->Render(out, frames);
    else std::fill(out, out + size_t(frames) * 2, 0.0f);
  }
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
