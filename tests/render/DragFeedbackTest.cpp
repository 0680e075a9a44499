// The drag feedback on the overlay page: which adjustment each kind
// writes, when it repaints, how spanning marks, voltas and bar lines snap,
// stems, beams and box grips, and the slur's connector to its note.

#include <gtest/gtest.h>

#include "render/OverlayBuilder.h"
#include "score/model/Liga.h"
#include "score/model/SimpleElements.h"

namespace {

using canvas::TRect;

class DragFeedback : public OverlayPage {
protected:
  // A record of Item over x 100..200 px, y 100..140 px, dragged by Grip
  // 10 pixels right and 20 down.
  TKVDisplayItem& Drag(TKVItem* Item, int32_t Grip) {
    TKVDisplayItem& d = n.Add(Item, {800, 800, 1600, 1120});
    d.Bounds2 = {800, 800, 1600, 1120};
    view().DragRecord = &d, view().DragHandle = Grip, view().DragRect = {50, 50, 60, 70};
    return d;
  }
  TKVItem* Object(uint8_t Kind) {
    TKVItem* item = Kind >= 205 ? static_cast<TKVItem*>(new TKVArc(n.Measure)) : new TKVRectangle(n.Measure);
    item->SetKind(Kind);
    item->Data().setI16(ObjectBlock::X, 80), item->Data().setI16(ObjectBlock::Y, 40);
    item->Data().setU16(ObjectBlock::Width, 160), item->Data().setU16(ObjectBlock::Height, 80);
    return item;
  }
};

struct KindCase {
  uint8_t Kind;
  int32_t Grip;
  bool EveryCall;  // writes its adjustment from Paint's calls as well
  uint8_t Code;
};

class DragKinds : public DragFeedback, public ::testing::WithParamInterface<KindCase> {};

// Paint's calls (Update False) repaint nothing; the drag's own call
// repaints the old and the new area and writes the grip's offset mode.
TEST_P(DragKinds, WriteTheirCodeAndRepaintOnlyWithUpdate) {
  const KindCase& c = GetParam();
  TKVItem* item = c.Kind >= 200 || c.Kind == 161 ? Object(c.Kind) : &n.NewMark(c.Kind, 0);
  TKVDisplayItem& d = Drag(item, c.Grip);
  d.Placement = 0x10;
  Draw(false);
  EXPECT_TRUE(Invalidated.empty());
  EXPECT_EQ(d.Placement, c.EveryCall ? 0x10 | c.Code : 0x10);
  Draw(true);
  EXPECT_EQ(Invalidated.size(), 2u);
  EXPECT_EQ(d.Placement, 0x10 | c.Code) << "the low nibble replaced, the rest kept";
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, DragKinds,
    ::testing::Values(KindCase{2, 1, false, 3}, KindCase{111, 1, false, 3}, KindCase{85, 1, false, 3},
                      KindCase{149, 1, true, 3}, KindCase{119, 1, true, 4}, KindCase{143, 4, false, 2},
                      KindCase{143, 6, false, 3}, KindCase{113, 4, false, 2}, KindCase{113, 6, false, 3},
                      KindCase{171, 1, false, 2}, KindCase{1, 1, false, 3}, KindCase{33, 2, false, 3},
                      KindCase{161, 7, false, 8}, KindCase{203, 5, true, 6}, KindCase{204, 1, true, 2},
                      KindCase{200, 8, false, 9}, KindCase{202, 1, false, 2}, KindCase{202, 2, false, 3},
                      KindCase{205, 9, false, 10}, KindCase{207, 10, false, 11}, KindCase{206, 3, false, 4}));

// The object at (10, 5) px, 20 x 10, in a measure whose place is (100, 100).
TEST_F(DragFeedback, EveryBoxGripWritesBothShifts) {
  TKVDisplayItem& d = Drag(Object(203), 1);
  for (int32_t grip = 1; grip <= 8; ++grip) {
    view().DragHandle = grip, d.Shift = {}, d.Placement = 0;
    Draw(true);
    EXPECT_EQ(std::tuple(d.Shift.X, d.Shift.Y, d.Placement), std::tuple(10, 20, grip + 1)) << grip;
  }
  // The top grip: the top edge where it was, then 20 pixels lower.
  view().DragHandle = 2, d.Shift = {};
  Draw(true);
  EXPECT_EQ(Invalidated, (std::vector<TRect>{{94, 89, 146, 131}, {94, 109, 146, 131}}));
}

// A second measure on the system from x 400 to 800 px, empty, its first
// column at 410; the trill from tick 2 of the 8-tick first measure.
TEST_F(DragFeedback, SpanningMarksSnapTheirEnd) {
  TKVMeasureRecord& second = b.Measure(*n.Line->System, 3200, 6400);
  second.TickTable = {80, 800}, second.Length = 2, second.Spaced = 1, n.Record->Length = 8;
  Adopt();
  TKVMark& trill = n.NewMark(113, 0);
  trill.SetPosition(2), trill.SetValue(4);
  TKVDisplayItem& d = Drag(&trill, 4);
  view().DragRect = {200, 110, 900, 110};
  Draw(true);
  EXPECT_EQ(d.Shift.X, 0) << "outside every measure";
  view().DragRect.Right = 500;
  Draw(true);
  EXPECT_EQ(std::pair(d.Shift.X, view().DragValue), std::pair(410 - 200, 8 - 2));
  // A volta reaches the end of the measure under the mouse.
  TKVDisplayItem& volta = Drag(&n.NewMark(171, 0), 1);
  view().DragRect = {200, 110, 500, 110};
  Draw(true);
  EXPECT_EQ(std::pair(volta.Shift.X, view().DragValue), std::pair(800 - 200, 2));
}

// A second staff from y 200 to 240: the boundary at 170.
TEST_F(DragFeedback, BarLinesReachTheStaffNearestTheMouse) {
  b.Line(n.StaffOf, 1600).Page = &b.Page;
  TKVDisplayItem& bar = n.Add(nullptr, {1600, 800, 1608, 1120}, DisplayRecordType::Connector);
  view().DragRecord = &bar, view().DragHandle = 1, view().DragRect = {200, 100, 200, 160};
  Draw(false);
  EXPECT_EQ(Args("Rectangle"), (std::vector<std::vector<double>>{{200, 100, 201, 140}}));
  EXPECT_EQ(view().DragStaffLine, 0);
  view().DragRect.Bottom = 180;
  Draw(false);
  EXPECT_EQ(Args("Rectangle"), (std::vector<std::vector<double>>{{200, 100, 201, 240}}));
  EXPECT_EQ(view().DragStaffLine, 1);
  EXPECT_TRUE(Invalidated.empty());
}

// An up stem from y 85 to 120 at x 206, widened for its flag: its top
// moves; a beam moves every note it joins.
TEST_F(DragFeedback, StemsAndBeamsMoveTheirFreeEnd) {
  TKVNote& note = n.NewNote(4, 64);
  TKVDisplayItem& stem = n.Stem(note, 1600);
  view().DragRecord = &stem, view().DragHandle = 1, view().DragRect = {0, 0, 0, 20};
  Draw(true);
  EXPECT_EQ(Invalidated, (std::vector<TRect>{{190, 69, 239, 136}, {190, 89, 239, 136}}));
  EXPECT_EQ(std::pair(stem.Shift.Y, stem.Placement), std::pair(20, uint8_t(1)));
  TKVDisplayItem& other = n.Stem(n.NewNote(4, 32), 2000);
  TKVDisplayItem& beam = n.Beam({&stem, &other});
  view().DragRecord = &beam, view().DragRect = {0, 0, 0, -5};
  Draw(true);
  EXPECT_EQ(std::tuple(stem.Shift.Y, other.Shift.Y, beam.Shift.Y, other.Placement), std::tuple(-5, -5, -5, uint8_t(1)));
}

// The slur from (212, 112) to (300, 112) px of a note at x 200..207, y
// 115..125, dragged by its start 10 right and 20 down.
TEST_F(DragFeedback, ASlurDraggedByItsStartPointsAtItsNote) {
  TKVNote& note = n.NewNote(4, 64);
  n.Head(note, 1600);
  TKVDisplayItem& d = Drag(new TKVLiga(&note), 1);
  d.Bounds2 = {1696, 896, 2400, 896};
  Draw(false);
  EXPECT_EQ(std::tuple(d.Shift.X, d.Shift.Y, d.Placement), std::tuple(10, 20, uint8_t(2)));
  EXPECT_EQ(Args("LineTo"), (std::vector<std::vector<double>>{{222, 132, 200, 125}}));
  EXPECT_TRUE(Invalidated.empty());
}

TEST_F(DragFeedback, RecordsOfNoShownPageAreLeftAlone) {
  TKVDisplayItem foreign;
  foreign.Item = &n.NewMark(2, 0);
  view().DragRecord = &foreign, view().DragHandle = 1, view().DragRect = {0, 0, 10, 10};
  Draw(true);
  EXPECT_TRUE(Invalidated.empty());
  EXPECT_EQ(foreign.Shift.X, 0);
}

}  // namespace
