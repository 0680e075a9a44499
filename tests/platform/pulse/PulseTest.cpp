// The sound-server backend against a real PulseAudio server with a null
// sink (scripts/pulse-server, which scripts/test and CI start): the
// synthesiser played through the server and recorded from the sink's
// monitor by the MCI recorder, the source volume through the mixer and from
// outside, sources that come and go, and a server that dies during a take.
// Without a server the tests that need one are skipped.

#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "support/audio/AudioTestSupport.h"
#include "base/Strings.h"
#include "platform/audio/Mci.h"
#include "platform/audio/Mixer.h"
#include "platform/audio/PulseBackend.h"
#include "platform/threads/MainQueue.h"

namespace {

using namespace audio;
using namespace audiotest;
using codectest::Quote;
using TClock = std::chrono::steady_clock;

constexpr const char* kMonitor = "sonarid_null.monitor";
const std::string kServerScript = std::string(SONARID_SOURCE_DIR) + "/scripts/pulse-server";

// Handles the main queue until Done holds, at most five seconds.
bool HandleUntil(const std::function<bool()>& done) {
  for (auto end = TClock::now() + std::chrono::seconds(5); TClock::now() < end;) {
    TMainQueue::Instance().ProcessPending();
    if (done()) return true;
    TMainQueue::Instance().WaitForPosts(20);
  }
  return done();
}

int IdOf(const std::shared_ptr<TCaptureDevice>& device) {
  for (unsigned id = 0; id < CaptureDeviceCount(); ++id)
    if (CaptureDevice(int(id)) == device) return int(id);
  return -1;
}

std::shared_ptr<TPulseSource> FindSource(const TPulseBackend& backend, const std::string& name) {
  for (auto& source : backend.Sources())
    if (source->SourceName() == name) return source;
  return nullptr;
}

// What a mixer handle hears: message and ID.
using THeard = std::vector<std::pair<uint32_t, uint32_t>>;

struct TMixerHandle {
  explicit TMixerHandle(int id) {
    EXPECT_EQ(MixerOpen(Handle, id, [this](HMIXER, uint32_t message, uint32_t control) { Heard.push_back({message, control}); }),
              MMSYSERR_NOERROR);
  }
  ~TMixerHandle() { MixerClose(Handle); }
  std::vector<uint32_t> Volume() const {
    std::vector<uint32_t> values;
    EXPECT_EQ(MixerGetControlDetails(Handle, kVolume, 2, values), MMSYSERR_NOERROR);
    return values;
  }
  static constexpr uint32_t kVolume = 1, kMute = 2;  // as the line's controls list them
  HMIXER Handle = 0;
  THeard Heard;
};

struct TTake {
  TSoxInfo Info;
  double ShortestMs = 0, LongestMs = 0;  // the time between RECORD and STOP
};

// Every test stops the bus it started, also when it fails half-way.
class PulseTest : public AudioTest {
protected:
  void TearDown() override {
    Bus.Stop();
    AudioTest::TearDown();
  }
};

class Pulse : public PulseTest {
protected:
  void SetUp() override {
    PulseTest::SetUp();
    Monitor = FindSource(DefaultPulseBackend(), kMonitor);
    if (!Monitor) GTEST_SKIP() << "no PulseAudio server with the null sink " << kMonitor << " (scripts/pulse-server starts one)";
    Monitor->SetVolume({MaxInputVolume, MaxInputVolume});
    Monitor->SetMuted(false);
  }

  // Records Ms milliseconds from the input device in 44.1 kHz 16-bit stereo.
  TTake Record(int ms) {
    TTake take;
    OpenTake(44100, 2, 16);
    const auto t0 = TClock::now();
    Mci("RECORD take");
    const auto t1 = TClock::now();
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));  // real time by design
    const auto t2 = TClock::now();
    Mci("STOP take");
    const auto t3 = TClock::now();
    Mci("SAVE take \"" + Dir.Path("take.wav") + "\"");
    Mci("CLOSE take");
    take.Info = SoxInfo(Dir.Path("take.wav"));
    take.ShortestMs = std::chrono::duration<double, std::milli>(t2 - t1).count();
    take.LongestMs = std::chrono::duration<double, std::milli>(t3 - t0).count();
    return take;
  }

  std::shared_ptr<TPulseSource> Monitor;
};

TEST_F(Pulse, TheSynthesiserPlaysThroughTheServerAndTheMonitorsTakeFollowsTheMixersVolume) {
  SetInputDevice(IdOf(Monitor));
  ASSERT_TRUE(Bus.Start());  // the server's default sink: the null sink
  TChord chord(Bus);
  std::this_thread::sleep_for(std::chrono::milliseconds(200));  // the chord's attack
  TMixerHandle mixer(IdOf(Monitor));
  double rms[2];
  const uint32_t volumes[2] = {65535, 32768};
  for (int i = 0; i < 2; ++i) {
    ASSERT_EQ(MixerSetControlDetails(mixer.Handle, TMixerHandle::kVolume, {volumes[i], volumes[i]}), MMSYSERR_NOERROR);
    const TTake take = Record(1000);
    // Within one buffer of the stream (10 ms) of the time between the
    // commands: a take that starts late, ends early or loses a block falls
    // outside.
    const double frames = double(take.Info.Frames), buffer = 441;
    EXPECT_GE(frames + buffer, take.ShortestMs * 44.1);
    EXPECT_LE(frames, take.LongestMs * 44.1 + buffer);
    rms[i] = take.Info.Rms;
  }
  EXPECT_GT(rms[0], 0.005) << "the chord reached the monitor";
  // The server's software volume is cubic: half of the range is an eighth.
  EXPECT_NEAR(rms[1] / rms[0], 0.125, 0.04);
}

TEST_F(Pulse, AVolumeOrMuteSetWithPactlReachesTheMixerAsAControlChange) {
  TMixerHandle mixer(IdOf(Monitor));
  codectest::Run(std::string("pactl set-source-volume ") + kMonitor + " 40% 60%");
  ASSERT_TRUE(HandleUntil([&] { return !mixer.Heard.empty(); }));
  EXPECT_EQ(mixer.Heard, (THeard{{MM_MIXM_CONTROL_CHANGE, TMixerHandle::kVolume}}));
  EXPECT_EQ(mixer.Volume(), (std::vector<uint32_t>{26214, 39320}));  // 40 % and 60 % of the range
  codectest::Run(std::string("pactl set-source-mute ") + kMonitor + " 1");
  ASSERT_TRUE(HandleUntil([&] { return mixer.Heard.size() == 2; }));
  EXPECT_EQ(mixer.Heard[1], (std::pair{MM_MIXM_CONTROL_CHANGE, TMixerHandle::kMute}));
  EXPECT_TRUE(Monitor->Muted());
}

// A server of the test's own, which it may change and kill without
// disturbing the shared one.
class TOwnServer {
public:
  TOwnServer() {
    int status = 0;
    FDir = Trim(codectest::Run(Quote(kServerScript) + " start 2>&1", &status));
    if (status != 0) FDir.clear();
  }
  ~TOwnServer() {
    if (!FDir.empty()) codectest::Run(Quote(kServerScript) + " stop " + Quote(FDir));
  }
  bool Started() const { return !FDir.empty(); }
  std::string Address() const { return "unix:" + FDir + "/native"; }
  void Pactl(const std::string& arguments) const { codectest::Run("pactl -s " + Quote(Address()) + " " + arguments); }
  void Kill() const {
    std::ifstream pid(FDir + "/pid");
    int id = 0;
    pid >> id;
    if (id > 0) kill(id, SIGKILL);
  }

private:
  std::string FDir;
};

class PulseOwnServer : public PulseTest {};

TEST_F(PulseOwnServer, SourcesComeAndGoWithTheServerAndATakeEndsWithAnErrorWhenItDies) {
  TOwnServer server;
  if (!server.Started()) GTEST_SKIP() << "no PulseAudio server could be started (scripts/pulse-server)";
  const unsigned before = CaptureDeviceCount();
  TPulseBackend backend(server.Address());
  ASSERT_TRUE(backend.Connected());
  ASSERT_EQ(backend.Sources().size(), 1u);
  const std::shared_ptr<TPulseSource> monitor = backend.Sources()[0];
  EXPECT_EQ(monitor->SourceName(), kMonitor);
  EXPECT_EQ(CaptureDeviceName(IdOf(monitor)), "Monitor of Null Output");
  EXPECT_EQ(CaptureDeviceCount(), before + 1);
  TMixerHandle mixer(IdOf(monitor));

  server.Pactl("load-module module-null-sink sink_name=second");
  ASSERT_TRUE(HandleUntil([&] { return !mixer.Heard.empty() && backend.Sources().size() == 2; }));
  EXPECT_EQ(mixer.Heard[0].first, MM_MIXM_LINE_CHANGE);
  EXPECT_EQ(backend.Sources()[1]->SourceName(), "second.monitor");
  EXPECT_EQ(IdOf(backend.Sources()[1]), IdOf(monitor) + 1) << "added at the end";

  SetInputDevice(IdOf(monitor));
  ASSERT_TRUE(Bus.Start(backend.MakeSink()));
  TChord chord(Bus);
  OpenTake(22050, 1, 16);
  Mci("RECORD take");
  std::this_thread::sleep_for(std::chrono::milliseconds(500));  // real time by design
  mixer.Heard.clear();
  server.Kill();
  std::string mode;
  ASSERT_TRUE(HandleUntil([&] { return MciSendString("STATUS take MODE", &mode) == 0 && mode == "stopped"; }));
  const MCIERROR stop = MciSendString("STOP take");
  std::string text;
  EXPECT_EQ(stop, MCIERR_HARDWARE);
  EXPECT_TRUE(MciGetErrorString(stop, text));
  EXPECT_FALSE(text.empty());
  Mci("SAVE take \"" + Dir.Path("cut short.wav") + "\"");
  const TSoxInfo take = SoxInfo(Dir.Path("cut short.wav"));
  EXPECT_GT(take.Frames, 22050u / 4) << "what came before the server died";
  EXPECT_GT(take.Rms, 0.005);

  EXPECT_TRUE(HandleUntil([&] { return backend.Sources().empty() && CaptureDeviceCount() == before; }));
  EXPECT_FALSE(mixer.Heard.empty());
  // The bus goes on at real time without the server.
  const uint64_t rendered = Bus.FramesRendered();
  EXPECT_TRUE(HandleUntil([&] { return Bus.FramesRendered() > rendered + 4410; }));
  Bus.Stop();
}

class PulseNoServer : public PulseTest {};

TEST_F(PulseNoServer, WithoutAServerTheBackendHasNoSourcesAndNoSink) {
  const unsigned before = CaptureDeviceCount();
  TPulseBackend backend("unix:/nonexistent/sonarid/native");
  EXPECT_FALSE(backend.Connected());
  EXPECT_TRUE(backend.Sources().empty());
  EXPECT_EQ(backend.MakeSink(), nullptr);
  EXPECT_EQ(CaptureDeviceCount(), before);
}

}  // namespace
