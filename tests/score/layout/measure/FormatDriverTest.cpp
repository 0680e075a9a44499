// The measure formatter's order of steps and hook points, the reformat run
// over the pieces, and the stability of the records from run to run.

#include "score/layout/LayoutFixture.h"

#include "score/layout/ScoreLayoutRecords.h"
#include "score/model/Lyric.h"
#include "score/model/Mark.h"
#include "score/model/UserSymbol.h"

namespace {

TEST_F(LayoutTest, StepsRunInOrderForEveryPartOfEveryColumn) {
  MakePiece(2, 2);
  std::vector<std::string> log;
  TKVLayoutSteps& steps = Service().Steps();
  steps.LayoutStaff = [&](TKVFormatContext& ctx) {
    EXPECT_EQ(ctx.Measure, ctx.Part->GetMeasure(ctx.ColumnIndex));
    EXPECT_EQ(ctx.Measure->Record, ctx.Record);
    EXPECT_EQ(ctx.Staves.size(), 2u);
    log.push_back("staff " + std::to_string(ctx.ColumnIndex) + "." + std::to_string(ctx.Part->Index()));
  };
  steps.CalcMeasureExtents = [&](TKVFormatContext& ctx) { log.push_back("extents " + std::to_string(ctx.ColumnIndex)); };
  steps.ApplyMeasureMinimums = [&](TKVFormatContext&) { log.push_back("minimums"); };
  steps.PaginatePages = [&](TKVScore& s, int32_t from) {
    s.SetFirstDirtyPage(-1);
    log.push_back("pages " + std::to_string(from));
  };
  steps.BuildPlayOrder = [&](TKVScore&) { log.push_back("play order"); };
  score->Reformat(0);
  EXPECT_EQ(log, (std::vector<std::string>{"staff 0.0", "staff 0.1", "extents 0", "minimums", "staff 1.0", "staff 1.1",
                                           "extents 1", "minimums", "pages 0", "play order"}));
  EXPECT_EQ(piece->Layout().MeasureRecordCount, 2);
  EXPECT_FALSE(score->FormatMeasure(0, 2));
  EXPECT_FALSE(score->FormatMeasure(0, 1000000));
  EXPECT_EQ(piece->Layout().MeasureRecords.size(), 3u) << "no records past the one after the last column";
}

// A run from a page starts at that page's first measure; a change at a
// measure is laid out from the page that holds it (the last page without
// page records past it).
TEST_F(LayoutTest, ReformatStartsAtThePageThatHoldsTheMeasure) {
  MakePiece(1, 10);
  WithoutPages();
  EXPECT_EQ(Service().ReformatPageOfMeasure(7), 0);
  for (uint16_t first : {0, 4, 8}) AddPage(first);
  EXPECT_EQ(Service().ReformatPageOfMeasure(3), 0);
  EXPECT_EQ(Service().ReformatPageOfMeasure(5), 1);
  EXPECT_EQ(Service().ReformatPageOfMeasure(100), 2);
  std::vector<int32_t> columns;
  Service().Steps().LayoutStaff = [&](TKVFormatContext& ctx) { columns.push_back(ctx.ColumnIndex); };
  score->ReformatFromMeasure(9);
  EXPECT_EQ(columns, (std::vector<int32_t>{8, 9}));
  EXPECT_EQ(piece->Layout().MeasureRecordCount, 10);
}

// Formatting the same score again gives the same records, reusing every
// one of them.
TEST_F(LayoutTest, ASecondFormatGivesIdenticalRecords) {
  MakePiece(2, 3, 0x0304);
  auto* symbol = new TKVUserSymbol;
  symbol->SetSize(80, 80);
  score->UserSymbols().AddObject("sym", symbol);
  AddMark(Column(0), 6, 0, 90, 2);
  AddMark(Column(1), 27, 0, 5);
  AddMark(Column(1), 171, 0, 2);
  AddMark(Column(2), 4, 0, 0x0608);
  TKVMark* tempo = AddMark(Measure(1, 1), 160, 128, 0);
  tempo->SetDynamics(std::make_unique<TKVDynamicsSetting>());
  tempo->Dynamics()->SetAction(2, 0, 20);
  AddLyric(Measure(0, 1), 33, 0, {u"la"});
  AddLyric(Measure(1, 2), 35, 0, {u"Violin"})->SetFlags(1);
  Layout();
  const std::string first = Dump();
  const TKVDisplayItem* display = Record(1).GetDisplay(0);
  Layout();
  EXPECT_EQ(Dump(), first);
  EXPECT_EQ(Record(1).GetDisplay(0), display);
  EXPECT_NE(first.find("segment 128 +0 "), std::string::npos) << first;
  EXPECT_NE(first.find("lyric r1."), std::string::npos) << first;
}

}  // namespace
