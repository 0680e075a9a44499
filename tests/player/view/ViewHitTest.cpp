// HitTest at points worked out from the page's staff-line and measure
// records: pitch lines and their limits, tablature strings, the staff taken
// between two staves, the bar line near a point and the tick.

#include "ViewFixture.h"
#include "score/model/Mark.h"

namespace {

class ViewHit : public ViewTest {
protected:
  // Two measures of a treble staff over a staff of Lines lines without
  // notes, on a tall page whose music starts 300 pixels down.
  void MakeTwoStaves(int Lines, uint16_t Meter = 0x0404, uint8_t Clef = 0) {
    TKVPiece* piece = MakeScore(2, 2, 5, Meter);
    TKVPart* part = piece->GetPart(0);
    TKVStaff* lower = part->GetStaff(1);
    lower->Data().setU8(StaffBlock::LineCount, uint8_t(Lines));
    lower->Data().setU8(StaffBlock::Tablature, Lines == 6);
    for (int m = 0; m < 2; ++m) {
      TKVMeasure* measure = part->GetMeasure(m);
      for (int32_t i = measure->Items().Count(); i-- > 0;)
        if (measure->Items().Get(i)->GetVoiceKey()->StaffIndex == 1) delete measure->Items().Get(i);
    }
    if (Clef) {
      auto* clef = static_cast<TKVMark*>(CreateItemByKind(ItemKind::Clef, part->GetMeasure(0)));
      clef->SetVariant(Clef);
    }
    PageOfPixels(1000, 1400, 300);
    ASSERT_GE(PageRecordAt(0).StaffLineCount, 2);
  }
  TKVStaffLineRecord& Line(int I) { return *PageRecordAt(0).GetStaffLine(I); }
  const TKVMeasureRecord& Measure(int I) { return *score->GetPiece(0)->Layout().MeasureRecords.at(size_t(I)); }
  // The client point of page pixels (X, Y): right of and below the 24-pixel
  // rulers, at zoom 100 and 96 pixels per inch (8 layout units a pixel).
  canvas::TPoint At(int32_t X, int32_t Y) {
    const TKVPageRect page = view().PageRect(0);
    return {24 + page.Left + X, 24 + page.Top + Y};
  }
  canvas::TPoint InMeasure(int M, int32_t Y) { return At((Measure(M).LeftX + Measure(M).RightX) / 16, Y); }
  // One line spacing of staff line I in pixels, from its record.
  int32_t Spacing(int I) { return (Line(I).Bottom - Line(I).Top) / 8 / (Line(I).Staff->LineCount() - 1); }
};

struct PitchCase {
  uint8_t Clef;
  const char* Where;
  int32_t Expected;
};

class PitchLines : public ViewHit, public ::testing::WithParamInterface<PitchCase> {};

TEST_P(PitchLines, FollowTheHeightWithinTheAbsoluteRange) {
  const PitchCase& c = GetParam();
  MakeTwoStaves(5, 0x0404, c.Clef);
  const int32_t top = Line(0).Top / 8, bottom = Line(0).Bottom / 8, s = Spacing(0);
  const std::string where = c.Where;
  const int32_t y = where == "bottom line"  ? bottom
                    : where == "half up"    ? bottom - (s + 1) / 2
                    : where == "top line"   ? top
                    : where == "far above"  ? 2
                                            : Line(1).Bottom / 8 + 300;
  view().HitTest(InMeasure(0, y));
  EXPECT_EQ(view().Hit.StaffLine, where == "far below" ? &Line(1) : &Line(0));
  EXPECT_EQ(view().Hit.Line, c.Expected) << where;
}

INSTANTIATE_TEST_SUITE_P(Treble, PitchLines,
                         ::testing::Values(PitchCase{0, "bottom line", 62}, PitchCase{0, "half up", 63},
                                           PitchCase{0, "top line", 70}, PitchCase{0, "far above", 89},
                                           PitchCase{0, "far below", 37}, PitchCase{2, "bottom line", 62},
                                           PitchCase{2, "far above", 101}, PitchCase{2, "far below", 49}));

// Strings count from the lowest: one spacing below it gives 0, one above
// the highest 5.
TEST_F(ViewHit, TablatureStringsCountFromTheLowest) {
  MakeTwoStaves(6);
  TKVStaffLineRecord& tab = Line(1);
  const int32_t s = (tab.InnerBottom - tab.InnerTop) / 8 / 5;
  view().HitTest(InMeasure(0, tab.InnerBottom / 8 + s * 3 / 4));
  EXPECT_EQ(std::pair(view().Hit.StaffLine, int(view().Hit.String)), std::pair(&tab, 0));
  view().HitTest(InMeasure(0, tab.InnerTop / 8 - s * 3 / 4));
  EXPECT_EQ(std::pair(view().Hit.StaffLine, int(view().Hit.String)), std::pair(&tab, 5));
  view().HitTest(InMeasure(0, tab.InnerTop / 8 + 2 * s));
  EXPECT_EQ(view().Hit.String, 3);
}

// With the bands cut back to the staves, a point halfway between them
// belongs to the staff below.
TEST_F(ViewHit, BetweenTwoStavesTheStaffBelowIsTaken) {
  MakeTwoStaves(5);
  TKVStaffLineRecord& upper = *PageRecordAt(0).GetStaffLine(0);
  TKVStaffLineRecord& lower = *PageRecordAt(0).GetStaffLine(1);
  upper.BottomJoin = upper.Bottom, lower.TopJoin = lower.Top;
  ASSERT_GT(lower.Top - upper.Bottom, 2 * 8 * 2 * Spacing(0)) << "the gap reaches past both tolerances";
  view().HitTest(InMeasure(1, (upper.Bottom + lower.Top) / 16));
  EXPECT_EQ(view().Hit.StaffLine, &lower);
  EXPECT_EQ(view().Hit.Staff, 1);
  EXPECT_EQ(view().Hit.Measure, 1);
}

// 5 pixels left of measure 0's bar line: the boundary is measure 0; the
// tick of a staff without notes is 0, or the end of a measure without meter
// when the point is nearer to it; the staff with notes snaps to them.
TEST_F(ViewHit, BarLinesAndTicksFromTheMeasureRecords) {
  for (uint16_t meter : {0x0404, 0}) {
    MakeTwoStaves(5, meter);
    const TKVMeasureRecord& m0 = Measure(0);
    const int32_t lowerMiddle = (Line(1).Top + Line(1).Bottom) / 16, upperMiddle = (Line(0).Top + Line(0).Bottom) / 16;
    view().HitTest(At(m0.RightX / 8 - 5, lowerMiddle));
    EXPECT_EQ(view().Hit.BoundaryMeasure, 0);
    EXPECT_EQ(view().Hit.MeasureRecord, &m0);
    EXPECT_EQ(view().Hit.Tick, meter ? 0 : 512) << meter;
    view().HitTest(At(m0.LeftX / 8 + 3, lowerMiddle));
    EXPECT_EQ(view().Hit.Tick, 0);
    EXPECT_EQ(view().Hit.BoundaryMeasure, -1);
    // On the notes' staff the last position left of the point snaps to the
    // note at tick 384.
    view().HitTest(At((m0.LeftX + int32_t(m0.TickTable.at(400))) / 8 + 1, upperMiddle));
    EXPECT_EQ(view().Hit.Tick, 384);
    EXPECT_EQ(view().Hit.Staff, 0);
  }
}

// While the score plays, nothing changes; a point on no page keeps the
// staff line from before.
TEST_F(ViewHit, PlayingOrOffThePagesLeavesTheHitRecord) {
  MakeTwoStaves(5);
  view().HitTest(InMeasure(1, Line(1).Top / 8));
  const TKVHitRecord before = view().Hit;
  ASSERT_TRUE(view().BeginPlay());
  view().HitTest(InMeasure(0, Line(0).Top / 8));
  EXPECT_EQ(view().Hit.Measure, before.Measure);
  EXPECT_EQ(view().Hit.StaffLine, before.StaffLine);
  view().Stop();
  view().SetZoom(25);
  ASSERT_LT(view().PageRect(0).Right, 500);
  view().HitTest({600, 300});
  EXPECT_EQ(view().Hit.StaffLine, before.StaffLine);
}

}  // namespace
