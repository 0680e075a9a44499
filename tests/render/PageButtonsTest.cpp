// The page-button bar of a shown view: when it shows, its page text, the
// grey of buttons that cannot be used and the glyph of a held button, on a
// recording canvas and on the headless window host.

#include <gtest/gtest.h>

#include "platform/canvas/RecordingCanvas.h"
#include "platform/forms/ScrollBar.h"
#include "render/NotationBuilder.h"
#include "render/ViewOnWindow.h"
#include "render/page/ViewPainter.h"

namespace {

using canvas::TColor;

class PageButtons : public TViewOnWindow<render::TKVViewPainter> {
protected:
  void Show(int Pages, int Active) {
    auto next = std::make_unique<TPageBuilder>(Pages);
    next->Score->SetPages(true);
    view.SetScore(next->Score.get());
    b = std::move(next);
    view.SetActivePage(Active);
    Pump();
  }
  canvas::TRecordingCanvas& Record() {
    canvas.Calls.clear();
    Painter->DrawPageButtons(canvas);
    return canvas;
  }
  std::unique_ptr<TPageBuilder> b;
  TKVWindow& view = control->View();
  canvas::TRecordingCanvas canvas{800, 600};
};

// Nothing without scroll bars and pages; only the button-face areas in the
// preview and simple styles.
TEST_F(PageButtons, WhenTheBarShows) {
  Show(12, 2);
  control->HorzScrollBar().SetVisible(false), control->VertScrollBar().SetVisible(false);
  b->Score->SetPages(false);
  EXPECT_TRUE(Record().Calls.empty());
  b->Score->SetPages(true);
  EXPECT_FALSE(Record().Calls.empty());
  control->HorzScrollBar().SetVisible(true), control->VertScrollBar().SetVisible(true);
  b->Score->SetPages(false);
  // Left of the horizontal bar (at 600) and the corner square, from one
  // pixel above the bars.
  const std::vector<std::vector<double>> fills = {{0, 582, 600, 600}, {783, 582, 800, 600}};
  EXPECT_EQ(Record().Names(), (std::vector<std::string>{"FillRect", "FillRect"}));
  EXPECT_EQ(canvas.Calls[0].Args, fills[0]);
  EXPECT_EQ(canvas.Calls[1].Args, fills[1]);
  EXPECT_EQ(canvas.Calls[0].Brush.Color, canvas::clBtnFace);
  b->Score->SetPages(true);
  for (TKVWindowStyle style : {wsPreview, wsSimple}) {
    view.SetStyle(style);
    EXPECT_EQ(Record().Names(), (std::vector<std::string>{"FillRect", "FillRect"})) << style;
  }
  view.SetStyle(wsNormal);
  EXPECT_GT(Record().Calls.size(), 2u);
}

// The page text: the cursor's page and the page count, in Arial 10 at the
// text slot.
TEST_F(PageButtons, ThePageText) {
  for (auto [pages, active, text] : {std::tuple{12, 2, u"3-12"}, {1, 0, u"1-1"}}) {
    Show(pages, active);
    const Calls texts = Named(Record(), "TextOut");
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0]->Text, text);
    EXPECT_EQ(texts[0]->Font.Name, "Arial");
    EXPECT_EQ(texts[0]->Font.Size(), 10);
    const canvas::TPoint at = view.PageTextPos();
    EXPECT_EQ(texts[0]->Args, (std::vector<double>{double(at.X), double(at.Y)}));
  }
  Repaint();
  const canvas::TRect slot = view.PageButtonRect[PageButton::Text];
  int ink = 0;
  for (int y = slot.Top; y < slot.Bottom; ++y)
    for (int x = slot.Left; x < slot.Right; ++x) ink += At({x, y}) != canvas::ColorToRGB(canvas::clBtnFace);
  EXPECT_GT(ink, 15) << "1-1";
}

// The two double-triangle glyphs: black while usable, grey with a white
// engraving when not; a held button's glyph one pixel further right and
// down.
TEST_F(PageButtons, GlyphsOfThePushButtons) {
  Show(12, 0);  // at the first page: first and previous cannot be used
  auto glyph = [&](int Button) {
    const canvas::TRect& r = view.PageButtonRect[size_t(Button)];
    for (const auto& c : Record().Calls)
      if (c.Name == "Polygon" && c.Args.size() == 16 && c.Args[0] >= r.Left && c.Args[0] < r.Right) return c;
    return canvas::TCanvasCall{};
  };
  const canvas::TRect first = view.PageButtonRect[PageButton::First], last = view.PageButtonRect[PageButton::Last];
  canvas::TCanvasCall grey = glyph(PageButton::First);
  EXPECT_EQ(grey.Brush.Color, 0x808080u);
  EXPECT_EQ(grey.Pen.Color, 0x808080u);
  const double x = first.Left + 3, y = first.Top + 3;
  EXPECT_EQ(grey.Args, (std::vector<double>{x + 7, y + 2, x + 4, y + 5, x + 4, y + 2, x + 1, y + 5, x + 4, y + 8,
                                            x + 4, y + 5, x + 7, y + 8, x + 7, y + 2}));
  EXPECT_EQ(glyph(PageButton::Last).Brush.Color, canvas::clBlack);
  const Calls lines = Named(canvas, "LineTo");
  ASSERT_EQ(lines.size(), 2u) << "the engraving";
  EXPECT_EQ(lines[0]->Args, (std::vector<double>{x + 5, y + 7, x + 5, y + 10}));
  EXPECT_EQ(lines[0]->Pen.Color, canvas::clWhite);

  view.PressedPageButton = PageButton::Last;
  canvas::TCanvasCall held = glyph(PageButton::Last);
  view.PressedPageButton = 0;
  canvas::TCanvasCall up = glyph(PageButton::Last);
  ASSERT_EQ(held.Args.size(), up.Args.size());
  for (size_t i = 0; i < up.Args.size(); ++i) EXPECT_EQ(held.Args[i], up.Args[i] + 1) << i;
  EXPECT_EQ(up.Args[0], last.Left + 3 + 1);

  // On the window: the grey glyph of the first-page button, the black one
  // of the last, and the held button's face framed flat.
  Repaint();
  EXPECT_EQ(At({int(x) + 6, int(y) + 5}), 0x808080u);
  EXPECT_EQ(At({last.Left + 3 + 2, last.Top + 3 + 5}), canvas::clBlack);
  view.PressedPageButton = PageButton::Last;
  Repaint();
  EXPECT_EQ(At({last.Left + 4 + 2, last.Top + 4 + 5}), canvas::clBlack);
  EXPECT_EQ(At({last.Left, last.Top}), canvas::ColorToRGB(canvas::clBtnShadow));
  view.PressedPageButton = 0;
}

}  // namespace
