#pragma once
// The built-in synthesiser: device 0 of the list. FluidSynth runs in this
// process with a General MIDI SoundFont found at the first Open (see
// SoundFont.h). Its sound is a pull source: the output bus attaches and
// pulls it; until one does, a silent sink pulls it at real time while the
// device is open.
//
// Messages wait in a queue, in the order sent, until the render that
// reaches their time (SendTime.h): a puller that keeps time (RenderAt)
// gets each at the frame of its time, to the sample while no voice sounds
// and to the nearest of FluidSynth's 64-frame block boundaries while one
// does; a plain Render plays what is due at the start of the block. Each
// message is played exactly once, in order, however the puller's time
// jumps; one sent after a later-timed one waits for it.
//
// Its output is as loud as a recorder wants it (FluidEngine.h's gain) and
// never clips: the output limiter holds the peaks of a loud score at
// -1 dBFS before the device's volume applies.

#include <atomic>
#include <deque>
#include <memory>
#include <vector>
#include <mutex>
#include <shared_mutex>

#include "platform/midi/FluidEngine.h"
#include "platform/midi/OutputLimiter.h"
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
  TResult Short(uint32_t message, int64_t timeNs) override;
  TResult Long(const uint8_t* data, size_t length, int64_t timeNs) override;
  TResult SetVolume(uint32_t volume) override;
  TResult GetVolume(uint32_t& volume) override;

  int SampleRate() const override { return FRate.load(); }
  void Render(float* out, int frames) override;
  void RenderAt(float* out, int frames, int64_t firstFrameNs) override;

  void Attach(int sampleRate);
  void Detach();

private:
  struct TTimed {
    int64_t TimeNs;
    uint32_t Short;
    std::vector<uint8_t> Long;  // empty for a short message
  };
  // Makes the engine at the current rate; the engine lock is held.
  TResult BuildEngine();
  void Enqueue(TTimed message);
  // Frame of the block (0 = its first) where the queue's first message is
  // due, or -1 with an empty queue. FirstFrameNs 0: a plain Render.
  int64_t NextDue(int64_t firstFrameNs, int64_t now);
  // Plays the queue's first message on Engine.
  void PlayFirst(TFluidEngine& engine);
  void ApplyVolume(float* out, int frames);
  void Limit(float* out, int frames);

  std::shared_mutex FEngineLock;  // shared: sends, Render; unique: build, Reset, drop
  std::unique_ptr<TFluidEngine> FEngine;
  std::atomic<int> FRate{SynthesiserDefaultRate};
  std::atomic<uint32_t> FVolume{0xFFFFFFFFu};
  std::mutex FLimiterLock;  // one puller at a time, but a test may pull beside the sink
  TOutputLimiter FLimiter;

  std::mutex FQueueLock;
  std::deque<TTimed> FQueue;
  int64_t FLastTimeNs = 0;  // the latest time queued: later sends never go before it

  std::mutex FControl;  // Open, Close, Attach, Detach and the sink
  bool FOpen = false;
  bool FAttached = false;
  TRealTimeSink FSink;
};

}  // namespace midi
