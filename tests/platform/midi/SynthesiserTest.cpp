#include <gtest/gtest.h>

#include "platform/midi/MidiOut.h"
#include "platform/midi/Synthesiser.h"
#include "support/AudioCheck.h"

namespace {

using namespace audiocheck;

constexpr uint8_t kOcarina = 79;  // GM program with a nearly pure tone: its fundamental is the strongest

uint32_t Word(int status, int d1 = 0, int d2 = 0) { return uint32_t(status) | uint32_t(d1) << 8 | uint32_t(d2) << 16; }

// The synthesiser open and pulled by the test itself, at Rate.
class MidiSynth : public testing::Test {
protected:
  void Start(int rate) {
    Source = &midi::AttachSynthesiser(rate);
    ASSERT_EQ(midi::Open(Handle, 0), midi::MMSYSERR_NOERROR);
    Pull(*Source, 0.05);  // the fade of an earlier test's Close
  }
  void SetUp() override { Start(44100); }
  void TearDown() override {
    if (Handle) midi::Close(Handle);
    midi::SetVolume(0, 0xFFFFFFFF);
    midi::DetachSynthesiser();
  }
  TStereo Play(int key, double seconds = 0.3) {
    midi::ShortMsg(Handle, Word(0x90, key, 100));
    TStereo audio = Pull(*Source, seconds);
    midi::ShortMsg(Handle, Word(0x80, key));
    return audio;
  }
  int Rate() const { return Source->SampleRate(); }

  midi::TSampleSource* Source = nullptr;
  midi::THandle Handle = 0;
};

TEST_F(MidiSynth, ALongMessageCarriesChannelMessagesWithRunningStatus) {
  // What the player's raw MIDI events send: program, then two notes under
  // one status byte.
  const uint8_t bytes[] = {0xC0, kOcarina, 0x90, 64, 100, 76, 100};
  midi::TMidiHdr header{bytes, sizeof bytes};
  ASSERT_EQ(midi::LongMsg(Handle, &header), midi::MMSYSERR_NOERROR);
  const TStereo audio = Slice(Pull(*Source, 0.3), Rate(), 0.05, 0.25);
  EXPECT_GT(TonePower(audio, Rate(), KeyFrequency(64)), 100 * TonePower(audio, Rate(), KeyFrequency(60)));
  EXPECT_GT(TonePower(audio, Rate(), KeyFrequency(76)), 100 * TonePower(audio, Rate(), KeyFrequency(72)));
}

TEST_F(MidiSynth, AGeneralMidiResetReachesTheSynthesiser) {
  midi::ShortMsg(Handle, Word(0xB0, 7, 0));  // channel volume 0: the note is inaudible
  const double muted = Rms(Play(69), 0);
  Pull(*Source, 0.2);
  const uint8_t gmOn[] = {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7};
  midi::TMidiHdr header{gmOn, sizeof gmOn};
  ASSERT_EQ(midi::LongMsg(Handle, &header), midi::MMSYSERR_NOERROR);
  // The tuning message the player sends before a retuned note is taken too.
  const uint8_t tuning[] = {0xF0, 0x7F, 0x7F, 0x08, 0x02, 0x00, 0x01, 0x45, 0x45, 0x00, 0x00, 0xF7};
  midi::TMidiHdr retune{tuning, sizeof tuning};
  ASSERT_EQ(midi::LongMsg(Handle, &retune), midi::MMSYSERR_NOERROR);
  EXPECT_GT(Rms(Play(69), 0), 20 * muted + 1e-4) << "the reset must bring channel volume back";
}

TEST_F(MidiSynth, CloseSilencesWhatSounds) {
  midi::ShortMsg(Handle, Word(0x90, 60, 100));
  midi::ShortMsg(Handle, Word(0xB0, 64, 127));  // and the pedal held
  EXPECT_GT(Rms(Pull(*Source, 0.2), 0), 0.001);
  ASSERT_EQ(midi::Close(Handle), midi::MMSYSERR_NOERROR);
  Handle = 0;
  Pull(*Source, 0.02);  // the cut fades out over a few milliseconds
  EXPECT_LT(Peak(Pull(*Source, 0.5)), 4e-3);  // what the room still echoes, 48 dB down
  TStereo audio(2000, 1.0f);  // a closed device writes silence over what the buffer held
  Source->Render(audio.data(), 1000);
  EXPECT_LT(Peak(audio), 1e-3);
}

TEST_F(MidiSynth, CloseSilencesEvenAfterAFloodOfMessages) {
  // Far more than the synthesiser can queue before its next render: a
  // reset queued behind them must still take effect.
  for (uint32_t i = 0; i < 100000; ++i) {
    midi::ShortMsg(Handle, Word(0x90 | int(i % 9), 40 + int(i % 40), 100));
    midi::ShortMsg(Handle, Word(0xB0 | int(i % 9), 1, int(i % 128)));
  }
  ASSERT_EQ(midi::Close(Handle), midi::MMSYSERR_NOERROR);
  Handle = 0;
  Pull(*Source, 0.6);  // the room's echo of the cut dies away
  EXPECT_LT(Peak(Pull(*Source, 0.3)), 1e-4);
}

// A mezzo-forte piano line (velocity 80) records at a usable level as it
// is: its peaks lie between -20 and -3 dBFS.
TEST_F(MidiSynth, AMezzoFortePianoNotePeaksBetweenMinus20AndMinus3Dbfs) {
  midi::ShortMsg(Handle, Word(0x90, 60, 80));
  const double peak = Peak(Pull(*Source, 0.5));
  EXPECT_GT(peak, 0.1);
  EXPECT_LT(peak, 0.708);
}

TEST_F(MidiSynth, VolumeScalesEachChannel) {
  ASSERT_EQ(midi::SetVolume(midi::MIDI_MAPPER, 0x4000FFFF), midi::MMSYSERR_NOERROR);  // right at a quarter
  uint32_t volume = 0;
  ASSERT_EQ(midi::GetVolume(0, volume), midi::MMSYSERR_NOERROR);
  EXPECT_EQ(volume, 0x4000FFFFu);
  const TStereo quarter = Play(69);
  EXPECT_NEAR(Rms(quarter, 1) / Rms(quarter, 0), 0.25, 0.08);
}

TEST_F(MidiSynth, AnotherRateRebuildsTheSynthesiserWithTheSamePitch) {
  Source = &midi::AttachSynthesiser(22050);  // attached again while open
  EXPECT_EQ(Rate(), 22050);
  midi::ShortMsg(Handle, Word(0xC0, kOcarina));
  const TStereo audio = Play(81);
  EXPECT_EQ(Frames(audio), size_t(0.3 * 22050));
  EXPECT_EQ(StrongestKey(Slice(audio, Rate(), 0.05, 0.25), Rate(), 36, 108), 81);
  midi::Close(Handle);
  Handle = 0;
  Start(44100);  // closed: rebuilt by the Open
  EXPECT_EQ(Rate(), 44100);
  midi::ShortMsg(Handle, Word(0xC0, kOcarina));
  EXPECT_EQ(StrongestKey(Slice(Play(81), Rate(), 0.05, 0.25), Rate(), 36, 108), 81);
}

}  // namespace
