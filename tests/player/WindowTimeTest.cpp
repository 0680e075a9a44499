// The player view's play times: score positions to milliseconds and back
// through tempo segments and holds, total times with separate pieces, and
// the tempo at the cursor.

#include "WindowFixture.h"

#include <limits>

#include "player/PlayTime.h"
#include "score/layout/play/PlayActions.h"
#include "score/model/Note.h"

namespace {

// Tempo 120 at scale 100 % is 3.90625 ms per tick: tick 256 lies 1000 ms
// into its measure; the play position lands on whole ticks only.
TEST_F(WindowTest, ExampleTempoMapsTicksToMilliseconds) {
  TKVPiece* piece = AddPiece(2);
  EXPECT_DOUBLE_EQ(Record(piece, 0).MsPerTick, 3.90625);
  SetCursor(0, 1, 256);
  EXPECT_DOUBLE_EQ(view.GetCursorTime(), 3000);
  EXPECT_DOUBLE_EQ(view.GetPositionTime(0, 0, 256), 1000);
  view.SetStyle(wsRealTime);
  view.SeekTime(3001.5);
  EXPECT_EQ(view.PlayState().Entry, 1);
  EXPECT_EQ(view.PlayState().Tick, 256);
  EXPECT_DOUBLE_EQ(view.GetCursorTime(), 3000) << "rounded down to the tick";
  view.SeekTime(2999.9);
  EXPECT_DOUBLE_EQ(view.GetCursorTime(), 2000 + 255 * 3.90625);
  view.SeekTime(-1);
  EXPECT_EQ(view.PlayState().Tick, 255) << "no play starts before 0: the position stays";
  view.PlayState().Entry = 2;
  EXPECT_EQ(view.GetCursorTime(), 0) << "past the last play";
}

// Quarter = 120 at 0 and quarter = 60 at 256 of a piece at 60: the rate
// before each change, then the last rate to the end; and back.
TEST_F(WindowTest, TempoSegmentsMapBothWays) {
  TKVPiece* piece = AddPiece(1, 60);
  Add(piece->GetColumn(0), ItemKind::TempoMark, 0, 120, 2);
  Add(piece->GetColumn(0), ItemKind::TempoMark, 256, 60, 2);
  score->Reformat(0);
  const TKVMeasureRecord& r = Record(piece, 0);
  ASSERT_EQ(r.TempoSegments.size(), 2u);
  for (auto [tick, ms] : {std::pair{0, 0.0}, {128, 500.0}, {256, 1000.0}, {384, 2000.0}, {512, 3000.0}}) {
    EXPECT_DOUBLE_EQ(MeasureTimeAt(r, tick), ms) << tick;
    EXPECT_EQ(MeasureTickAt(r, ms), tick) << ms;
  }
  EXPECT_EQ(MeasureTickAt(r, 1007.9), 257);
  EXPECT_DOUBLE_EQ(r.Duration, MeasureTimeAt(r, r.Length));
}

// A hold at 128 lengthens the measure by 64 ticks: they count at the hold's
// tick, and a time inside them stays on that tick. No time leaves the
// measure.
TEST_F(WindowTest, HoldTicksCountAtTheHoldsTick) {
  TKVPiece* piece = AddPiece(1);
  auto* note = Add<TKVNote>(piece->GetPart(0)->GetMeasure(0), ItemKind::Note, 128);
  note->SetDuration(128);
  note->Data().setU16(NoteBlock::PlayedLength, 192);
  Add(piece->GetPart(0)->GetMeasure(0), 116, 128);
  static_cast<TKVScoreLayout&>(score->Layout()).Steps().LayoutStaff = [](TKVFormatContext& ctx) {
    for (TKVItem* item : ctx.Measure->Items())
      if (item->Kind() == 116) AddHold(ctx, *item, 128);
  };
  score->Reformat(0);
  const TKVMeasureRecord& r = Record(piece, 0);
  ASSERT_EQ(r.TempoSegments, (std::vector<TKVTempoSegment>{{128, 64, 3.90625}}));
  EXPECT_DOUBLE_EQ(MeasureTimeAt(r, 127), 127 * 3.90625);
  EXPECT_DOUBLE_EQ(MeasureTimeAt(r, 128), 750);
  EXPECT_DOUBLE_EQ(MeasureTimeAt(r, 512), r.Duration);
  EXPECT_EQ(MeasureTickAt(r, 499), 127);
  EXPECT_EQ(MeasureTickAt(r, 600), 128) << "inside the hold";
  EXPECT_EQ(MeasureTickAt(r, 760), 130);
  EXPECT_EQ(MeasureTickAt(r, 1e300), 512) << "past the end";
  EXPECT_EQ(MeasureTickAt(r, std::numeric_limits<double>::quiet_NaN()), 0);
}

// Piece 1 plays separately on a time line that starts where the score
// stands; pieces 0 and 2 make the score's 4000 + 2000 ms.
TEST_F(WindowTest, TotalTimeIsThePiecesWhenItPlaysSeparately) {
  AddPiece(2);
  AddPiece(1, 60, true);
  AddPiece(1);
  EXPECT_DOUBLE_EQ(view.GetTotalTime(), 6000);
  SetCursor(1, 0, 0);
  EXPECT_DOUBLE_EQ(view.GetTotalTime(), 8000);
  EXPECT_DOUBLE_EQ(view.GetCursorTime(), 4000);
  view.SetStyle(wsRealTime);
  EXPECT_DOUBLE_EQ(view.GetTotalTime(), 6000) << "the play position is in piece 0";
  view.GotoEnd();
  EXPECT_EQ(view.PlayState().Piece, 2);
  EXPECT_DOUBLE_EQ(view.GetCursorTime(), 6000);
}

}  // namespace
