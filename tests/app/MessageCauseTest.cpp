// The main window's messages name the real cause: a folder the user may
// not read is no missing folder, a folder the user may not write says why
// the take cannot be saved there, in the words of the language in force; a
// MusicXML file cut short says where; and what an import changed as a
// matter of routine is a notice, not an error.

#include <cerrno>

#include "ProgramTestSupport.h"
#include "app/LoadedFile.h"
#include "app/MessageBlock.h"
#include "base/Streams.h"
#include "support/MidiFileBuilder.h"
#include "support/PermissionBits.h"

namespace apptest {
namespace {

class MessageCauseTest : public ProgramTest {
protected:
  MessageCauseTest() { Start(); }
  ~MessageCauseTest() override {
    // Folders closed by a test open again, so that they can be removed by
    // a user without root's rights too.
    for (const fs::path& folder : Closed) fs::permissions(folder, fs::perms::owner_all);
  }
  std::string Path(const std::string& name) { return (Folder / name).string(); }
  void Close(const std::string& name, fs::perms mode) {
    fs::permissions(Folder / name, mode);
    Closed.push_back(Folder / name);
  }

  std::vector<fs::path> Closed;
};

TEST_F(MessageCauseTest, AFolderTheUserMayNotReadIsSaidSoAndNotMissing) {
  fs::create_directories(Folder / "locked" / "inner");
  fs::copy_file(CorpusXml("01a-Pitches-Pitches.xml"), Folder / "locked" / "inner" / "a.xml");
  Close("locked", fs::perms::none);
  test_support::TPermissionBits asAUser;
  if (!asAUser.Holds(Folder)) GTEST_SKIP() << "a folder of mode 0 can be read here whatever its bits say";
  // A score the user may not read: its cause, in the words of the language.
  fs::copy_file(CorpusXml("01a-Pitches-Pitches.xml"), Folder / "closed.xml");
  Close("closed.xml", fs::perms::none);
  EXPECT_EQ(Drive({"ok"}, [&] { EXPECT_FALSE(Main->OpenFile(Path("closed.xml"))); }),
            "Error: The file " + Path("closed.xml") + " cannot be read: permission denied.\n");
  RecordTake(Main);
  // The open dialog: the folder itself, then a file in a folder inside it.
  EXPECT_EQ(Drive({Path("locked"), "ok", Path("locked/inner/a.xml"), "ok", ""}, [&] { Main->AOpenExecute(); }),
            "Error: The folder " + Path("locked") + " cannot be read: permission denied.\n"
            "Error: The folder " + Path("locked/inner") + " cannot be read: permission denied.\n");
  // The save dialog, in German: the dialog comes again with the name.
  Main->ADeutsch->Execute();
  EXPECT_EQ(Drive({Path("locked/inner/take.wav"), "ok", ""}, [&] { Main->ASaveAsExecute(); }),
            "Fehler: Der Ordner " + Path("locked/inner/") + " kann nicht gelesen werden: Zugriff verweigert.\n");
  EXPECT_EQ(DialogNames.back(), "take.wav");
  EXPECT_TRUE(Main->ASave->Enabled());
  EXPECT_EQ(Main->CurrentFile(), nullptr);
}

TEST_F(MessageCauseTest, AFolderTheUserMayNotWriteSaysWhyTheTakeIsNotSavedThere) {
  fs::create_directories(Folder / "kept");
  Close("kept", fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read | fs::perms::others_read);
  test_support::TPermissionBits asAUser;
  if (!asAUser.Holds(Folder)) GTEST_SKIP() << "a folder of mode 0 can be read here whatever its bits say";
  RecordTake(Main);
  EXPECT_EQ(Drive({Path("kept/take.wav"), "ok"}, [&] { Main->ASaveAsExecute(); }),
            "Error: The file " + Path("kept/take.wav") + " cannot be written: permission denied.\n");
  Main->AFrench->Execute();
  EXPECT_EQ(Drive({Path("kept/take"), "ok"}, [&] { Main->ASaveExecute(); }),
            "Erreur: Le fichier " + Path("kept/take.wav") + " ne peut pas être écrit : permission refusée.\n");
  EXPECT_TRUE(fs::is_empty(Folder / "kept"));
  EXPECT_FALSE(Main->Saved());
  EXPECT_TRUE(Main->ASave->Enabled());
}

// The causes users meet most, each language in its own words; any other
// cause as the system words it.
TEST_F(MessageCauseTest, EachLanguageNamesTheCommonCausesInItsOwnWords) {
  const struct {
    forms::TAction* Language;
    int Error;
    const char* Said;
  } cases[] = {{Main->AEnglish, ENOSPC, "the disk is full"},
               {Main->AEnglish, EDQUOT, "the disk is full"},
               {Main->ADeutsch, EROFS, "das Dateisystem ist schreibgeschützt"},
               {Main->AFrench, ENOENT, "ce fichier ou ce dossier n'existe pas"},
               {Main->AItalian, ENOSPC, "il disco è pieno"},
               {Main->ARussian, EACCES, "доступ запрещён"},
               {Main->AUkrainian, ENAMETOOLONG, "задовге ім'я"},
               {Main->AUkrainian, EPERM, "доступ заборонено"},
               {Main->ARussian, EIO, "Input/output error"}};
  for (const auto& c : cases) {
    c.Language->Execute();
    EXPECT_EQ(Main->CauseText(c.Error), c.Said) << Main->LanguageCode() << " " << c.Error;
  }
}

// Save as before any take says why nothing was saved, in the language in
// force, and leaves no file under the name chosen.
TEST_F(MessageCauseTest, SaveAsBeforeAnyTakeSaysThereIsNoneInTheLanguageInForce) {
  Main->AFrench->Execute();
  const std::string name = (Folder / "nothing.wav").string();
  EXPECT_EQ(Drive({name, "ok"}, [&] { Main->ASaveAsExecute(); }),
            "Korvane Sonarid: Il n'y a pas encore de prise à sauvegarder.\n");
  EXPECT_FALSE(fs::exists(name));
}

// Line and column of the end of Text, counted from 1.
std::string EndOf(const std::string& text) {
  const size_t lastBreak = text.rfind('\n');
  const size_t line = size_t(std::count(text.begin(), text.end(), '\n')) + 1;
  const size_t column = text.size() - (lastBreak == std::string::npos ? 0 : lastBreak + 1) + 1;
  return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

TEST_F(MessageCauseTest, AMusicXMLFileCutShortSaysWhereAndTheFileBeforeStays) {
  ASSERT_TRUE(Main->OpenFile(CorpusXml("01a-Pitches-Pitches.xml")));
  TLoadedFile* before = Main->CurrentFile();
  // The copy ends where its part would end: every element of the part is
  // still open.
  const std::string text = ReadText(CorpusXml("02a-Rests-Durations.xml"));
  const std::string cut = text.substr(0, text.rfind("</part>"));
  WriteText(Folder / "cut.xml", cut);
  EXPECT_EQ(Drive({"ok"}, [&] { EXPECT_FALSE(Main->OpenFile(Path("cut.xml"))); }),
            "Error: The MusicXML file is cut short at " + EndOf(cut) + ": no element found\n");
  EXPECT_EQ(Main->CurrentFile(), before);
}

TEST_F(MessageCauseTest, WhatAnImportChangedAsARoutineIsANoticeWithItsPicture) {
  // A velocity of 0xE4 is read as 100: the note still plays.
  TMidiFileBuilder builder(0, 96);
  builder.AddTrack().Raw({0x00, 0x90, 60, 0xE4}).Delta(96).Raw({0x80, 60, 0x40}).EndOfTrack();
  TMemoryStream(builder.Bytes()).SaveToFile(Path("masked.mid"));
  bool information = false, warning = true;
  WhenUp<TFMessageBlock>([&](TFMessageBlock& box) {
    information = box.IInformation->Visible();
    warning = box.IWarning->Visible();
  });
  EXPECT_EQ(Drive({"ok"}, [&] { EXPECT_TRUE(Main->OpenFile(Path("masked.mid"))); }),
            "Korvane Sonarid: 1 data bytes of MIDI messages were 128 or more; they were read without their top bit.\n");
  EXPECT_TRUE(information);
  EXPECT_FALSE(warning);
}

}  // namespace
}  // namespace apptest
