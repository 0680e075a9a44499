// The program's start and shut-down with its settings file: a first start
// in an empty folder, a second start that reads back what the first wrote,
// and the edge cases of stored bounds and languages.

#include <cstdlib>

#include "ProgramTestSupport.h"
#include "app/LoadedFile.h"
#include "platform/audio/CaptureDevice.h"
#include "support/MidiDevices.h"
#include "ui/ECLanguage.h"

namespace apptest {
namespace {

// The language guess reads the locale; these tests fix it.
class StartTest : public ProgramTest {
protected:
  StartTest() {
    unsetenv("LANGUAGE");
    unsetenv("LC_ALL");
    unsetenv("LC_MESSAGES");
    setenv("LANG", "C", 1);
  }
};

TEST_F(StartTest, AFirstStartWritesFirstStartAndTheShutDownKeepsTheSessionAndDeletesTheWorkingFile) {
  Start();
  EXPECT_TRUE(fs::exists(Folder / "Sonarid.log"));
  EXPECT_EQ(fs::file_size(Folder / "Sonarid.log"), 0u);
  EXPECT_EQ(Setting("FProgramModule", "FirstStart"), "1");
  // 44 kHz, stereo, 16 bits, no compression, the first devices.
  EXPECT_EQ(Main->CBSampleRate->ItemIndex(), 6);
  EXPECT_TRUE(Main->CBChannels->Checked());
  EXPECT_TRUE(Main->CBResolution->Checked());
  EXPECT_FALSE(Main->CBCompression->Checked());
  EXPECT_EQ(Main->WaveFormat().nSamplesPerSec(), 44100u);
  EXPECT_EQ(Main->WaveFormat().nBlockAlign(), 4);
  EXPECT_EQ(Main->CBOutput->ItemIndex(), 0);
  EXPECT_EQ(Main->CBInputDevices->Items().Strings(0), audio::ProgramOutputName);
  EXPECT_EQ(Main->CBInputDevices->ItemIndex(), 0);
  // Both bars at the top: the program output records at full volume.
  EXPECT_EQ(Main->TBLeftVolume->Position(), 0);
  EXPECT_EQ(Main->TBRightVolume->Position(), 0);
  EXPECT_EQ(audio::CaptureDevice(0)->Volume(), (std::vector<uint16_t>{65535, 65535}));
  EXPECT_EQ(Main->ARecord->Caption(), "&Record");  // the English file applied
  EXPECT_FALSE(Main->APlay->Enabled());

  WriteText(Folder / "Untitled.wav", "a take");
  Stop();
  EXPECT_EQ(Setting("FProgramModule", "Bounds"), "100,100,627,356");
  EXPECT_EQ(Setting("FProgramModule", "WindowState"), "wsNormal");
  EXPECT_EQ(Setting("Tools", "Language"), "ENU");
  EXPECT_EQ(Setting("Reopen", "ReopenCount"), "0");
  EXPECT_FALSE(fs::exists(Folder / "Untitled.wav"));
}

TEST_F(StartTest, ASecondStartReadsBackBoundsStateLanguageDevicesAndTheReopenList) {
  miditest::TScopedSink sink;  // a second MIDI output
  const std::string score = CorpusXml("01a-Pitches-Pitches.xml");
  Start();
  Main->SetBounds(10, 20, 600, 400);
  Main->LanguageExecute(Main->ADeutsch, "DEU");
  Main->CBOutput->SetItemIndex(sink.Id);
  Main->CBOutputChange();
  Main->CBSampleRate->SetItemIndex(0);
  Main->CBSampleRate->OnChange(Main->CBSampleRate);
  Main->CBChannels->SetChecked(false);
  // Mono: one level bar and one input-volume bar, which sets both channels.
  EXPECT_FALSE(Main->PRightVolume->Visible() || Main->TBRightVolume->Visible());
  Main->TBLeftVolume->SetPosition(30000);
  EXPECT_EQ(audio::CaptureDevice(0)->Volume(), (std::vector<uint16_t>{35535, 35535}));
  ASSERT_TRUE(Main->OpenFile(score));
  Stop();

  Start();
  EXPECT_EQ(Main->BoundsRect(), (canvas::TRect{10, 20, 610, 420}));
  EXPECT_EQ(TECLanguage::Current()->GetLanguage(), "DEU");
  EXPECT_TRUE(Main->ADeutsch->Checked());
  EXPECT_FALSE(Main->AEnglish->Checked());
  EXPECT_EQ(Main->ARecord->Caption(), "&Aufnehmen");
  EXPECT_EQ(Main->CBOutput->ItemIndex(), sink.Id);
  EXPECT_EQ(Main->CBInputDevices->ItemIndex(), 0);
  EXPECT_EQ(Main->WaveFormat().nSamplesPerSec(), 8000u);
  EXPECT_EQ(Main->WaveFormat().nChannels(), 1);
  EXPECT_FALSE(Main->PRightVolume->Visible() || Main->TBRightVolume->Visible());
  // The file open at shut-down heads the reopen list and its drop-down.
  ASSERT_EQ(Main->MIReopen->Count(), 1);
  EXPECT_EQ(Main->MIReopen->Items(0)->Caption(), score);
  ASSERT_EQ(Main->MITOpen->Count(), 1);
  EXPECT_EQ(Main->MITOpen->Items(0)->Caption(), score);
}

TEST_F(StartTest, AClickOnAPanelMakesItsSideActiveInItsColours) {
  Start();
  auto click = [&](forms::TControl* control, canvas::TPoint at) {
    const canvas::TPoint p = control->ClientToScreen(at);
    Host->Click({p.X, p.Y});
    App->ProcessMessages();
  };
  click(Main->TBDestination, {2, 2});
  EXPECT_FALSE(Main->SourceActive());
  EXPECT_EQ(Main->PDestination->Color(), 15653074);
  EXPECT_EQ(Main->PSource->Color(), 15855340);
  EXPECT_EQ(Main->PRecord->Color(), 15855340);
  EXPECT_TRUE(Main->APlay->Enabled());  // the take player is stopped
  click(Main->PSource, {Main->PSource->Width() - 4, Main->PSource->Height() - 4});
  EXPECT_TRUE(Main->SourceActive());
  EXPECT_EQ(Main->PSource->Color(), 15653074);
  EXPECT_FALSE(Main->APlay->Enabled());  // no file open
}

struct TStoredStart {
  const char* Bounds;
  const char* State;
  const char* Language;
  const char* Locale;
  canvas::TRect Expected;
  forms::TWindowState ExpectedState;
  const char* ExpectedLanguage;
  const char* CheckedItem;  // the one language item with a check mark
};

class StoredStartTest : public StartTest, public ::testing::WithParamInterface<TStoredStart> {};

TEST_P(StoredStartTest, BoundsOffTheScreenComeBackAndUnknownLanguagesAreGuessed) {
  const TStoredStart& row = GetParam();
  setenv("LANG", row.Locale, 1);
  WriteText(Folder / "KorvaneSonarid.ini", std::string("[FProgramModule]\nFirstStart=1\nBounds=") + row.Bounds +
                                               "\nWindowState=" + row.State + "\n[Tools]\nLanguage=" +
                                               row.Language + "\n[Play]\nDevice=9\n");
  audio::CaptureDevice(0)->SetVolume({65535, 65535});
  Start();
  EXPECT_EQ(Main->WindowState(), row.ExpectedState);
  if (row.ExpectedState == forms::TWindowState::wsNormal) {
    EXPECT_EQ(Main->BoundsRect(), row.Expected);
  }
  EXPECT_EQ(TECLanguage::Current()->GetLanguage(), row.ExpectedLanguage);
  for (const char* name : {"MIEnglish", "MIDeutsch", "MIFrench", "MIRussian", "MIItalian", "MIUkrainian"}) {
    const auto* item = dynamic_cast<TECMenuItem*>(Main->FindComponent(name));
    EXPECT_EQ(item->Kind() == ikCheckBox && item->Checked(), std::string(name) == row.CheckedItem) << name;
  }
  EXPECT_EQ(Main->CBOutput->ItemIndex(), 0);  // a device beyond the list: the first
  EXPECT_EQ(Main->TBLeftVolume->Position(), 0);  // the device's volume, not a first start's
}

INSTANTIATE_TEST_SUITE_P(
    Rows, StoredStartTest,
    ::testing::Values(
        TStoredStart{"10,20,600,400", "wsMaximized", "fra", "de_DE.UTF-8", {}, forms::TWindowState::wsMaximized, "fra",
                     "MIFrench"},
        TStoredStart{"-900,-700,600,400", "wsNormal", "ITA", "uk_UA.UTF-8", {0, 0, 600, 400},
                     forms::TWindowState::wsNormal, "ITA", "MIItalian"},
        TStoredStart{"x,20,,400", "wsBogus", "UKR", "C", {100, 20, 727, 420}, forms::TWindowState::wsNormal, "UKR",
                     "MIUkrainian"},
        TStoredStart{"1,2,600,400", "wsNormal", "Italiano", "uk_UA.UTF-8", {1, 2, 601, 402},
                     forms::TWindowState::wsNormal, "RUS", "MIRussian"},
        TStoredStart{"1,2,600,400", "wsNormal", "ukrainian", "C", {1, 2, 601, 402}, forms::TWindowState::wsNormal, "ENU",
                     "MIEnglish"}));

}  // namespace
}  // namespace apptest
