// Takes recorded in the main window in real time from the synthesiser through "Program output".

#include <chrono>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <cstdio>
#include <regex>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "ProgramTestSupport.h"
#include "app/LoadedFile.h"
#include "app/MessageBlock.h"
#include "app/ProgramLog.h"
#include "base/LittleEndian.h"
#include "base/Strings.h"
#include "player/Window.h"
#include "platform/audio/MediaPlayer.h"
#include "platform/audio/OutputBus.h"
#include "platform/audio/WaveDecoder.h"
#include "platform/midi/MidiOut.h"
#include "platform/midi/SampleSource.h"
#include "platform/forms/Timer.h"
#include "platform/threads/MainQueue.h"
#include "support/MidiFileBuilder.h"
#include "support/codec/CodecTestSupport.h"
#include "score/model/ScoreFileSamples.h"

namespace apptest {
namespace {

double Sox(const std::string& command) { return std::atof(codectest::Run(command).c_str()); }

// RMS amplitude of the take, whole or its last Seconds (sox).
double TakeRms(const fs::path& take, double lastSeconds = 0) {
  const std::string trim = lastSeconds > 0 ? " trim -" + std::to_string(lastSeconds) : "";
  return Sox("sox '" + take.string() + "' -n" + trim + " stat 2>&1 | awk '/RMS +amp/{print $3}'");
}

const std::string StartLog = "WaveInOpen 0\r\nOpen WAVEAUDIO ALIAS 0\r\nSET TIME FORMAT MS 0\r\n";
const std::string TakeLog = StartLog + "WaveInStart 0\r\nRECORD 0\r\n";

// The log without the date and time of its lines.
std::string LogTexts(const fs::path& log) {
  return std::regex_replace(ReadText(log), std::regex(R"(\d\d\.\d\d\.\d{4} \d\d:\d\d:\d\d - )"), "");
}

class TakeTest : public ProgramTest {
protected:
  void StartWithScale() {
    // Long blocks: a latency (two) that a play thread on a busy machine keeps.
    audio::TOutputBus::Instance().Start(audio::MakeSilentSink(4096));
    Start();
    for (TECImageTrack* bar : {Main->TBLeftVolume, Main->TBRightVolume}) bar->SetPosition(-127);  // full volume
    // Four seconds: a scale of quarter notes at tempo 120, on an organ.
    TMidiFileBuilder builder(0, 96);
    TMidiTrackBuilder& track = builder.AddTrack().Tempo(0, 500000).Program(0, 0, 19);
    for (int key : {60, 62, 64, 65, 67, 69, 71, 72}) track.NoteOn(0, 0, key, 100).NoteOff(96, 0, key);
    const TBytes bytes = builder.Bytes();
    WriteText(Folder / "scale.mid", std::string(bytes.begin(), bytes.end()));
    EXPECT_TRUE(Main->OpenFile((Folder / "scale.mid").string()));
  }
  ~TakeTest() override { Stop(); audio::TOutputBus::Instance().Stop(); }

  // Runs the window, its clock on real time; notes green in the meter's middle row.
  bool RunUntil(const std::function<bool()>& done, double seconds) {
    using namespace std::chrono;
    auto now = steady_clock::now();
    const auto until = now + duration<double>(seconds);
    while (!done() && now < until) {
      TMainQueue::Instance().WaitForPosts(10);
      const auto then = std::exchange(now, steady_clock::now());
      LongestPass = std::max(LongestPass, duration<double>(now - then).count());
      Host->AdvanceTime(uint64_t(duration_cast<milliseconds>(now - then).count()));
      App->ProcessMessages();
      const canvas::TBitmap& meter = Main->PMeter->SurfaceBitmap();
      for (int x = 0; x < meter.Width(); ++x) MeterDrew |= meter.ColorAt(x, meter.Height() / 2) == canvas::clLime;
    }
    return done();
  }
  double Take(const std::string& soxi) { return Sox("soxi " + soxi + " '" + (Folder / "Untitled.wav").string() + "'"); }

  bool MeterDrew = false;
  // In seconds: the longest pass of RunUntil's loop, its wait included. The
  // window notices a score's end at its next timer tick: on a busy machine
  // as much later as the machine held the loop back.
  double LongestPass = 0;
};

// Seconds since Start.
double Since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

struct RecordTest : TakeTest { RecordTest() { StartWithScale(); } };

TEST_F(RecordTest, ATakeEndsWithItsScoreIsSavedPlaysBackAndASecondTakeFollows) {
  const double seconds = Main->CurrentFile()->GetDuration() / 1000;
  Main->ARecord->Execute();
  EXPECT_EQ(Main->TBDestination->Max(), Main->TBSource->Max());
  RunUntil([] { return false; }, 1.2);
  EXPECT_EQ(Main->LTimeDest->Caption() + Main->LTimeSource->Caption(), "00:0100:01");
  EXPECT_EQ(Main->TBDestination->Position(), Main->TBSource->Position());
  ASSERT_TRUE(RunUntil([&] { return !Main->Recording(); }, seconds + 3));
  EXPECT_TRUE(MeterDrew);
  EXPECT_EQ(LogTexts(Folder / "Sonarid.log"), TakeLog);
  EXPECT_EQ(Take("-r"), 44100);
  EXPECT_EQ(Take("-c"), 2);
  // The whole score and the fading of its last note, which ends long
  // before the 3 s that the take waits for it at most.
  auto expectWholeScore = [&] {
    EXPECT_GE(Take("-D"), seconds - 0.15);
    EXPECT_LE(Take("-D"), seconds + 2);
    EXPECT_LT(TakeRms(Folder / "Untitled.wav", 0.1), TakeRms(Folder / "Untitled.wav") / 10);
  };
  expectWholeScore();
  EXPECT_GT(Sox("sox '" + (Folder / "Untitled.wav").string() + "' -n stat 2>&1 | awk '/RMS +amp/{print $3}'"), 0.01);
  EXPECT_EQ(Main->TBDestination->Max(), int(Main->MPDestination->Length()));

  Main->ActivatePanel(false);  // the take plays back to its end
  Main->APlay->Execute();
  ASSERT_TRUE(RunUntil([&] { return !Main->TExport->Enabled(); }, seconds + 3));
  EXPECT_EQ(Main->MPDestination->Position(), Main->MPDestination->Length());
  // At its end the take reads its whole seconds as sox counts them.
  EXPECT_EQ(Main->LTimeDest->Caption() + " " + Main->LEndTime->Caption(),
            Format("00:%02d 00:%02d", int(Take("-D")), int(Take("-D"))));
  EXPECT_EQ(Main->TBDestination->Position(), Main->TBDestination->Max());

  Main->ActivatePanel(true);  // a second take, 22 kHz mono
  Main->CBSampleRate->SetItemIndex(3);
  Main->CBSampleRate->OnChange(Main->CBSampleRate);
  Main->CBChannels->SetChecked(false);
  // The first take, not saved, is still the take: recorded over only when
  // the user says so.
  EXPECT_EQ(AnswerNextBox(forms::mrNo, [&] { Main->ARecord->Execute(); }),
            "Record: The take has not been saved. Save it before recording a new one?");
  ASSERT_TRUE(RunUntil([&] { return !Main->Recording(); }, seconds + 3));
  EXPECT_EQ(LogTexts(Folder / "Sonarid.log"), TakeLog + TakeLog);
  EXPECT_EQ(Take("-r"), 22050);
  EXPECT_EQ(Take("-c"), 1);
  expectWholeScore();
}

// The take panel shows the take being recorded and, once it ended by
// itself, the take at its start; Save proposes the name of its score.
TEST_F(RecordTest, TheTakePanelShowsTheTakeBeingRecordedAndItsScoresName) {
  RecordTake(Main);  // a take saved under a name of its own, 0.3 s long
  EXPECT_EQ(AnswerNextDialog((Folder / "saved.wav").string(), [&] { Main->ASaveAsExecute(); }), "Untitled.wav");
  ASSERT_EQ(Main->LDestination->Caption() + " " + Main->LEndTime->Caption(), "saved.wav 00:00");
  Main->ARecord->Execute();
  EXPECT_EQ(Main->LDestination->Caption() + " " + Main->LTimeDest->Caption() + " " + Main->LEndTime->Caption(),
            "Untitled.wav 00:00 00:04");
  ASSERT_TRUE(RunUntil([&] { return !Main->Recording(); }, 10));
  EXPECT_EQ(Main->LDestination->Caption() + " " + Main->LTimeDest->Caption(), "Untitled.wav 00:00");
  EXPECT_EQ(Main->TBDestination->Position(), 0);
  fs::copy_file(Folder / "scale.mid", Folder / "other.mid");
  ASSERT_TRUE(Main->OpenFile((Folder / "other.mid").string()));
  EXPECT_EQ(ExtractFileName(AnswerNextDialog("", [&] { Main->ASaveExecute(); })), "scale.wav");
  EXPECT_EQ(ExtractFileName(AnswerNextDialog("", [&] { Main->ASaveAsExecute(); })), "scale.wav");
}

TEST_F(RecordTest, AMidiDeviceThatDoesNotOpenEndsTheTakeAndStopKeepsWhatTheNextOneRecorded) {
  midi::THandle holder = 0;
  ASSERT_EQ(midi::Open(holder, 0), 0u);
  EXPECT_EQ(AnswerNextBox(forms::mrOk, [&] { Main->ARecord->Execute(); }),
            "Error: The MIDI output device could not be opened.");
  EXPECT_FALSE(Main->Recording() || Main->TExport->Enabled());
  EXPECT_EQ(LogTexts(Folder / "Sonarid.log"), StartLog + "Play 4\r\n");
  EXPECT_EQ(audio::MciSendString("STATUS KorvaneFile MODE"), audio::MCIERR_INVALID_DEVICE_NAME);
  midi::Close(holder);
  Main->ARecord->Execute();  // stopped at once: an empty take is no error
  Main->AStop->Execute();

  const auto beforeRecord = std::chrono::steady_clock::now();
  // On a busy machine the take stopped at once may have caught some frames,
  // which Record then offers to save first: No records over them.
  AnswerNextBox(forms::mrNo, [&] { Main->ARecord->Execute(); });
  const auto recording = std::chrono::steady_clock::now();
  RunUntil([] { return false; }, 0.5);
  Main->PMeter->SetBounds(Main->PMeter->Left(), Main->PMeter->Top(), 900, Main->PMeter->Height());
  RunUntil([] { return false; }, 0.5);
  const double recorded = Since(recording);
  Main->AStop->Execute();
  const double outer = Since(beforeRecord);
  EXPECT_EQ(LogTexts(Folder / "Sonarid.log"), StartLog + "Play 4\r\n" + TakeLog + TakeLog);
  EXPECT_TRUE(!Main->Recording() && !Main->CurrentFile()->Playing && Main->HasTake());
  // What came between Record and Stop, however long a busy machine made that.
  EXPECT_GE(Take("-D"), recorded - 0.05);
  EXPECT_LE(Take("-D"), outer + 0.05);
  EXPECT_EQ(audio::MciSendString("STATUS KorvaneFile MODE"), audio::MCIERR_INVALID_DEVICE_NAME);
  audio::TWaveHdr late;  // a buffer arriving after Stop draws nothing
  Main->WMWimData(&late);
}

TEST_F(RecordTest, ADiskThatFillsDuringATakeIsSaidAndTheTakeKeepsWhatWasWritten) {
  std::string shown;
  forms::TTimer answer(nullptr);  // ticks in the box's own loop
  answer.SetInterval(10);
  answer.OnTimer = [&](TObject*) {
    if (forms::Screen->ActiveForm() && dynamic_cast<TFMessageBlock*>(forms::Screen->ActiveForm()))
      shown = AnswerNextBox(forms::mrOk, [] { forms::Application->ProcessMessages(); });
  };
  {
    codectest::TFileSizeLimit disk(64 * 1024);
    Main->ARecord->Execute();
    ASSERT_TRUE(RunUntil([&] { return !Main->Recording(); }, 10));
  }
  EXPECT_EQ(shown, "Error: Not all of the take could be written (is the disk full?). It was kept up to where writing stopped.");
  EXPECT_TRUE(Main->HasTake() && Main->ASave->Enabled());
  EXPECT_EQ(Take("-s"), (64 * 1024 - 44) / 4);
  EXPECT_FALSE(fs::exists(Folder / "Recording.wav"));
}

// What the program's bus mixes, as it mixes it, into a file: a killed run
// leaves there what it played.
class TBusFile final : public audio::TBusTap {
public:
  explicit TBusFile(const fs::path& path) : FFile(::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644)) {}
  ~TBusFile() override { ::close(FFile); }
  void BusBlock(const float* stereo, int frames, int64_t) override {
    (void)!::write(FFile, stereo, size_t(frames) * 2 * sizeof(float));
  }

private:
  const int FFile;
};

// Frames the take journal's header counts (16-bit stereo).
uint64_t JournalFrames(const fs::path& journal) {
  uint8_t head[44];
  std::ifstream in(journal, std::ios::binary);
  return in.read(reinterpret_cast<char*>(head), 44) ? le::load32(head + 40) / 4 : 0;
}

// Killed (SIGKILL) 3 s into a take of a click track, a run leaves that take,
// its settings and its log to the next start.
TEST_F(TakeTest, AKilledRunLeavesTheTakeItWasRecordingToTheNextStart) {
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t child = fork();
  if (child == 0) {
    StartWithScale();
    TMidiFileBuilder builder(0, 480);  // a click every quarter second for 10 s
    TMidiTrackBuilder& track = builder.AddTrack().Tempo(0, 500000);
    for (int i = 0; i < 40; ++i) track.NoteOn(i ? 180 : 0, 9, 76, 127).NoteOff(60, 9, 76);
    test_support::WriteBytes(Folder / "clicks.mid", builder.Bytes());
    const bool opened = Main->OpenFile((Folder / "clicks.mid").string());
    Main->SetBounds(40, 30, 700, 400);
    TBusFile bus(Folder / "bus.f32");
    audio::TOutputBus::Instance().AddTap(bus);
    Main->ARecord->Execute();
    // On disk, not merely played: the journal counts them.
    const bool recorded = RunUntil([&] { return JournalFrames(Folder / "Recording.wav") >= 3 * 44100; }, 60);
    (void)!write(ready[1], opened && recorded && Main->Recording() ? "k" : "f", 1);
    for (;;) pause();
  }
  char state = 0;
  (void)!read(ready[0], &state, 1);
  kill(child, SIGKILL);
  ASSERT_TRUE(waitpid(child, nullptr, 0) == child && state == 'k');
  audio::TOutputBus::Instance().Start(audio::MakeSilentSink());
  Start();
  EXPECT_FALSE(fs::exists(Folder / "Recording.wav"));
  EXPECT_GE(Take("-D"), 3.0);
  EXPECT_NEAR(Main->TBDestination->Max(), Take("-D") * 1000, 1);
  EXPECT_TRUE(Main->LDestination->Caption() == "Untitled.wav" && Main->ASave->Enabled());

  // Its frames are what the bus played from the score's start (the input at
  // full volume: the mix itself), as far as the bus file holds them.
  audio::TDecodedWave take;
  ASSERT_EQ(audio::DecodeWaveFile((Folder / "Untitled.wav").string(), take), 0u);
  const std::string raw = ReadText(Folder / "bus.f32");
  std::vector<int> played(raw.size() / sizeof(float));
  for (size_t i = 0; i < played.size(); ++i) {
    float f;
    std::memcpy(&f, raw.data() + i * sizeof(float), sizeof f);
    played[i] = int(std::lrint(std::clamp(f, -1.0f, 32767 / 32768.0f) * 32768));
  }
  auto same = [&](size_t at, size_t from, size_t count) {
    for (size_t i = 0; i < count; ++i)
      if (std::abs(played[at + i] - take.Samples[from + i]) > 1) return false;
    return true;
  };
  size_t first = 0;  // the first click's first sample
  while (first < take.Samples.size() && std::abs(take.Samples[first]) < 100) ++first;
  ASSERT_LT(first + 512, take.Samples.size());
  size_t at = first;
  while (at + 512 <= played.size() && !same(at, first, 512)) at += 2;
  ASSERT_LE(at + 512, played.size()) << "the take's first click was not played";
  const size_t start = at - first, compared = std::min(take.Samples.size(), played.size() - start);
  EXPECT_GE(compared, size_t(2 * 44100 * 2));
  EXPECT_TRUE(same(start, 0, compared));

  EXPECT_EQ(LogTexts(Folder / "Sonarid.log.old"), TakeLog);
  EXPECT_NE(ReadText(Folder / "Sonarid.log").find("The take being recorded when the last run ended was kept"),
            std::string::npos);
  EXPECT_TRUE(Main->Left() == 40 && Main->Top() == 30 && Main->Width() == 700 && Main->Height() == 400);
  EXPECT_EQ(Main->MIReopen->Count() == 1 ? Main->MIReopen->Items(0)->Hint() : "", (Folder / "clicks.mid").string());
  EXPECT_EQ(ExtractFileName(AnswerNextDialog("", [&] { Main->ASaveExecute(); })), "clicks.wav");
  Main->ActivatePanel(false);
  Main->APlay->Execute();
  EXPECT_TRUE(RunUntil([&] { return Main->TBDestination->Position() > 1000; }, 6));  // plays, no score open
}

// A score of one chord on a piano, a whole note at tempo 240: one second
// that ends while the chord still sounds (its release).
void WriteChord(const fs::path& file) {
  TMidiFileBuilder builder(0, 96);
  TMidiTrackBuilder& track = builder.AddTrack().Tempo(0, 250000).Program(0, 0, 0);
  for (int key : {48, 55, 60, 64, 67}) track.NoteOn(0, 0, key, 110);
  track.NoteOff(384, 0, 48);
  for (int key : {55, 60, 64, 67}) track.NoteOff(0, 0, key);
  test_support::WriteBytes(file, builder.Bytes());
}

// The last chord rings out in the take: recording goes on after the score's
// end until the input has fallen silent.
TEST_F(RecordTest, TheTakeKeepsTheReleaseOfTheLastChord) {
  WriteChord(Folder / "chord.mid");
  ASSERT_TRUE(Main->OpenFile((Folder / "chord.mid").string()));
  const double seconds = Main->CurrentFile()->GetDuration() / 1000;
  ASSERT_EQ(seconds, 1.0);
  Main->ARecord->Execute();
  ASSERT_TRUE(RunUntil([&] { return !Main->Recording(); }, seconds + 5));
  const fs::path take = Folder / "Untitled.wav";
  const double mean = TakeRms(take), last = TakeRms(take, 0.1);
  ASSERT_GT(mean, 0.01);
  EXPECT_LT(20 * std::log10(std::max(last, 1e-9) / mean), -20) << "mean " << mean << ", last 100 ms " << last;
  // Longer than the score, by no more than the cap; shown as it is saved.
  EXPECT_GT(Take("-D"), seconds + 0.1);
  EXPECT_LE(Take("-D"), seconds + 3.25 + LongestPass);
  EXPECT_NEAR(Main->TBDestination->Max(), Take("-D") * 1000, 1);
  EXPECT_EQ(Main->LEndTime->Caption(), MillisecToStr(Main->TBDestination->Max()));
}

// A tone into the bus that never stops, at -20 dBFS.
class TConstantTone final : public midi::TSampleSource {
public:
  int SampleRate() const override { return audio::TOutputBus::DefaultRate; }
  void Render(float* out, int frames) override {
    for (int i = 0; i < frames; ++i, ++FFrame)
      out[2 * i] = out[2 * i + 1] = float(0.1 * std::sin(2 * M_PI * 440 * double(FFrame) / SampleRate()));
  }

private:
  uint64_t FFrame = 0;
};

// An input that never falls silent ends the take 3 s after the score; Stop
// ends it at once, also while it waits for silence.
TEST_F(RecordTest, AnInputThatNeverFallsSilentEndsTheTakeAtTheCapAndStopEndsItAtOnce) {
  WriteChord(Folder / "chord.mid");
  ASSERT_TRUE(Main->OpenFile((Folder / "chord.mid").string()));
  const double seconds = Main->CurrentFile()->GetDuration() / 1000;
  TConstantTone tone;
  audio::TOutputBus::Instance().AddSource(tone);
  Main->ARecord->Execute();
  ASSERT_TRUE(RunUntil([&] { return !Main->Recording(); }, seconds + 6));
  EXPECT_GE(Take("-D"), seconds + 3 - 0.15);
  EXPECT_LE(Take("-D"), seconds + 3 + 0.25 + LongestPass);

  Main->CBChannels->SetChecked(false);  // a new format, for a take recorded over the first
  LongestPass = 0;
  AnswerNextBox(forms::mrNo, [&] { Main->ARecord->Execute(); });
  ASSERT_TRUE(RunUntil([&] { return Main->PlayEnded(); }, seconds + 2));
  RunUntil([] { return false; }, 1.0);
  ASSERT_TRUE(Main->Recording());
  Main->AStop->Execute();
  EXPECT_FALSE(Main->Recording());
  EXPECT_GE(Take("-D"), seconds + 1 - 0.15);
  EXPECT_LE(Take("-D"), seconds + 1 + 0.25 + LongestPass);
  audio::TOutputBus::Instance().RemoveSource(tone);
}

class RecordOnsetTest : public RecordTest, public testing::WithParamInterface<int> {};

TEST_P(RecordOnsetTest, TheTakeHoldsTheFirstNoteWhereTheScorePutsIt) {
  const int lead = GetParam();
  TMidiFileBuilder builder(0, 480);  // 480 ticks a half second
  builder.AddTrack().Tempo(0, 500000).NoteOn(uint32_t(lead * 24 / 25), 9, 76, 127).NoteOff(60, 9, 76).NoteOn(180, 9, 76, 127).NoteOff(60, 9, 76);
  test_support::WriteBytes(Folder / "clicks.mid", builder.Bytes());
  ASSERT_TRUE(Main->OpenFile((Folder / "clicks.mid").string()));
  Main->ARecord->Execute();
  ASSERT_TRUE(RunUntil([&] { return !Main->Recording(); }, 5));

  audio::TDecodedWave take;
  ASSERT_EQ(audio::DecodeWaveFile((Folder / "Untitled.wav").string(), take), 0u);
  const int16_t loudest = *std::max_element(take.Samples.begin(), take.Samples.end());
  auto onset = [&](size_t i) {  // in ms: the first sample after I above a fifth of the loudest
    while (i < take.Samples.size() && take.Samples[i] * 5 <= loudest) ++i;
    return double(i / 2) / 44.1;
  };
  // The second click rises as the first (a voice never used before: 0.3 ms later).
  const double first = onset(0), rise = onset(size_t(first * 88.2) + 17640) - lead - 250;
  EXPECT_NEAR(first, lead + rise, 1.0);
  EXPECT_NEAR(rise, 1.0, 1.0);
}

INSTANTIATE_TEST_SUITE_P(LeadingSilence, RecordOnsetTest, testing::Values(0, 500));


// A score whose second measure holds a sound element with a clip that sox
// (WAVE) or ffmpeg (Windows Media audio) makes, recorded as a take: the clip
// is heard where the score puts it.
class ClipTakeTest : public RecordTest {
protected:
  // Opens the score with the clip Make writes (its command with %F) as a
  // sound element of Format (0 WAVE, 1 Windows Media audio); gives the
  // second measure's start in ms.
  double OpenWithClip(const std::string& make, uint8_t format = 0) {
    const std::string clip = (Folder / (format ? "clip.wma" : "clip.wav")).string();
    int status = -1;
    codectest::Run(std::regex_replace(make, std::regex("%F"), codectest::Quote(clip)), &status);
    EXPECT_EQ(status, 0);
    const TBytes audio = test_support::ReadBytes(clip);
    // Tempo 5: measures of over two seconds.
    TScoreFile file = sample::File(sample::DefaultItems, 5, [&](TScoreFileWriter& w) {
      w.U16(1).BeginItem(221, 2, TBlockBytes(4).U8(0, format)).U32(uint32_t(audio.size())).U32(0).Raw(audio).End();
    });
    const TBytes score = file.Bytes();
    test_support::WriteBytes(Folder / "clip.sfd", score);
    EXPECT_TRUE(Main->OpenFile((Folder / "clip.sfd").string()));
    return Main->CurrentFile()->Window->GetPositionTime(0, 1, 0);
  }
  // Records from StartMs to the score's end; the take as sox reads it
  // (mono, 44100 Hz).
  std::vector<int16_t> Record(double startMs) {
    Main->TBSource->SetPosition(int(startMs / 100));
    Main->ARecord->Execute();
    EXPECT_TRUE(RunUntil([&] { return !Main->Recording(); }, 10));
    const std::string raw = codectest::Run("sox " + codectest::Quote((Folder / "Untitled.wav").string()) +
                                           " -t s16 -r 44100 -c 1 -");
    std::vector<int16_t> take(raw.size() / 2);
    for (size_t i = 0; i < take.size(); ++i) take[i] = int16_t(le::load16(reinterpret_cast<const uint8_t*>(raw.data()) + 2 * i));
    return take;
  }
  // The power at Hz in windows of 10 ms (Goertzel).
  static std::vector<double> Power(const std::vector<int16_t>& take, double hz) {
    std::vector<double> power;
    const double w = 2 * std::cos(2 * M_PI * hz / 44100);
    for (size_t at = 0; at + 441 <= take.size(); at += 441) {
      double s1 = 0, s2 = 0;
      for (size_t i = at; i < at + 441; ++i) s2 = std::exchange(s1, take[i] / 32768.0 + w * s1 - s2);
      power.push_back(s1 * s1 + s2 * s2 - w * s1 * s2);
    }
    return power;
  }
  // In ms: where the power first and last stands above a tenth of its top.
  static std::pair<double, double> Sounding(const std::vector<double>& power) {
    const double top = *std::max_element(power.begin(), power.end());
    auto above = [&](double p) { return p > top / 10; };
    const auto first = std::find_if(power.begin(), power.end(), above);
    const auto last = std::find_if(power.rbegin(), power.rend(), above);
    return {double(first - power.begin()) * 10, double(power.rend() - last) * 10};
  }
};

TEST_F(ClipTakeTest, AClipInTheSecondMeasureSoundsFromItsStartForItsLength) {
  const double measure2 = OpenWithClip("sox -n -r 44100 -c 1 -b 16 %F synth 2 sine 1000");
  const auto [from, to] = Sounding(Power(Record(0), 1000));
  EXPECT_NEAR(from, measure2, 150);
  EXPECT_NEAR(to - from, 2000, 100);
}

TEST_F(ClipTakeTest, AWindowsMediaClipSoundsWhereTheScorePutsIt) {
  const double measure2 =
      OpenWithClip("ffmpeg -nostdin -v error -f lavfi -i sine=f=1000:r=44100:d=2 -c:a wmav2 %F 2>&1", 1);
  const auto [from, to] = Sounding(Power(Record(0), 1000));
  EXPECT_NEAR(from, measure2, 150);
  EXPECT_NEAR(to - from, 2000, 100);
}

// What the program's bus mixes, left side, at 16 bits.
class TBusTake final : public audio::TBusTap {
public:
  void BusBlock(const float* stereo, int frames, int64_t) override {
    std::lock_guard<std::mutex> lock(Lock);
    for (int i = 0; i < frames; ++i) Left.push_back(int16_t(std::lround(stereo[2 * i] * 32767)));
  }
  std::mutex Lock;
  std::vector<int16_t> Left;
};

TEST_F(ClipTakeTest, AStartInsideTheClipPlaysItFromThatWholeSecond) {
  const double measure2 = OpenWithClip("sox -n -r 44100 -c 1 -b 16 %F synth 1 sine 1000 : synth 1 sine 2000");
  TBusTake take;
  audio::TOutputBus::Instance().AddTap(take);
  Main->TBSource->SetPosition(int((measure2 + 1000) / 100));
  Main->APlayExecute();
  // Back to idle: the end the play thread reports lasts only until the
  // window's next timer tick, which may come in the same pass.
  EXPECT_TRUE(RunUntil([&] { return !Main->Playing(); }, 10));
  audio::TOutputBus::Instance().RemoveTap(take);
  const std::vector<double> high = Power(take.Left, 2000), low = Power(take.Left, 1000);
  const double highTop = *std::max_element(high.begin(), high.end());
  EXPECT_GT(highTop, 1000.0);
  EXPECT_LT(*std::max_element(low.begin(), low.end()), highTop / 100) << "the clip's first second is not heard";
}

}  // namespace
}  // namespace apptest
