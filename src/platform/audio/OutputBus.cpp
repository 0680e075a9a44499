#include "platform/audio/OutputBus.h"

#include <algorithm>

#include "platform/audio/PulseBackend.h"
#include "platform/midi/RealTimeSink.h"
#include "platform/midi/SendTime.h"
#include "platform/midi/Synthesiser.h"

namespace audio {

namespace {

// Taps see blocks of at most this many frames, whatever a sink asks for.
constexpr int kMaxBlock = 1024;
class TSilentSink final : public TBusSink {
public:
  explicit TSilentSink(int blockFrames) : FBlockFrames(blockFrames) {}
  bool Start(TOutputBus& bus) override {
    FPuller = std::make_unique<midi::TRealTimeSink>(bus, FBlockFrames);
    FPuller->Start();
    return true;
  }
  void Stop() override { FPuller.reset(); }

private:
  const int FBlockFrames;
  std::unique_ptr<midi::TRealTimeSink> FPuller;
};

template <typename T>
void Erase(std::vector<T*>& list, T* item) {
  list.erase(std::remove(list.begin(), list.end(), item), list.end());
}

}  // namespace

std::unique_ptr<TBusSink> MakeSilentSink(int blockFrames) { return std::make_unique<TSilentSink>(blockFrames); }

TOutputBus& TOutputBus::Instance() {
  // Made first, the synthesiser outlives the bus that may pull it at exit.
  static const auto synthesiser = midi::TSynthesiser::Instance();
  static TOutputBus bus;
  return bus;
}

TOutputBus::~TOutputBus() { Stop(); }

void TOutputBus::Render(float* out, int frames) {
  std::lock_guard<std::mutex> lock(FLock);
  FScratch.resize(size_t(kMaxBlock) * 2);
  const bool timed = FTimed.load();
  if (timed && frames > 0) FClock.Pulled(FFrames.load(), frames, midi::MonotonicNowNs());
  for (int done = 0; done < frames;) {
    const int n = std::min(kMaxBlock, frames - done);
    float* block = out + size_t(done) * 2;
    const int64_t time = timed ? FClock.TimeOf(FFrames.load()) : 0;
    std::fill(block, block + size_t(n) * 2, 0.0f);
    for (midi::TSampleSource* source : FSources) {
      source->RenderAt(FScratch.data(), n, time);
      for (size_t i = 0; i < size_t(n) * 2; ++i) block[i] += FScratch[i];
    }
    for (TBusTap* tap : FTaps) tap->BusBlock(block, n, time);
    done += n;
    FFrames.fetch_add(uint64_t(n));
  }
}

int TOutputBus::ClockAnchors() {
  std::lock_guard<std::mutex> lock(FLock);
  return FClock.Anchors();
}

void TOutputBus::SinkRestarted() {
  std::lock_guard<std::mutex> lock(FLock);
  FClock.Reset();
}

void TOutputBus::AddSource(midi::TSampleSource& source) {
  std::lock_guard<std::mutex> lock(FLock);
  if (std::find(FSources.begin(), FSources.end(), &source) == FSources.end()) FSources.push_back(&source);
}

void TOutputBus::RemoveSource(midi::TSampleSource& source) {
  std::lock_guard<std::mutex> lock(FLock);
  Erase(FSources, &source);
}

void TOutputBus::AddTap(TBusTap& tap) {
  std::lock_guard<std::mutex> lock(FLock);
  if (std::find(FTaps.begin(), FTaps.end(), &tap) == FTaps.end()) FTaps.push_back(&tap);
}

void TOutputBus::RemoveTap(TBusTap& tap) {
  std::lock_guard<std::mutex> lock(FLock);
  Erase(FTaps, &tap);
}

void TOutputBus::ConnectSynthesiser() {
  if (FSynthesiser) return;
  FSynthesiser = &midi::AttachSynthesiser(FRate);
  AddSource(*FSynthesiser);
}

void TOutputBus::DisconnectSynthesiser() {
  if (!FSynthesiser) return;
  RemoveSource(*FSynthesiser);
  FSynthesiser = nullptr;
  midi::DetachSynthesiser();
}

bool TOutputBus::Start(std::unique_ptr<TBusSink> sink) {
  if (FSink) return true;
  if (!sink) sink = MakeDefaultSink();
  ConnectSynthesiser();
  {
    std::lock_guard<std::mutex> lock(FLock);
    FClock.Reset();
  }
  FTimed = true;
  if (!sink->Start(*this)) {
    FTimed = false;
    DisconnectSynthesiser();
    return false;
  }
  FSink = std::move(sink);
  return true;
}

void TOutputBus::Stop() {
  if (!FSink) return;
  FSink->Stop();
  FSink.reset();
  FTimed = false;
  DisconnectSynthesiser();
}

}  // namespace audio
