// The main window's file actions end to end through its dialogs and boxes:
// saving a take, the reopen list across restarts, languages and the log.

#include <chrono>
#include <cmath>
#include <regex>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "ProgramTestSupport.h"
#include "app/LoadedFile.h"
#include "app/MessageBlock.h"
#include "app/ProgramLog.h"
#include "base/Strings.h"
#include "lrfc/LangSource.h"
#include "platform/audio/OutputBus.h"
#include "platform/codec/RiffWave.h"
#include "platform/forms/Edit.h"
#include "platform/forms/FileDialogForm.h"
#include "platform/threads/MainQueue.h"
#include "support/MidiFileBuilder.h"
#include "support/codec/CodecTestSupport.h"

namespace apptest {
namespace {

class FileActionsTest : public ProgramTest {
protected:
  FileActionsTest() {
    WhileBusy = [this] {
      BusySteps.push_back(Main->ARecord->Enabled());
      if (StopWhenBusy) Main->AStopExecute();
    };
  }
  std::string Path(const std::string& name) { return (Folder / name).string(); }

  std::vector<bool> BusySteps;  // whether Record was enabled, at each step during a save
  bool StopWhenBusy = false;
};

TEST_F(FileActionsTest, ATakeIsSavedAsACopyAndThroughTheCodecAndNeverLostOnTheWay) {
  Start();
  ASSERT_TRUE(Main->OpenFile(CorpusXml("01a-Pitches-Pitches.xml")));
  RecordTake(Main);
  const std::string take = ReadText(Main->RecordFile());
  // Yes to the close query with the dialog cancelled keeps the window and the take.
  bool canClose = true;
  EXPECT_EQ(Drive({"yes", ""}, [&] { Main->OnCloseQuery(Main, canClose); }),
            "Exit: The take has not been saved. Save it before closing?\n");
  EXPECT_FALSE(canClose);
  // A target that cannot be written: the question, then the error; the take stays unsaved.
  EXPECT_EQ(Drive({"/proc/version", "yes", "ok"}, [&] { Main->ASaveAsExecute(); }),
            "Save as: The file /proc/version already exists. Do you want to replace it?\n"
            "Error: The file /proc/version cannot be written: there is no such file or folder.\n");
  EXPECT_FALSE(Main->Saved());
  EXPECT_TRUE(Main->ASave->Enabled());
  EXPECT_EQ(ReadText(Main->RecordFile()), take);
  // Save forces ".wav": an exact copy, after which Save is done.
  Drive({Path("take")}, [&] { Main->ASave->Execute(); });
  EXPECT_EQ(ReadText(Path("take.wav")), take);
  EXPECT_EQ(codectest::FfProbe(Path("take.wav")).CodecName, "pcm_s16le");
  EXPECT_EQ(Main->LDestination->Caption(), "take.wav");
  EXPECT_FALSE(Main->ASave->Enabled());
  // Save as takes the name as typed; the codec's file is read by ffprobe.
  Main->CBCompression->SetChecked(true);
  for (int i = 0; i < Main->CBCompressions->Items().Count(); ++i)
    if (Main->CBCompressions->Items().Strings(i) == "IMA ADPCM") Main->CBCompressions->SetItemIndex(i);
  Main->CBCompressions->OnChange(Main->CBCompressions);
  Drive({Path("take-ima")}, [&] { Main->ASaveAsExecute(); });
  EXPECT_EQ(codectest::FfProbe(Path("take-ima")).CodecName, "adpcm_ima_wav");
  EXPECT_TRUE(Main->Saved());
  EXPECT_EQ(BusySteps, std::vector<bool>(BusySteps.size(), false));
  EXPECT_FALSE(BusySteps.empty());
  // Stop ends a save with no box and no file; the take's label says so.
  StopWhenBusy = true;
  EXPECT_EQ(Drive({Path("take-stop.wav")}, [&] { Main->ASaveAsExecute(); }), "");
  StopWhenBusy = false;
  EXPECT_FALSE(fs::exists(Path("take-stop.wav")));
  EXPECT_EQ(Main->LDestination->Caption(), "Saving take-stop.wav was stopped.");
  // An existing target is replaced only after Yes; No shows the dialog again.
  EXPECT_EQ(Drive({Path("take.wav"), "no", ""}, [&] { Main->ASaveAsExecute(); }),
            "Save as: The file " + Path("take.wav") + " already exists. Do you want to replace it?\n");
  EXPECT_EQ(ReadText(Path("take.wav")), take);
}

// A run killed after it saved its take: the next start offers no take,
// also when it finds a journal that is no take beside it.
TEST_F(FileActionsTest, ATakeSavedBeforeAKillIsNotOfferedAgain) {
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t child = fork();
  if (child == 0) {
    Start();
    RecordTake(Main);
    Drive({Path("saved.wav")}, [&] { Main->ASaveAsExecute(); });
    (void)!write(ready[1], Main->Saved() ? "k" : "f", 1);
    for (;;) pause();
  }
  char state = 0;
  (void)!read(ready[0], &state, 1);
  kill(child, SIGKILL);
  ASSERT_TRUE(waitpid(child, nullptr, 0) == child && state == 'k');
  ASSERT_TRUE(fs::exists(Folder / "Untitled.wav"));
  WriteText(Folder / "Recording.wav", "RIFF but no take");
  Start();
  EXPECT_FALSE(Main->HasTake() || Main->ASave->Enabled());
  EXPECT_EQ(Main->LDestination->Caption(), "No take");
  EXPECT_EQ(ReadText(Folder / "Recording.wav"), "RIFF but no take");
  EXPECT_NE(ReadText(Folder / "Sonarid.log").find("Recording.wav is not a take this program recorded"), std::string::npos);
  bool canClose = true;  // and no question
  EXPECT_EQ(Drive({}, [&] { Main->OnCloseQuery(Main, canClose); }), "");
  EXPECT_TRUE(canClose);
}

TEST_F(FileActionsTest, TheDialogsStartWhereAFileWasLastOpenedOrSavedEvenAfterARestart) {
  for (const char* sub : {"scores", "takes"}) fs::create_directories(Folder / sub);
  fs::copy_file(CorpusXml("01a-Pitches-Pitches.xml"), Folder / "scores" / "a.xml");
  Start();
  Drive({Path("scores/a.xml")}, [&] { Main->AOpenExecute(); });
  RecordTake(Main);
  Drive({Path("takes/a.wav")}, [&] { Main->ASaveExecute(); });
  EXPECT_NE(DialogFolders.back(), Folder.string());  // never beside the working file
  Stop();
  Start();
  Drive({"", ""}, [&] { Main->AOpenExecute(), Main->ASaveAsExecute(); });
  EXPECT_EQ(std::vector(DialogFolders.begin() + 2, DialogFolders.end()),
            (std::vector<std::string>{(Folder / "scores").string(), (Folder / "takes").string()}));
}

TEST_F(FileActionsTest, TheReopenListSurvivesARestartAndDropsAMissingFileOnlyWhenChosen) {
  Start();
  for (const char* name : {"a.xml", "b.xml", "c.xml", "x.xml"}) {
    fs::copy_file(CorpusXml("01a-Pitches-Pitches.xml"), Folder / name);
    Drive({Path(name)}, [&] { Main->AOpenExecute(); });
  }
  Stop();
  EXPECT_EQ(Setting("Reopen", "Reopen0"), DateToStr(Today()) + "," + Path("x.xml"));
  fs::remove(Folder / "b.xml");
  Start();
  auto listed = [&](TECMenuItem* list) {
    std::string names;
    for (int i = 0; i < list->Count(); ++i) names += ExtractFileName(list->Items(i)->Caption()) + " ";
    return names;
  };
  EXPECT_EQ(listed(Main->MIReopen), "x.xml c.xml b.xml a.xml ");
  auto choose = [&](TECMenuItem* item) {
    item->Click();
    App->ProcessMessages();
    return listed(Main->MIReopen);
  };
  EXPECT_EQ(choose(Main->MITOpen->Items(2)), "x.xml c.xml a.xml ");
  EXPECT_EQ(Main->CurrentFile(), nullptr);
  EXPECT_EQ(choose(Main->MIReopen->Items(1)), "x.xml a.xml ");
  EXPECT_EQ(choose(Main->MITOpen->Items(1)), "c.xml x.xml ");
  EXPECT_EQ(Main->CurrentFile()->FileName, Path("a.xml"));
  EXPECT_EQ(listed(Main->MITOpen), listed(Main->MIReopen));
}

TEST_F(FileActionsTest, AMidiFileCutShortAndAMissingFolderAreSaidAndTheTakeOutlivesBoth) {
  Start();
  RecordTake(Main);
  TMidiFileBuilder builder(0, 96);
  builder.AddTrack().Tempo(0, 500000).NoteOn(0, 0, 60, 100).NoteOff(96, 0, 60).NoteOn(0, 0, 62, 100);
  const TBytes bytes = builder.Bytes();
  WriteText(Folder / "cut.mid", std::string(bytes.begin(), bytes.end() - 6));
  EXPECT_EQ(Drive({"ok"}, [&] { EXPECT_TRUE(Main->OpenFile(Path("cut.mid"))); }),
            "Error: The MIDI file is cut short: its end is missing\n"
            "1 notes had no note-off; each lasts to the end of its track.\n");
  // Data bytes read without their top bit (a velocity of 0x80 makes the
  // note-on a note-off), and no note left: both said, in one notice.
  TMidiFileBuilder silent(0, 96);
  silent.AddTrack().Raw({0x00, 0x90, 60, 0x80}).Delta(96).Raw({0x80, 60, 0xCC}).EndOfTrack();
  TMemoryStream(silent.Bytes()).SaveToFile(Path("silent.mid"));
  EXPECT_EQ(Drive({"ok"}, [&] { EXPECT_TRUE(Main->OpenFile(Path("silent.mid"))); }),
            "Korvane Sonarid: 2 data bytes of MIDI messages were 128 or more; they were read without their top bit.\n"
            "The file holds no notes that can be played.\n");
  EXPECT_EQ(Drive({Path("none/take.wav"), "ok", ""}, [&] { Main->ASaveAsExecute(); }),
            "Error: The folder " + Path("none/") + " does not exist.\n");
  EXPECT_TRUE(Main->ASave->Enabled() && !fs::exists(Folder / "none"));
}

// A note whose note-off stands on another channel sounds to the end of its
// track, and the window says how many notes nothing ended.
TEST_F(FileActionsTest, NotesWithoutANoteOffAreSaid) {
  Start();
  TMidiFileBuilder builder(0, 96);
  builder.AddTrack().NoteOn(0, 0, 60, 100).NoteOff(96, 1, 60).NoteOn(0, 0, 62, 100).NoteOff(96, 0, 62).EndOfTrack(96);
  TMemoryStream(builder.Bytes()).SaveToFile(Path("unended.mid"));
  EXPECT_EQ(Drive({"ok"}, [&] { EXPECT_TRUE(Main->OpenFile(Path("unended.mid"))); }),
            "Korvane Sonarid: 1 notes had no note-off; each lasts to the end of its track.\n");
}

TEST_F(FileActionsTest, WithoutACountTheEntriesAreNumberedAndAnUnreadableDateIsToday) {
  WriteText(Folder / "KorvaneSonarid.ini", "[Reopen]\nReopen0=01.12.2024,/s/a.mid\nReopen1=31.02.2024,/s/b.mid\nReopen3=x\n");
  Start();
  ASSERT_EQ(Main->MITOpen->Count(), 2);
  EXPECT_EQ(Main->MITOpen->Items(0)->Caption() + " " + DateToStr(Main->MITOpen->Items(0)->Tag()), "0 /s/a.mid 01.12.2024");
  EXPECT_EQ(Main->MITOpen->Items(1)->Caption() + " " + DateToStr(Main->MITOpen->Items(1)->Tag()),
            "1 /s/b.mid " + DateToStr(Today()));
}

TEST_F(FileActionsTest, EachLanguageRelabelsTheWindowAndTheLogWritesDatedLines) {
  Start();
  for (forms::TAction* action : {Main->ARussian, Main->AUkrainian, Main->AItalian, Main->AFrench, Main->ADeutsch,
                                 Main->AEnglish}) {
    action->Execute();
    const std::string code = Setting("Tools", "Language");
    SCOPED_TRACE(code);
    EXPECT_TRUE(action->Checked());
    const lrfc::TLangSource source = lrfc::ReadLangSource(std::string(SONARID_SOURCE_DIR) + "/data/lang/" + code + ".lang");
    int checked = 0;
    for (const auto& entry : source.Sections[0].Entries) {
      const size_t dot = entry.Path.find(".Caption");
      if (dot == std::string::npos || dot + 8 != entry.Path.size()) continue;
      forms::TComponent* c = Main->FindComponent(entry.Path.substr(0, dot));
      const auto* action = dynamic_cast<forms::TAction*>(c);
      const auto* item = dynamic_cast<TECMenuItem*>(c);
      EXPECT_EQ(action ? action->Caption() : item ? item->Caption() : dynamic_cast<forms::TControl*>(c)->Caption(), entry.Text);
      ++checked;
    }
    EXPECT_GT(checked, 35);
    EXPECT_EQ(dynamic_cast<TECMenuItem*>(Main->FindComponent("MIRecord"))->Caption(), Main->ARecord->Caption());
    EXPECT_EQ(Main->Message(pmReplaceQuestion), source.Sections[0].Messages[12]);
  }
  WriteLog("RECORD 0");
  Stop();
  const std::regex line(R"(\d\d\.\d\d\.\d{4} \d\d:\d\d:\d\d - RECORD 0\r\n)");
  EXPECT_TRUE(std::regex_match(ReadText(Folder / "Sonarid.log"), line)) << ReadText(Folder / "Sonarid.log");
}

// Record with a take not saved asks first, as Exit does: only No, or Yes
// with the take saved, records over it.
// A new record format is for the next take: the take before it can still
// be saved, and Record still asks about it. Closing the window while a take
// records stops it and asks about it, as about any take not saved yet.
TEST_F(FileActionsTest, ATakeOutlivesANewRecordFormatAndAClosingWindow) {
  audio::TOutputBus::Instance().Start(audio::MakeSilentSink(4096));
  Start();
  ASSERT_TRUE(Main->OpenFile(CorpusXml("01a-Pitches-Pitches.xml")));
  RecordTake(Main);
  Main->CBSampleRate->SetItemIndex(3);
  Main->CBSampleRate->OnChange(Main->CBSampleRate);
  Main->CBChannels->SetChecked(!Main->CBChannels->Checked());
  Main->CBResolution->SetChecked(!Main->CBResolution->Checked());
  EXPECT_TRUE(Main->HasTake() && Main->ASave->Enabled());
  const std::string take = ReadText(Main->RecordFile());
  EXPECT_EQ(Drive({"cancel"}, [&] { Main->ARecord->Execute(); }),
            "Record: The take has not been saved. Save it before recording a new one?\n");
  Drive({"no"}, [&] { Main->ARecord->Execute(); });
  ASSERT_TRUE(Main->Recording());
  for (auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(400); std::chrono::steady_clock::now() < until;) {
    TMainQueue::Instance().WaitForPosts(10);
    App->ProcessMessages();
  }
  EXPECT_EQ(Drive({"cancel"}, [&] { Main->Close(); }), "Exit: The take has not been saved. Save it before closing?\n");
  EXPECT_FALSE(Main->Recording());
  EXPECT_TRUE(Main->Visible() && Main->ASave->Enabled());
  EXPECT_NE(ReadText(Main->RecordFile()), take);
  Stop();
  audio::TOutputBus::Instance().Stop();
}

// A saved take stays saved through every record setting the user changes:
// Save stays disabled and Record records without asking, so nothing writes
// the saved file over in the new format.
TEST_F(FileActionsTest, ASavedTakeStaysSavedThroughEveryRecordSettingAndItsFileIsKept) {
  audio::TOutputBus::Instance().Start(audio::MakeSilentSink(4096));
  Start();
  ASSERT_TRUE(Main->OpenFile(CorpusXml("01a-Pitches-Pitches.xml")));
  // As the user's choice from the list does; "" chooses the item there is.
  auto choose = [](forms::TComboBox* box, const std::string& item) {
    for (int i = 0; i < box->Items().Count(); ++i)
      if (box->Items().Strings(i) == item || item.empty()) {
        box->SetItemIndex(i);
        return box->OnChange(box);
      }
    ADD_FAILURE() << item << " is not listed";
  };
  const std::vector<std::pair<std::string, std::function<void()>>> changes = {
      {"rate", [&] { choose(Main->CBSampleRate, "22 kHz"); }},
      {"channels", [&] { Main->CBChannels->SetChecked(!Main->CBChannels->Checked()); }},
      {"resolution", [&] { Main->CBResolution->SetChecked(!Main->CBResolution->Checked()); }},
      {"compression", [&] { Main->CBCompression->SetChecked(true); }},
      {"codec", [&] { choose(Main->CBCompressions, "MPEG Layer-3"); }},
      {"driver", [&] { choose(Main->CBDrivers, ""); }},
      {"input", [&] { choose(Main->CBInputDevices, ""); }},
      {"no compression", [&] { Main->CBCompression->SetChecked(false); }},
  };
  for (const auto& [name, change] : changes) {
    SCOPED_TRACE(name);
    RecordTake(Main);
    const std::string saved = Path(name + ".wav");
    Drive({saved}, [&] { Main->ASaveAsExecute(); });
    ASSERT_TRUE(Main->Saved());
    const std::string bytes = ReadText(saved);
    change();
    EXPECT_TRUE(Main->Saved() && Main->HasTake());
    EXPECT_FALSE(Main->ASave->Enabled());
    EXPECT_EQ(Drive({}, [&] { Main->ARecord->Execute(); }), "");
    EXPECT_TRUE(Main->Recording());
    Main->AStop->Execute();
    EXPECT_EQ(ReadText(saved), bytes);
  }
  Stop();
  audio::TOutputBus::Instance().Stop();
}

TEST_F(FileActionsTest, RecordOverAnUnsavedTakeAsksAndRecordsOnlyOnceTheTakeIsSavedOrGivenUp) {
  audio::TOutputBus::Instance().Start(audio::MakeSilentSink(4096));
  Start();
  ASSERT_TRUE(Main->OpenFile(CorpusXml("01a-Pitches-Pitches.xml")));
  RecordTake(Main);
  const std::string take = ReadText(Main->RecordFile());
  const std::string question = "Record: The take has not been saved. Save it before recording a new one?\n";
  // Cancel; Yes with the dialog cancelled; Yes with a save that fails.
  for (const std::vector<std::string>& answers :
       {std::vector<std::string>{"cancel"}, {"yes", ""}, {"yes", "/proc/version", "ok"}}) {
    SCOPED_TRACE(answers.size());
    const std::string shown = Drive(answers, [&] { Main->ARecord->Execute(); });
    EXPECT_EQ(shown.substr(0, question.size()), question);
    EXPECT_FALSE(Main->Recording() || Main->Saved());
    EXPECT_EQ(ReadText(Main->RecordFile()), take);
  }
  // A take recorded for a while, then stopped: it replaces the working file's.
  auto recordAWhile = [&] {
    ASSERT_TRUE(Main->Recording());
    for (auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(400);
         std::chrono::steady_clock::now() < until;) {
      TMainQueue::Instance().WaitForPosts(10);
      App->ProcessMessages();
    }
    Main->AStop->Execute();
    EXPECT_NE(ReadText(Main->RecordFile()), take);
  };
  EXPECT_EQ(Drive({"no"}, [&] { Main->ARecord->Execute(); }), question);
  recordAWhile();
  // Yes saves the take first, under the name chosen, then records.
  RecordTake(Main);
  EXPECT_EQ(Drive({"yes", Path("kept")}, [&] { Main->ARecord->Execute(); }), question);
  EXPECT_EQ(ReadText(Path("kept.wav")), take);
  recordAWhile();
  // A saved take is recorded over without a question.
  Drive({Path("second.wav")}, [&] { Main->ASave->Execute(); });
  EXPECT_EQ(Drive({}, [&] { Main->ARecord->Execute(); }), "");
  recordAWhile();
  Stop();
  audio::TOutputBus::Instance().Stop();
}

// Answering No to "replace it?" is no end of the save: the dialog comes
// again where the user was, with the name, and another name can be given.
TEST_F(FileActionsTest, NoToReplacingReturnsToTheDialogWithTheName) {
  fs::create_directories(Folder / "takes");
  WriteText(Folder / "takes" / "old.wav", "older");
  Start();
  RecordTake(Main);
  EXPECT_EQ(Drive({Path("takes/old.wav"), "no", "new.wav"}, [&] { Main->ASaveAsExecute(); }),
            "Save as: The file " + Path("takes/old.wav") + " already exists. Do you want to replace it?\n");
  ASSERT_EQ(DialogNames.size(), 2u);
  EXPECT_EQ(DialogNames[1] + " in " + DialogFolders[1], "old.wav in " + Path("takes"));
  EXPECT_EQ(ReadText(Folder / "takes" / "old.wav"), "older");
  EXPECT_EQ(ReadText(Folder / "takes" / "new.wav"), ReadText(Main->RecordFile()));
  EXPECT_TRUE(Main->Saved());
  // Save gives the name ".wav" first; No and then Cancel save nothing.
  RecordTake(Main);
  EXPECT_EQ(Drive({Path("takes/old"), "no", ""}, [&] { Main->ASaveExecute(); }),
            "Save: The file " + Path("takes/old.wav") + " already exists. Do you want to replace it?\n");
  EXPECT_EQ(DialogNames.back() + " in " + DialogFolders.back(), "old.wav in " + Path("takes"));
  EXPECT_EQ(ReadText(Folder / "takes" / "old.wav"), "older");
  EXPECT_TRUE(Main->ASave->Enabled());
}

// The user's home for the test's life.
class THome {
public:
  explicit THome(const fs::path& home) : FOld(getenv("HOME") ? getenv("HOME") : "") {
    fs::create_directories(home);
    setenv("HOME", home.c_str(), 1);
  }
  ~THome() { FOld.empty() ? unsetenv("HOME") : setenv("HOME", FOld.c_str(), 1); }

private:
  std::string FOld;
};

// The open dialog starts in the folder of the file opened last, however it
// was opened (the dialog, the reopen list, a run before); at home before
// any, or when that folder is gone.
TEST_F(FileActionsTest, TheOpenDialogStartsWhereTheFileOpenedLastLiesElseAtHome) {
  THome home(Folder / "home");
  for (const char* name : {"a/x.xml", "b/y.xml"}) {
    fs::create_directories((Folder / name).parent_path());
    fs::copy_file(CorpusXml("01a-Pitches-Pitches.xml"), Folder / name);
  }
  Start();
  Drive({Path("a/x.xml")}, [&] { Main->AOpenExecute(); });
  Drive({Path("b/y.xml")}, [&] { Main->AOpenExecute(); });
  // x again, from the reopen list.
  ASSERT_EQ(Main->MIReopen->Items(0)->Hint(), Path("a/x.xml"));
  Main->MIReopen->Items(0)->Click();
  App->ProcessMessages();
  ASSERT_EQ(Main->CurrentFile()->FileName, Path("a/x.xml"));
  Drive({""}, [&] { Main->AOpenExecute(); });
  Stop();
  Start();  // nothing open: the newest entry of the list
  Drive({""}, [&] { Main->AOpenExecute(); });
  Stop();
  fs::remove_all(Folder / "a");
  Start();
  Drive({""}, [&] { Main->AOpenExecute(); });
  EXPECT_EQ(DialogFolders, (std::vector<std::string>{Path("home"), Path("a"), Path("a"), Path("a"), Path("home")}));
}

// Reopen offers nothing while its list holds only the file that is open:
// after a restart the last file is on it, and opened again through the
// dialog it is all the list holds.
TEST_F(FileActionsTest, ReopenIsDisabledWhileItsListHoldsNothingButTheOpenFile) {
  for (const char* name : {"a.xml", "b.xml"}) fs::copy_file(CorpusXml("01a-Pitches-Pitches.xml"), Folder / name);
  Start();
  EXPECT_FALSE(Main->MIReopen->Enabled());  // an empty list
  ASSERT_TRUE(Main->OpenFile(Path("a.xml")));
  EXPECT_FALSE(Main->MIReopen->Enabled());
  Stop();
  Start();
  EXPECT_TRUE(Main->MIReopen->Enabled());  // a.xml, not open
  Drive({Path("a.xml")}, [&] { Main->AOpenExecute(); });
  ASSERT_EQ(Main->MIReopen->Count(), 1);
  EXPECT_FALSE(Main->MIReopen->Enabled());
  Drive({Path("b.xml")}, [&] { Main->AOpenExecute(); });
  EXPECT_TRUE(Main->MIReopen->Enabled());  // a.xml again
}

// A name of 4,000 characters cannot be a file: the box says so in a size
// that fits a screen, showing the name's start and end. A folder removed
// while the dialog shows it is said, and the dialog comes again elsewhere.
TEST_F(FileActionsTest, ANameOfFourThousandCharactersAndAFolderThatGoesAwayAreSaid) {
  THome home(Folder / "home");
  fs::create_directories(Folder / "going");
  Start();
  RecordTake(Main);
  const std::string longName = Path(std::string(4000, 'n') + ".wav");
  int boxWidth = 0;
  WhenUp<TFMessageBlock>([&](TFMessageBlock& box) { boxWidth = box.Width(); });
  EXPECT_EQ(Drive({longName, "ok"}, [&] { Main->ASaveAsExecute(); }),
            "Error: The file " + longName.substr(0, 30) + "\u2026" + longName.substr(longName.size() - 69) +
                " cannot be written: the name is too long.\n");
  EXPECT_GT(boxWidth, 0);
  EXPECT_LT(boxWidth, 1000);
  EXPECT_TRUE(Main->ASave->Enabled());
  // The save dialog shows "going", which goes away before a name is given.
  Drive({Path("going/a.wav")}, [&] { Main->ASaveAsExecute(); });
  ASSERT_TRUE(Main->Saved());
  RecordTake(Main);
  WhenUp<forms::TFileDialogForm>([&](forms::TFileDialogForm&) { fs::remove_all(Folder / "going"); });
  EXPECT_EQ(Drive({"b.wav", "ok", ""}, [&] { Main->ASaveAsExecute(); }),
            "Error: The folder " + Path("going/") + " does not exist.\n");
  EXPECT_EQ(std::vector(DialogFolders.end() - 2, DialogFolders.end()), (std::vector<std::string>{Path("going"), Path("home")}));
  EXPECT_TRUE(Main->ASave->Enabled());
}

}  // namespace
}  // namespace apptest
