// Wave input as the level monitor uses it: buffers of 100 ms handed back
// on the main thread, the buffer rules of stop, reset and close, and the
// device chosen for input behind both the monitor and the take.

#include <gtest/gtest.h>

#include <thread>

#include "support/audio/AudioTestSupport.h"
#include "base/LittleEndian.h"
#include "platform/audio/Mci.h"
#include "platform/audio/WaveIn.h"
#include "platform/midi/SendTime.h"
#include "platform/threads/MainQueue.h"

namespace {

using namespace audio;
using namespace audiotest;

// Two buffers of 100 ms each, as the recorder keeps them.
struct TMonitor {
  explicit TMonitor(const codec::TWaveFormat& format)
      : Bytes(format.nSamplesPerSec() / 10 * format.nBlockAlign()), Buffers{std::vector<uint8_t>(Bytes), std::vector<uint8_t>(Bytes)} {
    for (int i = 0; i < 2; ++i) {
      Headers[i].lpData = Buffers[i].data();
      Headers[i].dwBufferLength = Bytes;
    }
  }
  MMRESULT Open(int device, const codec::TWaveFormat& format, bool requeue) {
    return WaveInOpen(Handle, device, format, [this, requeue](HWAVEIN handle, TWaveHdr* header) {
      EXPECT_EQ(handle, Handle);
      EXPECT_TRUE(TMainQueue::Instance().IsMainThread());
      EXPECT_EQ(header->dwFlags & (WHDR_DONE | WHDR_INQUEUE), WHDR_DONE);
      Returned.push_back(header);
      Sizes.push_back(header->dwBytesRecorded);
      Data.insert(Data.end(), header->lpData, header->lpData + header->dwBytesRecorded);
      if (requeue) {
        EXPECT_EQ(WaveInAddBuffer(Handle, *header), MMSYSERR_NOERROR);
      }
    });
  }
  ~TMonitor() { WaveInClose(Handle); }
  void Queue() {
    for (TWaveHdr& header : Headers) {
      ASSERT_EQ(WaveInPrepareHeader(Handle, header), MMSYSERR_NOERROR);
      ASSERT_EQ(WaveInAddBuffer(Handle, header), MMSYSERR_NOERROR);
    }
  }

  const uint32_t Bytes;
  std::vector<uint8_t> Buffers[2];
  TWaveHdr Headers[2];
  HWAVEIN Handle = 0;
  std::vector<TWaveHdr*> Returned;
  std::vector<uint32_t> Sizes;
  std::vector<uint8_t> Data;
};

class WaveIn : public AudioTest {
protected:
  static void Handle() { TMainQueue::Instance().ProcessPending(); }
};

TEST_F(WaveIn, TheMonitorGetsFullBuffersOfItsFormatHoldingWhatTheTakeRecords) {
  const codec::TWaveFormat format = codec::TWaveFormat::Pcm(1, 22050, 16);
  TChord chord(Bus);
  Render(4410);
  TMonitor monitor(format);
  ASSERT_EQ(monitor.Open(WAVE_MAPPER, format, true), MMSYSERR_NOERROR);
  monitor.Queue();
  OpenTake(22050, 1, 16);
  ASSERT_EQ(WaveInStart(monitor.Handle), MMSYSERR_NOERROR);
  Mci("RECORD take");
  for (int i = 0; i < 10; ++i) {
    Render(4410);
    Handle();
  }
  Mci("STOP take");
  ASSERT_EQ(WaveInReset(monitor.Handle), MMSYSERR_NOERROR);
  Handle();
  ASSERT_GE(monitor.Returned.size(), 10u);
  for (size_t i = 0; i + 2 < monitor.Returned.size(); ++i) {
    EXPECT_EQ(monitor.Returned[i], &monitor.Headers[i % 2]) << "in the order queued";
    EXPECT_EQ(monitor.Sizes[i], monitor.Bytes);
  }
  Mci("SAVE take \"" + Dir.Path("take.wav") + "\"");
  const std::vector<int16_t> take = codectest::FfDecode(Dir.Path("take.wav"), 1);
  ASSERT_LE(monitor.Data.size() / 2, take.size());
  ASSERT_GE(monitor.Data.size() / 2, 22050u - 64) << "a second, less what the resampler still held at the reset";
  size_t differ = 0;
  for (size_t i = 0; i < monitor.Data.size() / 2; ++i) differ += int16_t(le::load16(&monitor.Data[2 * i])) != take[i];
  EXPECT_EQ(differ, 0u) << "the monitor and the take hear the same source";
  EXPECT_EQ(WaveInClose(monitor.Handle), MMSYSERR_NOERROR);
}

TEST_F(WaveIn, StopGivesBackThePartBufferResetGivesBackAllAndCloseSilencesTheHandle) {
  const codec::TWaveFormat format = codec::TWaveFormat::Pcm(2, 8000, 8);
  TMonitor monitor(format);
  ASSERT_EQ(monitor.Open(0, format, false), MMSYSERR_NOERROR);
  TWaveHdr& a = monitor.Headers[0];
  TWaveHdr& b = monitor.Headers[1];
  EXPECT_EQ(WaveInAddBuffer(monitor.Handle, a), WAVERR_UNPREPARED);
  monitor.Queue();
  EXPECT_EQ(WaveInUnprepareHeader(monitor.Handle, a), WAVERR_STILLPLAYING);

  ASSERT_EQ(WaveInStart(monitor.Handle), MMSYSERR_NOERROR);
  Render(2205);  // 50 ms: 400 frames
  ASSERT_EQ(WaveInStop(monitor.Handle), MMSYSERR_NOERROR);
  Handle();
  ASSERT_EQ(monitor.Returned, std::vector<TWaveHdr*>{&a});
  EXPECT_EQ(a.dwBytesRecorded, 800u);
  EXPECT_TRUE(b.dwFlags & WHDR_INQUEUE);
  Render(4410);  // stopped: nothing arrives
  ASSERT_EQ(WaveInReset(monitor.Handle), MMSYSERR_NOERROR);
  Handle();
  ASSERT_EQ(monitor.Returned, (std::vector<TWaveHdr*>{&a, &b}));
  EXPECT_EQ(b.dwBytesRecorded, 0u);
  EXPECT_EQ(WaveInUnprepareHeader(monitor.Handle, a), MMSYSERR_NOERROR);

  // A buffer filled before Close but handed over after it never arrives.
  ASSERT_EQ(WaveInAddBuffer(monitor.Handle, b), MMSYSERR_NOERROR);
  ASSERT_EQ(WaveInStart(monitor.Handle), MMSYSERR_NOERROR);
  Render(8820);
  ASSERT_TRUE(TMainQueue::Instance().HasPending());
  ASSERT_EQ(WaveInClose(monitor.Handle), MMSYSERR_NOERROR);
  Handle();
  EXPECT_EQ(monitor.Returned.size(), 2u);
  EXPECT_EQ(WaveInStart(monitor.Handle), MMSYSERR_INVALHANDLE);
}

TEST_F(WaveIn, FormatsOutsideTheRecordersAndMissingDevicesAreRefused) {
  HWAVEIN handle = 0;
  codec::TWaveFormat badAlign = codec::TWaveFormat::Pcm(2, 8000, 16);
  badAlign.SetBlockAlign(2);
  codec::TWaveFormat compressed = codec::TWaveFormat::Pcm(1, 8000, 16);
  compressed.SetFormatTag(codec::WAVE_FORMAT_ALAW);
  for (const codec::TWaveFormat& f : {codec::TWaveFormat::Pcm(1, 8000, 24), codec::TWaveFormat::Pcm(3, 8000, 16), badAlign, compressed})
    EXPECT_EQ(WaveInOpen(handle, 0, f, {}), WAVERR_BADFORMAT);
  EXPECT_EQ(WaveInOpen(handle, int(WaveInGetNumDevs()), codec::TWaveFormat::Pcm(1, 8000, 8), {}), MMSYSERR_BADDEVICEID);
  EXPECT_EQ(handle, 0u);
}

TEST_F(WaveIn, TheDeviceChosenForInputFeedsTheMonitorAndTheTake) {
  TFakeInput input("Test input", 1);
  SetInputDevice(input.Id());
  const codec::TWaveFormat format = codec::TWaveFormat::Pcm(1, 8000, 16);
  TMonitor monitor(format);
  ASSERT_EQ(monitor.Open(WAVE_MAPPER, format, false), MMSYSERR_NOERROR);
  monitor.Queue();
  OpenTake(8000, 1, 16);
  SetInputDevice(0);  // a later choice changes neither
  ASSERT_EQ(WaveInStart(monitor.Handle), MMSYSERR_NOERROR);
  Mci("RECORD take");
  TChord chord(Bus);
  Render(8820);  // what the program plays reaches neither
  input.Push(800, 0.5f);
  Mci("STOP take");
  Handle();
  ASSERT_EQ(monitor.Returned.size(), 1u);
  for (size_t i = 0; i < monitor.Data.size(); i += 2) ASSERT_EQ(int16_t(le::load16(&monitor.Data[i])), 16384) << i;
  Mci("SAVE take \"" + Dir.Path("input.wav") + "\"");
  const std::vector<int16_t> take = codectest::FfDecode(Dir.Path("input.wav"), 1);
  ASSERT_EQ(take.size(), 800u);
  EXPECT_EQ(take.front(), 16384);
  EXPECT_EQ(take.back(), 16384);
  EXPECT_EQ(WaveInClose(monitor.Handle), MMSYSERR_NOERROR);
}

TEST_F(WaveIn, OnTheSilentSinkTheMonitorAndTheTakeRunInRealTime) {
  TChord chord(Bus);
  for (const codec::TWaveFormat& format : {codec::TWaveFormat::Pcm(2, 48000, 16), codec::TWaveFormat::Pcm(1, 8000, 8)}) {
    ASSERT_TRUE(Bus.Start(MakeSilentSink()));
    TMonitor monitor(format);
    ASSERT_EQ(monitor.Open(WAVE_MAPPER, format, true), MMSYSERR_NOERROR);
    monitor.Queue();
    OpenTake(format.nSamplesPerSec(), format.nChannels(), format.wBitsPerSample());
    ASSERT_EQ(WaveInStart(monitor.Handle), MMSYSERR_NOERROR);
    // The take runs from RECORD's moment to STOP's (each within its call), give or take a block.
    const int64_t startBefore = midi::MonotonicNowNs();
    Mci("RECORD take");
    const int64_t startAfter = midi::MonotonicNowNs();
    // Real time by design: the sink's own pace, with the main loop handling
    // the monitor's buffers as they come.
    for (auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(600); std::chrono::steady_clock::now() < end;)
      if (TMainQueue::Instance().WaitForPosts(20)) Handle();
    const int64_t endBefore = midi::MonotonicNowNs();
    Mci("STOP take");
    const int64_t endAfter = midi::MonotonicNowNs();
    ASSERT_EQ(WaveInReset(monitor.Handle), MMSYSERR_NOERROR);
    Bus.Stop();
    Handle();
    Mci("SAVE take \"" + Dir.Path("real time.wav") + "\"");
    Mci("CLOSE take");
    const TSoxInfo info = SoxInfo(Dir.Path("real time.wav"));
    const double ratio = format.nSamplesPerSec() / 1e9, block = 1024.0 * format.nSamplesPerSec() / Bus.SampleRate();
    EXPECT_GE(double(info.Frames) + block, double(endBefore - startAfter) * ratio);
    EXPECT_LE(double(info.Frames), double(endAfter - startBefore) * ratio + block);
    EXPECT_GE(monitor.Sizes.size(), 2u);
    EXPECT_EQ(monitor.Sizes.front(), monitor.Bytes);
    EXPECT_GT(info.Rms, 0.005);
  }
}

}  // namespace
