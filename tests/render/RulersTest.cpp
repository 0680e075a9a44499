// The rulers of a shown view: what the renderer asks of the canvas (units,
// ticks, margin bands, ruler buttons), the pixels it leaves on the headless
// window host, and the ruler markers of the cursor on a builder page.

#include <gtest/gtest.h>

#include "platform/canvas/RecordingCanvas.h"
#include "platform/forms/ScrollBar.h"
#include "player/Rule.h"
#include "render/NotationBuilder.h"
#include "render/PageImages.h"
#include "render/ViewOnWindow.h"
#include "render/page/ViewPainter.h"
#include "score/model/Page.h"
#include "support/sketch/ReviewImages.h"

namespace {

using canvas::TColor;
using canvas::TRect;

// Twelve builder pages of 378 x 302 pixels in a view on an 800 x 600
// form; margins of 40 pixels on the left, 100 on the right, 30 above and
// 20 below; the ruler 24 pixels deep.
class RulerView : public TViewOnWindow<render::TKVViewPainter> {
protected:
  RulerView() {
    TKVPage& page = b.Score->Page();
    page.PushMetrix(rmPixels);
    page.SetLeftMargin(40), page.SetRightMargin(100), page.SetTopMargin(30), page.SetBottomMargin(20);
    page.PopMetrix();
    view.SetScore(b.Score.get());
    Pump();
  }
  // The calls of DrawRule on a recording canvas over the client area.
  std::vector<canvas::TCanvasCall> Recorded() {
    canvas::TRecordingCanvas canvas(800, 600);
    Painter->DrawRule(canvas, false, view.GetClientAreaRect(), 0);
    return canvas.Calls;
  }
  // The x (or y) of every half-unit tick of the horizontal (vertical) ruler.
  std::vector<int> Ticks(bool Horizontal) {
    std::vector<int> ticks;
    const auto calls = Recorded();
    for (size_t i = 1; i < calls.size(); ++i)
      if (calls[i].Name == "LineTo" && (Horizontal ? calls[i].Args[0] == calls[i].Args[2] : calls[i].Args[1] == calls[i].Args[3]))
        ticks.push_back(int(Horizontal ? calls[i].Args[0] : calls[i].Args[1]));
    return ticks;
  }
  std::vector<std::u16string> Numbers() {
    std::vector<std::u16string> texts;
    for (const auto& c : Recorded())
      if (c.Name == "TextOut") texts.push_back(c.Text);
    return texts;
  }
  std::vector<std::vector<double>> Fills(TColor Color) {
    std::vector<std::vector<double>> fills;
    for (const auto& c : Recorded())
      if (c.Name == "FillRect" && c.Brush.Color == Color) fills.push_back(c.Args);
    return fills;
  }
  TPageBuilder b{12};
  TKVWindow& view = control->View();
};

TEST_F(RulerView, AnInvisibleRuleDrawsNothing) {
  view.SetRuleVisible(false);
  EXPECT_TRUE(Recorded().empty());
  // The strips hold the pages then: the first page's black frame at (0, 0).
  Repaint();
  EXPECT_EQ(At({0, 100}), canvas::clBlack);
  EXPECT_EQ(At({100, 0}), canvas::clBlack);
}

// Units every centimetre, inch or hundred pixels of the page from its left
// edge (the strip's inner edge at 24), half-unit ticks between them; the
// numbers stop within the printable width (378 - 100 from the edge), the
// ticks one number's width past it.
TEST_F(RulerView, UnitsOfEveryMetrix) {
  struct Case {
    TKVMetrix Metrix;
    int32_t Zoom;
    std::vector<int> Ticks;
    std::vector<std::u16string> Numbers;
  };
  for (const Case& c : std::vector<Case>{
           // 24 + 100k: 124, 224, 324 (past 302: no number, its tick at 274).
           {rmPixels, 100, {74, 174, 274}, {u"1", u"2"}},
           // 24 + 200k at 200 %: the band ends at 24 + 556.
           {rmPixels, 200, {124, 324, 524}, {u"1", u"2"}},
           // 96 pixels an inch: 120, 216, 312.
           {rmInches, 100, {72, 168, 264}, {u"1", u"2"}},
           // 37.8 pixels a centimetre: 62, 100, 137, 175, 213, 251, 289, 326.
           {rmMM, 100, {43, 81, 118, 156, 194, 232, 270, 307}, {u"1", u"2", u"3", u"4", u"5", u"6", u"7"}},
       }) {
    b.Score->Page().SetMetrix(c.Metrix);
    view.SetZoom(c.Zoom);
    std::vector<int> ticks = Ticks(true);
    ASSERT_GE(ticks.size(), c.Ticks.size());
    ticks.resize(c.Ticks.size());
    EXPECT_EQ(ticks, c.Ticks) << int(c.Metrix) << " at " << c.Zoom;
    std::vector<std::u16string> numbers = Numbers();
    numbers.resize(c.Numbers.size());
    EXPECT_EQ(numbers, c.Numbers);
  }
  // The last number stands within the printable width: at 100 % pixels the
  // band ends at 24 + 278 = 302, so "3" (at 324) is not written, yet the
  // ticks run on to 274 and no further; down the page (24 + 282 and a line)
  // neither.
  b.Score->Page().SetMetrix(rmPixels);
  view.SetZoom(100);
  EXPECT_EQ(Ticks(true), (std::vector<int>{74, 174, 274}));
  EXPECT_EQ(Ticks(false), (std::vector<int>{74, 174, 274, 74, 174, 274})) << "two rows of pages shown";
  EXPECT_EQ(Numbers(), (std::vector<std::u16string>{u"1", u"2", u"1", u"2", u"1", u"2"}));
}

// The margins in grey and the printable band in white, 5 pixels inside the
// strip; on an odd page with turning margins the left band is as wide as
// the right margin.
TEST_F(RulerView, MarginBandsMirrorOnOddPages) {
  constexpr TColor Grey = 0x808080;
  // The vertical ruler shows two rows of pages.
  const std::vector<double> top = {5, 24, 19, 24 + 30 - 1}, bottom = {5, 24 + 282 + 1, 19, 24 + 302};
  const std::vector<std::vector<double>> even = {{24, 5, 24 + 40 - 1, 19}, {24 + 278 + 1, 5, 24 + 378, 19},
                                                 top, bottom, top, bottom};
  EXPECT_EQ(Fills(Grey), even);
  const std::vector<double> band = {5, 24 + 31, 19, 24 + 281};
  EXPECT_EQ(Fills(canvas::clWhite), (std::vector<std::vector<double>>{{24 + 41, 5, 24 + 277, 19}, band, band}));
  b.Score->Page().SetTurn(true);
  view.SetActivePage(1);
  const std::vector<std::vector<double>> odd = {{24, 5, 24 + 100 - 1, 19}, {24 + 338 + 1, 5, 24 + 378, 19}};
  const auto fills = Fills(Grey);
  ASSERT_GE(fills.size(), 2u);
  EXPECT_EQ(std::vector(fills.begin(), fills.begin() + 2), odd);
  view.SetActivePage(2);
  EXPECT_EQ(Fills(Grey), even);
  // On the pixels: the strips in the button face, the bands in grey and
  // white.
  Repaint();
  EXPECT_EQ(At({200, 2}), canvas::ColorToRGB(canvas::clBtnFace));
  EXPECT_EQ(At({30, 10}), Grey);
  EXPECT_EQ(At({200, 10}), canvas::clWhite);
  EXPECT_EQ(At({6, 40}), Grey);
  EXPECT_EQ(At({6, 120}), canvas::clWhite);
  EXPECT_EQ(At({2, 200}), canvas::ColorToRGB(canvas::clBtnFace));
}

// A page of absurd length: only the units in sight are drawn, however far
// along the page the view is.
TEST_F(RulerView, AVeryLongPageDrawsOnlyTheUnitsInSight) {
  TKVPage& page = b.Score->Page();
  page.SetPaperSize(TKVPaperSize::Custom);
  page.SetMetrix(rmPixels);
  page.SetWidth(100000);
  view.ArrangePages();
  view.UpdateScrollBars(false);
  control->HorzScrollBar().SetPosition(50000);
  ASSERT_EQ(view.HorzPosition(), 50000);
  const std::vector<int> ticks = Ticks(true);
  ASSERT_FALSE(ticks.empty());
  EXPECT_LE(ticks.size(), 10u);
  // The strip shows x 50024 and on: from a unit or two before it.
  EXPECT_LT(ticks.front(), 50024);
  EXPECT_GT(ticks.front(), 50024 - 200);
  EXPECT_GE(ticks.back(), 50000 + 783 - 24 - 100);
}

// The vertical ruler follows the rows that hold pages: one page, one row.
TEST_F(RulerView, RowsOfPagesOnly) {
  TPageBuilder one(1);
  view.SetScore(one.Score.get());
  EXPECT_EQ(Fills(0x808080).size(), 2u + 2u);
  view.SetScore(b.Score.get());
  EXPECT_EQ(Fills(0x808080).size(), 2u + 2u * 2u) << "twelve pages: the two rows in sight";
}

// A ruler button: a box in the hint colour framed in black, its index
// centred, moved up with the vertical scroll position.
TEST_F(RulerView, RulerButtons) {
  view.RuleButtons[3] = {true, {2, 100, 22, 116}};
  control->VertScrollBar().SetPosition(40);
  canvas::TRecordingCanvas canvas(800, 600);
  Painter->DrawRule(canvas, false, view.GetClientAreaRect(), 0);
  const Calls boxes = Named(canvas, "Rectangle"), texts = Named(canvas, "TextOut");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0]->Args, (std::vector<double>{2, 100, 22, 116}));
  EXPECT_EQ(boxes[0]->Brush, (canvas::TBrush{canvas::clInfoBk, canvas::bsSolid}));
  EXPECT_EQ(boxes[0]->Pen.Color, canvas::clBlack);
  EXPECT_EQ(texts.back()->Text, u"3");
  const canvas::TSize size = canvas.TextExtent(u"3");
  EXPECT_EQ(texts.back()->Args, (std::vector<double>{double((24 - size.Cx) / 2), double((216 - size.Cy) / 2)}));
  Repaint();
  const TColor info = canvas::ColorToRGB(canvas::clInfoBk);
  EXPECT_EQ(At({2, 60}), canvas::clBlack);
  EXPECT_EQ(At({21, 75}), canvas::clBlack);
  EXPECT_EQ(At({4, 62}), info);
  int ink = 0;
  for (int y = 62; y < 74; ++y)
    for (int x = 4; x < 20; ++x) ink += At({x, y}) != info;
  EXPECT_GT(ink, 5) << "the digit";
}

// The whole view with both rulers, a ruler button and the page-button bar
// (page 3 of 12, the last-page button held) against its reviewed picture
// (tests/render/reference/rulers-and-page-buttons.png).
TEST_F(RulerView, MatchesItsReviewedPicture) {
  view.RuleButtons[3] = {true, {2, 100, 22, 116}};
  view.SetActivePage(2);
  view.PressedPageButton = PageButton::Last;
  Repaint();
  const canvas::TBitmap image = WindowImage({0, 0, 800, 600});
  image.SaveToPngFile(ReviewImagePath("render-pages", "rulers-and-page-buttons"));
  const TReferenceResult result = CompareWithReference(image, "rulers-and-page-buttons");
  EXPECT_FALSE(result.Differs) << result.Message;
  if (!result.Compared) std::cout << "[ NOTE ] " << result.Message << "\n";
}

// The five marker positions of a cursor on a builder page, in view pixels
// (layout units / 8 at 100 %, past the 24-pixel ruler); any record the
// cursor needs missing leaves them as they were.
TEST(RuleMarkers, OfTheCursor) {
  TPageBuilder b;
  TKVStaff* staff = b.Staff();
  b.Part->NewMeasure(), b.Piece->NewColumn();
  TKVSystemRecord& system = b.System();
  TKVStaffLineRecord& line = b.Line(staff, 800);
  line.LeftX = 80, line.RightX = 2400;
  system.Parts.push_back(std::make_unique<TKVSystemPartRecord>());
  system.Parts[0]->System = &system, system.Parts[0]->FirstStaffLine = 0;
  TKVPieceLayoutRecords& layout = b.Piece->Layout();
  auto& measure = *layout.MeasureRecords.emplace_back(std::make_unique<TKVMeasureRecord>());
  layout.MeasureRecordCount = 1, layout.MeasureGaps = {40};
  measure.System = &system, measure.LeftX = 160, measure.RightX = 1600, measure.Spaced = 1;
  measure.TickTable = {0, 0, 96};
  b.View.SetActiveMeasure(0), b.View.SetCursorTick(2);
  render::TKVViewPainter painter(b.View);
  painter.CalcRuleMarkers();
  const TKVRuleMarkers expected{80 / 8 + 24, 2400 / 8 + 24, (1600 + 40) / 8 + 24, (160 + 96) / 8 + 24, 800 / 8 + 24};
  EXPECT_EQ(b.View.RuleMarkers, expected);
  const TKVRuleMarkers sentinel{1, 2, 3, 4, 5};
  auto unchanged = [&](const char* Why) {
    b.View.RuleMarkers = sentinel;
    painter.CalcRuleMarkers();
    EXPECT_EQ(b.View.RuleMarkers, sentinel) << Why;
  };
  b.Page.StaffLineCount = 0;
  unchanged("the staff past the page's lines");
  b.Page.StaffLineCount = 1, b.View.SetActiveMeasure(1);
  unchanged("the measure past the records");
  b.View.SetActiveMeasure(0), system.Parts.clear();
  unchanged("no entry of the cursor's part");
}

}  // namespace
