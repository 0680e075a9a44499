#include <gtest/gtest.h>

#include "base/Exceptions.h"
#include "score/model/Item.h"
#include "score/model/Piece.h"
#include "score/model/Score.h"
#include "support/EventJournal.h"
#include "support/FakeLayout.h"

namespace {

void AddNamedRecord(TKVScore& score, const std::string& name, uint8_t firstByte, const std::string& text) {
  auto* record = new TKVNamedRecord;
  record->Data.setU8(0, firstByte);
  record->Data.setU8(11, 0x5A);
  record->Text = text;
  score.NamedRecords().AddObject(name, record);
}

// A source whose every setting differs from a new score's.
void Dress(TKVScore& s) {
  TKVScoreSettings& b = s.Settings();
  s.SetScale(80);
  s.SetOptimization(false);
  s.SetNoteInterval(7);
  s.SetStemLength(40);
  s.SetViewStyle(vsPart);
  s.SetAlign(50);
  s.SetAutoJoin(0);
  for (int i = 0; i < 5; ++i) b.SetOption(i, uint8_t(10 + i));
  b.SetUserPages(9);
  b.SetVersion14Word(14);
  for (int i = 0; i < 5; ++i) b.SetMetricWord(i, uint16_t(300 + i));
  for (int i = 0; i < 3; ++i) b.SetSpacingWord(i, uint16_t(20 + i));
  for (int i = 0; i < 3; ++i) b.SetFurtherWord(i, uint16_t(60 + i));
  b.SetFlags(0);
  b.SetSystemDistance(42.5L);
  for (int i = 0; i < 4; ++i) b.SetLayoutWord(i, uint16_t(90 + i));
  s.SetLayoutOption(0, 7);
  s.SetLayoutOption(1, 8);
  s.SetMaxUndo(2);
  s.SetNoteNames("cdefgah");
  s.Page().SetPaperSize(TKVPaperSize::A4);
}

class ScoreAssign : public ::testing::Test {
protected:
  ScoreAssign() {
    Dress(source);
    target.OnChanged = [this](TObject*) { journal.Add("target:Changed"); };
    journal.Clear();
  }
  TEventJournal journal;
  TFakeLayoutScope layout{&journal};
  TKVScore source;
  TKVScore target;
};

TEST_F(ScoreAssign, CopiesTheDocumentedSettingsAndKeepsTheRest) {
  target.Assign(source);
  const TKVScoreSettings& t = target.Settings();
  EXPECT_EQ(target.Scale(), 80);
  EXPECT_EQ(target.ViewStyle(), vsPart);
  EXPECT_EQ(target.Align(), 50);
  EXPECT_EQ(target.AutoJoin(), 0);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(t.Option(i), 10 + i);
  EXPECT_EQ(t.Version14Word(), 14);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(t.MetricWord(i), 300 + i);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(t.SpacingWord(i), 20 + i);
  EXPECT_EQ(t.SystemDistance(), 42.5L);
  EXPECT_EQ(target.LayoutOption(0), 7);
  EXPECT_EQ(target.LayoutOption(1), 8);
  EXPECT_EQ(target.Page().PaperSize(), TKVPaperSize::A4);

  // Kept from the target.
  EXPECT_EQ(target.NoteInterval(), 0);
  EXPECT_EQ(target.StemLength(), 24);
  EXPECT_TRUE(target.Optimization());
  EXPECT_EQ(t.UserPages(), 0);
  EXPECT_EQ(t.FurtherWord(0), 30);
  EXPECT_EQ(target.Flags(), 3);
  EXPECT_EQ(t.LayoutWord(0), 8);
  EXPECT_EQ(target.MaxUndo(), 16);
  EXPECT_EQ(target.NoteNames(), "CDEFGAB");
}

TEST_F(ScoreAssign, RunsInOneBracketAndScaleGoesThroughItsWriter) {
  target.Assign(source);
  EXPECT_EQ(journal.Entries(), (std::vector<std::string>{"target:Changed", "layout:Reformat 0"}));
  EXPECT_EQ(target.UpdateCount(), 0);
}

TEST_F(ScoreAssign, ReplacesPiecesAndItems) {
  target.NewPiece();
  new TKVItem(&target);
  source.NewPiece();
  source.NewPiece();
  target.Assign(source);
  EXPECT_EQ(target.GetPieceCount(), 2);
  EXPECT_NE(target.GetPiece(0), source.GetPiece(0));
  EXPECT_EQ(target.GetPiece(1)->GetIndex(), 1);
  EXPECT_EQ(target.GetItemCount(), 0);  // no element class can be made yet
}

TEST_F(ScoreAssign, ReplacesNamedRecordsWithCopies) {
  AddNamedRecord(target, "old", 1, "gone");
  AddNamedRecord(source, "Drums", 3, "kit");
  AddNamedRecord(source, "Perc", 4, "set");
  target.Assign(source);
  ASSERT_EQ(target.NamedRecords().Count(), 2);
  EXPECT_EQ(target.NamedRecords().Strings(1), "Perc");
  auto* copy = dynamic_cast<TKVNamedRecord*>(target.NamedRecords().Objects(0));
  auto* original = dynamic_cast<TKVNamedRecord*>(source.NamedRecords().Objects(0));
  ASSERT_NE(copy, nullptr);
  EXPECT_NE(copy, original);
  EXPECT_EQ(copy->Data, original->Data);
  EXPECT_EQ(copy->Text, "kit");
}

TEST_F(ScoreAssign, UserDataIsCopiedWithItsSizeOrDropped) {
  auto data = std::make_unique<TByteBlock>(3);
  data->setU8(2, 0x99);
  source.SetUserData(std::move(data));
  source.Settings().SetUserDataSize(3);
  target.Assign(source);
  ASSERT_NE(target.UserData(), nullptr);
  EXPECT_NE(target.UserData(), source.UserData());
  EXPECT_EQ(*target.UserData(), *source.UserData());
  EXPECT_EQ(target.UserDataSize(), 3);

  // A stated size beyond the source's block copies what there is.
  source.Settings().SetUserDataSize(5);
  target.Assign(source);
  ASSERT_EQ(target.UserData()->Size(), 5u);
  EXPECT_EQ(target.UserData()->u8(2), 0x99);
  EXPECT_EQ(target.UserData()->u8(4), 0);

  source.Settings().SetUserDataSize(0);
  target.Assign(source);
  EXPECT_EQ(target.UserData(), nullptr);
  EXPECT_EQ(target.UserDataSize(), 0);
}

TEST_F(ScoreAssign, SelfAssignLosesNothing) {
  source.NewPiece();
  source.Assign(source);
  EXPECT_EQ(source.GetPieceCount(), 1);
}

TEST_F(ScoreAssign, OtherClassesRaiseTheAssignError) {
  TKVPage page(nullptr);
  EXPECT_THROW(target.Assign(page), EAssignError);
  EXPECT_EQ(target.UpdateCount(), 0);
}

// A copy that fails half-way must not leave the bracket open.
TEST(ScoreAssignFailure, BracketClosesWhenAPieceCopyFails) {
  TKVScore source, target;
  source.NewPiece();
  int recalculations = 0;
  target.OnRecalculate = [&](TObject*) { ++recalculations; };
  target.OnAddItem = [](TObject*, TObject*) { throw Exception("copy failed"); };
  EXPECT_THROW(target.Assign(source), Exception);
  EXPECT_EQ(target.UpdateCount(), 0);
  EXPECT_EQ(recalculations, 1);
  EXPECT_EQ(target.GetPieceCount(), 0);  // the failed piece is not left listed
  target.OnAddItem = nullptr;
}

}  // namespace
