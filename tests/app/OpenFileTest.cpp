// Opening files in the main window: a built score file and corpus files
// become the opened file with its length on the labels and bars; a damaged
// file shows its error in the message box and keeps the file before it; a
// file of an unknown extension opens without a score and plays nothing.

#include "ProgramTestSupport.h"
#include "app/LoadedFile.h"
#include "app/ProgramLog.h"
#include "base/Strings.h"
#include "score/model/ScoreFileSamples.h"
#include "score/model/Score.h"

namespace apptest {
namespace {

class OpenFileTest : public ProgramTest {
protected:
  OpenFileTest() { Start(); }

  // Opens the file and checks what the window shows of it.
  void ExpectOpened(const std::string& file) {
    SCOPED_TRACE(file);
    ASSERT_TRUE(Main->OpenFile(file));
    TLoadedFile* opened = Main->CurrentFile();
    ASSERT_TRUE(opened && opened->Score);
    const double duration = opened->GetDuration();
    EXPECT_GT(duration, 0);
    EXPECT_EQ(Main->LSource->Caption(), ExtractFileName(file));
    EXPECT_EQ(Main->LSEndTime->Caption(), MillisecToStr(int32_t(duration)));
    EXPECT_EQ(Main->TBSource->Max(), int(duration) / 100);
    EXPECT_EQ(Main->TBSource->Position(), 0);
    EXPECT_EQ(Main->LDestination->Caption(), "Untitled.wav");
    EXPECT_TRUE(Main->APlay->Enabled());
    EXPECT_TRUE(Main->AGotoEnd->Enabled());
    Main->AGotoEndExecute();
    EXPECT_NEAR(Main->TBSource->Position(), Main->TBSource->Max(), 1);
  }
};

TEST_F(OpenFileTest, AScoreFileAndCorpusFilesBecomeTheOpenedFile) {
  const fs::path score = Folder / "Sonata.sfd";
  const TBytes bytes = sample::File().Bytes();
  WriteFile(score, std::string(bytes.begin(), bytes.end()));
  ExpectOpened(score.string());
  ExpectOpened(CorpusXml("01a-Pitches-Pitches.xml"));
}

TEST_F(OpenFileTest, ADamagedFileShowsItsErrorAndTheFileBeforeItStays) {
  const std::string good = CorpusXml("01a-Pitches-Pitches.xml");
  ASSERT_TRUE(Main->OpenFile(good));
  TLoadedFile* before = Main->CurrentFile();
  WriteFile(Folder / "damaged.sfd", "no score at all");
  const std::string shown = AnswerNextBox(forms::mrOk, [&] { EXPECT_FALSE(Main->OpenFile((Folder / "damaged.sfd").string())); });
  EXPECT_EQ(shown, "Error: This is not Ostinel file");
  EXPECT_EQ(Main->CurrentFile(), before);
  EXPECT_EQ(Main->LSource->Caption(), ExtractFileName(good));
}

TEST_F(OpenFileTest, AFileOfAnUnknownExtensionOpensWithoutLengthAndPlaysNothing) {
  WriteFile(Folder / "notes.txt", "just text");
  ASSERT_TRUE(Main->OpenFile((Folder / "notes.txt").string()));
  TLoadedFile* opened = Main->CurrentFile();
  EXPECT_FALSE(opened->Score);
  EXPECT_EQ(opened->GetDuration(), 0);
  EXPECT_EQ(Main->LSEndTime->Caption(), "00:00");
  EXPECT_TRUE(TLoadedFile::IsAccepted("song.MID"));
  Main->APlayExecute();
  EXPECT_FALSE(Main->Playing());
  EXPECT_FALSE(opened->Playing);
  EXPECT_FALSE(Main->TExport->Enabled());
  EXPECT_FALSE(Main->AStop->Enabled());
}

}  // namespace
}  // namespace apptest
