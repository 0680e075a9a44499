#pragma once
// The built-in synthesiser: device 0 of the list. FluidSynth runs in this
// process with a General MIDI SoundFont found at the first Open (see
// SoundFont.h). Its sound is a pull source: the output bus attaches and
// pulls it; until one does, a silent sink pulls it at real time while the
// device is open.

#include <atomic>
#include <memory>
#include <mutex>
#include <shared_mutex>

#include "platform/midi/FluidEngine.h"
#include "platform/midi/OutputDevice.h"
#include "platform/midi/RealTimeSink.h"
#include "platform/midi/SampleSource.h"

namespace midi {

// The output bus (or a test rendering offline) takes the synthesiser's
// sound at SampleRate (clamped to 8000..96000): the silent sink stops until
// DetachSynthesiser. A rate other than the current one rebuilds the
// synthesiser (what sounds is cut; an open device stays open).
TSampleSource& AttachSynthesiser(int sampleRate);
void DetachSynthesiser();

constexpr int SynthesiserDefaultRate = 44100;
extern const char* const SynthesiserName;

class TSynthesiser final : public TOutputDevice, public TSampleSource {
public:
  static std::shared_ptr<TSynthesiser> Instance();
  TSynthesiser();
  ~TSynthesiser() override;

  TMidiOutCaps Caps() override;
  TResult Open() override;
  void Close() override;
  TResult Short(uint32_t message) override;
  TResult Long(const uint8_t* data, size_t length) override;
  TResult SetVolume(uint32_t volume) override;
  TResult GetVolume(uint32_t& volume) override;

  int SampleRate() const override { return FRate.load(); }
  void Render(float* out, int frames) override;

  void Attach(int sampleRate);
  void Detach();

private:
  // Makes the engine at the current rate; the engine lock is held.
  TResult BuildEngine();

  std::shared_mutex FEngineLock;  // shared: sends, Render; unique: build, Reset, drop
  std::unique_ptr<TFluidEngine> FEngine;
  std::atomic<int> FRate{SynthesiserDefaultRate};
  std::atomic<uint32_t> FVolume{0xFFFFFFFFu};

  std::mutex FControl;  // Open, Close, Attach, Detach and the sink
  bool FOpen = false;
  bool FAttached = false;
  TRealTimeSink FSink;
};

}  // namespace midi
