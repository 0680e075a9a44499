// Texts and page marks of a page: where each line, piece and run is
// written and in which font (widths of the deterministic measurer,
// hand-computed), and on the real canvas the ink a turned text and the
// edit highlight leave.

#include <gtest/gtest.h>

#include "platform/canvas/Bitmap.h"
#include "platform/canvas/PixelHelpers.h"
#include "player/Window.h"
#include "render/ObjectPage.h"

namespace {

// At 12 points the measurer's em is 16 pixels: "a" 13, "b" 8, "c" 9, "d"
// 10, "e" 10, "f" 11, "g" 12 pixels wide; a line 18 high.
constexpr int kLine = 18;

struct TextDrawing {
  explicit TextDrawing(TKVWindowStyle Style = wsNormal, int Zoom = 100) : p(Zoom, Style), Z(Zoom) {}
  struct TWrite {
    std::u16string Text;
    int X, Y;
    canvas::TColor Color;
    canvas::TBrushStyle Brush;
  };
  std::vector<TWrite> Draw() {
    p.canvas.Calls.clear();
    p.d.DrawPageContent(0, Z, Z, 0, 0);
    std::vector<TWrite> writes;
    for (const auto& c : p.canvas.Calls)
      if (c.Name == "TextOut") writes.push_back({c.Text, int(c.Args[0]), int(c.Args[1]), c.Font.Color, c.Brush.Style});
    return writes;
  }
  Drawing p;
  TObjectPage o{p.b};
  int Z;
};

bool operator==(const TextDrawing::TWrite& a, const TextDrawing::TWrite& b) {
  return a.Text == b.Text && a.X == b.X && a.Y == b.Y && a.Color == b.Color && a.Brush == b.Brush;
}
std::ostream& operator<<(std::ostream& s, const TextDrawing::TWrite& w) {
  return s << std::string(w.Text.begin(), w.Text.end()) << "@" << w.X << "," << w.Y << " " << std::hex << w.Color
           << std::dec << " brush " << int(w.Brush);
}

constexpr canvas::TBrushStyle Clear = canvas::bsClear, Solid = canvas::bsSolid;

// Each line is placed by its own width: centred, right or left in the
// text's box; a Cyrillic line by the width of its own characters.
TEST(TextObjects, LinesAlignByTheirOwnWidths) {
  struct Case {
    uint8_t Alignment;
    std::vector<std::u16string> Lines;
    std::vector<int> X;
  };
  // "Привет" measures 12 + 10 + 10 + 10 + 13 + 12 = 67 (its ANSI
  // conversion "??????" would measure 48).
  for (const Case& c : std::vector<Case>{{1, {u"ab", u"abcd"}, {20 + 39, 20 + 30}},
                                         {2, {u"ab", u"abcd"}, {20 + 79, 20 + 60}},
                                         {0, {u"ab", u"abcd"}, {20, 20}},
                                         {1, {u"Привет"}, {20 + 16}}}) {
    TextDrawing t;
    t.o.Text(20, 30, 100, 40, c.Lines, 12, c.Alignment, 0, 0x0000FF);
    std::vector<TextDrawing::TWrite> expected;
    for (size_t k = 0; k < c.Lines.size(); ++k)
      expected.push_back({c.Lines[k], c.X[k], 30 + int(k) * kLine, 0x0000FF, Clear});
    EXPECT_EQ(t.Draw(), expected) << int(c.Alignment);
    EXPECT_EQ(t.p.canvas.Calls.back().Font.Orientation, 0);
    EXPECT_EQ(t.p.canvas.Font.Style, 0u) << "the style emptied";
  }
}

// Turned texts start where their turned block fills the box: at 90 degrees
// Round(Wmax) lower, each line one line height further right; at 180 the
// block starts at the far corner; 450 degrees turn as 90.
TEST(TextObjects, TurnedTexts) {
  struct Case {
    uint16_t Angle;
    std::vector<std::pair<int, int>> At;  // of "abcd" (40 wide) and "ab" (21)
  };
  for (const Case& c : std::vector<Case>{{90, {{20, 30 + 40}, {20 + kLine, 30 + 40}}},
                                         {450, {{20, 30 + 40}, {20 + kLine, 30 + 40}}},
                                         {180, {{20 + 40, 30 + 2 * kLine}, {20 + 40, 30 + kLine}}},
                                         {270, {{20 + 2 * kLine, 30}, {20 + kLine, 30}}}}) {
    TextDrawing t;
    t.o.Text(20, 30, 100, 60, {u"abcd", u"ab"}, 12, 0, c.Angle);
    const auto writes = t.Draw();
    ASSERT_EQ(writes.size(), 2u);
    for (size_t k = 0; k < 2; ++k) EXPECT_EQ(std::pair(writes[k].X, writes[k].Y), c.At[k]) << c.Angle << " " << k;
    EXPECT_EQ(t.p.canvas.Calls.back().Font.Orientation, c.Angle % 360 * 10);
    EXPECT_EQ(t.p.canvas.Font.Orientation, 0) << "the turned font is released";
  }
  // The ink of a text turned by 90 degrees runs upwards from the box's
  // lower part: taller than wide.
  TPageBuilder b;
  TObjectPage o(b);
  o.Text(20, 10, 100, 200, {u"Turned text"}, 14, 0, 90);
  canvas::TBitmap image(200, 220);
  render::TKVPageDrawer(b.View, image.Canvas()).DrawPageContent(0, 100, 100, 0, 0);
  const canvas::TRect ink = canvas::testing::InkBounds(image);
  EXPECT_GT(ink.Height(), 2 * ink.Width());
  EXPECT_GE(ink.Left, 20);
  EXPECT_GE(ink.Top, 10 - 1) << "a pixel of smoothing at most";
}

// The text being edited: its selection from line 0 character 1 to line 1
// character 2 is white on the highlight, the rest in the text's colour.
TEST(TextObjects, TheEditedTextShowsItsSelection) {
  TextDrawing t;
  TKVText& text = t.o.Text(20, 30, 100, 40, {u"abc", u"defg"}, 12, 0, 90, 0x008000);
  t.p.b.View.EditedText = &t.o.Record(text);
  t.p.b.View.TextSelStart = {1, 0}, t.p.b.View.TextSelEnd = {2, 1};
  // Upright while edited, whatever its angle.
  EXPECT_EQ(t.Draw(), (std::vector<TextDrawing::TWrite>{{u"a", 20, 30, 0x008000, Clear},
                                                        {u"bc", 33, 30, 0xFFFFFF, Solid},
                                                        {u"de", 20, 48, 0xFFFFFF, Solid},
                                                        {u"fg", 40, 48, 0x008000, Clear}}));
  EXPECT_EQ(t.p.canvas.Calls[1].Brush.Color, 0xB59284u);
  // An empty selection, or one whose start lies after its end, highlights
  // nothing.
  t.p.b.View.TextSelEnd = {1, 0};
  EXPECT_EQ(t.Draw().size(), 2u);
  t.p.b.View.TextSelStart = {3, 1};
  EXPECT_EQ(t.Draw().size(), 2u);
  t.p.b.View.EditedText = nullptr;

  // On the pixels: the highlight's colour behind the selected characters
  // only, white ink on it.
  TPageBuilder b;
  TObjectPage o(b);
  TKVText& shown = o.Text(10, 10, 200, 40, {u"Selected"}, 14);
  b.View.EditedText = &o.Record(shown);
  b.View.TextSelStart = {3, 0}, b.View.TextSelEnd = {8, 0};
  canvas::TBitmap image(220, 60);
  render::TKVPageDrawer(b.View, image.Canvas()).DrawPageContent(0, 100, 100, 0, 0);
  const canvas::TRect highlight = [&] {
    canvas::TBitmap copy = image;
    for (int y = 0; y < copy.Height(); ++y)
      for (int x = 0; x < copy.Width(); ++x)
        if (copy.ColorAt(x, y) != 0xB59284) copy.Canvas().SetPixel(x, y, canvas::clWhite);
    return canvas::testing::InkBounds(copy);
  }();
  image.Canvas().Font.SetSize(14);
  const int before = image.Canvas().TextWidth(u"Sel"), all = image.Canvas().TextWidth(u"Selected");
  EXPECT_EQ(highlight.Left, 10 + before);
  EXPECT_EQ(highlight.Right, 10 + all);
  EXPECT_GT(canvas::testing::Count(image, canvas::clWhite, true, highlight), 20) << "white letters";
  EXPECT_EQ(canvas::testing::Count(image, 0xB59284, true, {0, 0, 10 + before, 60}), 0);
  b.View.EditedText = nullptr;
}

// Formatted runs: the characters of their segment at their own place, in
// their own font, size (0 as 8, by the scale unless printing) and colour;
// hidden runs and runs outside the text are passed over, a range past its
// line is cut to it.
TEST(TextObjects, FormattedRuns) {
  for (auto [style, zoom, points] : {std::tuple{wsNormal, 100, 8}, {wsPrint, 150, 8}, {wsNormal, 150, 12}}) {
    TextDrawing t(style, zoom);
    TKVText& text = t.o.Text(20, 30, 100, 40, {u"abcdef", u"gh"});
    text.Segments = {{0, 1, 3}, {1, 0, 9}, {5, 0, 1}, {0, 4, 2}, {0, 6, 7}};
    TKVTextRun run;
    run.FontName = "Serif", run.Style = text::fsItalic, run.Color = 0x112233, run.Left = 80, run.Top = 16;
    text.Runs = {{run, run, run}, {run, run, run}};
    text.Runs[0][1].Hidden = 1;
    text.Runs[0][2].Segment = 1, text.Runs[0][2].Size = 10, text.Runs[0][2].FontName = "";
    text.Runs[1][0].Segment = 2;  // a line the text has not
    text.Runs[1][1].Segment = 3;  // first after last
    text.Runs[1][2].Segment = 4;  // past the line's end
    const auto writes = t.Draw();
    const int x = 20 * zoom / 100 + 10 * zoom / 100, y = 30 * zoom / 100 + 2 * zoom / 100;
    EXPECT_EQ(writes, (std::vector<TextDrawing::TWrite>{{u"bcd", x, y, 0x112233, Clear}, {u"gh", x, y, 0x112233, Clear}}))
        << zoom;
    const auto texts = t.p.Named("TextOut");
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0]->Font.Size(), points);
    EXPECT_EQ(texts[0]->Font.Name, "Serif");
    EXPECT_EQ(texts[0]->Font.Style, unsigned(text::fsItalic));
    EXPECT_EQ(texts[1]->Font.Size(), style == wsPrint ? 10 : 10 * zoom / 100);
    EXPECT_EQ(texts[1]->Font.Name, "Arial");
  }
}

// Page marks write their record's wording; turned, in a turned font, from
// where their turned box starts (F24); without a record (in a user symbol)
// nothing.
TEST(TextObjects, PageMarks) {
  TextDrawing t;
  TKVPageMark& mark = t.o.Mark(40, 50, "ab", 12, 0, 0x0000FF);
  TKVPageMark& turned = t.o.Mark(100, 50, "ab", 12, 90);
  t.o.Record(turned).Placement = 1, t.o.Record(turned).Shift = {5, 7};
  EXPECT_EQ(t.Draw(), (std::vector<TextDrawing::TWrite>{{u"ab", 40, 50, 0x0000FF, Clear}, {u"ab", 105, 57 + 21, 0, Clear}}));
  EXPECT_EQ(t.p.canvas.Calls.back().Font.Orientation, 900);
  EXPECT_EQ(t.p.canvas.Calls.back().Font.Name, "Arial");
  t.p.canvas.Calls.clear();
  t.p.d.DrawObject(mark, nullptr, 10, 10, false, true);
  EXPECT_TRUE(t.p.canvas.Calls.empty());
}

}  // namespace
