// Saving a sox-made take (22050 Hz stereo while the controls say 44100 Hz)
// from the main window: through the chosen codec in the busy state, Stop,
// and failures that show their message and leave no file.

#include "ProgramTestSupport.h"
#include "base/Streams.h"
#include "platform/codec/RiffWave.h"
#include "platform/forms/Timer.h"
#include "platform/threads/MainQueue.h"

namespace apptest {
namespace {

class TakeSaveTest : public ProgramTest {
protected:
  TakeSaveTest() {
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES"}) unsetenv(name);
    setenv("LANG", "C", 1);
    Start();
    fs::create_directory(Folder / "out");
    EXPECT_EQ(std::system(("sox -q -n -r 22050 -c 2 -b 16 '" + Take + "' synth 2 pluck C3 pluck G4").c_str()), 0);
  }

  // Compression on (Tag 1: off), the codec of Tag chosen (0: none) and its drivers listed.
  void ChooseCodec(uint16_t tag) {
    Main->CBCompression->SetChecked(tag != 1);
    Main->CBCompressions->SetItemIndex(-1);
    for (int i = 0; i < Main->CBCompressions->Items().Count(); ++i)
      if (Main->CBCompressions->Items().Tags(i) == tag) Main->CBCompressions->SetItemIndex(i);
    EXPECT_EQ(Main->CBCompressions->ItemIndex() >= 0, tag > 1);
    Main->FillDrivers();
  }

  // A posted answer would be taken by the save's own message pumping; a
  // timer ticks only while a loop waits, as the box's loop does.
  std::string FailingSave(const std::string& source, const std::string& dest) {
    forms::TTimer timer(nullptr);
    timer.SetInterval(10);
    std::string shown = "<no box>";
    timer.OnTimer = [&](TObject*) { shown = AnswerNextBox(forms::mrOk, [] { forms::Application->ProcessMessages(); }); };
    EXPECT_FALSE(Main->WriteWaveFile(source, dest));
    return shown;
  }

  const std::string Take = (Folder / "Untitled.wav").string(), Dest = (Folder / "out" / "saved.wav").string();
};

TEST_F(TakeSaveTest, ConvertsFromTheTakesOwnFormatInTheBusyState) {
  ChooseCodec(codec::WAVE_FORMAT_IMA_ADPCM);
  EXPECT_EQ(Main->CBDrivers->ItemIndex(), 0);
  bool busy = false, canClose = true;
  TMainQueue::Instance().Post([&] {
    Main->OnCloseQuery(Main, canClose);  // closing would delete the take being read
    busy = Main->PBProgress->Visible() && Main->PBProgress->Max() == int(fs::file_size(Take) / 100) &&
           Main->AStop->Enabled() && !Main->ARecord->Enabled() && !Main->CBCompressions->Enabled();
  });
  ASSERT_TRUE(Main->WriteWaveFile(Take, Dest));
  EXPECT_TRUE(busy && !canClose);
  EXPECT_TRUE(!Main->PBProgress->Visible() && Main->AOpen->Enabled() && Main->CBCompressions->Enabled());
  // The codec matrix has ffprobe read every codec's files; here the format matters.
  TFileStream saved(Dest, fmOpenRead);
  const codec::TWaveFileInfo info = codec::ReadWaveHeader(saved);
  EXPECT_EQ(info.Format.wFormatTag(), codec::WAVE_FORMAT_IMA_ADPCM);
  EXPECT_EQ(info.Format.nSamplesPerSec(), 22050u);
  EXPECT_EQ(info.Format.nChannels(), 2);
  EXPECT_EQ(info.FactSamples, 44100u);
}

TEST_F(TakeSaveTest, StopOrAFailureLeavesNoFileAndShowsTheFailuresMessage) {
  const std::string odd = (Folder / "no %d%s" / "x.wav").string(), gone = Take + ".gone";
  auto cannotOpen = [&](const std::string& path) { return "Error: The file " + path + " cannot be opened."; };
  const std::string noCodec = "Error: The chosen codec cannot compress a recording in this format.";
  const struct {
    uint16_t Tag;
    std::string Source, Dest, Shown;
    bool Stop = false;
  } cases[] = {
      {codec::WAVE_FORMAT_MPEGLAYER3, Take, Dest, "<no box>", true},
      {0, Take, Dest, noCodec},
      {codec::WAVE_FORMAT_ALAW, Take, Take, cannotOpen(Take)},
      {1, Take, Take, cannotOpen(Take)},
      // The "%s" in the path is no place for the cause.
      {1, Take, odd, "Error: The file " + odd + " cannot be written: there is no such file or folder."},
      {codec::WAVE_FORMAT_ALAW, gone, Dest, cannotOpen(gone)},
      {codec::WAVE_FORMAT_ALAW, ProgramFile(), Dest, "Error: The recording is not a readable WAVE file."},
  };
  const std::string before = ReadText(Take);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Shown);
    ChooseCodec(c.Tag);
    if (c.Stop) TMainQueue::Instance().Post([&] { Main->AStopExecute(); });
    EXPECT_EQ(FailingSave(c.Source, c.Dest), c.Shown);
    EXPECT_TRUE(ReadText(Take) == before && fs::is_empty(Folder / "out"));  // no partial file either
  }
  Main->CBChannels->SetChecked(false);  // the mono controls list GSM 6.10, which a stereo take has not
  ChooseCodec(codec::WAVE_FORMAT_GSM610);
  EXPECT_EQ(FailingSave(Take, Dest), noCodec);
}

}  // namespace
}  // namespace apptest
