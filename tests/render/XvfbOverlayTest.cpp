// The hover overlay in a real SDL2 window on a virtual X server: a rubber
// band being drawn over page 1 of a corpus file, and the note-input marker
// on a ledger line below its second system, photographed for people to
// look at (build/<flavour>/overlay-band-marker.png) beside the page without
// them (overlay-page.png). Skipped where no X server can start.

#include <gtest/gtest.h>

#include "player/Window.h"
#include "render/page/ViewPainter.h"
#include "score/layout/page/PageRecords.h"
#include "score/model/Score.h"
#include "support/ShownView.h"
#include "support/XvfbApplication.h"
#include "support/sketch/ReviewImages.h"

namespace {

TEST(XvfbOverlay, ARubberBandAndAnInputMarkerOnAShownPage) {
  test_support::TXvfbApplication x(1024, 768);
  if (!x.Skip().empty()) GTEST_SKIP() << x.Skip();
  TRealLayout layout;
  std::unique_ptr<TKVScore> score = LoadLaidOut(std::string(SONARID_CORPUS_DIR) + "/musicxml/01a-Pitches-Pitches.xml");
  TKVWindow& view = test_support::ShowScoreInView(
      *x.App, [](TKVWindow& View) { return std::make_unique<render::TKVViewPainter>(View); }, *score).View();
  x.Settle();
  const std::string folder = std::string(SONARID_BINARY_DIR) + "/overlay-";
  const auto page = x.Display().Screenshot(folder + "page");
  // A rectangle being drawn from the lower right up to the upper left.
  view.HoverShown = true, view.DrawKind = 203, view.DragRect = {380, 300, 150, 120};
  view.DrawHoverOverlay(false);
  // Then the marker, the mouse three half spaces below the first ledger
  // line under the second system's first staff, right of the notes of its
  // second measure: two ledger lines and the dash at the nearest column.
  const TKVSystemRecord& system = *view.PageRecord(0)->Systems.at(1);
  const TKVStaffLineRecord& line = *view.PageRecord(0)->GetStaffLine(system.FirstStaffLine);
  const int32_t spacing = view.GetLineSpacing(line.Staff), top = view.ScorePointToClient(nullptr, {0, line.Top}, 0).Y;
  const int32_t x0 = view.ScoreXToClient(system.Measures.at(1)->RightX, 0) - 25, y = top + 5 * spacing + 3 * spacing / 2;
  view.HitTest({x0, y});
  view.DrawKind = 0, view.InputMarkerMode = 1, view.DragRect = {x0, y, x0, y};
  view.DrawHoverOverlay(false);
  x.Settle();
  const auto shot = x.Display().Screenshot(folder + "band-marker");
  ASSERT_FALSE(page.Rgb.empty() || shot.Rgb.empty());
  auto changed = [&](int32_t Left, int32_t Top, int32_t Right, int32_t Bottom) {
    int count = 0;
    for (int32_t py = Top; py < Bottom; ++py)
      for (int32_t px = Left; px < Right; ++px) count += shot.Pixel(px, py) != page.Pixel(px, py);
    return count;
  };
  // Every other pixel of the band's dotted right edge is inverted, its
  // inside and the ruler strip above it are not.
  EXPECT_GT(changed(379, 120, 380, 300), 80);
  EXPECT_EQ(changed(160, 130, 200, 290) + changed(150, 0, 380, 24), 0);
  // Below the staff in the hovered measure: two ledger lines of 8 pixels
  // and the dash of 12 at the third half space.
  EXPECT_EQ(view.HitLine, -3);
  const TKVMeasureRecord& R = *view.Hit.MeasureRecord;
  EXPECT_EQ(changed(view.ScoreXToClient(R.LeftX, 0), top + 5 * spacing - 1, view.ScoreXToClient(R.RightX, 0), y + 2), 28);
  view.SetScore(nullptr);
}

}  // namespace
