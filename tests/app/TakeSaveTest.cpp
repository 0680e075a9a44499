// Saving a take from the main window: a two-second take made by sox is
// written through the codec chosen in the lists (from the take's own format,
// not the format controls), in the busy state with the progress bar; Stop
// ends it; every failure shows its message and leaves no file.

#include <sys/resource.h>

#include <csignal>
#include <cstdlib>

#include "ProgramTestSupport.h"
#include "base/Streams.h"
#include "platform/codec/RiffWave.h"
#include "platform/forms/Timer.h"
#include "platform/threads/MainQueue.h"

namespace apptest {
namespace {

std::string Shell(const std::string& command) {
  std::string out;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    char buffer[512];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    ::pclose(pipe);
  }
  return out;
}

class TakeSaveTest : public ProgramTest {
protected:
  TakeSaveTest() {
    unsetenv("LANGUAGE");
    unsetenv("LC_ALL");
    unsetenv("LC_MESSAGES");
    setenv("LANG", "C", 1);
    Start();
    Take = Main->RecordFile();
    Dest = (Folder / "saved.wav").string();
    // A plucked chord at 22050 Hz stereo, while the controls say 44100 Hz.
    EXPECT_EQ(std::system(("sox -q -n -r 22050 -c 2 -b 16 '" + Take +
                           "' synth 2 pluck C3 pluck G4 fade 0.01 2 0.1 remix 1 2 2>/dev/null").c_str()),
              0);
  }

  // Compression on with the codec of Tag (and its first driver) chosen.
  void ChooseCodec(uint16_t tag) {
    Main->CBCompression->SetChecked(true);
    forms::TComboBox* list = Main->CBCompressions;
    list->SetItemIndex(-1);
    for (int i = 0; i < list->Items().Count(); ++i)
      if (reinterpret_cast<intptr_t>(list->Items().Objects(i)) == tag) list->SetItemIndex(i);
    EXPECT_GE(list->ItemIndex(), 0) << "codec " << tag << " not listed";
    Main->FillDrivers();
  }

  std::string Error(const std::string& text) { return Main->Message(3) + ": " + text; }

  // AnswerNextBox for a box that comes after the save has let window
  // messages run (which would take a posted answer too early): a timer
  // answers it, and timers only tick while a loop waits.
  std::string AnswerBoxAfterSave(const std::function<void()>& action) {
    forms::TTimer timer(nullptr);
    timer.SetInterval(10);
    std::string shown = "<no box>";
    timer.OnTimer = [&](TObject*) { shown = AnswerNextBox(forms::mrOk, [] { forms::Application->ProcessMessages(); }); };
    action();
    return shown;
  }

  std::string Take, Dest;
};

TEST_F(TakeSaveTest, ConvertsTheTakeInItsOwnFormatShowingProgressInTheBusyState) {
  ChooseCodec(codec::WAVE_FORMAT_IMA_ADPCM);
  ASSERT_GT(Main->CBDrivers->Items().Count(), 0);
  EXPECT_EQ(Main->CBDrivers->ItemIndex(), 0);
  bool seen = false;
  TMainQueue::Instance().Post([&] {
    seen = true;
    EXPECT_TRUE(Main->PBProgress->Visible());
    EXPECT_EQ(Main->PBProgress->Max(), int(fs::file_size(Take) / 100));
    EXPECT_GT(Main->PBProgress->Position(), 0);
    EXPECT_TRUE(Main->AStop->Enabled());
    EXPECT_FALSE(Main->AOpen->Enabled());
    EXPECT_FALSE(Main->ARecord->Enabled());
    EXPECT_FALSE(Main->CBCompressions->Enabled());
    EXPECT_FALSE(Main->CBSampleRate->Enabled());
    bool canClose = true;
    Main->OnCloseQuery(Main, canClose);
    EXPECT_FALSE(canClose);  // closing would delete the take being read
  });
  ASSERT_TRUE(Main->WriteWaveFile(Take, Dest));
  EXPECT_TRUE(seen);
  EXPECT_FALSE(Main->PBProgress->Visible());
  EXPECT_TRUE(Main->AOpen->Enabled());
  EXPECT_TRUE(Main->CBCompressions->Enabled());

  EXPECT_EQ(Shell("ffprobe -v error -show_entries stream=codec_name,sample_rate,channels -of compact=p=0:nk=1 '" + Dest + "'"),
            "adpcm_ima_wav|22050|2\n");
  TFileStream saved(Dest, fmOpenRead);
  const codec::TWaveFileInfo info = codec::ReadWaveHeader(saved);
  EXPECT_TRUE(info.HasFact);
  EXPECT_EQ(info.FactSamples, 44100u);
  EXPECT_EQ(Main->PBProgress->Position(), int(44100 * 4 / 100));
}

TEST_F(TakeSaveTest, StopEndsTheSaveWithoutAMessageAndLeavesNoFile) {
  ChooseCodec(codec::WAVE_FORMAT_MPEGLAYER3);
  TMainQueue::Instance().Post([&] { Main->AStopExecute(); });
  const std::string shown = AnswerBoxAfterSave([&] { EXPECT_FALSE(Main->WriteWaveFile(Take, Dest)); });
  EXPECT_EQ(shown, "<no box>");
  for (const auto& entry : fs::directory_iterator(Folder))
    EXPECT_EQ(entry.path().string().find("saved.wav"), std::string::npos) << entry.path();
  EXPECT_FALSE(Main->PBProgress->Visible());
  EXPECT_TRUE(Main->AOpen->Enabled());
}

// Each failure shows caption 3 with its message; nothing is left at the destination.
TEST_F(TakeSaveTest, FailuresShowTheirMessageAndLeaveNoFile) {
  const std::string codecError = Error("The chosen codec cannot compress a recording in this format.");
  const std::string notWave = Error("The recording is not a readable WAVE file.");
  const std::string writeError = Error("An error occurred while writing or converting the file.");
  auto cannotOpen = [&](const std::string& path) { return Error("The file " + path + " cannot be opened."); };
  const std::string odd = (Folder / "no folder %d%s" / "x.wav").string();
  struct TCase {
    const char* What;
    std::function<void()> Setup;
    std::string Source, Dest, Shown;
  };
  const TCase cases[] = {
      {"no codec chosen", [&] { Main->CBCompression->SetChecked(true); Main->CBCompressions->SetItemIndex(-1); }, Take, Dest,
       codecError},
      // The controls say mono, where GSM 6.10 is listed; the take is stereo.
      {"GSM for a stereo take", [&] { Main->CBChannels->SetChecked(false); Main->FillCompressions(); ChooseCodec(codec::WAVE_FORMAT_GSM610); },
       Take, Dest, codecError},
      {"the working file itself", [&] { ChooseCodec(codec::WAVE_FORMAT_ALAW); }, Take, Take, cannotOpen(Take)},
      {"copy onto the working file", [&] { Main->CBCompression->SetChecked(false); }, Take, Take, cannotOpen(Take)},
      {"no source", [&] { ChooseCodec(codec::WAVE_FORMAT_ALAW); }, Take + ".gone", Dest, cannotOpen(Take + ".gone")},
      {"no WAVE source", [&] { ChooseCodec(codec::WAVE_FORMAT_ALAW); WriteFile(Folder / "text.wav", "RIFF....text"); },
       (Folder / "text.wav").string(), Dest, notWave},
      {"copy into no folder", [&] { Main->CBCompression->SetChecked(false); }, Take, odd, cannotOpen(odd)},
      {"full disk", [&] { ChooseCodec(codec::WAVE_FORMAT_MULAW); }, Take, Dest, writeError},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.What);
    c.Setup();
    const std::string before = ReadFile(Take);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const bool full = std::string(c.What) == "full disk";
    auto* handler = std::signal(SIGXFSZ, SIG_IGN);
    if (full) {
      rlimit limit = old;
      limit.rlim_cur = 20000;  // less than the 44 kB the take compresses to
      setrlimit(RLIMIT_FSIZE, &limit);
    }
    const std::string shown = AnswerBoxAfterSave([&] { EXPECT_FALSE(Main->WriteWaveFile(c.Source, c.Dest)); });
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, handler);
    EXPECT_EQ(shown, c.Shown);
    EXPECT_EQ(ReadFile(Take), before);
    if (c.Dest != Take) {
      EXPECT_FALSE(fs::exists(c.Dest));
    }
  }
}

TEST_F(TakeSaveTest, WithoutCompressionTheSavedFileIsAnExactCopy) {
  ASSERT_TRUE(Main->WriteWaveFile(Take, Dest));
  EXPECT_EQ(ReadFile(Dest), ReadFile(Take));
}

TEST_F(TakeSaveTest, OnlyTheFirstPercentSOfAMessageTakesThePath) {
  EXPECT_EQ(Main->MessageWithPath(7, "/a/%s.wav"), "The file /a/%s.wav cannot be opened.");
  EXPECT_EQ(Main->MessageWithPath(12, "b.wav"), "The file b.wav already exists. Do you want to replace it?");
}

}  // namespace
}  // namespace apptest
