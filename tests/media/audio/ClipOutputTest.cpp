// The clip output on an output bus of the test's own, pulled by the test:
// what comes out, its format records, its events and its failures.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cmath>
#include <thread>

#include "ClipReading.h"
#include "base/LittleEndian.h"
#include "media/audio/AuException.h"
#include "media/audio/DXAudioOut.h"
#include "media/audio/WMIn.h"
#include "media/audio/WaveIn.h"
#include "platform/audio/OutputBus.h"
#include "platform/threads/MainQueue.h"
#include "support/codec/CodecTestSupport.h"
#include "support/wma/WindowsMediaClips.h"

using namespace codectest;

namespace {

class ClipOutput : public testing::Test {
protected:
  void SetUp() override { TMainQueue::Instance().SetMainThread(std::this_thread::get_id()); }

  // Runs the main queue until Done holds (a minute at most: a failure, not
  // a timing).
  template <class F>
  bool WaitFor(F done) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (std::chrono::steady_clock::now() < until) {
      TMainQueue::Instance().ProcessPending();
      if (done()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
  }

  // A clip written by sox with these options and effects.
  std::string Clip(const std::string& options, const std::string& effects) {
    const std::string path = Dir.Path("clip" + std::to_string(++FClips) + ".wav");
    int status = -1;
    codectest::Run("sox -n " + options + " " + Quote(path) + " " + effects + " 2>&1", &status);
    EXPECT_EQ(status, 0);
    return path;
  }

  // Pulls the bus until the clip sounds, then Frames more frames; the mix
  // from the clip's first frame on.
  std::vector<float> Hear(size_t frames) {
    std::vector<float> mix, block(2 * 441);
    EXPECT_TRUE(WaitFor([&] {
      Bus.Render(block.data(), 441);
      const auto first = std::find_if(block.begin(), block.end(), [](float v) { return v != 0; });
      if (first == block.end()) return false;
      mix.assign(first - (first - block.begin()) % 2, block.end());
      return true;
    }));
    const size_t have = mix.size() / 2;
    mix.resize(std::max(have, frames) * 2);
    if (frames > have) Bus.Render(mix.data() + 2 * have, int(frames - have));
    return mix;
  }

  audio::TOutputBus Bus{44100};
  TScratchDir Dir;
  int FClips = 0;
};

TEST_F(ClipOutput, StereoClipComesOutSampleForSampleToItsLastFrame) {
  const std::string path = Clip("-r 44100 -c 2 -b 16", "synth 0.5 sine 440 sine 660 dcshift 0.1");
  const std::string raw = codectest::Run("sox " + Quote(path) + " -t s16 -");
  TWaveIn in;
  in.SetFileName(path);
  TDXAudioOut out(&Bus);
  out.PollingInterval = 20;
  int done = 0;
  out.OnDone = [&](TAuOutput*) { ++done; };
  out.SetInput(&in);
  out.Run();
  const size_t clipFrames = raw.size() / 4;
  const std::vector<float> mix = Hear(clipFrames + 22050);
  for (size_t i = 0; i < 2 * clipFrames; ++i)
    ASSERT_EQ(mix[i], int16_t(le::load16(reinterpret_cast<const uint8_t*>(raw.data()) + 2 * i)) / 32768.0f) << i;
  for (size_t i = 2 * clipFrames; i < mix.size(); ++i) ASSERT_EQ(mix[i], 0.0f) << "silence after the clip, " << i;
  EXPECT_TRUE(WaitFor([&] { return done == 1; }));
  EXPECT_EQ(out.Format().nBlockAlign(), 4);
}

// The pump thread reading a Windows Media clip: what its input decodes
// (checked against ffmpeg in the input's own tests) comes out whole.
TEST_F(ClipOutput, AWindowsMediaClipComesOutAsItsInputDecodesIt) {
  TWMIn reference, in;
  reference.SetFileName(wmatest::StereoClip().Path);
  std::vector<int16_t> decoded = As<int16_t>(Drain(reference));
  // The mix is heard from its first sound on.
  const auto first = std::find_if(decoded.begin(), decoded.end(), [](int16_t v) { return v != 0; });
  decoded.erase(decoded.begin(), decoded.begin() + (first - decoded.begin()) / 2 * 2);
  in.SetFileName(wmatest::StereoClip().Path);
  TDXAudioOut out(&Bus);
  out.PollingInterval = 20;
  out.SetFramesInBuffer(1 << 17);  // the whole clip: the test hears it in one pull
  int done = 0;
  out.OnDone = [&](TAuOutput*) { ++done; };
  out.SetInput(&in);
  out.Run();
  const std::vector<float> mix = Hear(decoded.size() / 2 + 4410);
  for (size_t i = 0; i < decoded.size(); ++i) ASSERT_EQ(mix[i], decoded[i] / 32768.0f) << i;
  for (size_t i = decoded.size(); i < mix.size(); ++i) ASSERT_EQ(mix[i], 0.0f) << "silence after the clip, " << i;
  EXPECT_TRUE(WaitFor([&] { return done == 1; }));
}

TEST_F(ClipOutput, MonoClipAtHalfTheRateSoundsAtItsPitchOnBothSides) {
  TWaveIn in;
  in.SetFileName(Clip("-r 22050 -c 1 -b 16", "synth 1 sine 1000 dcshift 0.01"));
  TDXAudioOut out(&Bus);
  out.PollingInterval = 20;
  out.SetInput(&in);
  out.Run();
  const std::vector<float> mix = Hear(44100);
  int crossings = 0;
  for (size_t i = 2 * 4410; i < 2 * 26460; i += 2) {
    ASSERT_EQ(mix[i], mix[i + 1]);
    crossings += (mix[i] - 0.01f > 0) != (mix[i + 2] - 0.01f > 0);
  }
  EXPECT_NEAR(crossings, 1000, 4);  // 0.5 s of 1 kHz
  out.Stop(false);
}

// A clip input that stops giving data (until Resume) once Gate bytes are read.
class TStallingInput : public TWaveIn {
public:
  void Resume() {
    std::lock_guard<std::mutex> lock(FLock);
    FGate = UINT64_MAX;
    FSignal.notify_all();
  }
  std::atomic<bool> Stalled{false};
  std::atomic<uint64_t> Read{0};  // bytes given to the pump
  uint64_t FGate = 2048;

protected:
  void GetDataInternal(uint8_t*& buffer, uint32_t& bytes) override {
    std::unique_lock<std::mutex> lock(FLock);
    Stalled = Read >= FGate;
    FSignal.wait(lock, [&] { return Read < FGate; });
    Stalled = false;
    lock.unlock();
    TWaveIn::GetDataInternal(buffer, bytes);
    Read += bytes;
  }

private:
  std::mutex FLock;
  std::condition_variable FSignal;
};

TEST_F(ClipOutput, AnInputThatStallsRaisesOneUnderrunAndPlayingGoesOn) {
  TStallingInput in;
  in.SetFileName(Clip("-r 8000 -c 1 -b 16", "synth 10 sine 300 dcshift 0.1"));
  TDXAudioOut out(&Bus);
  // Sixteen rounds without room end a run with an output error: 0.8 s, so
  // that a test thread the machine holds back a while never ends it early.
  out.PollingInterval = 50;
  out.SetFramesInBuffer(1024);  // the first 2048 bytes fill it
  int underruns = 0;
  out.OnUnderrun = [&](TAuOutput*) { ++underruns; };
  out.SetInput(&in);
  out.Run();
  Hear(441);
  ASSERT_TRUE(WaitFor([&] { return in.Stalled.load(); }));
  std::vector<float> mix(2 * 20000);
  Bus.Render(mix.data(), 20000);  // three buffers and more go by
  in.Resume();
  // Pulled a block (80 clip frames) at a time, the next only once the pump
  // has refilled what one took: the pump is never left behind again. Once
  // the underrun is reported, more than a buffer of the clip is heard
  // without a gap: the pump feeds it on.
  int heard = 0;  // blocks heard in a row since the report
  for (int block = 0; heard < 16; ++block) {
    ASSERT_LT(block, 1000) << "the clip does not go on";
    TMainQueue::Instance().ProcessPending();
    const uint64_t read = in.Read;
    Bus.Render(mix.data(), 441);
    const bool sound = *std::max_element(mix.begin(), mix.begin() + 882) != 0.0f;
    heard = sound && underruns == 1 ? heard + 1 : 0;
    // Silence: the buffer stood stopped for its restart and took nothing.
    if (sound) {
      ASSERT_TRUE(WaitFor([&] { return in.Read >= read + 160; }));
    }
  }
  ASSERT_TRUE(WaitFor([&] { return !out.Busy(); }));  // nobody pulls now: an output error ends it
  EXPECT_EQ(underruns, 1);
}

struct TFormatCase {
  int Channels, Bits;
  uint16_t Tag;
  uint32_t Mask;
};

TEST(ClipOutputFormat, PlainForStereoSixteenBitsExtensibleWithItsMaskElse) {
  for (const TFormatCase& c : {TFormatCase{2, 16, 1, 0}, TFormatCase{2, 24, 0xFFFE, 3}, TFormatCase{6, 16, 0xFFFE, 63},
                               TFormatCase{8, 32, 0xFFFE, 255}, TFormatCase{1, 8, 1, 0}}) {
    const codec::TWaveFormat f = TDXAudioOut::MakeFormat(c.Channels, 44100, c.Bits);
    EXPECT_EQ(f.wFormatTag(), c.Tag);
    EXPECT_EQ(f.nBlockAlign(), c.Channels * c.Bits / 8);
    EXPECT_EQ(f.nAvgBytesPerSec(), 44100u * c.Channels * c.Bits / 8);
    EXPECT_EQ(c.Tag == 0xFFFE ? f.ExtraU32(20) : 0u, c.Mask);
  }
}

TEST_F(ClipOutput, EnumerationKeepsSixteenDevices) {
  TDXAudioOut out(&Bus, [](const audio::TDSEnumCallback& callback) {
    for (int i = 0; i < 20 && callback(audio::TGuid{}, "device " + std::to_string(i));) ++i;
    return audio::DS_OK;
  });
  EXPECT_EQ(out.Devices().Count, 16u);
  TDXAudioOut program(&Bus);
  EXPECT_STREQ(program.Devices().Devices[0].Description, "Program output");
}

TEST_F(ClipOutput, RunFailuresEndTheRunWithTheirText) {
  TDXAudioOut out(&Bus);
  EXPECT_THROW(
      try { out.Run(); } catch (const EAuException& e) {
        EXPECT_STREQ(e.what(), "Input is not assigned");
        throw;
      },
      EAuException);
  TWaveIn in;
  in.SetFileName(Clip("-r 8000 -c 1 -b 16", "synth 2 sine 300"));
  out.SetInput(&in);
  int errors = 0;
  out.OnThreadException = [&](TAuOutput*) { ++errors; };
  out.DeviceNumber = 1;
  out.Run();
  ASSERT_TRUE(WaitFor([&] { return errors == 1 && !out.Busy(); }));
  EXPECT_EQ(out.ErrorText(), "Invalid device number");
  // Nobody pulls this bus: the buffer never frees up.
  out.DeviceNumber = 0;
  out.PollingInterval = 1;
  out.SetFramesInBuffer(1024);
  out.Run();
  ASSERT_TRUE(WaitFor([&] { return errors == 2 && !out.Busy(); })) << errors << out.Busy() << out.ErrorText();
  EXPECT_EQ(out.ErrorText(), "Audio output error");
}

// Stop(true) reports its end later, Stop(false) never; a Run right after
// an asynchronous Stop (the play thread at a repeat) waits for it and plays
// again, from the time it is given.
TEST_F(ClipOutput, AsynchronousStopReportsDoneLaterSynchronousNeverAndARunRightAfterItPlays) {
  TWaveIn in;
  in.SetFileName(Clip("-r 44100 -c 1 -b 16", "synth 1 sine 440 : synth 1 sine 880"));
  TDXAudioOut out(&Bus);
  out.PollingInterval = 1;
  int done = 0;
  out.OnDone = [&](TAuOutput*) { ++done; };
  out.SetInput(&in);
  out.Run();
  out.Stop(true);
  EXPECT_EQ(done, 0) << "events come through the main queue";
  ASSERT_TRUE(WaitFor([&] { return done == 1; }));
  out.Run();
  out.Stop(false);
  EXPECT_FALSE(out.Busy());
  TMainQueue::Instance().ProcessPending();
  EXPECT_EQ(done, 1);

  out.Run();
  Hear(4410);
  out.Stop(true);
  out.Run();  // the stop is still on its way: the run waits for it
  EXPECT_EQ(out.PumpRun(), 4u);
  Hear(4410);
  out.Stop(true);
  // As the clip player does: wait for the stop, give the time, run.
  ASSERT_TRUE(out.WaitUntilFree());
  in.SetStartTime(0, 1);
  out.Run();
  EXPECT_EQ(out.PumpRun(), 5u);
  // The second second only: 880 Hz, never 440 Hz's zero crossings.
  const std::vector<float> heard = Hear(22050);
  size_t crossings = 0;
  for (size_t i = 2; i < 2 * 4410; i += 2) crossings += (heard[i - 2] < 0) != (heard[i] < 0);
  EXPECT_NEAR(double(crossings), 2 * 880 * 0.1, 6);
  std::vector<float> block(2 * 441);
  EXPECT_TRUE(WaitFor([&] {
    Bus.Render(block.data(), 441);
    return done == 4 && !out.Busy();
  })) << "three stopped runs that report and one to the clip's end";
}

// The play thread's way with a clip, raced from another thread: Run,
// asynchronous Stop, the input prepared anew (its stream rewound, its start
// time set) once the output is free, and the start time set while it plays.
TEST_F(ClipOutput, RunStopAndAPreparedInputFromAnotherThread) {
  TWaveIn a, b;
  TMemoryStream clip;
  clip.LoadFromFile(Clip("-r 8000 -c 1 -b 16", "synth 2 sine 300"));
  a.SetStream(&clip);
  b.SetFileName(Clip("-r 8000 -c 2 -b 16", "synth 0.2 sine 300"));
  TDXAudioOut out(&Bus);
  out.PollingInterval = 1;
  out.OnDone = [](TAuOutput*) {};
  out.SetInput(&a);
  std::atomic<bool> finished{false};
  std::thread other([&] {
    for (int i = 0; i < 1000; ++i) {
      if (i % 4 == 0) {
        if (out.WaitUntilFree() && out.AuInput() == &a) {
          clip.SetPosition(0);
          a.SetStream(&clip);
        }
        a.SetStartTime(0, i % 8 ? 0 : 1);
        out.Run();
      }
      if (i % 4 == 1) out.Stop(i % 2 == 0);
      if (i % 4 == 2) out.SetInput(i % 8 == 2 ? &a : &b);
      if (i % 4 == 3) out.Run();
    }
    finished = true;
  });
  std::vector<float> block(2 * 441);
  EXPECT_TRUE(WaitFor([&] {
    Bus.Render(block.data(), 441);
    return finished.load();
  }));
  other.join();
  out.Stop(false);
  EXPECT_FALSE(out.Busy());
}

// A stop is seen at once, also while the pump waits for room in a buffer
// nobody plays (a minute a round here).
TEST_F(ClipOutput, AStopIsSeenAtOnceWhileThePumpWaitsForRoom) {
  audio::TOutputBus silent{44100};  // never pulled
  TWaveIn in;
  in.SetFileName(Clip("-r 8000 -c 1 -b 16", "synth 20 sine 300"));
  TDXAudioOut out(&silent);
  out.PollingInterval = 60000;
  out.SetFramesInBuffer(1024);
  out.SetInput(&in);
  out.Run();
  ASSERT_TRUE(WaitFor([&] { return out.Active(); }));
  const auto before = std::chrono::steady_clock::now();
  out.Stop(false);
  EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(30));
  EXPECT_FALSE(out.Busy());
}

}  // namespace
