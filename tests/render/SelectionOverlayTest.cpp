// The overlay of a moved selection on the overlay page: when it runs, what
// it repaints and writes, and where its arrows start.

#include <gtest/gtest.h>

#include "render/OverlayBuilder.h"
#include "render/overlay/SelectionOverlay.h"
#include "score/model/Liga.h"

namespace {

using canvas::TRect;
using Lines = std::vector<std::vector<double>>;
using TSelection = TInvalidations<render::TSelectionOverlay>;

// A selected clef over (100, 100, 110, 140) px at the measure's start.
class SelectionMove : public OverlayPage {
protected:
  SelectionMove() { view().MoveFeedback = view().Dragging = true, view().SelectedRecords = {clef}; }
  std::vector<TRect> Move(bool MoveAll, TRect Drag) {
    canvas.Calls.clear();
    view().DragRect = Drag;
    TSelection s(view(), canvas);
    s.Draw(MoveAll);
    return s.Invalidated;
  }
  TKVDisplayItem* clef = &n.Add(&n.NewMark(2, 0), {800, 800, 880, 1120});
};

TEST_F(SelectionMove, NothingWhileANoteIsFocusedOrNoDragRuns) {
  view().FocusedRecord = &n.Head(n.NewNote(4, 64), 1600);
  EXPECT_TRUE(Move(true, {0, 0, 10, 20}).empty());
  view().FocusedRecord = nullptr, view().Dragging = false;
  EXPECT_TRUE(Move(true, {0, 0, 10, 20}).empty());
  EXPECT_EQ(std::tuple(canvas.Calls.size(), clef->Shift.X, clef->Placement), std::tuple(size_t(0), 0, uint8_t(0)));
}

// Eight pixels around the box at zoom 100, where it was and where it is;
// the clef's arrow to its staff at the measure's left edge.
TEST_F(SelectionMove, RepaintsWhereTheRecordWasAndIsOnTheEditorsCall) {
  EXPECT_EQ(Move(true, {5, 5, 5, 5}), (std::vector<TRect>{{92, 92, 118, 148}, {92, 92, 118, 148}}));
  EXPECT_EQ(Move(true, {0, 0, 10, 20}), (std::vector<TRect>{{92, 92, 118, 148}, {102, 112, 128, 168}}));
  EXPECT_EQ(std::tuple(clef->Shift.X, clef->Shift.Y, clef->Placement), std::tuple(10, 20, uint8_t(1)));
  EXPECT_TRUE(Move(false, {0, 0, 10, 20}).empty()) << "a paint's calls repaint nothing";
  EXPECT_EQ(Args("LineTo"), Lines({{110, 140, 100, 120}}));
}

// Nil entries are passed over; a drag from or to beyond 2^28 pixels
// changes nothing.
TEST_F(SelectionMove, NilEntriesAndDragsBeyondTheRange) {
  constexpr int32_t far = (1 << 28) + 1;
  view().SelectionGroups.push_back({b.Piece, {{nullptr, clef}, {}}});
  view().SelectedRecords.insert(view().SelectedRecords.begin(), nullptr);
  EXPECT_EQ(Move(true, {0, 0, 10, 20}).size(), 4u);
  EXPECT_TRUE(Move(true, {0, 0, 10, far}).empty());
  EXPECT_EQ(std::tuple(canvas.Calls.size(), clef->Shift.X, clef->Shift.Y), std::tuple(size_t(0), 10, 20));
}

// Not moved, each over the staff's measure (x 100 to 400 px, lines at y
// 100 to 140): a meter at its measure's left edge or, placed later, at its
// right edge; a slur from its left end to its note's head (x 200..207, y
// 115..125); a mark at a chord, to its head chained by flag bit 2 (y
// 105..115); a trill from tick 2 of the 8-tick measure, 10 ticks long, to
// its start and on to tick 4 of the next system's measure (its staff at y
// 250 px, columns unspaced at its left edge, x 100).
TEST_F(SelectionMove, AnchorsByKind) {
  view().DragRect = {};
  TKVNote& note = n.NewNote(4, 64);
  n.Head(note, 1600);
  TKVNote& chorded = n.NewNote(2, 64);
  chorded.SetFlag(2, true);
  TKVMark& later = n.NewMark(4, 0);
  later.SetPosition(4);
  TKVMark& atChord = n.NewMark(111, 0);
  atChord.SetFlags(0x10);
  TKVMark& trill = n.NewMark(113, 0);
  trill.SetPosition(2), trill.SetValue(10), n.Record->Length = 8;
  TKVMeasureRecord& next = *NextSystem(2000).Measures[0];
  next.StartTick = 8, next.Length = 8;
  const std::pair<TKVItem*, TKVLayoutRect> items[] = {{&n.NewMark(4, 0), {1600, 800, 1680, 1120}},
                                                      {&later, {1600, 800, 1680, 1120}},
                                                      {new TKVLiga(&note), {2400, 400, 2800, 480}},
                                                      {&atChord, {2400, 400, 2480, 480}},
                                                      {&trill, {2400, 400, 2800, 480}}};
  n.Head(chorded, 1600);
  TSelection s(view(), canvas);
  for (const auto& [item, bounds] : items) s.DrawAnchorConnector(n.Add(item, bounds));
  EXPECT_EQ(Args("LineTo"), Lines({{200, 120, 100, 120}, {210, 120, 400, 120}, {300, 60, 200, 115}, {305, 60, 200, 105},
                                   {300, 60, 100, 100}, {350, 60, 100, 250}}));
  EXPECT_EQ(std::pair(view().AnchorRecord, view().AnchorColumn), std::pair(n.Record, int32_t(2))) << "the trill's";
}

// The item (100, 100, 200, 150), its anchor straight above or to its
// right: from its top edge's middle (or left corner), from its right edge.
TEST_F(SelectionMove, ArrowsStartOnTheEdgeFacingTheAnchor) {
  TSelection s(view(), canvas);
  for (bool fromLeftEdge : {false, true})
    for (const TRect& anchor : {TRect{150, 20, 150, 40}, TRect{250, 110, 250, 130}})
      s.Route(anchor, {100, 100, 200, 150}, fromLeftEdge);
  EXPECT_EQ(Args("LineTo"), Lines({{150, 100, 150, 40}, {200, 125, 250, 120}, {100, 100, 150, 40}, {200, 125, 250, 120}}));
}

}  // namespace
