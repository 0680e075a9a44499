// Timed messages on the synthesiser, pulled offline with each block's time.

#include <gtest/gtest.h>

#include "platform/midi/MidiOut.h"
#include "platform/midi/SendTime.h"
#include "platform/midi/Synthesiser.h"
#include "support/AudioCheck.h"

namespace {

constexpr int kRate = 44100;
constexpr uint32_t kClick = 0x99 | 76 << 8 | 127 << 16;  // a wood block

int64_t Ns(double frames) { return int64_t(frames * 1e9 / kRate); }

class MidiSynthTiming : public testing::Test {
protected:
  void SetUp() override {
    Source = &midi::AttachSynthesiser(kRate);
    ASSERT_EQ(midi::Open(Handle, 0), midi::MMSYSERR_NOERROR);
    audiocheck::Pull(*Source, 0.05);  // the voices an earlier Close ended
    // The second (a voice FluidSynth never used rises later), due at once.
    for (int i = 0; i < 2; ++i) Rise = Click(midi::MonotonicNowNs(), 0, kRate / 2);
  }
  void TearDown() override { midi::Close(Handle), midi::DetachSynthesiser(); }
  // The onset of a click for ClickNs in a block for BlockNs (0: untimed).
  // Unless Beside is set, every voice is ended first.
  int Click(int64_t clickNs, int64_t blockNs, int frames = 10000) {
    if (!Beside) Silence(blockNs);
    midi::TSendTime at(clickNs);
    midi::ShortMsg(Handle, kClick);
    return Render(blockNs, frames);
  }
  // Ends every voice in a block of its own just before BlockNs: how long a
  // click rings depends on the SoundFont, and a voice still sounding would
  // put the next message on the block grid instead of its own frame.
  void Silence(int64_t blockNs) {
    const int64_t start = blockNs ? blockNs - Ns(512) : 0;
    {
      midi::TSendTime at(start ? start : midi::MonotonicNowNs());
      midi::ShortMsg(Handle, 0x78B9);  // all sound off on the click's channel
    }
    std::vector<float> scratch(2 * 512);
    Source->RenderAt(scratch.data(), 512, start);
  }
  int Render(int64_t blockNs, int frames = 10000) {
    std::vector<float> out(size_t(frames) * 2);
    Source->RenderAt(out.data(), frames, blockNs);
    if (Threshold == 0) Threshold = audiocheck::Peak(out) / 5;
    int i = 0;
    while (i < frames && std::fabs(out[2 * size_t(i)]) <= Threshold) ++i;
    return i < frames ? i : -1;
  }

  midi::TSampleSource* Source = nullptr;
  midi::THandle Handle = 0;
  double Threshold = 0;
  int Rise = 0;
  bool Beside = false;
};

TEST_F(MidiSynthTiming, AClickLandsOnItsFrameAloneAndOnTheNearestBlockBoundaryBesideAVoice) {
  for (bool beside : {false, true}) {
    if (beside) {  // opened afresh; an organ at channel volume 0 sounds, unheard
      TearDown();
      SetUp();
      Beside = true;
      for (uint32_t m : {0x13C0u, 0x0007B0u, 0x643C90u}) midi::ShortMsg(Handle, m);
      Click(midi::MonotonicNowNs(), 0, kRate / 2);  // a voice of its own for the click
    }
    int64_t t = midi::MonotonicNowNs();
    for (double frame : {1000.0, 5000.4, 64.0 * 40 + 13}) {
      SCOPED_TRACE(testing::Message() << frame << (beside ? " beside a voice" : ""));
      t += Ns(10000);
      EXPECT_NEAR(Click(t + Ns(frame), t), int(frame + 0.5) + Rise, beside ? 32 : 0);
    }
  }
}

TEST_F(MidiSynthTiming, LateMessagesPlayAtOnceAndOnceOnlyAndNoneWaitsMoreThanASecond) {
  const int64_t now = midi::MonotonicNowNs();
  EXPECT_EQ(Click(now - Ns(kRate * 10), now), Rise);
  // The puller's time jumps ahead past a message, then back before it.
  EXPECT_EQ(Click(now + Ns(1000), now + Ns(kRate * 3600.0)), Rise);
  EXPECT_EQ(Render(now), -1);
  const int64_t before = midi::MonotonicNowNs();
  const int onset = Click(before + Ns(kRate * 60.0), before + midi::MaxAheadNs - Ns(10000), 30000);
  EXPECT_TRUE(onset >= 10000 + Rise && onset <= 10000 + Rise + 1 + (midi::MonotonicNowNs() - before) * kRate / 1'000'000'000) << onset;
}

}  // namespace
