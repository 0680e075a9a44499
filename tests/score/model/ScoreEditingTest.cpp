// The score's editing operations over the tree: new parts (with and without
// a view), the insertion index of a new item, page marks, spacing writers,
// navigation to the cursor and the score-wide questions.

#include <gtest/gtest.h>

#include <memory>

#include "score/model/Column.h"
#include "score/model/ItemFactory.h"
#include "score/model/Liga.h"
#include "score/model/Mark.h"
#include "score/model/Measure.h"
#include "score/model/Note.h"
#include "score/model/PageTexts.h"
#include "score/model/Part.h"
#include "score/model/Pause.h"
#include "score/model/Piece.h"
#include "score/model/Score.h"
#include "score/model/SimpleElements.h"
#include "score/model/Staff.h"
#include "score/model/Voice.h"
#include "support/EventJournal.h"
#include "support/FakeLayout.h"
#include "support/FakeScoreView.h"

namespace {

using Entries = std::vector<std::string>;

class ScoreEditing : public ::testing::Test {
protected:
  ScoreEditing() {
    piece = score.NewPiece();
    score.AddWindow(&view);
    view.SetCursor(0);
    score.OnAddItem = [this](TObject* sender, TObject*) {
      journal.Add(dynamic_cast<TKVPart*>(sender) ? "add part" : dynamic_cast<TKVStaff*>(sender) ? "add staff" : "add voice");
    };
    score.OnItemChanged = [this](TObject* sender, TObject*) {
      journal.Add(dynamic_cast<TKVPart*>(sender) ? "changed part" : "changed other");
    };
    score.OnChanged = [this](TObject* sender) { journal.Add(sender == &score ? "changed score" : "changed other"); };
    score.NewPartDefaults = {0x00FF00, 3, 0x1A5};
    journal.Clear();
  }
  TEventJournal journal;
  TFakeLayoutScope layout{&journal};
  TKVScore score;
  TFakeScoreView view{&journal};
  TKVPiece* piece;
};

void ExpectFirstMeasure(TKVPart* part) {
  ASSERT_EQ(part->GetMeasureCount(), 1);
  TKVMeasure* measure = part->GetMeasure(0);
  ASSERT_EQ(measure->GetItemCount(), 2);
  auto* key = dynamic_cast<TKVMark*>(measure->GetItem(0));
  auto* clef = dynamic_cast<TKVMark*>(measure->GetItem(1));
  ASSERT_TRUE(key && clef);
  EXPECT_EQ(key->Kind(), 3);
  EXPECT_EQ(key->Extra().Size(), 14u);
  EXPECT_EQ(clef->Kind(), 2);
  EXPECT_EQ(clef->Variant(), 1);
  for (TKVMark* mark : {key, clef}) {
    EXPECT_EQ(mark->FontIndex(), 3);
    EXPECT_EQ(mark->SizePercent(), 0xA5);
    EXPECT_EQ(mark->Color(), 0x00FF00u);
  }
  EXPECT_EQ(measure->RegistrationSwitch(), 0);
  ASSERT_EQ(part->GetStaffCount(), 1);
  EXPECT_EQ(part->GetStaff(0)->GetVoiceCount(), 1);
}

TEST_F(ScoreEditing, NewPartThroughTheViewLaysOutOnceAtTheEnd) {
  piece->NewPart()->SetChannel(1);
  piece->GetPart(0)->NewStaff()->NewVoice();
  view.SetCursor(0, 0);
  journal.Clear();
  TKVPart* part = score.NewPart();
  ASSERT_NE(part, nullptr);
  EXPECT_EQ(journal.Entries(), (Entries{"add part", "changed part", "add staff", "add voice",
                                        "view:ValidateCursor 0", "view:CursorChanged object",
                                        "layout:Reformat 0", "view:InvalidateScoreArea", "changed score"}));
  EXPECT_EQ(part->Channel(), 2) << "channel 1 is taken";
  EXPECT_EQ(view.CursorPart(), 1);
  EXPECT_EQ(score.UpdateCount(), 0);
  ExpectFirstMeasure(part);
}

TEST_F(ScoreEditing, NewPartWithoutAViewIsMadeOnTheGivenPiece) {
  score.RemoveWindow(&view);
  EXPECT_EQ(score.NewPart(), nullptr);
  EXPECT_EQ(piece->GetPartCount(), 0);
  journal.Clear();
  TKVPart* part = score.NewPart(piece);
  ASSERT_NE(part, nullptr);
  EXPECT_EQ(journal.Entries(),
            (Entries{"add part", "changed part", "add staff", "add voice", "layout:Reformat 0", "changed score"}));
  EXPECT_EQ(part->Channel(), 1);
  ExpectFirstMeasure(part);
  EXPECT_EQ(score.NewPart(nullptr), nullptr);
  EXPECT_EQ(score.UpdateCount(), 0);
}

// ---- insertion index ----

struct TInsertCase {
  int32_t time;
  uint16_t order;
  bool first;
  int32_t start;
  int32_t expected;
};

class InsertIndex : public ::testing::TestWithParam<TInsertCase> {};

TEST_P(InsertIndex, PlacesByTimeAndVoiceOrder) {
  TKVScore score;
  TKVMeasure* measure = score.NewPiece()->NewPart()->NewMeasure();
  auto note = [measure](uint16_t time, uint16_t order) {
    auto* n = new TKVNote(measure);
    n->SetPosition(time);
    n->VoiceKey().VoiceNumber = order;
  };
  note(0, 1);                                  // 0
  note(128, 2);                                // 1
  auto* rest = new TKVPause(measure);          // 2
  rest->SetPosition(128);
  rest->VoiceKey().VoiceNumber = 3;
  auto* clef = static_cast<TKVMark*>(CreateItemByKind(2, measure));  // 3
  clef->SetPosition(256);
  new TKVLiga(measure);                                            // 4: not ordered
  static_cast<TKVMark*>(CreateItemByKind(6, measure))->SetPosition(0);  // 5: not ordered here
  const TInsertCase& c = GetParam();
  TKVVoiceKey key;
  key.VoiceNumber = c.order;
  EXPECT_EQ(score.FindInsertIndex(measure, key, c.first, c.start, c.time), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, InsertIndex,
    ::testing::Values(TInsertCase{0, 1, false, 0, 1}, TInsertCase{0, 1, true, 0, 0}, TInsertCase{0, 0, false, 0, 0},
                      TInsertCase{128, 2, false, 0, 2}, TInsertCase{128, 3, true, 0, 2},
                      TInsertCase{200, 0, false, 0, 3}, TInsertCase{256, 0, false, 0, 6},
                      TInsertCase{256, 0, true, 0, 3}, TInsertCase{600, 0, true, 0, 0},
                      TInsertCase{600, 0, false, 0, 6}, TInsertCase{0, 0, false, 2, 2},
                      TInsertCase{0, 0, false, -5, 0}, TInsertCase{0, 0, false, 99, 6}));

// ---- page marks ----

TKVItem* PageText(TObject* owner, uint16_t page) {
  auto* text = CreateItemByKind(200, owner);
  text->Data().setU16(TextBlock::Page, page);
  return text;
}

TEST_F(ScoreEditing, PageMarkGoesAmongTheScoreItemsInPageOrder) {
  TKVItem* first = PageText(&score, 1);
  TKVItem* later = PageText(&score, 4);
  view.SetActivePage(2);
  layout.Log.Reformats.clear();
  journal.Clear();
  TKVItem* mark = score.AddPageMark(true, 1, 8, 100, -50, "Arial", 8, 2, 0x123456, 7);
  ASSERT_NE(mark, nullptr);
  EXPECT_EQ(score.GetItemCount(), 3);
  EXPECT_EQ(score.GetItem(0), first);
  EXPECT_EQ(score.GetItem(1), mark);
  EXPECT_EQ(score.GetItem(2), later);
  EXPECT_EQ(mark->Owner(), &score);
  EXPECT_FALSE(score.RegistrationSwitch());
  EXPECT_EQ(mark->Data().u16(10), 3) << "the view's page + 1 for a numbered mark";
  EXPECT_EQ(static_cast<TKVPageMark*>(mark)->Text(), "Arial");
  EXPECT_EQ(layout.Log.Reformats, (std::vector<int32_t>{2}));
  EXPECT_EQ(journal.WithPrefix("changed"), (Entries{"changed score"}));
  TKVItem* unnumbered = score.AddPageMark(false, 0, 0, 0, 0, "", 0, 0, 0, 0);
  EXPECT_EQ(unnumbered->Data().u16(10), 0);
}

TEST_F(ScoreEditing, PageMarkOfAPartShownOnItsOwnGoesToThePart) {
  TKVPart* part = piece->NewPart();
  TKVItem* later = PageText(part, 9);
  score.SetViewStyle(vsPart);
  TKVItem* mark = score.AddPageMark(true, 0, 0, 0, 0, "", 0, 0, 0, 0);
  ASSERT_NE(mark, nullptr);
  EXPECT_EQ(mark->Owner(), part);
  EXPECT_EQ(part->GetItem(0), mark);
  EXPECT_EQ(part->GetItem(1), later);
  EXPECT_EQ(part->RegistrationSwitch(), 0);
  EXPECT_EQ(score.GetItemCount(), 0);
  view.SetCursor(0, 5);
  EXPECT_EQ(score.AddPageMark(true, 0, 0, 0, 0, "", 0, 0, 0, 0), nullptr) << "no active part";
}

// ---- spacing writers ----

TEST_F(ScoreEditing, SpacingGrowsZeroFilledAndAddsModulo65536) {
  std::vector<uint16_t>& distances = piece->SpacingArray(0);
  distances = {5, 6};
  view.SetActivePage(2);
  layout.Log.Reformats.clear();
  journal.Clear();
  score.SetSystemSpacing1(40, 5, true);
  EXPECT_EQ(distances, (std::vector<uint16_t>{5, 6, 0, 0, 0, 40}));
  EXPECT_EQ(layout.Log.Reformats, (std::vector<int32_t>{1})) << "from the page before";
  EXPECT_EQ(journal.WithPrefix("view:Validate"), (Entries{"view:ValidateCursor 0"}));
  score.SetSystemSpacing1(-1, 1, true);
  score.SetSystemSpacing1(1, 1, false);
  EXPECT_EQ(distances[1], 0);
  score.SetSystemSpacing1(3, -1, false);  // the cursor's line entry (0 here)
  EXPECT_EQ(distances[0], 8);
  score.SetSystemSpacing1(1, 65535, true);
  EXPECT_EQ(distances.size(), 6u) << "beyond a 16-bit count";
  layout.Log.Reformats.clear();
  journal.Clear();
  score.SetSystemSpacing3(12, 1, true);
  EXPECT_EQ(piece->SpacingArray(2), (std::vector<uint16_t>{0, 12}));
  EXPECT_EQ(layout.Log.Reformats, (std::vector<int32_t>{2}));
  EXPECT_EQ(journal.WithPrefix("view:Validate"), Entries{});
  score.SetSystemSpacing2(7, -1, true);  // the cursor's system (0 here)
  EXPECT_EQ(piece->SpacingArray(1), (std::vector<uint16_t>{7}));
}

TEST_F(ScoreEditing, SpacingOfAPartShownOnItsOwnGoesToThePart) {
  TKVPart* part = piece->NewPart();
  score.SetViewStyle(vsPart);
  score.SetSystemSpacing2(9, 0, true);
  EXPECT_EQ(part->SpacingArray(1), (std::vector<uint16_t>{9}));
  EXPECT_TRUE(piece->SpacingArray(1).empty());
  score.RemoveWindow(&view);
  score.SetSystemSpacing2(9, 3, true);
  EXPECT_EQ(part->SpacingArray(1).size(), 1u) << "nothing without a view";
}

// ---- navigation ----

TEST_F(ScoreEditing, ActiveMeasureAndColumnAreMadeOnDemand) {
  TKVPart* part = piece->NewPart();
  for (int i = 0; i < 3; ++i) part->NewMeasure();
  TKVMeasure* seventh = score.GetActiveMeasure(7);
  EXPECT_EQ(part->GetMeasureCount(), 8);
  EXPECT_EQ(seventh, part->GetMeasure(7));
  EXPECT_EQ(seventh->Index(), 7);
  view.SetCursor(0, 0, 2);
  EXPECT_EQ(score.GetActiveMeasure(), part->GetMeasure(2));
  EXPECT_EQ(score.GetActiveMeasure(TKVScore::MaxMeasuresOnDemand), nullptr);
  EXPECT_EQ(part->GetMeasureCount(), 8);
  part->SetRegistrationSwitch(1);
  EXPECT_EQ(score.GetActiveMeasure(9), nullptr) << "the part takes no measures now";
  part->SetRegistrationSwitch(0);
  EXPECT_EQ(part->GetMeasureCount(), 8);
  TKVColumn* column = score.GetActiveColumn(1);
  EXPECT_EQ(column, piece->GetColumn(1));
  EXPECT_EQ(piece->GetColumnCount(), 2);
  view.SetCursor(0, 3);
  EXPECT_EQ(score.GetActiveMeasure(0), nullptr);
  EXPECT_EQ(score.GetActivePart(), nullptr);
}

TEST_F(ScoreEditing, ActiveStaffAndVoiceFollowTheCursor) {
  TKVPart* part = piece->NewPart();
  TKVStaff* staff = part->NewStaff();
  staff->NewVoice();
  TKVVoice* second = staff->NewVoice();
  view.SetCursor(0, 0, 0, 0, 1);
  EXPECT_EQ(score.GetActiveStaff(), staff);
  EXPECT_EQ(score.GetActiveVoice(), second);
  view.SetCursor(0, 0, 0, 1, 0);
  EXPECT_EQ(score.GetActiveStaff(), nullptr);
  EXPECT_EQ(score.GetActiveVoice(), nullptr);
}

TEST(ScoreQuestions, MaxStaffRangeOverEveryStaff) {
  TKVScore score;
  EXPECT_EQ(score.GetMaxStaffRange(), 255);
  TKVPiece* piece = score.NewPiece();
  TKVStaff* a = piece->NewPart()->NewStaff();
  EXPECT_EQ(score.GetMaxStaffRange(), 24);
  score.NewPiece()->NewPart()->NewStaff()->SetRange(30);
  EXPECT_EQ(score.GetMaxStaffRange(), 30);
  for (int i = 0; i < score.GetPieceCount(); ++i) score.GetPiece(i)->GetPart(0)->GetStaff(0)->SetRange(0);
  EXPECT_EQ(a->Range(), 0);
  EXPECT_EQ(score.GetMaxStaffRange(), 255);
}

TEST_F(ScoreEditing, UserPagesOfTheScoreOrOfThePartShown) {
  TKVPart* part = piece->NewPart();
  layout.Log.Reformats.clear();
  score.SetUserPages(3);
  EXPECT_EQ(score.GetUserPages(), 3);
  EXPECT_EQ(score.Settings().UserPages(), 3);
  score.SetUserPages(3);
  EXPECT_EQ(layout.Log.Reformats.size(), 1u) << "an equal value changes nothing";
  score.SetViewStyle(vsPart);
  score.SetUserPages(5);
  EXPECT_EQ(part->UserPages, 5);
  EXPECT_EQ(score.GetUserPages(), 5);
  EXPECT_EQ(score.Settings().UserPages(), 3);
  view.SetCursor(0, 4);
  score.SetUserPages(7);
  EXPECT_EQ(score.GetUserPages(), 0);
}

}  // namespace
