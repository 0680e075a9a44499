#include <gtest/gtest.h>
#include <unistd.h>

#include <set>
#include <string>

#include "platform/midi/MidiOut.h"
#include "platform/midi/Synthesiser.h"
#include "platform/threads/MainQueue.h"
#include "support/MidiDevices.h"

namespace {

using miditest::TScopedSink;

TEST(MidiDevices, DeviceZeroIsTheSynthesiserAndTheMapperStandsForIt) {
  ASSERT_GE(midi::GetNumDevs(), 1u);
  midi::TMidiOutCaps synth, mapper;
  ASSERT_EQ(midi::GetDevCaps(0, synth), midi::MMSYSERR_NOERROR);
  EXPECT_EQ(synth.ProductName, midi::SynthesiserName);
  EXPECT_EQ(synth.Technology, midi::MOD_SWSYNTH);
  EXPECT_EQ(synth.Support & midi::MIDICAPS_LRVOLUME, midi::MIDICAPS_LRVOLUME);
  ASSERT_EQ(midi::GetDevCaps(midi::MIDI_MAPPER, mapper), midi::MMSYSERR_NOERROR);
  EXPECT_EQ(mapper.ProductName, synth.ProductName);
  EXPECT_EQ(mapper.Technology, synth.Technology);
}

TEST(MidiDevices, WithoutSoundHardwareTheSynthesiserIsAlone) {
  if (access("/dev/snd", F_OK) == 0) GTEST_SKIP() << "this machine has ALSA devices";
  EXPECT_EQ(midi::GetNumDevs(), 1u);
}

TEST(MidiDevices, IdsOutsideTheListAreRefused) {
  const int count = int(midi::GetNumDevs());
  midi::TMidiOutCaps caps;
  caps.ProductName = "unchanged";
  midi::THandle handle = 0;
  uint32_t volume = 0;
  for (int id : {count, count + 7, -2, -1000}) {
    EXPECT_EQ(midi::GetDevCaps(id, caps), midi::MMSYSERR_BADDEVICEID) << id;
    EXPECT_EQ(midi::Open(handle, id), midi::MMSYSERR_BADDEVICEID) << id;
    EXPECT_EQ(midi::SetVolume(id, 0), midi::MMSYSERR_BADDEVICEID) << id;
    EXPECT_EQ(midi::GetVolume(id, volume), midi::MMSYSERR_BADDEVICEID) << id;
  }
  EXPECT_EQ(caps.ProductName, "unchanged");
  EXPECT_EQ(handle, 0u);
}

TEST(MidiDevices, AddedDevicesFollowAndLeaveTheList) {
  const unsigned before = midi::GetNumDevs();
  {
    TScopedSink first("First sink");
    TScopedSink second("Second sink");
    EXPECT_EQ(first.Id, int(before));
    EXPECT_EQ(second.Id, int(before) + 1);
    midi::RemoveDevice(first.Sink);
    midi::TMidiOutCaps caps;
    ASSERT_EQ(midi::GetDevCaps(int(before), caps), midi::MMSYSERR_NOERROR);
    EXPECT_EQ(caps.ProductName, "Second sink");
  }
  EXPECT_EQ(midi::GetNumDevs(), before);
}

TEST(MidiDevices, EveryCodeHasItsOwnTextAndOthersHaveNone) {
  std::set<std::string> seen;
  for (midi::TResult code : {0u, 1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u, 9u, 10u, 11u, 65u, 67u, 68u, 72u}) {
    std::string text;
    ASSERT_EQ(midi::GetErrorText(code, text), midi::MMSYSERR_NOERROR) << code;
    EXPECT_FALSE(text.empty()) << code;
    EXPECT_TRUE(seen.insert(text).second) << "two codes share: " << text;
  }
  for (midi::TResult code : {12u, 64u, 71u, 1000u, 0xFFFFFFFFu}) {
    std::string text = "kept?";
    EXPECT_EQ(midi::GetErrorText(code, text), midi::MMSYSERR_BADERRNUM) << code;
    EXPECT_EQ(text, "");
  }
}

// Open, send and close on a recording sink.
class MidiHandles : public testing::Test {
protected:
  void SetUp() override { TMainQueue::Instance().ProcessPending(); }
  void TearDown() override { TMainQueue::Instance().ProcessPending(); }
  TScopedSink Device;
};

TEST_F(MidiHandles, ADeviceOpensOnceAtATime) {
  midi::THandle first = 0, second = 0;
  ASSERT_EQ(midi::Open(first, Device.Id), midi::MMSYSERR_NOERROR);
  EXPECT_NE(first, 0u);
  EXPECT_EQ(midi::Open(second, Device.Id), midi::MMSYSERR_ALLOCATED);
  EXPECT_EQ(second, 0u);
  EXPECT_EQ(midi::ShortMsg(first, 0x643C90), midi::MMSYSERR_NOERROR) << "the first holder keeps it";
  ASSERT_EQ(midi::Close(first), midi::MMSYSERR_NOERROR);
  ASSERT_EQ(midi::Open(second, Device.Id), midi::MMSYSERR_NOERROR);
  EXPECT_NE(second, first) << "handles are not reused";
  EXPECT_EQ(midi::Close(second), midi::MMSYSERR_NOERROR);
  EXPECT_EQ(Device.Sink->Opens(), 2);
  EXPECT_EQ(Device.Sink->Closes(), 2);
}

TEST_F(MidiHandles, AClosedOrMadeUpHandleDoesNothing) {
  midi::THandle handle = 0;
  ASSERT_EQ(midi::Open(handle, Device.Id), midi::MMSYSERR_NOERROR);
  ASSERT_EQ(midi::Close(handle), midi::MMSYSERR_NOERROR);
  const uint8_t bytes[] = {0xC0, 0x01};
  for (midi::THandle h : {handle, midi::THandle(0), midi::THandle(0xFFFFFF)}) {
    midi::TMidiHdr header{bytes, sizeof bytes};
    EXPECT_EQ(midi::ShortMsg(h, 0x643C90), midi::MMSYSERR_INVALHANDLE);
    EXPECT_EQ(midi::LongMsg(h, &header), midi::MMSYSERR_INVALHANDLE);
    EXPECT_EQ(header.Flags, 0u);
    EXPECT_EQ(midi::Close(h), midi::MMSYSERR_INVALHANDLE);
  }
  EXPECT_EQ(Device.Sink->Count(), 0u);
  EXPECT_EQ(Device.Sink->Closes(), 1);
  EXPECT_FALSE(TMainQueue::Instance().HasPending());
}

TEST_F(MidiHandles, BadMessagesAreRefusedBeforeTheDevice) {
  midi::THandle handle = 0;
  ASSERT_EQ(midi::Open(handle, Device.Id, [](midi::THandle, midi::TMidiHdr*) { FAIL() << "nothing was sent"; }),
            midi::MMSYSERR_NOERROR);
  EXPECT_EQ(midi::ShortMsg(handle, 0x643C), midi::MMSYSERR_INVALPARAM) << "no status byte";
  const uint8_t bytes[] = {0xF0, 0xF7};
  midi::TMidiHdr empty{bytes, 0}, noData{nullptr, 4};
  EXPECT_EQ(midi::LongMsg(handle, nullptr), midi::MMSYSERR_INVALPARAM);
  EXPECT_EQ(midi::LongMsg(handle, &empty), midi::MMSYSERR_INVALPARAM);
  EXPECT_EQ(midi::LongMsg(handle, &noData), midi::MMSYSERR_INVALPARAM);
  EXPECT_EQ(Device.Sink->Count(), 0u);
  midi::Close(handle);
  EXPECT_EQ(TMainQueue::Instance().ProcessPending(), 0);
}

TEST_F(MidiHandles, ALongMessageComesBackDoneOnTheMainQueue) {
  midi::THandle handle = 0;
  std::vector<midi::TMidiHdr*> done;
  int owner = 0;
  ASSERT_EQ(midi::Open(handle, Device.Id, [&](midi::THandle h, midi::TMidiHdr* header) {
    EXPECT_EQ(h, handle);
    EXPECT_TRUE(TMainQueue::Instance().IsMainThread());
    done.push_back(header);
  }, &owner), midi::MMSYSERR_NOERROR);
  const uint8_t gmOn[] = {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7};
  midi::TMidiHdr fromHere{gmOn, sizeof gmOn}, fromThread{gmOn, 3};
  ASSERT_EQ(midi::LongMsg(handle, &fromHere), midi::MMSYSERR_NOERROR);
  std::thread([&] { EXPECT_EQ(midi::LongMsg(handle, &fromThread), midi::MMSYSERR_NOERROR); }).join();
  EXPECT_EQ(fromHere.Flags & midi::MHDR_DONE, midi::MHDR_DONE);
  EXPECT_TRUE(done.empty()) << "only the main queue delivers";
  // Closing does not lose a notice already queued: its block was played.
  ASSERT_EQ(midi::Close(handle), midi::MMSYSERR_NOERROR);
  EXPECT_EQ(TMainQueue::Instance().ProcessPending(), 2);
  EXPECT_EQ(done, (std::vector<midi::TMidiHdr*>{&fromHere, &fromThread}));
  const auto messages = Device.Sink->Messages();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0].Long, std::vector<uint8_t>(gmOn, gmOn + 6));
  EXPECT_EQ(messages[1].Long, std::vector<uint8_t>(gmOn, gmOn + 3)) << "bytes reach a sink as they were given";
}

TEST_F(MidiHandles, TheSinkStampsEveryMessageInOrder) {
  midi::THandle handle = 0;
  ASSERT_EQ(midi::Open(handle, Device.Id), midi::MMSYSERR_NOERROR);
  const uint8_t bytes[] = {0xB0, 0x07, 0x64};
  midi::TMidiHdr header{bytes, sizeof bytes};
  std::thread other([&] {
    for (int i = 0; i < 200; ++i) midi::ShortMsg(handle, 0x80 | uint32_t(i % 128) << 8);
  });
  for (int i = 0; i < 200; ++i) {
    midi::ShortMsg(handle, 0x90 | uint32_t(i % 128) << 8 | 0x40 << 16);
    if (i % 50 == 0) midi::LongMsg(handle, &header);
  }
  other.join();
  midi::Close(handle);
  const auto messages = Device.Sink->Messages();
  ASSERT_EQ(messages.size(), 404u);
  int longs = 0;
  for (size_t i = 0; i < messages.size(); ++i) {
    if (i) {
      EXPECT_GE(messages[i].TimeNs, messages[i - 1].TimeNs);
    }
    if (!messages[i].Long.empty()) {
      ++longs;
      EXPECT_EQ(messages[i].Short, 0u);
    }
  }
  EXPECT_EQ(longs, 4);
}

}  // namespace
