#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>

#include "platform/threads/MainQueue.h"
#include "player/MidiOutput.h"
#include "support/MidiDevices.h"
#include "support/Raised.h"

namespace {

std::string LayerText(midi::TResult code) {
  std::string text;
  midi::GetErrorText(code, text);
  return text;
}

const uint8_t GmOn[] = {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7};

// A component on a recording sink, with Onmidioutput counted. The MIDI
// layer's handle tests cover the layer; these cover what the component adds.
class MidiOutputSend : public testing::Test {
protected:
  void SetUp() override {
    TMainQueue::Instance().ProcessPending();
    Out = std::make_unique<TMidiOutput>();
    Out->SetDeviceID(Device.Id);
    Out->Onmidioutput = [this](TObject* sender) {
      EXPECT_EQ(sender, Out.get());
      EXPECT_TRUE(TMainQueue::Instance().IsMainThread());
      ++Played;
    };
  }
  void TearDown() override {
    Out.reset();
    TMainQueue::Instance().ProcessPending();
  }

  miditest::TScopedSink Device{"Send sink"};
  std::unique_ptr<TMidiOutput> Out;
  int Played = 0;
};

TEST_F(MidiOutputSend, OpenAndCloseSayWhatTheyDid) {
  TMidiOutput other;
  other.SetDeviceID(Device.Id);
  EXPECT_FALSE(Out->Close()) << "nothing to close";
  ASSERT_TRUE(Out->Open());
  EXPECT_FALSE(other.Open()) << "the sink is held by the first component";
  EXPECT_FALSE(other.IsOpen());
  EXPECT_EQ(other.LastError(), midi::MMSYSERR_ALLOCATED);
  EXPECT_EQ(other.PutShort(0x90, 60, 100), midi::MMSYSERR_INVALHANDLE);
  EXPECT_FALSE(Out->Open()) << "a second Open of the holder fails and keeps it open";
  EXPECT_EQ(Out->PutShort(0x93, 0x3C, 0x64), midi::MMSYSERR_NOERROR);
  EXPECT_EQ(Device.Sink->Messages().at(0).Short, 0x643C93u) << "status and data packed into one word";
  EXPECT_TRUE(Out->Close());
  EXPECT_FALSE(Out->Close());
  ASSERT_TRUE(Out->Open()) << "opens again after a close";
  Out.reset();
  EXPECT_EQ(Device.Sink->Opens(), 2);
  EXPECT_EQ(Device.Sink->Closes(), 2) << "destroying an open component closes it";
}

TEST_F(MidiOutputSend, PutLongIsNotifiedOnlyWhenTheMainQueueRuns) {
  ASSERT_TRUE(Out->Open());
  Out->PutLong(GmOn, sizeof GmOn);
  std::thread([&] { Out->PutLong(GmOn, sizeof GmOn); }).join();
  Out->PutLong(GmOn, 0);  // nothing to send: neither sent nor notified
  EXPECT_EQ(Played, 0);
  EXPECT_EQ(TMainQueue::Instance().ProcessPending(), 2);
  EXPECT_EQ(Played, 2);
  ASSERT_EQ(Device.Sink->Count(), 2u);
  EXPECT_EQ(Device.Sink->Messages()[1].Long, std::vector<uint8_t>(GmOn, GmOn + sizeof GmOn));
  // Destroyed with notices queued: the blocks go with it, no notice names them.
  Out->PutLong(GmOn, sizeof GmOn);
  Out.reset();
  EXPECT_EQ(TMainQueue::Instance().ProcessPending(), 0);
  EXPECT_EQ(Played, 2);
}

TEST_F(MidiOutputSend, AFailingPutLongRaisesTheLayersText) {
  const uint8_t bytes[] = {0xC0, 0x05};
  Out->PutLong(bytes, 0);  // closed, but nothing to send: no error
  EXPECT_EQ(RaisedBy<EmidioutputError>([&] { Out->PutLong(bytes, sizeof bytes); }), LayerText(midi::MMSYSERR_INVALHANDLE));
  ASSERT_TRUE(Out->Open());
  EXPECT_EQ(RaisedBy<EmidioutputError>([&] { Out->PutLong(nullptr, 4); }), LayerText(midi::MMSYSERR_INVALPARAM));
  EXPECT_EQ(TMainQueue::Instance().ProcessPending(), 0);
  EXPECT_EQ(Played, 0);
  EXPECT_EQ(Device.Sink->Count(), 0u);
}

TEST_F(MidiOutputSend, PutMidiEventNeedsAnOpenDevice) {
  TMidiEvent note{0x90, 60, 100};
  EXPECT_EQ(RaisedBy<EmidioutputError>([&] { Out->PutMidiEvent(note); }), "MIDI Output device not open");
  ASSERT_TRUE(Out->Open());
  const uint8_t block[] = {0xF0, 0x43, 0x10, 0xF7};
  TMidiEvent sysex{0xF0, 0, 0, block, sizeof block};
  Out->PutMidiEvent(note);
  Out->PutMidiEvent(sysex);
  TMainQueue::Instance().ProcessPending();
  const auto messages = Device.Sink->Messages();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0].Short, 0x643C90u);
  EXPECT_EQ(messages[1].Long, std::vector<uint8_t>(block, block + sizeof block));
  EXPECT_EQ(Played, 1);
  ASSERT_TRUE(Out->Close());
  EXPECT_EQ(RaisedBy<EmidioutputError>([&] { Out->PutMidiEvent(sysex); }), "MIDI Output device not open");
}

TEST_F(MidiOutputSend, VolumeBelongsToTheSelectedDeviceOpenOrNot) {
  Out->SetVolume(65535, 0);
  EXPECT_EQ(Out->LastError(), midi::MMSYSERR_NOERROR);
  uint32_t raw = 0;
  midi::GetVolume(Device.Id, raw);
  EXPECT_EQ(raw, 0xFFFF0000u);
  ASSERT_TRUE(Out->Open());
  ASSERT_TRUE(Out->Close());
  uint16_t right = 1, left = 1;
  Out->GetVolume(right, left);
  EXPECT_EQ(right, 65535);
  EXPECT_EQ(left, 0);
}

}  // namespace
