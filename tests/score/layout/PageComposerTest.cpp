// The page composer on hand-built scores: the worked values of a new
// score's default page, the numbering across pages, the spacing parameters
// and the damaged page settings that must still end.

#include "LayoutFixture.h"

#include "score/layout/PageComposer.h"
#include "score/layout/ScoreLayoutRecords.h"
#include "support/LayoutDump.h"

namespace {

class PageComposer : public LayoutTest {
protected:
  TKVScoreLayoutRecords& Store() { return ScoreLayoutRecords(*score); }
  TKVPageRecord& Page(int Index) { return *Store().Pages.at(size_t(Index)); }
  std::string Pages() { return DumpPages(Store().Pages, Store().PageCount); }
};

TEST_F(PageComposer, DefaultPageGivesTheWorkedValues) {
  MakePiece(1, 12);
  TKVComposerContext ctx(*score, Service().Steps());
  SetPageArea(ctx);
  EXPECT_EQ(ctx.PageWidth, 3024);
  EXPECT_EQ(ctx.PageHeight, 2416);
  ASSERT_GE(Store().PageCount, 2);
  const TKVPageRecord& first = Page(0);
  ASSERT_EQ(first.SystemCount, 2) << "a third system would end at 770.5 > 700";
  const TKVStaffLineRecord& line = *first.StaffLines[0];
  EXPECT_EQ(line.LeftX, 302);
  EXPECT_EQ(line.RightX, 2721);
  EXPECT_EQ(line.Top, 665);
  EXPECT_EQ(line.Bottom, 857);
  EXPECT_EQ(line.TopJoin, 302);
  EXPECT_EQ(line.BottomJoin, 1220);
  EXPECT_EQ(line.LineSpacing, 48);
  EXPECT_DOUBLE_EQ(double(line.Height), 183.5);
  EXPECT_EQ(first.Systems[0]->Measures[0]->LeftX, 302);
  // The second page goes on with the numbers of the first, + 1.
  EXPECT_EQ(first.SystemCounter, 1);
  EXPECT_EQ(Page(1).FirstSystemNumber, 2);
  EXPECT_EQ(Page(1).Systems[0]->Number, 2);
  EXPECT_EQ(Page(1).StaffLines[0]->Number, first.StaffLineCounter + 1);
  EXPECT_EQ(Page(1).FirstMeasure, first.LastMeasure + 1);
  const std::string full = Pages();
  score->Reformat(Store().PageCount + 3);
  EXPECT_EQ(Pages(), full) << "a run from past the last page composes from page 0";
}

struct TAlignmentRow {
  uint8_t Entry;
  int32_t NoteSpacing, Base;
  uint8_t Alignment;
  bool Stretch;
};

class Alignment : public PageComposer, public ::testing::WithParamInterface<TAlignmentRow> {};

TEST_P(Alignment, SetsTheSystemsSpacing) {
  const TAlignmentRow row = GetParam();
  MakePiece(1, 1);
  score->SetNoteInterval(192);
  piece->ByteList() = {0, 0, row.Entry};
  TKVComposerContext ctx(*score, Service().Steps());
  ctx.Piece = piece;
  ctx.SystemNumber = 2;
  SetSystemSpacing(ctx);
  EXPECT_EQ(ctx.NoteSpacing, row.NoteSpacing);
  EXPECT_EQ(ctx.SpacingBase, row.Base);
  EXPECT_EQ(ctx.Alignment, row.Alignment);
  EXPECT_EQ(ctx.Stretch, row.Stretch);
}

INSTANTIATE_TEST_SUITE_P(Entries, Alignment,
                         ::testing::Values(TAlignmentRow{30, 160, 106, 30, false}, TAlignmentRow{140, 16, 10, 12, true},
                                           TAlignmentRow{104, 192, 128, 104, false},
                                           TAlignmentRow{128, 16, 10, 12, true}));

TEST(SpacingGrid, StepFollowsTheRoom) {
  for (auto [room, step] : {std::pair{300, 16}, {256, 32}, {257, 16}, {512, 16}, {513, 8}, {-40, 32}})
    EXPECT_EQ(SpacingGridStep(room), step) << room;
}

// Damaged page settings: a measure alone on each system, a system alone on
// each page, never more than 1001 pages.
struct TDamageRow {
  TKVPageValue Value;
  long double Setting;
  bool MeasureAlone, SystemAlone;
};

class DamagedPage : public PageComposer, public ::testing::WithParamInterface<TDamageRow> {};

TEST_P(DamagedPage, StillEnds) {
  const TDamageRow row = GetParam();
  MakePiece(2, 30);
  score->Page().SetComposedLength(pvWidth, 1000);
  if (row.Value == pvWidth || row.Value == pvHeight)
    score->Page().SetComposedLength(row.Value, row.Setting);
  else
    score->Page().SetValue(row.Value, row.Setting);
  if (row.Value == pvInterval) piece->SpacingArray(2).assign(40, uint16_t(-3000));
  Layout();
  ASSERT_LE(Store().PageCount, 1001);
  int measures = 0;
  for (int32_t p = 0; p < Store().PageCount; ++p) {
    EXPECT_TRUE(!row.SystemAlone || Page(p).SystemCount <= 1) << "page " << p;
    for (uint16_t s = 0; s < Page(p).SystemCount; ++s) {
      EXPECT_TRUE(!row.MeasureAlone || Page(p).Systems[s]->MeasureCount == 1);
      measures += Page(p).Systems[s]->MeasureCount;
    }
  }
  EXPECT_EQ(measures, 30);
}

INSTANTIATE_TEST_SUITE_P(Settings, DamagedPage,
                         ::testing::Values(TDamageRow{pvWidth, 0, true, false}, TDamageRow{pvHeight, 0, false, true},
                                           TDamageRow{pvLineSpace, 0, false, false},
                                           TDamageRow{pvLeftMargin, 5000, true, false},
                                           TDamageRow{pvTopMargin, 5000, false, true},
                                           TDamageRow{pvInterval, 120, true, false}));

TEST_F(PageComposer, FillWithoutStopEndsAtPage1001) {
  MakePiece(1, 2);
  TKVComposerSettings& settings = Store().Composer;
  settings.Fill = true;
  settings.MinMeasureWidth = 3000;
  Layout();
  EXPECT_EQ(Store().PageCount, 1001);
  settings.FillStop = true;
  Layout();
  EXPECT_EQ(Store().PageCount, 1) << Pages();
}

}  // namespace
