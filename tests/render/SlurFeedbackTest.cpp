// The feedback curve of a slur being drawn: its control points, and its
// pieces on one system and across later ones.

#include <gtest/gtest.h>

#include "render/OverlayBuilder.h"

namespace {

using canvas::TPoint;
using canvas::TRect;
using Lines = std::vector<std::vector<double>>;

struct CurveCase {
  TRect Span;
  uint8_t Shape;
  TPoint C1, C2;
};

class SlurCurve : public ::testing::TestWithParam<CurveCase> {};

TEST_P(SlurCurve, ControlPointsByWidthSlopeAndShape) {
  const auto c = render::THoverOverlay::CalcSlurCurve(GetParam().Span, GetParam().Shape);
  EXPECT_EQ(std::pair(c.C1, c.C2), std::pair(GetParam().C1, GetParam().C2));
}

// Under two pixels wide, right to left and upright: L = 2, H = 1, no
// slope; 100 pixels: H = 5, L = 10, above for shape 0 and below for others;
// a slope of 45 degrees turns them.
INSTANTIATE_TEST_SUITE_P(Spans, SlurCurve,
                         ::testing::Values(CurveCase{{0, 0, 1, 0}, 1, {1, 2}, {-1, 2}},
                                           CurveCase{{110, 20, 10, 20}, 1, {1, 2}, {-1, 2}},
                                           CurveCase{{0, 0, 0, 50}, 1, {1, 2}, {-1, 2}},
                                           CurveCase{{10, 20, 110, 20}, 0, {4, -11}, {-4, -11}},
                                           CurveCase{{10, 20, 110, 20}, 3, {4, 11}, {-4, 11}},
                                           CurveCase{{0, 0, 100, 100}, 1, {-5, 10}, {-10, 5}}));

// The cursor's staff and the hovered one are the overlay page's staff (its
// column at x 100) unless a test moves them.
class SlurFeedback : public OverlayPage {
protected:
  SlurFeedback() { view().DrawKind = 30; }
};

TEST_F(SlurFeedback, OnOneSystem) {
  TKVWindow& v = view();
  v.DragRect = {120, 110, 220, 110};
  Draw();
  EXPECT_EQ(Args("PolyBezier"), Lines({{120, 110, 124, 99, 216, 99, 220, 110}}));
  EXPECT_TRUE(Args("LineTo").empty()) << "no input marker in mode 0";
  v.InsertShape = 1, v.InsertFlags = 0x10, v.DragRect = {120, 110, 220, 130};
  Draw();
  EXPECT_EQ(Args("PolyBezier"), Lines({{120, 110, 124, 121, 216, 141, 220, 130}})) << "a level slur";
  // A straight slur stops 8 pixels short of its start and of the column;
  // from right of the column it draws nothing.
  v.InsertShape = 8, v.DragRect = {50, 110, 220, 130};
  Draw();
  EXPECT_EQ(Args("Polyline"), Lines({{58, 110, 92, 130}}));
  v.DragRect.Left = 150;
  Draw();
  EXPECT_TRUE(Args("Polyline").empty());
}

TEST_F(SlurFeedback, NothingWithoutAStaffLineUnderTheMouse) {
  view().Hit.StaffLine = nullptr;
  TOverlay(view(), canvas, false).DrawSlurFeedback();
  EXPECT_TRUE(canvas.Calls.empty());
}

// Systems at y 100 (the cursor's), 250 and 400 px, each to x 500 px.
TEST_F(SlurFeedback, AcrossSystemsOnePiecePerSystem) {
  n.Line->System->RightX = 4000;
  TKVSystemRecord& middle = NextSystem(2000);
  TKVSystemRecord& last = NextSystem(3200);
  TKVMeasureRecord& end = *last.Measures[0];
  end.TickTable = {0, 400}, end.Length = 2, end.Spaced = 1;
  TKVWindow& v = view();
  v.Hit = {0, 0, 0, 0, 2, 0, 0, 1};
  v.Hit.StaffLine = b.Page.GetStaffLine(2), v.Hit.MeasureRecord = &end;
  v.DragRect = {120, 110, 300, 420};
  Draw();
  EXPECT_EQ(Corners(*Named(canvas, "PolyBezier").at(0)).back(), std::pair(500.0, 110.0));
  const Lines pieces = Args("PolyBezier");
  ASSERT_EQ(pieces.size(), 3u);
  EXPECT_EQ(std::pair(pieces[1].front(), pieces[1][1]), std::pair(100.0, 250.0));
  EXPECT_EQ(std::pair(pieces[1][6], pieces[1][7]), std::pair(500.0, 250.0));
  EXPECT_EQ(std::pair(pieces[2].front(), pieces[2][6]), std::pair(100.0, 150.0)) << "to the hovered column";
  // Straight pieces are not inset when split.
  v.InsertShape = 8;
  Draw();
  EXPECT_EQ(Args("Polyline").front(), (std::vector<double>{120, 110, 500, 110}));
  // An end before the start draws nothing.
  v.SetActiveMeasure(1);
  v.Hit.StaffLine = n.Line, v.Hit.MeasureRecord = n.Record, v.Hit.Measure = 0;
  Draw();
  EXPECT_TRUE(Args("Polyline").empty());
  (void)middle;
}

}  // namespace
