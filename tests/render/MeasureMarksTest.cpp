// Measure numbers, rehearsal marks, repeat strokes, multi-measure rests,
// bends and the stroke marks on hand-built records (recording canvas, zoom
// 100, 10-pixel spaces, the staff's top line at y 100).

#include <gtest/gtest.h>

#include "render/MarkBuilder.h"
#include "score/model/SimpleElements.h"

namespace {

namespace K = ItemKind;

// Measure numbers show in the output styles only when the score prints
// them; on screen always.
TEST(MeasureNumbers, ShownByStyle) {
  using Case = std::tuple<TKVWindowStyle, uint8_t, bool>;
  for (auto [style, print, shown] : {Case{wsNormal, 0, true}, {wsPreview, 0, false}, {wsExport, 0, false}, {wsPrint, 1, true}}) {
    TMarkPage t;
    t.p.b.View.SetStyle(style);
    t.p.b.Score->Drawing.PrintMeasureNumbers = print;
    t.n.Record->MeasureNumber = 12;
    t.Mark(K::MeasureNumber, 0, {800, 640, 960, 800});
    t.Draw();
    EXPECT_EQ(t.Texts(), shown ? std::vector<std::u16string>({u"12"}) : std::vector<std::u16string>()) << style;
  }
}

// The number is centred in the rectangle; its ellipse is made round, a
// rehearsal mark's keeps the rectangle's shape.
TEST(MeasureNumbers, CentringAndEnclosures) {
  using Case = std::tuple<uint8_t, uint8_t, TKVLayoutRect, std::string, Rows>;  // kind, flags, rect, call, shape
  for (auto [kind, flags, rect, call, shape] :
       {Case{K::MeasureNumber, 0x20, {800, 640, 1040, 800}, "Ellipse", {{101, 76, 129, 104}}},
        {K::MeasureNumber, 0x20, {800, 560, 960, 880}, "Ellipse", {{91, 71, 129, 109}}},
        {K::MeasureNumber, 0x30, {800, 640, 1040, 800}, "Rectangle", {{101, 81, 129, 99}}},
        {K::RehearsalMark, 0x08, {800, 640, 1040, 800}, "Ellipse", {{101, 81, 129, 99}}}}) {
    TMarkPage t;
    t.n.Record->MeasureNumber = 7, t.n.Record->RehearsalNumber = 1;
    t.Mark(kind, 0, rect, flags).SetColor(0x00FF00);
    t.Draw();
    EXPECT_EQ(t.Args(call), shape) << int(kind) << " flags " << int(flags);
    EXPECT_EQ(t.Named(call)[0]->Pen.Color, 0x00FF00u);
    Calls texts = t.Named("TextOutA");
    ASSERT_EQ(texts.size(), 1u);
    t.p.canvas.Font = texts[0]->Font;
    const double w = t.p.canvas.TextWidthA(kind == K::MeasureNumber ? "7" : "A"), h = t.p.canvas.TextHeight(u"7");
    const double left = rect.Left / 8, right = rect.Width / 8, top = rect.Top / 8, bottom = rect.Bottom / 8;
    EXPECT_EQ(texts[0]->Args[0], std::floor((left + right - w) / 2));
    EXPECT_EQ(texts[0]->Args[1], kind == K::MeasureNumber ? std::floor((top + bottom - h) / 2) : top + 1);
  }
}

// Rehearsal marks by letters from A (index 1) or, with style 2, by number;
// the number's brackets in the bracket font; both keep their own colour.
TEST(MeasureNumbers, RehearsalTextsAndBrackets) {
  using Case = std::tuple<uint16_t, uint8_t, std::u16string>;
  for (auto [index, flags, text] : {Case{1, 0, u"A"}, {26, 0, u"Z"}, {27, 0, u"AA"}, {1, 0x80, u"1"}, {12, 0x80, u"12"}}) {
    TMarkPage t;
    t.p.b.View.SetDataStyle(dsActiveVoice);
    t.n.Record->RehearsalNumber = index;
    TKVMark& mark = t.Mark(K::RehearsalMark, 0, {800, 640, 1040, 800}, flags);
    mark.SetStaffVoice(4), mark.SetColor(0x00FF00);
    t.Draw();
    EXPECT_EQ(t.Texts(), std::vector<std::u16string>({text}));
    EXPECT_EQ(t.Named("TextOutA")[0]->Font.Color, 0x00FF00u);
  }
  TMarkPage t;
  t.p.b.Score->TextFonts().SetEntry(0, "Liberation Serif", 0);
  t.Mark(K::MeasureNumber, 0, {800, 640, 1040, 800}, 0x08);
  t.Draw();
  EXPECT_EQ(t.Args("TextOut"), Rows({{96, 76}, {131, 76}}));
  EXPECT_EQ(t.Named("TextOut")[0]->Font.Name, "Liberation Serif");
}

// Multi-measure rests: rest blocks for two to nine measures, the H-bar for
// any other count, the count above by its own offset truncated toward zero;
// nothing on a staff line not shown.
TEST(RepeatStrokes, MultiMeasureRests) {
  using Case = std::tuple<uint16_t, Rows>;
  for (auto [count, blocks] :
       {Case{1, {{100, 100, 101, 120}, {159, 100, 160, 120}, {101, 101, 159, 119}}},
        {12, {{100, 100, 101, 120}, {159, 100, 160, 120}, {101, 101, 159, 119}}},
        {2, {{100, 110, 160, 120}}},
        {3, {{100, 110, 105, 120}, {110, 110, 160, 115}}},
        {7, {{100, 100, 105, 120}, {110, 100, 115, 110}, {120, 100, 160, 105}}},
        {9, {{100, 100, 105, 120}, {110, 100, 115, 120}, {120, 100, 160, 105}}}}) {
    TMarkPage t;
    TKVMark& rest = t.Mark(K::MultiMeasureRest, 0, {});
    rest.SetValue(count), rest.Data().setI16(MarkBlock::TextY, -20);  // -2.5 pixels: 2 up
    t.Record->Bounds2 = {800, 800, 1280, 960};
    t.Draw();
    EXPECT_EQ(t.Args("FillRect"), blocks) << count;
    Calls texts = t.Named("TextOutA");
    ASSERT_EQ(texts.size(), 1u);
    t.p.canvas.Font = texts[0]->Font;
    EXPECT_EQ(std::tuple(texts[0]->Text, texts[0]->Args[1], texts[0]->Font.Size()),
              std::tuple(Wide(std::to_string(count)), 100 - t.p.canvas.TextHeight(u"A") - 2, 9));
  }
  TMarkPage hidden;
  hidden.Mark(K::MultiMeasureRest, 0, {}).SetValue(4);
  hidden.Record->Bounds2 = {800, 800, 1280, 960};
  TKVStaffLineRecord& off = hidden.SecondLine(1600, false);
  hidden.Record->StaffLine = &off;
  hidden.Draw();
  EXPECT_TRUE(hidden.p.canvas.Calls.empty());
}

// Stroke groups and measure-repeat signs: the stroke byte + 1 strokes four
// units apart across two spaces, the sign's dots before and after them.
TEST(RepeatStrokes, StrokesAndMeasureRepeats) {
  TMarkPage t;
  t.Mark(K::BeatRepeat, 0, {800, 800, 960, 1120});
  t.Draw();
  ASSERT_EQ(t.Named("Polygon").size(), 1u);
  EXPECT_EQ(Corners(*t.Named("Polygon")[0]), (Points{{100, 130}, {102, 130}, {114, 110}, {112, 110}}));

  TMarkPage r;
  r.Mark(K::MeasureRepeat, 1, {800, 800, 960, 1120});
  r.Draw();
  EXPECT_EQ(r.Named("Polygon").size(), 2u);
  EXPECT_EQ(Corners(*r.Named("Polygon")[1])[0], std::pair(104.0, 130.0));
  EXPECT_EQ(r.Args("Ellipse"), Rows({{102, 114, 106, 118}, {111, 122, 115, 126}}));
}

// The double slash is filled black whatever the mark's colour; stroke
// groups of a hidden voice draw nothing.
TEST(RepeatStrokes, DoubleSlashAndHiddenVoices) {
  TMarkPage t;
  t.Mark(K::DoubleSlash, 0, {800, 800, 960, 960}).SetColor(0x0000FF);
  TKVVoice* hidden = t.n.StaffOf->NewVoice();
  hidden->Data().setU8(VoiceBlock::Visible, 0);
  t.Mark(K::BeatRepeat, 2, {800, 800, 960, 1120}).Voice = hidden;
  t.Draw();
  Calls bars = t.Named("SmoothPath");
  ASSERT_EQ(bars.size(), 2u);
  EXPECT_EQ(Corners(*bars[0]), (Points{{100, 108}, {120, 100}, {120, 103}, {100, 111}}));
  EXPECT_EQ(Corners(*bars[1]), (Points{{100, 112}, {120, 104}, {120, 107}, {100, 115}}));
  EXPECT_EQ(bars[0]->SmoothBrush->Color, canvas::ArgbOf(canvas::clBlack));
  EXPECT_TRUE(t.Named("Polygon").empty());
}

// A bend of Type from the note at pixel (100, 100) up to y 90, its first
// Segments segments 80 units (10 pixels) long.
void AddBend(TMarkPage& T, uint8_t Type, int Segments) {
  auto* bend = new TKVBend(T.n.Measure);
  bend->SetKind(K::Bend);
  bend->Data().setU8(BendBlock::Variant, Type);
  for (int i = 0; i < Segments; ++i) bend->Data().setU16(BendBlock::Length1 + 2 * size_t(i), 80);
  T.Record = &T.n.Add(bend, {});
  T.Record->Bounds2 = {800, 720, 1040, 800};
}

// Bends: type 0 rises straight with the one-half sign above its tip, type 1
// curves; types 2 and 3 release with the sign only at the end; a hold
// before the release for type 4; a length of 8 is a pixel at zoom 100.
TEST(Bends, SegmentsArrowsAndFractions) {
  using Case = std::tuple<uint8_t, size_t, size_t, size_t, std::vector<double>>;  // type, lines, arcs, arrows, fraction "1" at
  for (auto [type, lines, arcs, arrows, half] :
       {Case{0, 1, 0, 1, {106, 80}}, {1, 0, 1, 1, {106, 80}}, {2, 1, 1, 2, {116, 98}}, {3, 0, 2, 2, {116, 98}},
        {4, 2, 1, 2, {126, 98}}, {5, 1, 2, 2, {126, 98}}}) {
    TMarkPage t;
    AddBend(t, type, 3);
    t.Draw();
    SCOPED_TRACE(int(type));
    Calls texts = t.Named("TextOut");
    EXPECT_EQ(std::pair(t.Named("LineTo").size(), t.Named("Arc").size()), std::pair(lines + 1, arcs));
    EXPECT_EQ(t.Named("Polygon").size(), arrows);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(std::pair(texts[0]->Text, texts[0]->Args), std::pair(std::u16string(u"1"), half));
    EXPECT_EQ(texts[0]->Font.Size(), 4);
  }
  // The first segment's tip: ten pixels right of the note, at the top.
  TMarkPage t;
  AddBend(t, 0, 1);
  t.Draw();
  EXPECT_EQ(t.Args("LineTo")[0], std::vector<double>({100, 100, 110, 90}));
  EXPECT_EQ(Corners(*t.Named("Polygon")[0])[0], std::pair(110.0, 90.0));
}

// A stretch of the bend by hand is shared among its segments: all to the
// bend for types 0 and 1, halves for 2 and 3, thirds from 4 on.
TEST(Bends, StretchSpreadsOverTheSegments) {
  using Case = std::tuple<uint8_t, double, double>;  // type, first tip x, end x
  for (auto [type, tip, end] : {Case{0, 122, 122}, {2, 116, 132}, {4, 114, 142}}) {
    TMarkPage t;
    AddBend(t, type, 3);
    t.Record->Placement = 4, t.Record->Shift = {12, 0};
    t.Draw();
    EXPECT_EQ(Corners(*t.Named("Polygon")[0])[0].first, tip) << int(type);
    EXPECT_EQ(Corners(*t.Named("Polygon").back())[0].first, end) << int(type);
  }
}

// The vertical arrow: its head at the top for sub-kind 0 with the handle at
// the bottom, the other way round otherwise.
TEST(StrokeMarks, VerticalArrows) {
  using Case = std::tuple<uint8_t, Points, std::vector<double>>;
  for (auto [variant, head, handle] : {Case{0, {{100, 104}, {104, 100}, {108, 104}}, {101, 137, 107, 143}},
                                       {1, {{100, 136}, {104, 140}, {108, 136}}, {101, 97, 107, 103}}}) {
    TMarkPage t;
    t.Mark(K::VerticalArrow, variant, {800, 800, 864, 1120});
    t.n.Select(*t.Record);
    t.Draw();
    EXPECT_EQ(t.Args("LineTo"), Rows({{104, 100, 104, 140}}));
    ASSERT_EQ(t.Named("Polyline").size(), 5u);
    EXPECT_EQ(Corners(*t.Named("Polyline")[0]), head);
    EXPECT_EQ(t.Args("Rectangle"), Rows({handle}));
  }
}

// Staccato dots and portamento blocks of a hidden voice draw nothing; shown
// ones take their note's colour rule.
TEST(StrokeMarks, StaccatoAndPortamento) {
  TMarkPage t;
  t.Mark(K::Staccato, 0, {800, 800, 840, 880});
  t.Mark(K::Portamento, 0, {1600, 800, 1680, 880});
  TKVVoice* hidden = t.n.StaffOf->NewVoice();
  hidden->Data().setU8(VoiceBlock::Visible, 0);
  t.Mark(K::Staccato, 0, {2400, 800, 2440, 880}).Voice = hidden;
  t.n.Select(*t.Record);
  t.Draw();
  EXPECT_EQ(t.Args("Ellipse"), Rows({{101, 104, 104, 107}}));
  EXPECT_EQ(t.Args("FillRect"), Rows({{201, 101, 209, 109}}));
  EXPECT_TRUE(t.Named("Polyline").empty());
}

// Stroke groups: strokes three pixels apart and two thick at 100 %; none for
// a count of 0, which stays selectable; glyph marks by kind and variant.
TEST(StrokeMarks, StrokeGroupsAndGlyphs) {
  TMarkPage t;
  TKVMark& group = t.Mark(K::Tremolo, 0, {800, 800, 880, 960});
  group.SetValue(3), group.SetExtent(-24);
  t.Record->Bounds2.Top = 824;
  t.Draw();
  Calls strokes = t.Named("SmoothPath");
  ASSERT_EQ(strokes.size(), 3u);
  for (size_t k = 0; k < 3; ++k) {
    EXPECT_EQ(Corners(*strokes[k]), (Points{{100, 103.0 + 3 * k}, {110, 97.0 + 3 * k}}));
    EXPECT_EQ(strokes[k]->SmoothPen->Width, 2);
  }
  TMarkPage none;
  none.Mark(K::Tremolo, 0, {800, 800, 880, 960});
  none.n.Select(*none.Record);
  none.Draw();
  EXPECT_TRUE(none.Named("SmoothPath").empty());
  EXPECT_EQ(none.Named("Polyline").size(), 4u);
  EXPECT_EQ(none.Named("Rectangle").size(), 2u);

  using Case = std::tuple<uint8_t, uint8_t, int, double>;  // kind, variant, glyph, baseline
  for (auto [kind, variant, code, baseline] : {Case{K::GlyphMarkA, 0, 0x67, 104}, {K::GlyphMarkB, 3, 0x68, 104},
                                               {K::TwoVariantGlyph, 1, 0x83, 106}, {K::TwoVariantGlyph, 2, 0, 0}}) {
    TMarkPage g;
    g.p.d.GlyphChar = 0x67;
    g.Mark(kind, variant, {800, 800, 880, 880});
    g.Draw();
    Calls glyphs = Glyphs(g.p.canvas);
    ASSERT_EQ(glyphs.size(), code ? 1u : 0u);
    if (code) {
      EXPECT_EQ(std::pair(glyphs[0]->Text, glyphs[0]->Args), std::pair(Code(code), std::vector<double>({100, baseline})));
    }
  }
}

}  // namespace
