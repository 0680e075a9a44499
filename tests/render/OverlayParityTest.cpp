// Every overlay path on the window with the real canvas, over a corpus
// page: one call inverts pixels inside the view rectangle only, a second
// identical call gives every byte back, and a paint leaves the overlay on
// the new image exactly once.

#include <gtest/gtest.h>

#include <functional>
#include <limits>

#include "render/OverlayOnWindow.h"
#include "score/layout/page/PageRecords.h"
#include "score/model/Item.h"

namespace {

struct ParityCase {
  const char* Name;
  std::function<void(TKVWindow&)> Set;
  const char* File = "12a-Clefs.xml";
  bool Selection = false;  // the selection overlay rather than the hover overlay
};

class OverlayParity : public OverlayOnWindow, public ::testing::WithParamInterface<ParityCase> {
protected:
  OverlayParity() : OverlayOnWindow(GetParam().File) {}
  // The window's pixels before the case's overlay is set up.
  std::vector<uint32_t> SetUpOverlay() {
    const std::vector<uint32_t> clean = Window();
    view().HoverShown = true;
    GetParam().Set(view());
    return clean;
  }
  void Toggle() { GetParam().Selection ? Painter->DrawSelectionOverlay(false) : view().DrawHoverOverlay(false); }
};

TEST_P(OverlayParity, TwoCallsCancelAndAPaintKeepsOne) {
  const std::vector<uint32_t> clean = SetUpOverlay();
  Toggle();
  const TChange once = ChangedSince(clean);
  EXPECT_GT(once.Inside, 0);
  EXPECT_EQ(once.Outside, 0) << "nothing over the rulers or the scroll bars";
  const std::vector<uint32_t> shown = Window();
  Repaint();
  EXPECT_EQ(Window(), shown) << "Paint takes the overlay off and puts it back";
  Toggle();
  EXPECT_EQ(Window(), clean);
}

// The same overlays with the mouse and the drag's start at the ends of
// the pixel range and of the range a drag may span: whatever they draw
// stays inside the view rectangle and goes again with the second call.
TEST_P(OverlayParity, DragsAtTheEndsOfThePixelRangeStayInside) {
  const std::vector<uint32_t> clean = SetUpOverlay();
  constexpr int32_t low = std::numeric_limits<int32_t>::min(), high = std::numeric_limits<int32_t>::max(), span = 1 << 28;
  for (const canvas::TRect& far : {canvas::TRect{low, low, high, high}, canvas::TRect{high, high, low, low},
                                   canvas::TRect{-span, -span, span, span}, canvas::TRect{span, span, -span, -span}}) {
    view().DragRect = far;
    Toggle();
    EXPECT_EQ(ChangedSince(clean).Outside, 0);
    Toggle();
    EXPECT_EQ(Window(), clean);
  }
}

// Bands reach from the page over the rulers at the top left.
void Band(TKVWindow& V, int32_t Kind) {
  V.DrawKind = Kind;
  V.DragRect = {300, 200, 10, 5};
}

// The mouse over the second system of page 1, a little below the top line
// of its first staff, in its second measure.
void Hover(TKVWindow& V, uint8_t Mode) {
  const TKVSystemRecord& system = *V.PageRecord(0)->Systems.at(1);
  const TKVStaffLineRecord& line = *V.PageRecord(0)->GetStaffLine(system.FirstStaffLine);
  const TKVMeasureRecord& measure = *system.Measures.at(1);
  const canvas::TPoint p = V.ScorePointToClient(nullptr, {(measure.LeftX + measure.RightX) / 2, line.Top + 60}, 0);
  V.HitTest(p);
  V.DragRect = {p.X, p.Y, p.X, p.Y};
  V.InputMarkerMode = Mode;
}

ParityCase Marker(uint8_t Mode) {
  return {"Marker", [Mode](TKVWindow& v) { Hover(v, Mode); }};
}

// A record dragged by Grip without moving yet, the mouse at its middle
// (below the first staff for a bar line): only the drawn feedback shows.
void DragStill(TKVWindow& V, TKVDisplayItem* D, int32_t Grip, int32_t Below) {
  ASSERT_NE(D, nullptr);
  const canvas::TRect r = V.ScoreRectToClient(D, {D->Bounds.Left, D->Bounds.Top, D->Bounds.Width, D->Bounds.Bottom}, 0);
  V.DragRecord = D, V.DragHandle = Grip;
  V.DragRect = {r.Left, r.Top + Below, r.Left, r.Top + Below};
}

INSTANTIATE_TEST_SUITE_P(
    Drags, OverlayParity,
    ::testing::Values(ParityCase{"BarLine",
                                 [](TKVWindow& v) {
                                   DragStill(v, FindOnFirstPage(v, [](const TKVDisplayItem& D) { return D.RecordType == 7; }), 1, 0);
                                 }},
                      ParityCase{"SlurStart",
                                 [](TKVWindow& v) {
                                   DragStill(v, FindOnFirstPage(v, [](const TKVDisplayItem& D) { return IsKind(D, 30); }), 1, 0);
                                 },
                                 "33c-Spanners-Slurs.xml"},
                      // Clefs, meters, measure numbers and lyric lines selected and held still:
                      // their connectors to staff, measure edge and system start.
                      ParityCase{"Selection",
                                 [](TKVWindow& v) {
                                   for (uint8_t kind : {2, 4, 27, 35})
                                     v.SelectedRecords.push_back(FindOnFirstPage(v, [kind](const TKVDisplayItem& D) { return IsKind(D, kind); }));
                                   v.MoveFeedback = v.Dragging = true, v.DragRect = {300, 300, 300, 300};
                                 },
                                 "12a-Clefs.xml", true}),
    [](const auto& Info) { return std::string(Info.param.Name); });

INSTANTIATE_TEST_SUITE_P(Markers, OverlayParity,
                         ::testing::Values(Marker(1), Marker(2), Marker(3), Marker(4), Marker(5), Marker(6), Marker(7),
                                           Marker(8), Marker(9), Marker(10), Marker(11), Marker(12), Marker(13),
                                           Marker(14), Marker(15), Marker(16)));

INSTANTIATE_TEST_SUITE_P(
    Overlays, OverlayParity,
    ::testing::Values(ParityCase{"Ole", [](TKVWindow& v) { Band(v, 161); }},
                      ParityCase{"Text", [](TKVWindow& v) { Band(v, 200); }},
                      ParityCase{"Line", [](TKVWindow& v) { Band(v, 202); }},
                      ParityCase{"Rectangle", [](TKVWindow& v) { Band(v, 203); }},
                      ParityCase{"Ellipse", [](TKVWindow& v) { Band(v, 204); }},
                      ParityCase{"Arc", [](TKVWindow& v) { Band(v, 205); }},
                      ParityCase{"Pie", [](TKVWindow& v) { Band(v, 206); }},
                      ParityCase{"Chord", [](TKVWindow& v) { Band(v, 207); }},
                      ParityCase{"Slur",
                                 [](TKVWindow& v) {
                                   Hover(v, 0);
                                   v.DrawKind = 30, v.DragRect.Left = v.DragRect.Right - 100;
                                 }}),
    [](const auto& Info) { return std::string(Info.param.Name); });

using OverlayBand = OverlayOnWindow;

TEST_F(OverlayBand, DraggedUpAndLeftIsTheSameAsDownAndRight) {
  TKVWindow& v = view();
  v.HoverShown = true, v.DrawKind = 203, v.DragRect = {100, 80, 300, 200};
  v.DrawHoverOverlay(false);
  const std::vector<uint32_t> band = Window();
  v.DrawHoverOverlay(false);
  v.DragRect = {300, 200, 100, 80};
  v.DrawHoverOverlay(false);
  EXPECT_EQ(Window(), band);
}

}  // namespace
