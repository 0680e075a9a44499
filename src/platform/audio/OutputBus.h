#pragma once
// The program's one output bus: it mixes every sound the program makes (the
// built-in synthesiser, sound clips, take playback) at one rate in float
// stereo, hands each mixed block to its taps (the "Program output" capture
// device) and gives it to a sink that plays it. The sink pulls the bus from
// its own thread at the pace of its device; with no sound device, a silent
// sink keeps real time. Tests pull the bus themselves (Render), faster than
// real time.

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/audio/BusClock.h"
#include "platform/midi/SampleSource.h"

namespace audio {

class TOutputBus;

// Sees every mixed block, on the thread that pulls the bus; it must not
// block for long. FirstFrameNs: the monotonic time the block's first frame
// stands for while a sink plays the bus (BusClock.h), else 0.
class TBusTap {
public:
  virtual ~TBusTap() = default;
  virtual void BusBlock(const float* stereo, int frames, int64_t firstFrameNs) = 0;
};

// Plays the bus: pulls it (TOutputBus::Render) from its own thread between
// Start and Stop. Stop returns after the last pull.
class TBusSink {
public:
  virtual ~TBusSink() = default;
  virtual bool Start(TOutputBus& bus) = 0;
  virtual void Stop() = 0;
};

// Pulls the bus at real time, BlockFrames at a time, and throws the sound
// away.
std::unique_ptr<TBusSink> MakeSilentSink(int blockFrames = 441);

class TOutputBus final : public midi::TSampleSource {
public:
  static constexpr int DefaultRate = 44100;
  static TOutputBus& Instance();

  explicit TOutputBus(int sampleRate = DefaultRate) : FRate(sampleRate), FClock(sampleRate) {}
  ~TOutputBus() override;
  TOutputBus(const TOutputBus&) = delete;
  TOutputBus& operator=(const TOutputBus&) = delete;

  int SampleRate() const override { return FRate; }
  // Mixes Frames frames of every source into Out (interleaved stereo) and
  // shows them to every tap. One caller at a time: the sink's thread, or a
  // test while no sink runs.
  void Render(float* out, int frames) override;
  // Frames rendered since the bus was made.
  uint64_t FramesRendered() const { return FFrames.load(); }
  // How often the clock mapping was anchored: once per sink started, and
  // once per stall of its pulls.
  int ClockAnchors();
  // A sink that goes on from another device (its server went away) keeps
  // a pace of its own: the mapping is anchored anew at its next pull.
  void SinkRestarted();

  // A source renders at the bus's rate. Both take effect between two blocks;
  // Remove returns after the source's last render.
  void AddSource(midi::TSampleSource& source);
  void RemoveSource(midi::TSampleSource& source);
  void AddTap(TBusTap& tap);
  void RemoveTap(TBusTap& tap);

  // Takes the built-in synthesiser's sound into the mix (the MIDI layer's
  // own silent sink stops), and gives it back.
  void ConnectSynthesiser();
  void DisconnectSynthesiser();

  // Connects the synthesiser and starts Sink (when none is given, the sound
  // server's when one answers, else the silent sink); Stop undoes both.
  // Both idempotent.
  bool Start(std::unique_ptr<TBusSink> sink = nullptr);
  void Stop();
  bool Running() const { return FSink != nullptr; }

private:
  const int FRate;
  std::mutex FLock;  // the lists and the scratch buffer, held for a whole block
  std::vector<midi::TSampleSource*> FSources;
  std::vector<TBusTap*> FTaps;
  std::vector<float> FScratch;
  std::atomic<uint64_t> FFrames{0};
  TBusClock FClock;             // under FLock
  std::atomic<bool> FTimed{false};  // a sink plays the bus
  midi::TSampleSource* FSynthesiser = nullptr;
  std::unique_ptr<TBusSink> FSink;
};

}  // namespace audio
