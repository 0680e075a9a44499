#include <gtest/gtest.h>

#include "score/model/Piece.h"
#include "score/model/Score.h"
#include "support/EventJournal.h"
#include "support/FakeLayout.h"
#include "support/FakeScoreView.h"

namespace {

using Entries = std::vector<std::string>;

class UpdateBracket : public ::testing::Test {
protected:
  UpdateBracket() {
    score.OnRecalculate = [this](TObject* sender) {
      EXPECT_EQ(sender, &score);
      journal.Add("score:Recalculate");
    };
    layout.Log.Reformats.clear();
    journal.Clear();
  }
  TEventJournal journal;
  TFakeLayoutScope layout{&journal};
  TKVScore score;
};

TEST_F(UpdateBracket, CreationAsksForOneLayoutFromPageZero) {
  TFakeLayoutScope scope;
  TKVScore fresh;
  EXPECT_EQ(scope.Log.Reformats, (std::vector<int32_t>{0}));
}

TEST_F(UpdateBracket, NestedBracketsLayOutOnceFromTheLowestPage) {
  score.BeginUpdate();
  score.BeginUpdate();
  score.Reformat(5);
  score.Reformat(2);
  score.Reformat(7);
  EXPECT_EQ(score.FirstDirtyPage(), 2);
  score.EndUpdate();
  EXPECT_EQ(score.UpdateCount(), 1);
  EXPECT_TRUE(layout.Log.Reformats.empty());
  score.EndUpdate();
  EXPECT_EQ(layout.Log.Reformats, (std::vector<int32_t>{2}));
  EXPECT_EQ(score.FirstDirtyPage(), -1);  // cleared by the layout's composer
  EXPECT_EQ(journal.Entries(), (Entries{"layout:Reformat 2", "score:Recalculate"}));
}

TEST_F(UpdateBracket, UnmatchedEndUpdateStaysAtZeroAndLaysOutAPendingPage) {
  score.EndUpdate();
  EXPECT_EQ(score.UpdateCount(), 0);
  EXPECT_TRUE(layout.Log.Reformats.empty());
  score.SetFirstDirtyPage(3);
  score.EndUpdate();
  EXPECT_EQ(score.UpdateCount(), 0);
  EXPECT_EQ(layout.Log.Reformats, (std::vector<int32_t>{3}));
}

TEST_F(UpdateBracket, EndUpdateLeavesClearingTheDirtyPageToTheLayout) {
  layout.Log.ClearsDirtyPage = false;
  score.BeginUpdate();
  score.Reformat(4);
  score.EndUpdate();
  EXPECT_EQ(layout.Log.Reformats, (std::vector<int32_t>{4}));
  EXPECT_EQ(score.FirstDirtyPage(), 4);
}

TEST_F(UpdateBracket, NothingWhileLoading) {
  score.SetLoading(true);
  score.Reformat(1);
  score.BeginUpdate();
  score.Reformat(1);
  EXPECT_EQ(score.FirstDirtyPage(), -1);
  score.EndUpdate();
  EXPECT_TRUE(layout.Log.Reformats.empty());
}

TEST_F(UpdateBracket, FullLayoutStampsTheRevisionAndAnEmptyRunDoesNot) {
  score.SetFormatRevision(0x0355);
  layout.Log.ReformatResult = false;
  score.Reformat(0);
  EXPECT_EQ(score.FormatRevision(), 0x0355);
  EXPECT_EQ(journal.Entries(), (Entries{"layout:Reformat 0"}));
  layout.Log.ReformatResult = true;
  score.Reformat(0);
  EXPECT_EQ(score.FormatRevision(), 0x0404);
}

TEST_F(UpdateBracket, FormatMeasureChecksThePieceAndDelegates) {
  layout.Log.ColumnCount = 2;
  EXPECT_FALSE(score.FormatMeasure(0, 0));  // no piece yet
  score.NewPiece();
  EXPECT_FALSE(score.FormatMeasure(-1, 0));
  EXPECT_FALSE(score.FormatMeasure(1, 0));
  EXPECT_TRUE(layout.Log.FormatMeasures.empty());
  EXPECT_TRUE(score.FormatMeasure(0, 1));
  EXPECT_FALSE(score.FormatMeasure(0, 2));
  EXPECT_EQ(layout.Log.FormatMeasures, (std::vector<std::pair<int32_t, int32_t>>{{0, 1}, {0, 2}}));
}

TEST_F(UpdateBracket, ReformatFromMeasureUsesThePageTheLayoutNames) {
  layout.Log.PageOfMeasure = 3;
  score.ReformatFromMeasure(12);
  layout.Log.PageOfMeasure = -1;  // beyond every page record
  score.ReformatFromMeasure(99);
  EXPECT_EQ(layout.Log.Reformats, (std::vector<int32_t>{3}));
}

TEST_F(UpdateBracket, ViewInvalidationsAreDeferredAndReplayedAfterTheLayout) {
  TFakeScoreView first(&journal, "a"), second(&journal, "b");
  score.AddWindow(&first);
  score.AddWindow(&second);
  journal.Clear();
  score.BeginUpdate();
  score.SetScale(150);
  score.Page().SetOrientation(poLandscape);
  EXPECT_TRUE(first.ScoreInvalidationPending());
  EXPECT_TRUE(second.RulersInvalidationPending());
  EXPECT_EQ(first.ScoreAreaInvalidations + first.RulerAreaInvalidations, 0);
  journal.Clear();
  score.EndUpdate();
  EXPECT_EQ(journal.Entries(), (Entries{"layout:Reformat 0", "score:Recalculate", "a:InvalidateScoreArea",
                                        "a:InvalidateRulerArea", "b:InvalidateScoreArea", "b:InvalidateRulerArea"}));
  EXPECT_FALSE(first.ScoreInvalidationPending());
  EXPECT_FALSE(second.RulersInvalidationPending());
}

TEST_F(UpdateBracket, ViewWithNothingToShowIgnoresInvalidations) {
  TFakeScoreView view(&journal);
  view.SetCanShow(false);
  score.AddWindow(&view);
  score.BeginUpdate();
  score.InvalidateViews();
  EXPECT_FALSE(view.ScoreInvalidationPending());
  score.EndUpdate();
  score.InvalidateRulers();
  EXPECT_EQ(view.ScoreAreaInvalidations + view.RulerAreaInvalidations, 0);
}

TEST(NullLayout, ClearsTheDirtyPageAndFormatsNothing) {
  TKVScore score;
  int recalculations = 0;
  score.OnRecalculate = [&](TObject*) { ++recalculations; };
  score.NewPiece();
  score.BeginUpdate();
  score.Reformat(6);
  score.EndUpdate();
  EXPECT_EQ(score.FirstDirtyPage(), -1);
  EXPECT_EQ(recalculations, 2);  // NewPiece and the bracket
  EXPECT_FALSE(score.FormatMeasure(0, 0));
}


}  // namespace
