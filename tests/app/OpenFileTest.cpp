// Opening files in the main window: a built score file and corpus files
// become the opened file with its length on the labels and bars; a damaged
// file shows its error in the message box and keeps the file before it; a
// file of an unknown extension opens without a score and plays nothing;
// each kind of score plays on the synthesiser to its stop event, which
// returns the window to idle.

#include <algorithm>
#include <thread>
#include <vector>

#include "ProgramTestSupport.h"
#include "app/LoadedFile.h"
#include "app/MessageBlock.h"
#include "app/ProgramLog.h"
#include "base/Strings.h"
#include "platform/midi/Synthesiser.h"
#include "platform/threads/MainQueue.h"
#include "score/model/ScoreFileSamples.h"
#include "score/model/Part.h"
#include "score/model/Piece.h"
#include "score/model/Score.h"
#include "support/AudioCheck.h"
#include "support/MidiFileBuilder.h"

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

  // Plays the opened file from LeadMs before its end on the synthesiser,
  // whose sound the test takes in real time, until the stop event; the
  // window's next timer tick then returns it to idle. Gives the loudest
  // sample heard.
  double PlayToTheEnd(int leadMs) {
    TLoadedFile* file = Main->CurrentFile();
    Main->TBSource->SetPosition(std::max(0, Main->TBSource->Max() - leadMs / 100));
    midi::TSampleSource& synth = midi::AttachSynthesiser(44100);
    Main->APlayExecute();
    EXPECT_TRUE(Main->Playing());
    double peak = 0;
    // Bounded only against a run that never ends.
    for (int i = 0; i < 1000 && !Main->PlayEnded(); ++i) {
      peak = std::max(peak, audiocheck::Peak(audiocheck::Pull(synth, 0.01)));
      TMainQueue::Instance().WaitForPosts(10);
      App->ProcessMessages();
    }
    midi::DetachSynthesiser();
    EXPECT_TRUE(Main->PlayEnded());
    EXPECT_FALSE(file->Playing);
    EXPECT_TRUE(Main->Playing()) << "idle only at the timer's tick";
    Host->AdvanceTime(100);
    App->ProcessMessages();
    EXPECT_FALSE(Main->Playing());
    EXPECT_FALSE(Main->TExport->Enabled());
    EXPECT_TRUE(Main->APlay->Enabled());
    EXPECT_FALSE(Main->AStop->Enabled());
    return peak;
  }
};

TEST_F(OpenFileTest, EachKindOfScoreOpensAndPlaysOnTheSynthesiserToItsStopEvent) {
  const fs::path score = Folder / "Sonata.sfd";
  const TBytes bytes = sample::File().Bytes();
  WriteText(score, std::string(bytes.begin(), bytes.end()));
  // The built score sounds only in its first measure, and only once its
  // part's volume (0 in the file) is raised. The MusicXML file is one whole
  // note of two seconds: a start inside a note does not strike it, so it
  // plays from its beginning (what was heard from a start inside it was
  // only what the file before left sounding).
  std::vector<std::pair<std::string, int>> files = {{score.string(), 60000},
                                                    {CorpusXml("01c-Pitches-NoVoiceElement.xml"), 2000}};
  const std::string midi = CorpusMidi("01-StartWithMiddleC.mid");
  if (!midi.empty()) files.emplace_back(midi, 1500);
  for (const auto& [file, leadMs] : files) {
    ExpectOpened(file);
    if (file == score) Main->CurrentFile()->Score->GetPiece(0)->GetPart(0)->SetVolume(100);
    EXPECT_GT(PlayToTheEnd(leadMs), 0.001) << file;
    // Ended by itself, the score stands at its end, read as its length is.
    EXPECT_EQ(Main->TBSource->Position(), Main->TBSource->Max()) << file;
    EXPECT_EQ(Main->LTimeSource->Caption(), Main->LSEndTime->Caption()) << file;
  }
  if (midi.empty()) GTEST_SKIP() << "no MIDI file played: the corpus is not fetched (scripts/fetch-midi-corpus)";
}

// The stop event comes on the main thread, and only for a run that ended
// by itself: a Play or Stop that comes before it is handed on drops it.
TEST_F(OpenFileTest, TheStopEventReachesTheMainThreadOnlyForARunThatEndedByItself) {
  TLoadedFile file(CorpusXml("01c-Pitches-NoVoiceElement.xml"));
  int stops = 0;
  file.OnStop = [&](TObject* sender) {
    EXPECT_EQ(sender, &file);
    EXPECT_TRUE(TMainQueue::Instance().IsMainThread());
    ++stops;
  };
  auto endAtOnce = [&] {
    file.Seek(file.GetDuration());
    file.Play();
    while (file.Playing) std::this_thread::yield();
  };
  endAtOnce();
  file.GotoBegin();
  file.Play();
  TMainQueue::Instance().ProcessPending();
  EXPECT_TRUE(file.Playing);
  file.Stop();
  TMainQueue::Instance().ProcessPending();
  EXPECT_EQ(stops, 0);
  endAtOnce();
  EXPECT_EQ(stops, 0);
  // The play thread clears Playing just before it posts the event.
  TMainQueue::Instance().WaitForPosts(5000);
  TMainQueue::Instance().ProcessPending();
  EXPECT_EQ(stops, 1);
}

TEST_F(OpenFileTest, ADamagedFileShowsItsErrorAndTheFileBeforeItStays) {
  const std::string good = CorpusXml("01a-Pitches-Pitches.xml");
  ASSERT_TRUE(Main->OpenFile(good));
  TLoadedFile* before = Main->CurrentFile();
  WriteText(Folder / "damaged.sfd", "no score at all");
  const std::string shown = AnswerNextBox(forms::mrOk, [&] { EXPECT_FALSE(Main->OpenFile((Folder / "damaged.sfd").string())); });
  EXPECT_EQ(shown, "Error: This is not Ostinel file");
  EXPECT_EQ(Main->CurrentFile(), before);
  EXPECT_EQ(Main->LSource->Caption(), ExtractFileName(good));
}

TEST_F(OpenFileTest, AFileOfAnUnknownExtensionOpensWithoutLengthAndPlaysNothing) {
  WriteText(Folder / "notes.txt", "just text");
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

// A MIDI file of meta and controller events only opens as an empty score
// that lasts as long as its tracks; a notice says that it holds no notes,
// with the information picture, not as an error.
TEST_F(OpenFileTest, AMidiFileWithoutNotesOpensAsAnEmptyScoreOfItsLengthWithANotice) {
  ASSERT_TRUE(Main->OpenFile(CorpusXml("01a-Pitches-Pitches.xml")));
  TMidiFileBuilder builder(1, 96);
  builder.AddTrack().Tempo(0, 500000).TimeSignature(0, 4, 2).EndOfTrack(96 * 4 * 6);  // six measures: 12 s
  builder.AddTrack().Program(0, 0, 0).Controller(0, 0, 7, 100).Controller(96, 0, 64, 127).Controller(96, 0, 64, 0).EndOfTrack();
  test_support::WriteBytes(Folder / "silent.mid", builder.Bytes());
  bool information = false, warning = true;
  TMainQueue::Instance().Post([&] {
    if (auto* box = dynamic_cast<TFMessageBlock*>(forms::Screen->ActiveForm())) {
      information = box->IInformation->Visible();
      warning = box->IWarning->Visible();
    }
  }, &information);
  const std::string shown = AnswerNextBox(forms::mrOk, [&] { EXPECT_TRUE(Main->OpenFile((Folder / "silent.mid").string())); });
  TMainQueue::Instance().Cancel(&information);
  EXPECT_EQ(shown, "Korvane Sonarid: The file holds no notes that can be played.");
  EXPECT_TRUE(information && !warning);
  EXPECT_EQ(Main->CurrentFile()->FileName, (Folder / "silent.mid").string());
  EXPECT_EQ(Main->CurrentFile()->GetDuration(), 12000);
  EXPECT_EQ(Main->LSource->Caption() + " " + Main->LSEndTime->Caption(), "silent.mid 00:12");
  EXPECT_TRUE(Main->APlay->Enabled() && Main->ARecord->Enabled());
}

}  // namespace
}  // namespace apptest
