#include "platform/audio/MediaPlayer.h"

#include <algorithm>
#include <cstring>
#include <mutex>

#include "platform/audio/OutputBus.h"
#include "platform/audio/BusFeed.h"
#include "platform/audio/WaveDecoder.h"

namespace audio {

namespace {
constexpr int kFeedFrames = 1024;
}

// The opened file as a source of the bus. Its position is the time that
// sounds now: where the last seek or stop left it plus what the bus has
// taken since, kept exactly as file frames times the bus's rate.
class TMediaPlayer::TTrack final : public midi::TSampleSource {
public:
  TTrack(TDecodedWave wave, int busRate)
      : FWave(std::move(wave)), FBusRate(busRate), FFeed(int(FWave.Rate), busRate, FWave.Channels) {}

  bool Ok() const { return FFeed.Ok(); }
  int SampleRate() const override { return FBusRate; }
  uint64_t Frames() const { return FWave.Frames(); }
  uint32_t Length() const { return uint32_t(Frames() * 1000 / FWave.Rate); }
  // The first frame whose time is Ms, so that the position reads back as Ms.
  uint64_t FrameAt(uint32_t ms) const { return (uint64_t(ms) * FWave.Rate + 999) / 1000; }

  void Render(float* out, int frames) override {
    std::fill(out, out + size_t(frames) * 2, 0.0f);
    std::lock_guard<std::mutex> lock(FLock);
    if (!FPlaying) return;
    while (FFeed.Pending() < size_t(frames) && !FFlushed) Feed();
    FTaken += uint64_t(FFeed.Take(out, frames));
    if (FFlushed && FFeed.Pending() == 0) {
      FPlaying = false;
      FStart = Frames();
      FTaken = 0;
    }
  }

  uint32_t Position() {
    std::lock_guard<std::mutex> lock(FLock);
    return uint32_t(Time() * 1000 / (uint64_t(FWave.Rate) * uint64_t(FBusRate)));
  }
  bool Playing() {
    std::lock_guard<std::mutex> lock(FLock);
    return FPlaying;
  }
  void Play() {
    std::lock_guard<std::mutex> lock(FLock);
    if (FPlaying) return;
    SeekTo(Current() >= Frames() ? 0 : Current());
    FPlaying = true;
  }
  void Stop() {
    std::lock_guard<std::mutex> lock(FLock);
    SeekTo(Current());
    FPlaying = false;
  }
  void Seek(uint64_t frame) {
    std::lock_guard<std::mutex> lock(FLock);
    SeekTo(std::min(frame, Frames()));
  }

private:
  uint64_t Time() const { return std::min(Frames() * FBusRate, FStart * FBusRate + FTaken * FWave.Rate); }
  uint64_t Current() const { return Time() / uint64_t(FBusRate); }

  void SeekTo(uint64_t frame) {
    FStart = FNext = frame;
    FTaken = 0;
    FFeed.Reset();
    FFlushed = false;
  }

  // Converts the next frames of the file to the bus's rate in stereo.
  void Feed() {
    const uint64_t n = std::min<uint64_t>(kFeedFrames, Frames() - FNext);
    FSamples.resize(size_t(n) * FWave.Channels);
    const int16_t* in = FWave.Samples.data() + FNext * FWave.Channels;
    for (size_t i = 0; i < FSamples.size(); ++i) FSamples[i] = in[i] / 32768.0f;
    FFeed.Push(FSamples.data(), int(n));
    FNext += n;
    if (FNext == Frames()) {
      FFeed.Finish();
      FFlushed = true;
    }
  }

  const TDecodedWave FWave;
  const int FBusRate;
  std::mutex FLock;
  TBusFeed FFeed;
  std::vector<float> FSamples;
  uint64_t FStart = 0, FTaken = 0, FNext = 0;
  bool FPlaying = false, FFlushed = false;
};

TMediaPlayer::TMediaPlayer(TOutputBus& bus) : FBus(bus) {}
TMediaPlayer::TMediaPlayer() : FBus(TOutputBus::Instance()) {}
TMediaPlayer::~TMediaPlayer() { Close(); }

MCIERROR TMediaPlayer::Open() {
  Close();
  TDecodedWave wave;
  if (MCIERROR e = DecodeWaveFile(FileName, wave)) return e;
  auto track = std::make_unique<TTrack>(std::move(wave), FBus.SampleRate());
  if (!track->Ok()) return MCIERR_INVALID_FILE;
  FTrack = std::move(track);
  FBus.AddSource(*FTrack);
  return 0;
}

void TMediaPlayer::Close() {
  if (!FTrack) return;
  FBus.RemoveSource(*FTrack);
  FTrack.reset();
}

MCIERROR TMediaPlayer::Play() {
  if (!FTrack) return MCIERR_DEVICE_NOT_READY;
  FTrack->Play();
  return 0;
}

MCIERROR TMediaPlayer::Stop() {
  if (!FTrack) return MCIERR_DEVICE_NOT_READY;
  FTrack->Stop();
  return 0;
}

uint32_t TMediaPlayer::Length() const { return FTrack ? FTrack->Length() : 0; }

uint32_t TMediaPlayer::Position() const { return FTrack ? FTrack->Position() : 0; }

MCIERROR TMediaPlayer::SetPosition(uint32_t ms) {
  if (!FTrack) return MCIERR_DEVICE_NOT_READY;
  FTrack->Seek(FTrack->FrameAt(ms));
  return 0;
}

TMPModes TMediaPlayer::Mode() const {
  if (!FTrack) return TMPModes::mpNotReady;
  return FTrack->Playing() ? TMPModes::mpPlaying : TMPModes::mpStopped;
}

}  // namespace audio

