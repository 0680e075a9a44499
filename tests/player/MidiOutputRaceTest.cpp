#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/threads/MainQueue.h"
#include "player/MidiOutput.h"
#include "support/MidiDevices.h"

namespace {

// The play thread keeps sending through the component while the main
// thread closes and opens it: every send either reaches the open device or
// is refused, no block is lost or freed twice, and each played block is
// reported once.
void SendWhileClosing(int deviceId, int rounds) {
  TMidiOutput out;
  out.SetDeviceID(deviceId);
  int played = 0;
  out.Onmidioutput = [&](TObject*) { ++played; };
  std::atomic<bool> stop{false};
  std::atomic<long> tries{0}, sentLong{0}, unexpected{0};
  ASSERT_TRUE(out.Open());
  std::thread playThread([&] {
    static const uint8_t block[] = {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7};
    for (uint32_t i = 0; !stop; ++i) {
      const midi::TResult r = out.PutShort(i & 1 ? 0x80 : 0x90, uint8_t(48 + i % 24), 100);
      if (r != midi::MMSYSERR_NOERROR && r != midi::MMSYSERR_INVALHANDLE) ++unexpected;
      if (i % 8 == 0) {
        try {
          out.PutLong(block, sizeof block);
          ++sentLong;
        } catch (const EmidioutputError&) {
          // refused: the device was closed at that moment
        }
      }
      ++tries;
    }
  });
  auto waitForTries = [&](long n) {
    const long until = tries.load() + n;
    while (tries.load() < until) std::this_thread::yield();
  };
  for (int round = 0; round < rounds; ++round) {
    waitForTries(30);
    ASSERT_TRUE(out.Close());
    waitForTries(10);
    TMainQueue::Instance().ProcessPending();
    ASSERT_TRUE(out.Open());
  }
  stop = true;
  playThread.join();
  out.Close();
  TMainQueue::Instance().ProcessPending();
  EXPECT_EQ(unexpected.load(), 0);
  EXPECT_EQ(played, sentLong.load());
}

TEST(MidiOutputRace, SendingWhileClosingARecordingSink) {
  miditest::TScopedSink device("Race sink");
  SendWhileClosing(device.Id, 100);
}

TEST(MidiOutputRace, SendingWhileClosingTheSynthesiser) { SendWhileClosing(0, 20); }

}  // namespace
