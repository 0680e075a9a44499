#include "platform/audio/MediaPlayer.h"

#include <algorithm>
#include <cstring>
#include <mutex>

#include "platform/audio/OutputBus.h"
#include "platform/audio/Resampler.h"
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
      : FWave(std::move(wave)), FBusRate(busRate), FResampler(int(FWave.Rate), busRate, 2, TSampleFormat::Float32) {}

  bool Ok() const { return FResampler.Ok(); }
  int SampleRate() const override { return FBusRate; }
  uint64_t Frames() const { return FWave.Frames(); }
  uint32_t Length() const { return uint32_t(Frames() * 1000 / FWave.Rate); }
  // The first frame whose time is Ms, so that the position reads back as Ms.
  uint64_t FrameAt(uint32_t ms) const { return (uint64_t(ms) * FWave.Rate + 999) / 1000; }

  void Render(float* out, int frames) override {
    std::fill(out, out + size_t(frames) * 2, 0.0f);
    std::lock_guard<std::mutex> lock(FLock);
    if (!FPlaying) return;
    const size_t wanted = size_t(frames) * 2 * sizeof(float);
    while (FPending.size() < wanted && !FFlushed) Feed();
    const size_t n = std::min(wanted, FPending.size());
    std::memcpy(out, FPending.data(), n);
    FPending.erase(FPending.begin(), FPending.begin() + std::ptrdiff_t(n));
    FTaken += n / (2 * sizeof(float));
    if (FFlushed && FPending.empty()) {
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
    FPending.clear();
    std::vector<uint8_t> dropped;
    FResampler.Flush(dropped);
    FFlushed = false;
  }

  // Converts the next frames of the file to the bus's rate in stereo.
  void Feed() {
    const uint64_t n = std::min<uint64_t>(kFeedFrames, Frames() - FNext);
    FStereo.resize(size_t(n) * 2);
    const int16_t* in = FWave.Samples.data() + FNext * FWave.Channels;
    for (size_t i = 0; i < n; ++i) {
      const float left = in[i * FWave.Channels] / 32768.0f;
      FStereo[2 * i] = left;
      FStereo[2 * i + 1] = FWave.Channels == 2 ? in[i * 2 + 1] / 32768.0f : left;
    }
    FResampler.Convert(FStereo.data(), int(n), FPending);
    FNext += n;
    if (FNext == Frames()) {
      FResampler.Flush(FPending);
      FFlushed = true;
    }
  }

  const TDecodedWave FWave;
  const int FBusRate;
  std::mutex FLock;
  TResampler FResampler;
  std::vector<uint8_t> FPending;  // float stereo at the bus's rate, not yet taken
  std::vector<float> FStereo;
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

