#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/midi/MidiOut.h"
#include "platform/midi/Synthesiser.h"
#include "platform/threads/MainQueue.h"
#include "support/AudioCheck.h"
#include "support/MidiDevices.h"

namespace {

// A play thread stand-in: sends short and long messages to whatever handle
// is current, as fast as it can, and counts its tries.
class TSender {
public:
  TSender() : FThread([this] { Run(); }) {}
  ~TSender() {
    FStop = true;
    FThread.join();
  }
  std::atomic<midi::THandle> Handle{0};
  std::atomic<long> Tries{0};
  std::atomic<long> Unexpected{0};
  // Waits (without sleeping) until the sender has tried N more times.
  void WaitForTries(long n) {
    const long until = Tries.load() + n;
    while (Tries.load() < until) std::this_thread::yield();
  }

private:
  void Run() {
    static const uint8_t block[] = {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7};
    midi::TMidiHdr header{block, sizeof block};
    for (uint32_t i = 0; !FStop; ++i) {
      const midi::THandle h = Handle.load();
      const uint32_t key = 48 + i % 24;
      midi::TResult r = midi::ShortMsg(h, (i & 1 ? 0x80 : 0x90) | key << 8 | 100 << 16);
      if (i % 16 == 0) {
        const midi::TResult l = midi::LongMsg(h, &header);
        if (l != midi::MMSYSERR_NOERROR) r = l;
      }
      if (r != midi::MMSYSERR_NOERROR && r != midi::MMSYSERR_INVALHANDLE) ++Unexpected;
      ++Tries;
    }
  }
  std::atomic<bool> FStop{false};
  std::thread FThread;
};

TEST(MidiRace, NothingReachesADeviceOnceCloseHasReturned) {
  miditest::TScopedSink device;
  std::atomic<int> done{0};
  {
    TSender sender;
    for (int round = 0; round < 100; ++round) {
      midi::THandle handle = 0;
      ASSERT_EQ(midi::Open(handle, device.Id, [&](midi::THandle, midi::TMidiHdr*) { ++done; }, &device),
                midi::MMSYSERR_NOERROR);
      sender.Handle = handle;
      sender.WaitForTries(20);
      ASSERT_EQ(midi::Close(handle), midi::MMSYSERR_NOERROR);
      const size_t atClose = device.Sink->Count();
      sender.WaitForTries(20);  // these all find the handle closed
      ASSERT_EQ(device.Sink->Count(), atClose) << "round " << round;
    }
    EXPECT_EQ(sender.Unexpected.load(), 0);
  }
  TMainQueue::Instance().ProcessPending();
  size_t longs = 0;
  for (const auto& m : device.Sink->Messages()) longs += m.Long.empty() ? 0 : 1;
  EXPECT_EQ(size_t(done.load()), longs) << "one done notice per block played";
  EXPECT_EQ(device.Sink->Closes(), 100);
}

TEST(MidiRace, TheSynthesiserOpensAndClosesUnderASender) {
  {
    TSender sender;
    for (int round = 0; round < 30; ++round) {
      midi::THandle handle = 0;
      ASSERT_EQ(midi::Open(handle, 0), midi::MMSYSERR_NOERROR);  // starts the silent sink
      sender.Handle = handle;
      sender.WaitForTries(50);
      if (round % 10 == 5) {  // a bus takes over and lets go again while it plays
        midi::AttachSynthesiser(44100);
        sender.WaitForTries(20);
        midi::DetachSynthesiser();
      }
      ASSERT_EQ(midi::Close(handle), midi::MMSYSERR_NOERROR);
      sender.WaitForTries(20);
    }
    EXPECT_EQ(sender.Unexpected.load(), 0);
  }
  TMainQueue::Instance().ProcessPending();
  // Whatever the sender struck was cut by the last Close and nothing after
  // it got through: once the room's echo has died away, all is quiet.
  midi::TSampleSource& source = midi::AttachSynthesiser(44100);
  audiocheck::Pull(source, 1.5);
  // -60 dB: a note that got through after Close peaks near 0.1.
  EXPECT_LT(audiocheck::Peak(audiocheck::Pull(source, 0.3)), 1e-3);
  midi::DetachSynthesiser();
}

}  // namespace
