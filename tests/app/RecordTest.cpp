// Takes recorded in the main window with the real synthesiser through the
// "Program output" device, in real time: a take that ends with its score,
// its playback, a second take, Stop during a take, a MIDI device that does
// not open; and the input volume of a mono line.

#include <chrono>
#include <cstdio>
#include <regex>

#include "ProgramTestSupport.h"
#include "app/DrawPanel.h"
#include "app/LoadedFile.h"
#include "platform/audio/CaptureDevice.h"
#include "platform/audio/MediaPlayer.h"
#include "platform/audio/Mixer.h"
#include "platform/audio/OutputBus.h"
#include "platform/midi/MidiOut.h"
#include "platform/threads/MainQueue.h"
#include "support/MidiFileBuilder.h"

namespace apptest {
namespace {

// Four seconds: a C major scale of quarter notes at tempo 120, on an organ.
std::string WriteShortScore(const fs::path& folder) {
  TMidiFileBuilder builder(0, 96);
  TMidiTrackBuilder& track = builder.AddTrack().Tempo(0, 500000).TimeSignature(0, 4, 2).Program(0, 0, 19);
  for (int key : {60, 62, 64, 65, 67, 69, 71, 72}) track.NoteOn(0, 0, key, 100).NoteOff(96, 0, key);
  track.EndOfTrack(0);
  const TBytes bytes = builder.Bytes();
  WriteFile(folder / "scale.mid", std::string(bytes.begin(), bytes.end()));
  return (folder / "scale.mid").string();
}

// The log's texts without their date and time.
std::vector<std::string> LogLines(const fs::path& log) {
  std::vector<std::string> lines;
  const std::string text = ReadFile(log);
  const std::regex line(R"(\d\d\.\d\d\.\d{4} \d\d:\d\d:\d\d - ([^\r]*)\r\n)");
  for (std::sregex_iterator it(text.begin(), text.end(), line), end; it != end; ++it) lines.push_back((*it)[1]);
  return lines;
}

// What sox reads of a WAVE file; Rms of all channels, full scale 1.
struct TSoxInfo {
  uint32_t Rate = 0, Channels = 0, Bits = 0;
  uint64_t Frames = 0;
  double Rms = 0;
};

TSoxInfo SoxInfo(const fs::path& file) {
  auto run = [](const std::string& command) {
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
      for (int c; (c = std::fgetc(pipe)) != EOF;) out += char(c);
      pclose(pipe);
    }
    return out;
  };
  const std::string path = "'" + file.string() + "'";
  auto soxi = [&](const char* option) { return std::stoull("0" + run(std::string("soxi ") + option + " " + path)); };
  TSoxInfo info{uint32_t(soxi("-r")), uint32_t(soxi("-c")), uint32_t(soxi("-b")), soxi("-s")};
  const std::string stat = run("sox " + path + " -n stat 2>&1");
  const size_t rms = stat.find("RMS     amplitude:");
  if (rms != std::string::npos) info.Rms = std::stod(stat.substr(rms + 18));
  return info;
}

class RecordTest : public ProgramTest {
protected:
  RecordTest() {
    audio::TOutputBus::Instance().Start(audio::MakeSilentSink());
    Start();
    Main->TBLeftVolume->SetPosition(-127);  // full input volume
    Main->TBRightVolume->SetPosition(-127);
    Score = WriteShortScore(Folder);
    EXPECT_TRUE(Main->OpenFile(Score));
  }
  ~RecordTest() override {
    Stop();
    audio::TOutputBus::Instance().Stop();
  }

  // Runs the window in real time, its timer on time, until Done or Seconds
  // pass; true when Done. Green in the level meter is noted.
  bool RunUntil(const std::function<bool()>& done, double seconds) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!done() && std::chrono::steady_clock::now() < until) {
      TMainQueue::Instance().WaitForPosts(20);
      Host->AdvanceTime(20);
      App->ProcessMessages();
      const canvas::TBitmap& meter = Main->PMeter->SurfaceBitmap();
      for (int x = 0; x < meter.Width() && !MeterDrew; ++x)
        MeterDrew = meter.ColorAt(x, meter.Height() / 2) == canvas::clLime;
    }
    return done();
  }

  std::string Score;
  bool MeterDrew = false;
};

TEST_F(RecordTest, ATakeEndsWithItsScoreIsSavedPlaysBackAndASecondTakeFollows) {
  const double duration = Main->CurrentFile()->GetDuration();
  Main->ARecord->Execute();
  EXPECT_TRUE(Main->Recording());
  EXPECT_FALSE(Main->ARecord->Enabled());
  EXPECT_EQ(Main->TBDestination->Max(), Main->TBSource->Max());
  RunUntil([] { return false; }, 1.2);
  // While recording the take's bar and time follow the score's.
  EXPECT_EQ(Main->LTimeSource->Caption(), "00:01");
  EXPECT_EQ(Main->LTimeDest->Caption(), Main->LTimeSource->Caption());
  EXPECT_EQ(Main->TBDestination->Position(), Main->TBSource->Position());
  ASSERT_TRUE(RunUntil([&] { return !Main->Recording(); }, duration / 1000 + 3));
  EXPECT_TRUE(MeterDrew);
  EXPECT_FALSE(Main->TExport->Enabled());
  EXPECT_EQ(LogLines(Folder / "Sonarid.log"), (std::vector<std::string>{"WaveInOpen 0", "Open WAVEAUDIO ALIAS 0",
                                                                        "SET TIME FORMAT MS 0", "WaveInStart 0",
                                                                        "RECORD 0"}));
  const fs::path take = Folder / "Untitled.wav";
  TSoxInfo info = SoxInfo(take);
  EXPECT_EQ(info.Rate, 44100u);
  EXPECT_EQ(info.Channels, 2u);
  EXPECT_EQ(info.Bits, 16u);
  EXPECT_NEAR(double(info.Frames) * 1000 / 44100, duration, 150);
  EXPECT_GT(info.Rms, 0.01);
  EXPECT_TRUE(Main->ASave->Enabled());
  EXPECT_EQ(Main->TBDestination->Max(), int(Main->MPDestination->Length()));

  // The take plays back to its end.
  Main->ActivatePanel(false);
  Main->APlay->Execute();
  EXPECT_EQ(Main->MPDestination->Mode(), audio::TMPModes::mpPlaying);
  ASSERT_TRUE(RunUntil([&] { return !Main->TExport->Enabled(); }, duration / 1000 + 3));
  EXPECT_EQ(Main->MPDestination->Position(), Main->MPDestination->Length());
  Main->AGotoBegin->Execute();
  EXPECT_EQ(Main->MPDestination->Position(), 0u);
  EXPECT_EQ(Main->LTimeDest->Caption(), "00:00");

  // A second take in another format.
  Main->ActivatePanel(true);
  Main->CBSampleRate->SetItemIndex(3);
  Main->CBSampleRate->OnChange(Main->CBSampleRate);
  Main->CBChannels->SetChecked(false);
  Main->ARecord->Execute();
  ASSERT_TRUE(RunUntil([&] { return !Main->Recording(); }, duration / 1000 + 3));
  EXPECT_EQ(LogLines(Folder / "Sonarid.log").size(), 10u);
  info = SoxInfo(take);
  EXPECT_EQ(info.Rate, 22050u);
  EXPECT_EQ(info.Channels, 1u);
  EXPECT_NEAR(double(info.Frames) * 1000 / 22050, duration, 150);
}

TEST_F(RecordTest, StopDuringATakeKeepsWhatWasRecordedAndTheMeterMayGrow) {
  Main->ARecord->Execute();
  RunUntil([] { return false; }, 0.5);
  // A wider meter than at the start of the take.
  Main->PMeter->SetBounds(Main->PMeter->Left(), Main->PMeter->Top(), 900, Main->PMeter->Height());
  RunUntil([] { return false; }, 0.5);
  Main->AStop->Execute();
  EXPECT_FALSE(Main->Recording());
  EXPECT_FALSE(Main->CurrentFile()->Playing);
  EXPECT_TRUE(Main->HasTake());
  EXPECT_NEAR(double(SoxInfo(Folder / "Untitled.wav").Frames) / 44100, 1.0, 0.3);
  EXPECT_EQ(audio::MciSendString("STATUS KorvaneFile MODE"), audio::MCIERR_INVALID_DEVICE_NAME);
  audio::TWaveHdr late;  // a buffer arriving after Stop draws nothing
  Main->WMWimData(&late);
}

TEST_F(RecordTest, AMidiDeviceThatDoesNotOpenEndsTheTakeAndTheNextTakeWorks) {
  midi::THandle holder = 0;
  ASSERT_EQ(midi::Open(holder, 0), 0u);
  const std::string shown = AnswerNextBox(forms::mrOk, [&] { Main->ARecord->Execute(); });
  EXPECT_EQ(shown, "Error: The MIDI output device could not be opened.");
  EXPECT_FALSE(Main->Recording());
  EXPECT_FALSE(Main->TExport->Enabled());
  EXPECT_EQ(LogLines(Folder / "Sonarid.log").back(), "Play 4");
  EXPECT_EQ(audio::MciSendString("STATUS KorvaneFile MODE"), audio::MCIERR_INVALID_DEVICE_NAME);
  midi::Close(holder);
  Main->ARecord->Execute();
  EXPECT_TRUE(Main->Recording());
  EXPECT_EQ(LogLines(Folder / "Sonarid.log").back(), "RECORD 0");
  Main->AStop->Execute();
}

// A mono input line of the test's own.
class TMonoLine final : public audio::TCaptureDevice {
public:
  std::string Name() const override { return "Mono line"; }
  int SampleRate() const override { return 8000; }
  uint16_t Channels() const override { return 1; }
};

class InputVolumeTest : public ProgramTest {};

TEST_F(InputVolumeTest, AMonoLineHidesTheRightBarAndAChangeElsewhereMovesTheBar) {
  auto line = std::make_shared<TMonoLine>();
  const int id = audio::AddCaptureDevice(line);
  Start();
  Main->CBInputDevices->SetItemIndex(Main->CBInputDevices->Items().IndexOf("Mono line"));
  Main->CBInputDevicesChange();
  EXPECT_FALSE(Main->TBRightVolume->Visible());
  Main->TBLeftVolume->SetPosition(-127);  // above the mixer's range
  EXPECT_EQ(line->Volume(), std::vector<uint16_t>{65535});
  audio::HMIXER other = 0;
  std::vector<audio::TMixerControl> controls;
  audio::TMixerLine wave;
  ASSERT_EQ(audio::MixerOpen(other, id, {}), 0u);
  audio::MixerGetLineInfoByComponentType(other, audio::MIXERLINE_COMPONENTTYPE_DST_WAVEIN, wave);
  audio::MixerGetLineControls(other, wave.LineID, controls);
  ASSERT_EQ(audio::MixerSetControlDetails(other, controls.front().ControlID, {1000}), 0u);
  App->ProcessMessages();
  EXPECT_EQ(Main->TBLeftVolume->Position(), 64535);
  audio::MixerClose(other);
  Stop();
  audio::RemoveCaptureDevice(line);
}

}  // namespace
}  // namespace apptest
