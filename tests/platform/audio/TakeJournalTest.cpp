// The take journal: frames on disk as they arrive, readable mid-take;
// SAVE that renames it; what CLOSE leaves; recovery of a journal cut at any
// byte or of another kind; a disk that fills during the take.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "base/LittleEndian.h"
#include "platform/audio/Mci.h"
#include "platform/audio/TakeJournal.h"
#include "support/audio/AudioTestSupport.h"

namespace {

using namespace audio;
using namespace audiotest;
using codectest::ReadBytes;
using TBytes = std::vector<uint8_t>;
namespace fs = std::filesystem;

class TakeJournal : public AudioTest {
protected:
  void SetUp() override {
    AudioTest::SetUp();
    SetTakeJournal(Journal);
  }
  void TearDown() override {
    AudioTest::TearDown();
    SetTakeJournal("");
  }
  // Waits (for the writer thread, never for a time) until the journal's
  // header counts Bytes of frames; false after 20 s without.
  bool WaitForJournal(uint64_t bytes) {
    for (int i = 0; i < 2000; ++i) {
      const TBytes journal = ReadBytes(Journal);
      if (journal.size() >= 44 && le::load32(journal.data() + 40) >= bytes) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  }
  const std::string Journal = Dir.Path("Recording.wav");
};

TEST_F(TakeJournal, HoldsTheFramesAsTheyArriveAndSaveRenamesIt) {
  TChord chord(Bus);
  OpenTake(44100, 2, 16);
  Mci("RECORD take");
  Render(22050);
  ASSERT_TRUE(WaitForJournal(22050 * 4));
  // Mid-take, any reader opens the journal as a take of what came so far.
  EXPECT_EQ(SoxInfo(Journal).Frames, 22050u);
  EXPECT_GT(SoxInfo(Journal).Rms, 0.005);
  // Another run starting now leaves the journal being recorded alone, and
  // records its own take elsewhere.
  EXPECT_EQ(RecoverTakeJournal(Journal, Dir.Path("Untitled.wav")).State, TJournalState::jsInUse);
  Mci("OPEN NEW TYPE WAVEAUDIO ALIAS other");
  Mci("RECORD other");
  Render(4410);
  Mci("STOP other");
  Mci("SAVE other \"" + Dir.Path("other.wav") + "\"");
  Mci("CLOSE other");
  EXPECT_NEAR(double(SoxInfo(Dir.Path("other.wav")).Frames), 4410.0 * 11025 / 44100, 1);  // at its own 11025 Hz
  EXPECT_FALSE(fs::exists(Dir.Path("Untitled.wav")));
  Mci("STOP take");
  const TBytes frames = ReadBytes(Journal);
  const std::string take = Dir.Path("Untitled.wav");
  Mci("SAVE take \"" + take + "\"");
  EXPECT_FALSE(fs::exists(Journal));
  EXPECT_EQ(SoxInfo(take).Frames, 26460u);
  EXPECT_EQ(ReadBytes(take), frames) << "the journal itself, its sizes right";
  Mci("CLOSE take");
  EXPECT_EQ(Dir.FileCount(), 2u) << "the take and the other run's";
}

TEST_F(TakeJournal, RecordingAfterASaveGoesOnInANewJournalAndLeavesTheSavedTake) {
  TChord chord(Bus);
  OpenTake(8000, 1, 8);
  Mci("RECORD take");
  Render(4410);
  Mci("STOP take");
  Mci("SAVE take \"" + Dir.Path("first.wav") + "\"");
  const TBytes first = ReadBytes(Dir.Path("first.wav"));
  Mci("RECORD take");
  Render(8820);
  Mci("STOP take");
  Mci("SAVE take \"" + Dir.Path("both.wav") + "\"");
  EXPECT_EQ(ReadBytes(Dir.Path("first.wav")), first);
  EXPECT_EQ(SoxInfo(Dir.Path("first.wav")).Frames, 800u);
  EXPECT_NEAR(double(SoxInfo(Dir.Path("both.wav")).Frames), 2400, 1);
  const TBytes both = ReadBytes(Dir.Path("both.wav"));
  EXPECT_TRUE(std::equal(first.begin() + 44, first.end(), both.begin() + 44)) << "the first part, then the second";
  Mci("CLOSE take");
  EXPECT_EQ(Dir.FileCount(), 2u) << "a saved journal goes";
}

// What CLOSE leaves: an unsaved take's journal (for the next start), no
// empty one.
TEST_F(TakeJournal, CloseKeepsOnlyAJournalThatHoldsAnUnsavedTake) {
  TChord chord(Bus);
  OpenTake(8000, 1, 8);
  Mci("RECORD take");
  Mci("STOP take");
  Mci("CLOSE take");
  EXPECT_FALSE(fs::exists(Journal));
  OpenTake(8000, 1, 8);
  Mci("RECORD take");
  Render(4410);
  Mci("STOP take");
  Mci("CLOSE take");
  EXPECT_EQ(SoxInfo(Journal).Frames, 800u);
}

TEST_F(TakeJournal, ADiskThatFillsDuringTheTakeEndsItAtTheLastFrameWrittenAndSaveKeepsThose) {
  TChord chord(Bus);
  OpenTake(44100, 2, 16);
  const std::string take = Dir.Path("Untitled.wav");
  {
    codectest::TFileSizeLimit disk(64 * 1024);
    Mci("RECORD take");
    Render(44100);
    EXPECT_EQ(MciSendString("STOP take"), MCIERR_FILE_WRITE);
    Mci("SAVE take \"" + take + "\"");  // renamed: the full disk takes nothing more
  }
  EXPECT_EQ(SoxInfo(take).Frames, (64u * 1024 - 44) / 4);
  EXPECT_EQ(Dir.FileCount(), 1u);
  // Without a journal the frames written are kept too (the copy of them
  // fits where they were written).
  Mci("CLOSE take");
  SetTakeJournal("");
  OpenTake(44100, 2, 16);
  {
    codectest::TFileSizeLimit disk(64 * 1024);
    Mci("RECORD take");
    Render(44100);
    EXPECT_EQ(MciSendString("STOP take"), MCIERR_FILE_WRITE);
    Mci("SAVE take \"" + Dir.Path("copy.wav") + "\"");
  }
  EXPECT_EQ(SoxInfo(Dir.Path("copy.wav")).Frames, (64u * 1024 - 44) / 4);
}

// A journal as a killed process leaves it: its header sizes a write behind
// (here 0), cut at any byte.
struct TCut {
  uint16_t Channels, Bits;
  size_t Bytes;  // of the file
  TJournalState State;
  uint64_t Frames;
};

class JournalRecovery : public testing::TestWithParam<TCut> {
protected:
  codectest::TScratchDir Dir;
};

TEST_P(JournalRecovery, GivesTheWholeFramesAsACompleteTake) {
  const TCut cut = GetParam();
  const codec::TWaveFormat format = codec::TWaveFormat::Pcm(cut.Channels, 8000, cut.Bits);
  TBytes journal = TakeJournalHeader(format, 0);
  for (int i = 0; i < 1001; ++i) journal.push_back(uint8_t(i * 7));
  journal.resize(cut.Bytes);
  codectest::WriteBytes(Dir.Path("Recording.wav"), journal);
  codectest::WriteBytes(Dir.Path("Untitled.wav"), {'o', 'l', 'd'});
  const TJournalRecovery recovery = RecoverTakeJournal(Dir.Path("Recording.wav"), Dir.Path("Untitled.wav"));
  EXPECT_EQ(recovery.State, cut.State);
  EXPECT_EQ(recovery.Frames, cut.Frames);
  const TBytes take = ReadBytes(Dir.Path("Untitled.wav"));
  if (cut.State != TJournalState::jsRecovered) {
    EXPECT_EQ(take, (TBytes{'o', 'l', 'd'}));
    EXPECT_EQ(fs::exists(Dir.Path("Recording.wav")), cut.State == TJournalState::jsNotATake);
    return;
  }
  EXPECT_FALSE(fs::exists(Dir.Path("Recording.wav")));
  const uint64_t data = cut.Frames * cut.Channels * cut.Bits / 8;
  ASSERT_EQ(take.size(), 44 + data + data % 2);
  EXPECT_EQ(le::load32(take.data() + 4), take.size() - 8);
  EXPECT_EQ(le::load32(take.data() + 40), data);
  EXPECT_TRUE(std::equal(take.begin() + 8, take.begin() + 40, journal.begin() + 8)) << "the format as recorded";
  EXPECT_TRUE(std::equal(take.begin() + 44, take.begin() + 44 + std::ptrdiff_t(data), journal.begin() + 44));
  EXPECT_EQ(SoxInfo(Dir.Path("Untitled.wav")).Frames, cut.Frames);
}

using S = TJournalState;
INSTANTIATE_TEST_SUITE_P(
    Cuts, JournalRecovery,
    testing::Values(TCut{1, 8, 0, S::jsNotATake, 0}, TCut{2, 16, 43, S::jsNotATake, 0}, TCut{2, 16, 44, S::jsEmpty, 0},
                    TCut{2, 16, 47, S::jsEmpty, 0}, TCut{2, 16, 48, S::jsRecovered, 1},
                    TCut{2, 16, 44 + 403, S::jsRecovered, 100}, TCut{1, 8, 44 + 1001, S::jsRecovered, 1001},
                    TCut{1, 16, 44 + 1001, S::jsRecovered, 500}, TCut{2, 8, 44 + 999, S::jsRecovered, 499}));

// Files that are no journal of this program stay as they are.
TEST(JournalRecoveryOfOtherFiles, LeavesThemAndTheTake) {
  codectest::TScratchDir dir;
  const std::string journal = dir.Path("Recording.wav"), take = dir.Path("Untitled.wav");
  codectest::WriteBytes(take, {'o', 'l', 'd'});
  EXPECT_EQ(RecoverTakeJournal(journal, take).State, TJournalState::jsNone);
  TBytes ima = TakeJournalHeader(codec::TWaveFormat::Pcm(2, 8000, 16), 0);
  ima[20] = 0x11;  // IMA ADPCM: a WAVE file, but no recording's format
  ima.resize(400, 1);
  for (const TBytes& other : {ima, TBytes(400, 'x')}) {
    codectest::WriteBytes(journal, other);
    EXPECT_EQ(RecoverTakeJournal(journal, take).State, TJournalState::jsNotATake);
    EXPECT_EQ(ReadBytes(journal), other);
    EXPECT_EQ(ReadBytes(take), (TBytes{'o', 'l', 'd'}));
  }
}

}  // namespace
