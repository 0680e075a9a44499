#include <gtest/gtest.h>
#include "platform/canvas/Bitmap.h"
#include "platform/forms/ScrollBar.h"
#include "render/PageBuilder.h"
#include "render/ViewOnWindow.h"
#include "render/page/ViewPainter.h"

namespace {
using namespace canvas;
// A painter that notes the pages drawn, or raises.
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
// The view's control fills an 800 x 600 form on the headless host, without
// rulers: the score area is 783 x 582, the paper white (378 x 302 pixels a
// page at zoom 100), the control lime.
class PagesPainted : public TViewOnWindow<RecordingPainter>, public ::testing::WithParamInterface<PaintCase> {
protected:
  PagesPainted() : TViewOnWindow(GetParam().Ppi) {
    control->SetColor(clLime);
    control->View().SetRuleVisible(false);
  }
};

TEST_P(PagesPainted, ChosenPagesScaleAndFills) {
  const PaintCase& c = GetParam();
  TPageBuilder b(c.Count);
  TKVWindow& view = control->View();
  b.Score->Page().SetBook(c.Book);
  view.SetStyle(c.Style), view.SetPagePerHorz(c.PerRow), view.SetZoom(c.Zoom), view.SetScore(b.Score.get());
  view.SetActivePage(c.Active), control->VertScrollBar().SetPosition(c.ScrollY);
  Painter->Pages.clear();
  Repaint();
  EXPECT_EQ(std::pair(Painter->Pages, Painter->Scale), std::pair(c.Pages, c.Scale));
  EXPECT_EQ(At(c.Lime), clLime);
  TKVPageRect last = view.PageRect(c.Pages.back());
  EXPECT_EQ(At({last.Left + 2, last.Top + 2 - c.ScrollY}), clWhite);
  // Painting again leaves the same bytes, also after a page whose drawing
  // raised.
  const std::vector<uint32_t> first = Window();
  Painter->Raise = true;
  EXPECT_THROW(Repaint(), std::runtime_error);
  Painter->Raise = false, Repaint();
  EXPECT_EQ(Window(), first);
  // Without optimisation the score area is left as it was (the form's fill
  // under the control).
  b.Score->SetOptimization(false), form->SetColor(clBlack), Repaint();
  EXPECT_EQ(At(c.Lime), clBlack);
}

INSTANTIATE_TEST_SUITE_P(
    Views, PagesPainted,
    ::testing::Values(PaintCase{false, wsNormal, 1, 0, 3, 120, 100, 0, {0, 1}, 125, {700, 10}},
                      PaintCase{false, wsNormal, 1, 0, 3, 96, 100, 400, {1, 2}, 100, {100, 560}},
                      PaintCase{true, wsPreview, 1, 5, 8, 96, 100, 0, {5, 6}, 100, {700, 10}},
                      PaintCase{true, wsPreview, 1, 8, 10, 96, 100, 0, {8}, 100, {700, 10}},
                      PaintCase{false, wsPreview, 2, 3, 4, 96, 100, 0, {2, 3}, 100, {770, 10}},
                      PaintCase{false, wsPreview, 2, 2, 3, 96, 100, 0, {2}, 100, {700, 10}},
                      PaintCase{false, wsNormal, 3, 0, 4, 96, 25, 0, {0, 1, 2, 3}, 25, {150, 100}}));

}  // namespace
