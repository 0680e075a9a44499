#include <gtest/gtest.h>

#include "PixelHelpers.h"
#include "platform/canvas/CairoCanvas.h"
#include "platform/musicfont/EmmentalerFont.h"
#include "platform/text/FontMeasurer.h"

namespace canvas {
namespace {

using namespace canvas::testing;

TEST(CanvasText, WidthsAreTheTextMeasurersWidths) {
  TCairoCanvas c(10, 10);
  text::TFontMeasurer m;
  for (int size : {7, 9, 12, 20, 64}) {
    c.Font.SetSize(size);
    EXPECT_EQ(c.TextWidth(u"Allegro con brio"), m.TextWidthW({"Arial", size, 0}, u"Allegro con brio")) << size;
    EXPECT_EQ(c.TextHeight(u"A"), m.TextHeight({"Arial", size, 0})) << size;
    EXPECT_EQ(c.TextWidthA("AV"), m.TextWidth({"Arial", size, 0}, "AV")) << size;
  }
}

TEST(CanvasText, InkStaysInsideTheMeasuredCell) {
  TBitmap b(400, 80);
  TCanvas& c = b.Canvas();
  c.Font.SetSize(28);
  c.Brush.Style = bsClear;
  c.TextOut(20, 10, u"Hamburg");
  TSize extent = c.TextExtent(u"Hamburg");
  TRect ink = InkBounds(b);
  EXPECT_GE(ink.Left, 20);
  EXPECT_LE(ink.Right, 20 + extent.Cx + 1);
  EXPECT_GE(ink.Top, 10);
  EXPECT_LE(ink.Bottom, 10 + extent.Cy);
  EXPECT_GT(ink.Width(), extent.Cx * 8 / 10);  // the text really spans its width
}

TEST(CanvasText, BaselineAlignmentPutsTheBaselineOnY) {
  TBitmap b(200, 80);
  TCanvas& c = b.Canvas();
  c.Font.SetSize(30);
  c.Brush.Style = bsClear;
  c.TextAlign = taBaseline;
  c.TextOut(10, 50, u"HIH");
  EXPECT_EQ(InkBounds(b).Bottom, 50);  // capitals stand on the baseline
}

TEST(CanvasText, SolidBrushFillsTheCellFirst) {
  TBitmap b(200, 60);
  TCanvas& c = b.Canvas();
  c.Font.SetSize(20);
  c.Brush.Color = clYellow;
  c.TextOut(10, 10, u"Fine");
  TSize e = c.TextExtent(u"Fine");
  EXPECT_EQ(InkBounds(b), (TRect{10, 10, 10 + e.Cx, 10 + e.Cy}));
  EXPECT_EQ(b.ColorAt(10, 10), clYellow);
}

TEST(CanvasText, UnderlineRunsBelowTheBaseline) {
  TBitmap plain(200, 60), under(200, 60);
  for (TBitmap* b : {&plain, &under}) {
    b->Canvas().Font.SetSize(20);
    b->Canvas().Brush.Style = bsClear;
    b->Canvas().TextAlign = taBaseline;
  }
  under.Canvas().Font.Style = text::fsUnderline;
  plain.Canvas().TextOut(10, 40, u"ossia");
  under.Canvas().TextOut(10, 40, u"ossia");
  EXPECT_EQ(CountInk(plain, clWhite, {0, 41, 200, 60}), 0);
  EXPECT_GE(CountInk(under, clWhite, {0, 41, 200, 60}), plain.Canvas().TextWidth(u"ossia") - 1);
}

TEST(CanvasText, RotatedNinetyDegreesRunsUpwardsFromTheReferencePoint) {
  TBitmap b(120, 240);
  TCanvas& c = b.Canvas();
  c.Font.SetSize(20);
  c.Font.Orientation = 900;
  c.Brush.Style = bsClear;
  c.TextOut(40, 220, u"Cantabile");
  int w = c.TextWidth(u"Cantabile"), h = c.TextHeight(u"C");
  TRect ink = InkBounds(b);
  EXPECT_GT(ink.Height(), 3 * ink.Width());
  EXPECT_LE(ink.Bottom, 221);
  EXPECT_GE(ink.Top, 220 - w - 1);
  EXPECT_GE(ink.Left, 40);  // the cell's top edge turns to the left side... of the text's own frame
  EXPECT_LE(ink.Right, 40 + h + 1);
}

TEST(CanvasText, RotatedFortyFiveDegreesRunsDiagonally) {
  TBitmap b(240, 240);
  TCanvas& c = b.Canvas();
  c.Font.SetSize(20);
  c.Font.Orientation = 450;
  c.Brush.Style = bsClear;
  c.TextOut(20, 200, u"crescendo");
  TRect ink = InkBounds(b);
  int w = c.TextWidth(u"crescendo");
  EXPECT_NEAR(ink.Width(), ink.Height(), 12);
  EXPECT_GT(ink.Width(), w * 6 / 10);
  EXPECT_LT(ink.Width(), w);
  EXPECT_LE(ink.Bottom, 200 + 25);
  // The end of the text is up and to the right of its start.
  EXPECT_GT(CountInk(b, clWhite, {ink.Right - 30, ink.Top, ink.Right, ink.Top + 30}), 0);
  EXPECT_EQ(CountInk(b, clWhite, {ink.Left, ink.Top, ink.Left + 30, ink.Top + 30}), 0);
}

TEST(CanvasText, CyrillicIsDrawnAndMeasuredFromTheSameString) {
  TBitmap b(300, 60);
  TCanvas& c = b.Canvas();
  c.Font.Name = "Monotype Corsiva";
  c.Font.SetSize(22);
  c.Brush.Style = bsClear;
  c.TextOut(5, 5, u"Запис звуку");
  EXPECT_GT(CountInk(b), 100);
  text::TFontMeasurer m;
  EXPECT_EQ(c.TextWidth(u"Запис звуку"), m.TextWidthW({"Monotype Corsiva", 22, 0}, u"Запис звуку"));
}

TEST(CanvasText, CellHeightFontsUseTheEmThatFitsTheCell) {
  TCairoCanvas c(10, 10);
  c.Font.Height = 2288;  // Liberation Sans: 2288 units of cell per 2048 of em
  EXPECT_EQ(c.GetTextMetrics().Height, 2288);
}

class MusicText : public ::testing::Test {
protected:
  void SetUp() override { musicfont::InstallMusicFont(&Font()); }
  void TearDown() override { musicfont::InstallMusicFont(nullptr); }
  static musicfont::TEmmentalerFont& Font() {
    static musicfont::TEmmentalerFont font;
    return font;
  }
};

TEST_F(MusicText, MusicFontNamesDrawTheMusicFontsGlyphs) {
  TBitmap b(200, 120);
  TCanvas& c = b.Canvas();
  c.Font.Name = "Ostinel Symbols";
  c.Font.SetSize(36);  // 48 px em, 12 px staff space
  c.Brush.Style = bsClear;
  c.TextAlign = taBaseline;
  c.TextOutA(20, 70, "\x35");  // black head, centred on the baseline
  TRect ink = InkBounds(b);
  EXPECT_NEAR((ink.Top + ink.Bottom) / 2.0, 70, 1.5);
  EXPECT_GE(ink.Left, 20);
  EXPECT_LE(ink.Right, 20 + c.TextWidthA("\x35") + 1);
  EXPECT_EQ(c.TextWidthA("\x35\x40"), Font().Advance(0x35, 36) + Font().Advance(0x40, 36));
  EXPECT_EQ(c.TextWidth(u"\u0035"), c.TextWidthA("\x35"));
}

TEST_F(MusicText, CodesWithoutAShapeDrawALabelledFrame) {
  TBitmap b(200, 120);
  TCanvas& c = b.Canvas();
  c.Font.Name = "Ostinel Symbols";
  c.Font.SetSize(72);
  c.Brush.Style = bsClear;
  c.TextAlign = taBaseline;
  c.TextOutA(20, 100, "\x5A");
  int w = c.TextWidthA("\x5A");
  EXPECT_EQ(InkBounds(b).Left, 20);
  EXPECT_EQ(InkBounds(b).Right, 20 + w);
  EXPECT_GT(CountInk(b, clWhite, {22, 52, 20 + w - 2, 98}), 10);  // the label inside the frame
}

TEST_F(MusicText, BraceSpansTheAskedHeight) {
  TBitmap b(100, 300);
  TCanvas& c = b.Canvas();
  c.MusicBrace(10, 150, 200, 0);
  TRect ink = InkBounds(b);
  EXPECT_NEAR(ink.Height(), 200, 3);
  EXPECT_NEAR((ink.Top + ink.Bottom) / 2.0, 150, 2);
  EXPECT_GE(ink.Left, 9);
}

}  // namespace
}  // namespace canvas
