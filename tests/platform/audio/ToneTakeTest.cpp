// A tone through the bus played in real time into a take, every core busy:
// no frame lost or doubled, as many as from RECORD to STOP (20 s or
// SONARID_TONE_SECONDS).

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "support/BusyCores.h"
#include "support/audio/AudioTestSupport.h"
#include "platform/audio/WaveDecoder.h"
#include "platform/midi/SendTime.h"

namespace {

int16_t ToneAt(uint64_t frame) { return int16_t(std::lrint(16384 * std::sin(2 * M_PI * double(frame % 100) / 100))); }

struct TTone final : midi::TSampleSource {
  int SampleRate() const override { return audio::TOutputBus::DefaultRate; }
  void Render(float* out, int frames) override {
    for (int i = 0; i < 2 * frames; ++i) out[i] = float(ToneAt(Frame + uint64_t(i / 2))) / 32768;
    Frame += uint64_t(frames);
  }
  uint64_t Frame = 0;
};

using TakeTone = audiotest::AudioTest;
TEST_F(TakeTone, ATakeOfAToneUnderFullLoadKeepsEveryFrame) {
  TTone tone;
  Bus.AddSource(tone);
  Bus.Start(audio::MakeSilentSink(4096));  // a latency a busy machine keeps
  TBusyCores busy;
  OpenTake(44100, 2, 16);
  const int anchors = Bus.ClockAnchors();
  const int64_t record[2] = {midi::MonotonicNowNs(), (Mci("RECORD take"), midi::MonotonicNowNs())};
  std::this_thread::sleep_for(std::chrono::duration<double>(getenv("SONARID_TONE_SECONDS") ? atof(getenv("SONARID_TONE_SECONDS")) : 20));
  const int64_t stop[2] = {midi::MonotonicNowNs(), (Mci("STOP take"), midi::MonotonicNowNs())};
  const bool stalled = Bus.ClockAnchors() != anchors;
  busy.Stop();
  Bus.Stop();
  Bus.RemoveSource(tone);
  Mci("SAVE take \"" + Dir.Path("tone.wav") + "\"");

  audio::TDecodedWave wave;
  ASSERT_EQ(audio::DecodeWaveFile(Dir.Path("tone.wav"), wave), 0u);
  EXPECT_EQ(audiotest::SoxInfo(Dir.Path("tone.wav")).Frames, wave.Frames());
  uint64_t phase = 0, broken = 0;
  while (phase < 100 && (ToneAt(phase) != wave.Samples.at(0) || ToneAt(phase + 1) != wave.Samples.at(2))) ++phase;
  for (size_t i = 0; i < wave.Samples.size(); ++i) broken += std::abs(wave.Samples[i] - ToneAt(phase + i / 2)) > 1;
  EXPECT_EQ(broken, 0u);
  if (stalled) GTEST_SKIP() << "the sink stalled: " << wave.Frames() << " frames in " << (stop[1] - record[0]) / 1e6 << " ms";
  EXPECT_GE(wave.Frames() + 1, uint64_t((stop[0] - record[1]) * 44100 / 1'000'000'000));
  EXPECT_LE(wave.Frames(), uint64_t((stop[1] - record[0]) * 44100 / 1'000'000'000) + 1);
}

}  // namespace
