#include <gtest/gtest.h>

#include "platform/midi/Synthesiser.h"
#include "platform/threads/MainQueue.h"
#include "player/MidiOutput.h"
#include "support/AudioCheck.h"

namespace {

using namespace audiocheck;

// The component on the built-in synthesiser, whose sound the test pulls
// itself, faster than real time.
class MidiOutputSynth : public testing::Test {
protected:
  void SetUp() override {
    Source = &midi::AttachSynthesiser(44100);
    Out.SetDeviceID(0);
    ASSERT_TRUE(Out.Open());
    Pull(*Source, 0.05);  // the fade of an earlier test's Close
  }
  void TearDown() override {
    Out.Close();
    Out.SetVolume(65535, 65535);
    midi::DetachSynthesiser();
    TMainQueue::Instance().ProcessPending();
  }
  int Rate() const { return Source->SampleRate(); }

  midi::TSampleSource* Source = nullptr;
  TMidiOutput Out;
};

TEST_F(MidiOutputSynth, AScaleSoundsAtItsPitches) {
  Out.PutShort(0xC0, 79, 0);  // ocarina: the fundamental is the strongest partial
  for (int key : {60, 62, 64, 65, 67, 69, 71, 72}) {
    ASSERT_EQ(Out.PutShort(0x90, uint8_t(key), 100), midi::MMSYSERR_NOERROR);
    const TStereo note = Pull(*Source, 0.3);
    Out.PutShort(0x80, uint8_t(key), 0);
    Pull(*Source, 0.1);
    const TStereo steady = Slice(note, Rate(), 0.05, 0.25);
    EXPECT_GT(Rms(steady, 0), 0.001) << key;
    EXPECT_GT(Rms(steady, 1), 0.001) << key;
    EXPECT_EQ(StrongestKey(steady, Rate(), 36, 108), key);
  }
}

TEST_F(MidiOutputSynth, ASilentLeftChannelIsSilent) {
  Out.SetVolume(65535, 0);
  ASSERT_EQ(Out.LastError(), midi::MMSYSERR_NOERROR);
  Out.PutShort(0xC0, 0, 0);
  Out.PutShort(0x90, 60, 110);
  Out.PutShort(0x99, 38, 110);  // and a snare on the drum channel
  const TStereo audio = Pull(*Source, 0.4);
  EXPECT_EQ(Rms(audio, 0), 0.0);
  EXPECT_GT(Rms(audio, 1), 0.001);
}

}  // namespace
