// The reformat run: deferred inside the update bracket, the separate pieces'
// start pages, and a page composer that fails.

#include "LayoutFixture.h"

#include <stdexcept>

#include "base/Exceptions.h"
#include "base/Log.h"
#include "score/layout/ScoreLayoutRecords.h"
#include "platform/text/TextMeasurer.h"
#include "score/model/ScoreView.h"
#include "support/LayoutDump.h"

namespace {

class ReformatRun : public LayoutTest {
protected:
  // Logs every column laid out as "piece.column" and every composer run.
  void LogRuns() {
    Service().Steps().LayoutStaff = [&](TKVFormatContext& ctx) {
      log.push_back(std::to_string(ctx.Piece.GetIndex()) + "." + std::to_string(ctx.ColumnIndex));
    };
    Service().Steps().PaginatePages = [&](TKVScore& s, int32_t from) {
      s.SetFirstDirtyPage(-1);
      log.push_back("pages " + std::to_string(from));
    };
  }
  std::vector<std::string> log;
};

TEST_F(ReformatRun, TheBracketLaysOutOnceFromTheLowestPage) {
  MakePiece(1, 6);
  WithoutPages();
  for (uint16_t first = 0; first < 6; ++first) AddPage(first);
  LogRuns();
  score->BeginUpdate();
  score->Reformat(5);
  score->Reformat(2);
  EXPECT_TRUE(log.empty());
  score->EndUpdate();
  EXPECT_EQ(log, (std::vector<std::string>{"0.2", "0.3", "0.4", "0.5", "pages 2"}));
  EXPECT_EQ(score->FirstDirtyPage(), -1);
}

// A separate piece stands on its start page (from 1): a run from a later
// page leaves it as it is.
TEST_F(ReformatRun, SeparatePiecesFromTheirStartPage) {
  MakePiece(1, 1);
  MakePiece(1, 2)->Data().setU8(PieceBlock::Separate, 1);
  piece->Data().setU16(PieceBlock::Word14, 3);
  for (uint16_t page = 0; page < 5; ++page) AddPage(0);
  LogRuns();
  score->Reformat(2);
  score->Reformat(4);
  EXPECT_EQ(log, (std::vector<std::string>{"0.0", "1.0", "1.1", "pages 2", "0.0", "pages 4"}));
  EXPECT_EQ(piece->Layout().MeasuresToPlay, 2);
}

TEST_F(ReformatRun, AFailingComposerStillGivesThePlayOrder) {
  MakePiece(1, 3);
  int recalculated = 0;
  score->OnRecalculate = [&](TObject* sender) { recalculated += sender == score.get(); };
  Service().Steps().PaginatePages = [](TKVScore&, int32_t) { throw EListError(7); };
  score->Reformat(0);
  EXPECT_EQ(recalculated, 1);
  EXPECT_EQ(score->FirstDirtyPage(), -1);
  EXPECT_EQ(piece->Layout().PlayCount, 3);
  EXPECT_DOUBLE_EQ(ScoreLayoutRecords(*score).RunningTime, 12000);
}

// Text measured while armed fails, as with a font lost half way.
struct TFailingMeasurer : text::TTextMeasurer {
  text::TTextMeasurer& Fake = text::CurrentMeasurer();
  bool Armed = false, Thrown = false;
  void Check() { Armed ? throw std::runtime_error((Thrown = true, "font lost")) : void(); }
  int TextWidth(const text::TFontSpec& F, const std::string& B) override { return Check(), Fake.TextWidth(F, B); }
  int TextWidthW(const text::TFontSpec& F, const std::u16string& T) override { return Check(), Fake.TextWidthW(F, T); }
  int TextHeight(const text::TFontSpec& F) override { return Check(), Fake.TextHeight(F); }
  text::TTextMetric GetTextMetrics(const text::TFontSpec& F) override { return Check(), Fake.GetTextMetrics(F); }
};

// The composer fails half way: the run is dropped, the play order still
// built, the views keep their page table, and the next run composes the
// pages as before.
TEST_F(ReformatRun, AComposerThatThrowsLeavesCleanRecords) {
  MakePiece(1, 40);
  AddMark(Measure(0, 0), 2, 0, 0, 1);  // a clef, measured again at each system's start
  struct : TKVScoreView { int Tables = 0; void UpdatePageTable() override { ++Tables; } } view;
  score->AddWindow(&view);
  TKVScoreLayoutRecords& store = ScoreLayoutRecords(*score);
  Layout();
  const std::string pages = DumpPages(store.Pages, store.PageCount);
  TFailingMeasurer measurer;
  text::InstallMeasurer(&measurer);
  TKVLayoutSteps& steps = Service().Steps();
  const TKVLayoutSteps saved = steps;
  steps.PaginatePages = [&](TKVScore& s, int32_t From) { measurer.Armed = true, saved.PaginatePages(s, From); };
  steps.BuildPlayOrder = [&](TKVScore& s) { measurer.Armed = false, saved.BuildPlayOrder(s); };
  std::vector<std::string> logged;
  SetLogHook([&](const std::string& line) { logged.push_back(line); });
  score->Reformat(0);
  SetLogHook(nullptr);
  EXPECT_TRUE(measurer.Thrown);
  EXPECT_EQ(logged, std::vector<std::string>{"Layout: the pages were not composed: font lost"});
  EXPECT_EQ(view.Tables, 1);
  EXPECT_EQ(score->FirstDirtyPage(), -1);
  EXPECT_EQ(piece->Layout().PlayCount, 40);
  steps = saved;
  text::InstallMeasurer(nullptr);
  Layout();
  EXPECT_EQ(DumpPages(store.Pages, store.PageCount), pages);
  EXPECT_EQ(view.Tables, 2);
  score->RemoveWindow(&view);
}

}  // namespace
