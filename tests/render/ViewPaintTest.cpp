#include <gtest/gtest.h>
#include "platform/canvas/Bitmap.h"
#include "render/PageBuilder.h"
#include "render/page/ViewPainter.h"

namespace {
using namespace canvas;
// A visible view on a bitmap: the score area right of a 20-pixel ruler, the
// paper white, the control lime, the cursor an XOR square; a painter that
// notes the pages drawn, or raises.
struct TestView : TKVWindow, render::TKVPaintHost {
  TBitmap Control{800, 600, clBlack};
  TPoint Scroll;
  int Ppi = 96;
  TCanvas& ControlCanvas() override { return Control.Canvas(); }
  TRect ClientRect() override { return {0, 0, 800, 600}; }
  TRect GetViewRect() override { return {20, 0, 800, 600}; }
  TRect GetClientAreaRect() override { return ClientRect(); }
  TColor Color() override { return clLime; }
  TPoint ScrollPosition() override { return Scroll; }
  int ScreenPixelsPerInch() override { return Ppi; }
  void DrawPageBackground(TCanvas& c) override { c.Brush = {clWhite, canvas::bsSolid}, c.FillRect({0, 0, 2000, 2000}); }
  void DrawCursor(TCanvas& c, bool) override {
    c.Pen = {clWhite, 1, psSolid, pmXor}, c.Brush.Style = canvas::bsClear, c.Rectangle({10, 10, 40, 40});
  }
  std::unique_ptr<TCanvas> WindowCanvas() override { return nullptr; }
};
struct RecordingPainter : render::TKVViewPainter {
  using TKVViewPainter::TKVViewPainter;
  void DrawPageContent(int32_t Page, TCanvas&, int32_t Scale, TPoint) override {
    if (Raise) throw std::runtime_error("page");
    Pages.push_back(Page), this->Scale = Scale;
  }
  std::vector<int> Pages;
  int Scale = 0, Raise = false;
};

struct PaintCase {
  bool Book; TKVWindowStyle Style; int PerRow, Active, Count, Ppi, Zoom, ScrollY; std::vector<int> Pages; int Scale;
  TPoint Lime;  // a point of the view that no page covers
  friend std::ostream& operator<<(std::ostream& s, const PaintCase& c) { return s << c.Active << "of" << c.Count << "at" << c.ScrollY; }
};
class PagesPainted : public ::testing::TestWithParam<PaintCase> {};
TEST_P(PagesPainted, ChosenPagesScaleAndFills) {
  const PaintCase& c = GetParam();
  TPageBuilder b(c.Count);
  TestView view;
  b.Score->Page().SetBook(c.Book);
  view.SetStyle(c.Style), view.SetPagePerHorz(c.PerRow), view.SetZoom(c.Zoom), view.SetScore(b.Score.get());
  view.SetActivePage(c.Active), view.Ppi = c.Ppi, view.Scroll.Y = c.ScrollY;
  RecordingPainter painter(view, view);
  painter.Paint();
  EXPECT_EQ(std::pair(painter.Pages, painter.Scale), std::pair(c.Pages, c.Scale));
  EXPECT_EQ(view.Control.ColorAt(20 + c.Lime.X, c.Lime.Y), clLime);
  TKVPageRect last = view.PageRect(c.Pages.back());
  EXPECT_EQ(view.Control.ColorAt(20 + last.Left + 2, last.Top + 2 - c.ScrollY), clWhite);
  EXPECT_EQ(view.Control.ColorAt(30, 10), clBlack);  // the cursor, shown
  // The overlays stay balanced: painting again leaves the same bytes, also
  // after a page whose drawing raised.
  const std::vector<uint32_t> first(view.Control.Pixels(), view.Control.Pixels() + 800 * 600);
  painter.Raise = true;
  EXPECT_THROW(painter.Paint(), std::runtime_error);
  painter.Raise = false, painter.Paint();
  EXPECT_TRUE(std::equal(first.begin(), first.end(), view.Control.Pixels()));
  // Without optimisation the score area is left as it was.
  b.Score->SetOptimization(false), view.Control.SetSize(800, 600, clBlack), painter.Paint();
  EXPECT_EQ(view.Control.ColorAt(20 + c.Lime.X, c.Lime.Y), clBlack);
}

INSTANTIATE_TEST_SUITE_P(
    Views, PagesPainted,
    ::testing::Values(PaintCase{false, wsNormal, 1, 0, 3, 120, 100, 0, {0, 1}, 125, {700, 10}},
                      PaintCase{false, wsNormal, 1, 0, 3, 96, 100, 400, {1, 2}, 100, {100, 590}},
                      PaintCase{true, wsPreview, 1, 5, 8, 96, 100, 0, {5, 6}, 100, {700, 10}},
                      PaintCase{true, wsPreview, 1, 8, 10, 96, 100, 0, {8}, 100, {700, 10}},
                      PaintCase{false, wsPreview, 2, 3, 4, 96, 100, 0, {2, 3}, 100, {770, 10}},
                      PaintCase{false, wsPreview, 2, 2, 3, 96, 100, 0, {2}, 100, {700, 10}},
                      PaintCase{false, wsNormal, 3, 0, 4, 96, 25, 0, {0, 1, 2, 3}, 25, {150, 100}}));

}  // namespace
