// Bar lines, repeat signs and navigation marks on hand-built records
// (recording canvas, zoom 100, 10-pixel spaces, the staff's top line at
// y 100 and its bottom line at y 140).

#include <gtest/gtest.h>

#include "render/MarkBuilder.h"
#include "score/model/Column.h"
#include "score/model/UserSymbol.h"

namespace {

namespace K = ItemKind;

// A bar mark over the whole staff: pixels 100 to 110 across, 100 to 140
// down.
constexpr TKVLayoutRect kBar{800, 800, 880, 1120};

// Each bar as fills in its own colour, also where dsActiveVoice greys the
// other voices; widths round at half size, yet no thin bar is narrower
// than a pixel. Repeat signs add two dots in the second and third space.
TEST(BarLines, BarFamilyFills) {
  using Case = std::tuple<uint8_t, uint8_t, Rows, Rows>;  // kind, size percent, fills, dots
  for (auto [kind, size, fills, dots] :
       {Case{K::FinalBar, 100, {{105, 100, 106, 140}, {108, 100, 110, 140}}, {}},
        {K::HeavyLightBar, 100, {{100, 100, 102, 140}, {104, 100, 105, 140}}, {}},
        {K::DoubleBar, 100, {{100, 100, 101, 140}, {103, 100, 104, 140}}, {}},
        {K::FinalBar, 50, {{107, 100, 108, 140}, {109, 100, 110, 140}}, {}},
        {K::HeavyLightBar, 50, {{100, 100, 101, 140}, {103, 100, 104, 140}}, {}},
        {K::RepeatStart, 100, {{100, 100, 102, 140}, {104, 100, 105, 140}}, {{106, 114, 108, 116}, {106, 124, 108, 126}}},
        {K::RepeatEnd, 100, {{108, 100, 110, 140}, {105, 100, 106, 140}}, {{102, 114, 104, 116}, {102, 124, 104, 126}}}}) {
    TMarkPage t;
    t.p.b.View.SetDataStyle(dsActiveVoice);
    TKVMark& mark = t.Mark(kind, 0, kBar);
    mark.SetColor(0x00FF00), mark.SetStaffVoice(3);
    t.Record->SizePercent = size;
    t.Draw();
    EXPECT_EQ(std::pair(t.Args("FillRect"), t.Args("Ellipse")), std::pair(fills, dots)) << int(kind) << " at " << int(size);
    for (const canvas::TCanvasCall* fill : t.Named("FillRect")) EXPECT_EQ(fill->Brush.Color, 0x00FF00u);
  }
}

// Dots on every shown staff of the system, none on a hidden one; with
// Flags bit 4 the thick bar has wings reaching below the bottom line as
// drawn (a pixel below where it was laid out) and the thin bar stays.
TEST(BarLines, RepeatDotsAndWings) {
  TMarkPage t;
  t.n.Line->Bottom = 1112;
  t.SecondLine(1600), t.SecondLine(2400, false);
  t.Mark(K::RepeatStart, 0, kBar, 0x10);
  t.Draw();
  EXPECT_EQ(t.Args("Ellipse"), Rows({{106, 114, 108, 116}, {106, 124, 108, 126}, {106, 214, 108, 216}, {106, 224, 108, 226}}));
  ASSERT_EQ(t.Named("Polygon").size(), 1u);
  EXPECT_EQ(Corners(*t.Named("Polygon")[0]),
            (Points{{105, 98}, {101, 100}, {99, 100}, {99, 141}, {101, 140}, {105, 143}, {101, 140}, {101, 101}, {105, 98}}));
  EXPECT_EQ(t.Args("FillRect"), Rows({{104, 100, 105, 141}}));
}

// A pending move shifts a bar sideways only and a jump text both ways; a
// jump text without a font name takes the score's text font 14; the segno
// stands six units below its top.
TEST(BarLines, MovesTextsAndSigns) {
  TMarkPage t;
  t.p.b.Score->TextFonts().SetEntry(14, "Liberation Serif", 0);
  t.Mark(K::FinalBar, 0, kBar);
  t.Record->Placement = 1, t.Record->Shift = {5, 7};
  t.Mark(K::DaCapo, 0, {1600, 640, 1800, 720}).SetTextStyle(text::fsItalic);
  t.Record->Placement = 1, t.Record->Shift = {5, 7};
  t.Mark(K::DalSegno, 0, {3200, 640, 3400, 720}).SetText1("DejaVu Sans");
  t.Mark(K::Segno, 0, {800, 640, 960, 800});
  t.Draw();
  EXPECT_EQ(t.Args("FillRect"), Rows({{110, 100, 111, 140}, {113, 100, 115, 140}}));
  Calls texts = t.Named("TextOut");
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(std::tuple(texts[0]->Text, texts[0]->Args, texts[0]->Font.Size(), texts[0]->Font.Name, texts[0]->Font.Style),
            std::tuple(std::u16string(u"D.C."), std::vector<double>({205, 87}), 8, std::string("Liberation Serif"),
                       unsigned(text::fsItalic)));
  EXPECT_EQ(std::pair(texts[1]->Text, texts[1]->Font.Name), std::pair(std::u16string(u"D.S."), std::string("DejaVu Sans")));
  ASSERT_EQ(Glyphs(t.p.canvas).size(), 1u);
  EXPECT_EQ(std::pair(Glyphs(t.p.canvas)[0]->Text, Glyphs(t.p.canvas)[0]->Args), std::pair(Code('x'), std::vector<double>({100, 86})));
  EXPECT_EQ(t.p.canvas.Font.Style, 0u);
}

// A user-symbol mark whose index lies beyond the score's symbols draws
// nothing, even selected; a symbol's objects leave the page's object scale
// as they found it.
TEST(BarLines, UserSymbols) {
  TMarkPage t;
  t.p.b.Score->UserSymbols().AddObject("arrow", new TKVUserSymbol);
  TKVMark& beyond = t.Mark(K::DynamicSymbol, 0, {800, 800, 880, 880});
  beyond.SetValue(1);
  t.n.Select(*t.Record);
  t.Draw();
  EXPECT_TRUE(t.p.canvas.Calls.empty());
  beyond.SetValue(0);
  t.Draw();
  EXPECT_EQ(t.Named("Polyline").size(), 4u);  // the selection corners
  EXPECT_EQ(t.p.d.ObjectScale, 100);
}

// The bar-line mark: one unit to the right of its rectangle's left edge,
// from its top to the staff's drawn bottom, in the column's width factor
// (0 drawn as 1 and kept as 1) and dash style (5 none), in the tone of the
// measure's lines; past the columns solid and one unit wide.
TEST(BarLines, BarLineMarkFollowsItsColumn) {
  using Case = std::tuple<int, uint8_t, uint8_t, TKVWindowStyle, uint8_t, size_t, double, canvas::TDashStyle,
                          canvas::TColor>;  // column, factor, style, view, measure flags, lines, width, dash, colour
  for (auto [column, factor, style, view, flags, count, width, dash, colour] :
       {Case{0, 0, 0, wsNormal, 0, 1, 1, canvas::dsSolid, 0xD9D9D9}, {0, 3, 2, wsNormal, 1, 1, 3, canvas::dsDot, 0x808080},
        {0, 2, 5, wsPrint, 0, 0, 0, canvas::dsSolid, 0}, {5, 3, 2, wsExport, 0, 1, 1, canvas::dsSolid, 0}}) {
    TMarkPage t;
    TKVColumn* own = t.p.b.Piece->NewColumn();
    own->BarWidthFactor = factor, own->BarLineStyle = style;
    t.n.Record->ColumnIndex = uint16_t(column), t.n.Record->Flags = flags;
    t.p.b.View.SetStyle(view);
    t.Mark(K::BarLine, 0, {800, 800, 824, 1120});
    t.Draw();
    Calls lines = t.Named("SmoothPath");
    ASSERT_EQ(lines.size(), count);
    EXPECT_EQ(own->BarWidthFactor, column == 0 ? std::max<uint8_t>(factor, 1) : factor);
    if (!count) continue;
    EXPECT_EQ(Corners(*lines[0]), (Points{{101, 100}, {101, 140}}));
    EXPECT_EQ(std::tuple(lines[0]->SmoothPen->Width, lines[0]->SmoothPen->Dash, lines[0]->SmoothPen->Color, lines[0]->Smoothing),
              std::tuple(width, dash, canvas::ArgbOf(colour), false));
  }
}

}  // namespace
