// The figures of the hover overlay on a recording canvas: arrow heads and
// connectors, the nearest-record searches and the rubber bands, with the
// order in which the overlay chooses what to draw.

#include <gtest/gtest.h>

#include "render/OverlayBuilder.h"
#include "render/overlay/XorDrawing.h"

namespace {

using canvas::TPoint;
using canvas::TRect;

struct HeadCase {
  TPoint Tip, Tail;
  std::vector<double> Polygon;  // tip, then the two base points
};

class OverlayArrowHeads : public ::testing::TestWithParam<HeadCase> {};

TEST_P(OverlayArrowHeads, PointBackAlongTheLine) {
  canvas::TRecordingCanvas c;
  render::DrawXorArrowHead(c, GetParam().Tip, GetParam().Tail);
  ASSERT_EQ(c.Calls.size(), 1u);
  EXPECT_EQ(c.Calls[0].Args, GetParam().Polygon);
  EXPECT_EQ(c.Calls[0].Pen.Style, canvas::psSolid);
}

// Vertical (straight along it), left to right and right to left (sy = +1 on
// a level line), and diagonal.
INSTANTIATE_TEST_SUITE_P(Heads, OverlayArrowHeads,
                         ::testing::Values(HeadCase{{10, 20}, {10, 0}, {10, 20, 11, 14, 9, 14}},
                                           HeadCase{{20, 5}, {0, 5}, {20, 5, 14, 4, 14, 6}},
                                           HeadCase{{10, 5}, {30, 5}, {10, 5, 16, 4, 16, 6}},
                                           HeadCase{{10, 10}, {0, 0}, {10, 10, 5, 6, 6, 5}}));

struct ConnectorCase {
  TRect Item;
  std::vector<double> Line;  // tail, tip
};

class OverlayConnector : public OverlayPage, public ::testing::WithParamInterface<ConnectorCase> {};

// The anchor (100, 100, 200, 150); items above, below, to the left, to the
// right and within its width.
TEST_P(OverlayConnector, RunsFromTheAnchorsEdgeOrCorner) {
  TOverlay(view(), canvas, false).DrawOverlayConnector(GetParam().Item, {100, 100, 200, 150});
  ASSERT_EQ(canvas.Names(), (std::vector<std::string>{"LineTo", "Polygon"}));
  EXPECT_EQ(canvas.Calls[0].Args, GetParam().Line);
  EXPECT_EQ(canvas.Calls[1].Args[0], GetParam().Line[2]);
}

INSTANTIATE_TEST_SUITE_P(Connectors, OverlayConnector,
                         ::testing::Values(ConnectorCase{{50, 20, 80, 40}, {100, 100, 50, 40}},
                                           ConnectorCase{{50, 200, 80, 220}, {100, 150, 50, 200}},
                                           ConnectorCase{{20, 110, 40, 130}, {100, 100, 20, 110}},
                                           ConnectorCase{{250, 110, 270, 130}, {200, 100, 250, 110}},
                                           ConnectorCase{{150, 110, 170, 130}, {100, 150, 150, 110}}));

using OverlayNearest = OverlayPage;

TEST_F(OverlayNearest, NotesOnlyUnlessRestsAreAsked) {
  TKVDisplayItem& note = n.Head(n.NewNote(4, 64), 800);
  TKVDisplayItem& rest = n.Add(new TKVPause(n.Measure), {400, 800, 456, 880});
  view().DragRect = {0, 0, 52, 105};  // (416, 840) in layout units: on the rest
  TOverlay o(view(), canvas, false);
  EXPECT_EQ(o.FindNearestNote(*n.Record), &note);
  EXPECT_EQ(o.FindNearestNoteOrRest(*n.Record), &rest);
  TKVMeasureRecord empty;
  EXPECT_EQ(o.FindNearestNote(empty), nullptr);
}

using RubberBand = OverlayPage;

TEST_F(RubberBand, DrawnOnlyWhileShownAndBeforeAnyDrag) {
  TKVWindow& v = view();
  v.DrawKind = 206, v.DragRect = {200, 150, 100, 50};
  v.DragHandle = 1, v.DragRecord = &n.Add(&n.NewMark(2, 0), {800, 800, 880, 1120});
  v.HoverShown = false;
  Draw(true);
  EXPECT_TRUE(canvas.Calls.empty());
  v.HoverShown = true;
  Draw(true);
  // The pie's radials run from the ordered band's top-left to its
  // bottom-right corner; the band itself as stored.
  ASSERT_EQ(canvas.Names(), (std::vector<std::string>{"Save", "IntersectClipRect", "Pie", "Restore"}));
  EXPECT_EQ(canvas.Calls[2].Args, (std::vector<double>{200, 150, 100, 50, 100, 50, 200, 150}));
  EXPECT_EQ(canvas.Calls[2].Pen, (canvas::TPen{canvas::clWhite, 1, canvas::psDot, canvas::pmXor}));
  EXPECT_EQ(canvas.Calls[2].Brush.Style, canvas::bsClear);
  EXPECT_TRUE(Invalidated.empty());
  EXPECT_EQ(v.DragRecord->Placement, 0);
}

}  // namespace
