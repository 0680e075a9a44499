#include <gtest/gtest.h>

#include <functional>

#include "score/model/Score.h"
#include "support/EventJournal.h"
#include "support/FakeLayout.h"
#include "support/FakeScoreView.h"

namespace {

using Entries = std::vector<std::string>;

struct WriterCase {
  const char* name;
  std::function<void(TKVScore&)> set;  // sets a value different from the default
  Entries expected;
};


class ScoreWriters : public ::testing::TestWithParam<WriterCase> {
protected:
  ScoreWriters() {
    score.AddWindow(&view);
    score.OnChanged = [this](TObject* sender) {
      EXPECT_EQ(sender, &score);
      journal.Add("score:Changed");
    };
    journal.Clear();
  }
  TEventJournal journal;
  TFakeLayoutScope layout{&journal};
  TKVScore score;
  TFakeScoreView view{&journal};
};

TEST_P(ScoreWriters, ChangedValueActsInOrderAndAnEqualValueDoesNothing) {
  GetParam().set(score);
  EXPECT_EQ(journal.Entries(), GetParam().expected);
  journal.Clear();
  GetParam().set(score);
  EXPECT_TRUE(journal.Entries().empty());
}

// One writer of each kind of effect: the table of the others would copy the
// code's own list row for row.
const WriterCase kWriters[] = {
    {"Scale", [](TKVScore& s) { s.SetScale(150); }, {"layout:Reformat 0", "view:InvalidateScoreArea", "score:Changed"}},
    {"NoteInterval", [](TKVScore& s) { s.SetNoteInterval(9); }, {"layout:Reformat 0", "view:InvalidateScoreArea"}},
    {"AutoJoin", [](TKVScore& s) { s.SetAutoJoin(0); }, {"score:Changed"}},
    {"NoteNames", [](TKVScore& s) { s.SetNoteNames("CDEFGAH"); }, {"view:InvalidateScoreArea"}},
    {"InsertName", [](TKVScore& s) { s.SetInsertName("Einf"); }, {"view:InvalidateModeIndicator"}},
    {"Optimization", [](TKVScore& s) { s.SetOptimization(false); }, {}},
    {"ViewStyle", [](TKVScore& s) { s.SetViewStyle(vsPart); },
     {"layout:Reformat 0", "view:InvalidateScoreArea", "view:ScrollToCursor -1 0", "view:ShowCursor 0",
      "view:ValidateCursor 0", "view:ShowCursor 1", "view:UpdateRuleMarkers", "view:UpdatePageButtons",
      "view:CursorChanged nil", "score:Changed"}},
};

INSTANTIATE_TEST_SUITE_P(Table, ScoreWriters, ::testing::ValuesIn(kWriters),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ScoreWriterValues, ViewStyleWithoutViewStillLaysOutAndNotifies) {
  TEventJournal journal;
  TFakeLayoutScope layout(&journal);
  TKVScore score;
  score.OnChanged = [&](TObject*) { journal.Add("score:Changed"); };
  journal.Clear();
  score.SetViewStyle(vsPart);
  EXPECT_EQ(journal.Entries(), (Entries{"layout:Reformat 0", "score:Changed"}));
}

TEST(ScoreWriterValues, AlignWhileLoadingIsOnlyStored) {
  TEventJournal journal;
  TFakeLayoutScope layout(&journal);
  TKVScore score;
  int changes = 0;
  score.OnChanged = [&](TObject*) { ++changes; };
  journal.Clear();
  score.SetLoading(true);
  score.SetAlign(50);
  EXPECT_EQ(score.Align(), 50);
  EXPECT_TRUE(journal.Entries().empty());
  EXPECT_EQ(changes, 0);
  score.SetLoading(false);
  score.SetAlign(10);
  EXPECT_EQ(changes, 1);
}

TEST(ScoreWriterValues, PageWriterAssignsIntoTheOwnedPage) {
  TKVScore score;
  TKVPage other(nullptr);
  other.SetPaperSize(TKVPaperSize::Letter);
  score.SetPage(other);
  EXPECT_EQ(score.Page().PaperSize(), TKVPaperSize::Letter);
  EXPECT_NE(&score.Page(), &other);
  EXPECT_EQ(score.Page().Owner(), &score);
}

}  // namespace
