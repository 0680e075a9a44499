#include <gtest/gtest.h>

#include "base/Exceptions.h"
#include "score/model/Item.h"
#include "score/model/Piece.h"
#include "score/model/Score.h"
#include "support/EventJournal.h"
#include "support/FakeLayout.h"
#include "support/FakeScoreView.h"

namespace {

using Entries = std::vector<std::string>;

std::string Describe(TObject* object, TKVScore& score) {
  for (int32_t i = 0; i < score.GetPieceCount(); ++i)
    if (score.GetPiece(i) == object) return "piece" + std::to_string(i);
  return "unlisted";
}

class ScoreLists : public ::testing::Test {
protected:
  ScoreLists() {
    score.OnAddItem = [this](TObject* sender, TObject* owner) {
      EXPECT_EQ(owner, nullptr);
      journal.Add("add " + Describe(sender, score));
    };
    score.OnDeleteItem = [this](TObject* sender, TObject* owner) {
      EXPECT_EQ(owner, nullptr);
      journal.Add("delete " + Describe(sender, score));
    };
    journal.Clear();
  }
  TEventJournal journal;
  TFakeLayoutScope layout{&journal};
  TKVScore score;
};

TEST_F(ScoreLists, NewPieceRegistersAnnouncesThenLaysOut) {
  TFakeScoreView view(&journal);
  score.AddWindow(&view);
  journal.Clear();
  TKVPiece* piece = score.NewPiece();
  EXPECT_EQ(journal.Entries(), (Entries{"add piece0", "layout:Reformat 0", "view:InvalidateScoreArea"}));
  EXPECT_EQ(piece->GetIndex(), 0);
  EXPECT_EQ(piece->Score(), &score);
  EXPECT_EQ(score.GetPiece(0), piece);
  EXPECT_EQ(score.GetPiece(1), nullptr);
  EXPECT_EQ(score.GetPiece(-1), nullptr);
}

TEST_F(ScoreLists, FreeingAPieceAnnouncesItAndRenumbersTheRestAndClearFreesTheLastFirst) {
  score.NewPiece();
  TKVPiece* middle = score.NewPiece();
  TKVPiece* last = score.NewPiece();
  score.NewPiece();
  journal.Clear();
  delete middle;
  EXPECT_EQ(last->GetIndex(), 1);
  EXPECT_EQ(score.GetPiece(1), last);
  score.ClearPieces();
  EXPECT_EQ(journal.Entries(), (Entries{"delete piece1", "delete piece2", "delete piece1", "delete piece0"}));
  EXPECT_EQ(score.GetPieceCount(), 0);
}

TEST_F(ScoreLists, RegistrationSwitchKeepsNewPiecesAndItemsOutOfTheLists) {
  score.SetRegistrationSwitch(true);
  auto* piece = new TKVPiece(&score);
  auto* item = new TKVItem(&score);
  score.SetRegistrationSwitch(false);
  EXPECT_EQ(score.GetPieceCount(), 0);
  EXPECT_EQ(score.GetItemCount(), 0);
  EXPECT_EQ(piece->GetIndex(), -1);
  EXPECT_TRUE(journal.WithPrefix("add").empty());
  delete piece;
  delete item;
  // Removal does not depend on the switch: a listed piece freed while the
  // switch is set leaves the list.
  TKVPiece* listed = score.NewPiece();
  score.SetRegistrationSwitch(true);
  delete listed;
  score.SetRegistrationSwitch(false);
  EXPECT_EQ(score.GetPieceCount(), 0);
}

TEST_F(ScoreLists, ScoreItemsRegisterAndLeave) {
  auto* a = new TKVItem(&score);
  auto* b = new TKVItem(&score);
  TKVItem loose(nullptr);
  EXPECT_EQ(score.GetItemCount(), 2);
  EXPECT_EQ(score.GetItem(1), b);
  EXPECT_EQ(score.GetItem(2), nullptr);
  delete a;
  EXPECT_EQ(score.GetItem(0), b);
  score.ClearItems();
  EXPECT_EQ(score.GetItemCount(), 0);
}

TEST_F(ScoreLists, ActivePieceFollowsTheActiveViewsCursor) {
  EXPECT_EQ(score.GetActivePiece(), nullptr);
  score.NewPiece();
  TKVPiece* second = score.NewPiece();
  TFakeScoreView view;
  score.AddWindow(&view);
  EXPECT_EQ(score.GetActivePiece(), score.GetPiece(0));
  view.SetCursor(1);
  EXPECT_EQ(score.GetActivePiece(), second);
  EXPECT_EQ(view.GetCursorPiece(), second);
  view.SetCursor(2);
  EXPECT_EQ(score.GetActivePiece(), nullptr);
}

TEST(ScoreViews, AddAndRemoveLinkAndUnlink) {
  TEventJournal journal;
  TKVScore score;
  TFakeScoreView first(&journal, "a"), second(&journal, "b");
  score.AddWindow(&first);
  EXPECT_EQ(score.ActiveWindowIndex(), 0);
  score.AddWindow(&second);
  EXPECT_EQ(score.ActiveWindowIndex(), 0);
  EXPECT_EQ(first.Score(), &score);
  EXPECT_EQ(score.GetWindowCount(), 2);
  score.RemoveWindow(&first);
  EXPECT_EQ(first.Score(), nullptr);
  EXPECT_EQ(score.GetWindow(0), &second);
  EXPECT_EQ(journal.Entries(), (Entries{"a:LinkScore score", "b:LinkScore score", "a:LinkScore nil"}));
}

TEST(ScoreViews, ActiveWindowClampsTheStoredIndex) {
  TKVScore score;
  score.SetActiveWindowIndex(5);
  EXPECT_EQ(score.GetActiveWindow(), nullptr);
  EXPECT_EQ(score.ActiveWindowIndex(), 5);  // kept without views
  TFakeScoreView first, second;
  score.AddWindow(&first);
  score.AddWindow(&second);
  EXPECT_EQ(score.GetActiveWindow(), &second);
  EXPECT_EQ(score.ActiveWindowIndex(), 1);
  score.SetActiveWindowIndex(-4);
  EXPECT_EQ(score.GetActiveWindow(), &first);
  EXPECT_EQ(score.ActiveWindowIndex(), 0);
}

TEST(ScoreViews, SetActiveWindowStoresTheIndexAndAnnouncesIt) {
  TKVScore score;
  int announced = 0;
  score.OnActiveWindowChanged = [&](TObject* sender) {
    EXPECT_EQ(sender, &score);
    ++announced;
  };
  TFakeScoreView first, second, stranger;
  score.AddWindow(&first);
  score.AddWindow(&second);
  score.SetActiveWindow(&second);
  EXPECT_EQ(score.ActiveWindowIndex(), 1);
  score.SetActiveWindow(&stranger);
  EXPECT_EQ(score.ActiveWindowIndex(), -1);
  EXPECT_EQ(announced, 2);
}

TEST(ScoreViews, NeitherSideKeepsALinkToAFreedPartner) {
  TFakeScoreView survivor;
  {
    TKVScore score;
    auto* shortLived = new TFakeScoreView;
    score.AddWindow(shortLived);
    score.AddWindow(&survivor);
    delete shortLived;
    EXPECT_EQ(score.GetWindowCount(), 1);
    EXPECT_EQ(score.GetWindow(0), &survivor);
  }
  EXPECT_EQ(survivor.Score(), nullptr);
}

class CountingPiece : public TKVPiece {
public:
  CountingPiece(TKVScore* score, TEventJournal& journal) : TKVPiece(score), FJournal(journal) {}
  void CalcVelocities() override { FJournal.Add("piece" + std::to_string(GetIndex()) + ":CalcVelocities"); }

private:
  TEventJournal& FJournal;
};

TEST(ScoreBroadcasts, EachReachesEveryMemberInListOrder) {
  TEventJournal journal;
  TKVScore score;
  score.UpdateDynamics();
  score.UpdateScrollBars();
  score.InvalidateViews();
  score.InvalidateRulers();
  score.InvalidateModeIndicator();  // nothing to reach: nothing happens

  new CountingPiece(&score, journal);
  new CountingPiece(&score, journal);
  TFakeScoreView first(&journal, "a"), second(&journal, "b");
  score.AddWindow(&first);
  score.AddWindow(&second);
  journal.Clear();
  score.UpdateDynamics();
  score.UpdateScrollBars();
  score.InvalidateViews();
  score.InvalidateRulers();
  score.InvalidateModeIndicator();
  EXPECT_EQ(journal.Entries(),
            (Entries{"piece0:CalcVelocities", "piece1:CalcVelocities", "a:AdjustScrollBars", "b:AdjustScrollBars",
                     "a:InvalidateScoreArea", "b:InvalidateScoreArea", "a:InvalidateRulerArea",
                     "b:InvalidateRulerArea", "a:InvalidateModeIndicator", "b:InvalidateModeIndicator"}));
}

}  // namespace
