// Marks drawn with lines on hand-built records (recording canvas, zoom 100,
// 10-pixel spaces, the staff's top line at y 100): arpeggios, trills, wavy
// lines, brackets, octave, barré and harmonic lines, numbered brackets and
// the line marks.

#include <gtest/gtest.h>

#include "render/MarkBuilder.h"

namespace {

namespace K = ItemKind;

// A span along the staff's top line: pixels 100 to 200 across, its line
// at y 100.
constexpr TKVLayoutRect kSpan{800, 768, 1600, 832};

// Pen widths of the recorded LineTo calls, in order.
std::vector<int> Widths(const Calls& Lines) {
  std::vector<int> widths;
  for (const canvas::TCanvasCall* line : Lines) widths.push_back(line->Pen.Width);
  return widths;
}

// An arpeggio of three waves: three thick and four thin strokes, the thin
// ones starting and ending at the middle; arrows at the top or bottom.
TEST(LineMarks, Arpeggios) {
  using Case = std::tuple<uint16_t, uint8_t, Rows, Points>;  // waves, flags, strokes, arrow
  for (auto [waves, flags, strokes, arrow] :
       {Case{3, 0,
             {{100, 110, 103, 106}, {100, 118, 103, 114}, {100, 126, 103, 122}, {101, 126, 100, 126},
              {103, 122, 100, 118}, {103, 114, 100, 110}, {103, 106, 101, 102}},
             {}},
        {1, 3, {{100, 110, 103, 106}, {101, 110, 100, 110}, {103, 106, 101, 102}}, {{102, 140}, {104, 136}, {100, 136}}},
        {1, 2, {{100, 130, 103, 134}, {101, 130, 100, 130}, {103, 134, 101, 138}}, {{102, 140}, {104, 136}, {100, 136}}},
        {0, 0, {{101, 102, 101, 102}}, {}}}) {
    TMarkPage t;
    t.Mark(K::Arpeggio, 0, {800, 800, 824, 1120}, flags).SetValue(waves);
    t.Draw();
    Calls lines = t.Named("LineTo");
    EXPECT_EQ(t.Args("LineTo"), strokes) << waves << " flags " << int(flags);
    std::vector<int> widths(waves, 2);
    widths.insert(widths.end(), waves + 1, 1);
    EXPECT_EQ(Widths(lines), widths);
    if (arrow.empty()) {
      EXPECT_TRUE(t.Named("Polygon").empty());
    } else {
      ASSERT_EQ(t.Named("Polygon").size(), 1u);
      EXPECT_EQ(Corners(*t.Named("Polygon")[0]), arrow);
    }
  }
}

// The trill glyph, its accidental at size 11 beside it, and the wave from
// after the glyph to the right edge when the trill has a length or was
// stretched.
TEST(LineMarks, Trills) {
  using Case = std::tuple<uint8_t, uint16_t, uint8_t, int32_t, int, int32_t>;  // sub-kind, value, mode, shift, accidental, right
  for (auto [variant, value, mode, shift, accidental, right] :
       {Case{3, 4, 0, 0, 0x42, 200}, {4, 0, 2, 20, 0x44, 220}, {0, 1, 0, 0, 0, 200}, {5, 0, 2, -20, 0, 0}}) {
    TMarkPage t;
    t.Mark(K::Trill, variant, {800, 704, 1600, 864}).SetValue(value);
    t.Record->Bounds2.Top = 800;
    t.Record->Placement = mode, t.Record->Shift = {shift, 0};
    t.Draw();
    SCOPED_TRACE(::testing::Message() << int(variant) << " value " << value);
    Calls glyphs = Glyphs(t.p.canvas);
    ASSERT_EQ(glyphs.size(), accidental ? 2u : 1u);
    EXPECT_EQ(std::tuple(glyphs[0]->Text, glyphs[0]->Args, glyphs[0]->Font.Size()),
              std::tuple(Code(0x9D), std::vector<double>({100, 100}), 18));
    if (accidental) {
      EXPECT_EQ(std::tuple(glyphs[1]->Text, glyphs[1]->Args, glyphs[1]->Font.Size()),
                std::tuple(Code(accidental), std::vector<double>({112, 90}), 11));
    }
    Calls lines = t.Named("LineTo");
    if (!right) {
      EXPECT_TRUE(lines.empty());
      continue;
    }
    t.p.canvas.Font = glyphs[0]->Font;
    const double x0 = 100 + t.p.canvas.TextWidthA("\x9D") + 3;
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0]->Args, std::vector<double>({x0, 100, x0 + 3, 102}));  // the first rising stroke
    for (const canvas::TCanvasCall* line : lines) {
      EXPECT_GE(std::min(line->Args[0], line->Args[2]), x0 - 3);
      EXPECT_LE(std::max(line->Args[0], line->Args[2]), right);
    }
  }
}

// Wavy lines: sub-kind 1 twice as high as sub-kind 0 with the same pens;
// sub-kind 2 an even zigzag of one pen, as high as sub-kind 1.
TEST(LineMarks, WavyLines) {
  using Case = std::tuple<uint8_t, double, std::vector<int>>;  // sub-kind, lowest y, pens used
  for (auto [variant, lowest, pens] : {Case{0, 102, {2, 1}}, {1, 104, {2, 1}}, {2, 104, {1}}}) {
    TMarkPage t;
    t.Mark(K::WavyLine, variant, kSpan);
    t.Record->Bounds2.Top = 800;
    t.Draw();
    Calls lines = t.Named("LineTo");
    ASSERT_FALSE(lines.empty());
    double low = 0, high = 1000;
    std::vector<int> used;
    for (const canvas::TCanvasCall* line : lines) {
      low = std::max({low, line->Args[1], line->Args[3]}), high = std::min({high, line->Args[1], line->Args[3]});
      if (used.empty() || used.back() != line->Pen.Width) used.push_back(line->Pen.Width);
      EXPECT_GE(std::min(line->Args[0], line->Args[2]), 97);
      EXPECT_LE(std::max(line->Args[0], line->Args[2]), 200);
    }
    EXPECT_EQ(std::tuple(low, high, used), std::tuple(lowest, 100.0, pens)) << int(variant);
    EXPECT_EQ(lines[0]->Args, std::vector<double>({102, 100, 105, lowest}));
  }
}

// The loops of waves and strokes step at least a pixel and draw only what
// falls inside the page: an absurd width at a tiny scale still draws a
// bounded number of strokes.
TEST(LineMarks, WavesStayBoundedByThePage) {
  for (uint8_t kind : {K::WavyLine, K::Trill, K::Arpeggio, K::Tremolo}) {
    TMarkPage t;
    t.Mark(kind, 0, {-80000000, -80000000, 80000000, 80000000}).SetValue(65535);
    t.Record->Bounds2.Top = 800;
    t.p.canvas.Calls.clear();
    t.p.d.DrawPageContent(0, 5, 5, 0, 0);
    EXPECT_LT(t.p.canvas.Calls.size(), 20000u) << int(kind);
    EXPECT_GT(t.p.canvas.Calls.size(), 0u) << int(kind);
  }
}

// A glyph with a continuation line on its baseline, in the mark's line
// style; the clear style draws no line, styles past the dashed ones solid.
TEST(LineMarks, ContinuedGlyphs) {
  using Case = std::tuple<uint8_t, uint8_t, uint16_t, size_t, canvas::TDashStyle>;  // sub-kind, style, value, lines, dash
  for (auto [variant, style, value, count, dash] :
       {Case{1, 2, 1, 1, canvas::dsDot}, {3, 5, 1, 0, canvas::dsSolid}, {3, 6, 1, 1, canvas::dsSolid},
        {0, 1, 1, 1, canvas::dsDash}}) {
    TMarkPage t;
    TKVMark& mark = t.Mark(K::ContinuedGlyph, variant, kSpan);
    mark.SetValue(value), mark.SetLineStyle(style), mark.SetExtent(16);
    t.Record->Bounds2.Top = 800;
    t.Draw();
    Calls glyphs = Glyphs(t.p.canvas), lines = t.Named("SmoothPath");
    ASSERT_EQ(glyphs.size(), variant ? 1u : 0u);
    ASSERT_EQ(lines.size(), count) << int(variant) << " style " << int(style);
    if (!count) continue;
    double after = 100;
    if (variant) {
      EXPECT_EQ(std::pair(glyphs[0]->Text, glyphs[0]->Args), std::pair(Code(0x93 + variant), std::vector<double>({100, 100})));
      t.p.canvas.Font = glyphs[0]->Font;
      after += t.p.canvas.TextWidthA(std::string(1, char(0x93 + variant)));
    }
    EXPECT_EQ(Corners(*lines[0]), (Points{{after + 1, 100}, {199, 102}}));
    EXPECT_EQ(lines[0]->SmoothPen->Dash, dash);
  }
}

// Brackets: the hooked bracket hooks down (sub-kind 0) or up and follows
// the slant; half and square brackets stand upright at the left edge.
TEST(LineMarks, Brackets) {
  using Case = std::tuple<uint8_t, uint8_t, int16_t, Points>;
  for (auto [kind, variant, extent, points] :
       {Case{K::HookedBracket, 0, 0, {{101, 102}, {101, 98}, {199, 98}, {199, 102}}},
        {K::HookedBracket, 1, 16, {{101, 98}, {101, 102}, {199, 104}, {199, 100}}},
        {K::HalfBracket, 0, 0, {{103, 101}, {101, 101}, {101, 140}}},
        {K::HalfBracket, 1, 0, {{103, 139}, {101, 139}, {101, 100}}},
        {K::SquareBracket, 0, 0, {{103, 101}, {101, 101}, {101, 139}, {103, 139}}}}) {
    TMarkPage t;
    t.Mark(kind, variant, kind == K::HookedBracket ? kSpan : TKVLayoutRect{800, 800, 880, 1120}).SetExtent(extent);
    t.Record->Bounds2.Top = 800;
    t.n.Select(*t.Record);
    t.Draw();
    Points drawn;
    if (kind == K::HookedBracket) {
      ASSERT_EQ(t.Named("SmoothPath").size(), 1u);
      drawn = Corners(*t.Named("SmoothPath")[0]);
    } else {
      for (const auto& line : t.Args("LineTo")) {
        if (drawn.empty()) drawn.push_back({line[0], line[1]});
        drawn.push_back({line[2], line[3]});
      }
    }
    EXPECT_EQ(drawn, points) << int(kind) << "/" << int(variant);
    // Handles at the line's far end (and 6 pixels before it), or below the
    // middle of an upright bracket.
    const Rows handles = kind == K::HookedBracket
                             ? Rows{{197, 97 + extent / 8.0, 203, 103 + extent / 8.0}, {191, 97 + extent / 8.0, 197, 103 + extent / 8.0}}
                             : Rows{{102, 137, 108, 143}};
    EXPECT_EQ(t.Args("Rectangle"), handles);
  }
}

// Octave lines: "8va" for sub-kinds 0 and 1, "15ma" else; the hook at the
// far end points down for 0 and 2 and up for the others.
TEST(LineMarks, OctaveLines) {
  using Case = std::tuple<uint8_t, int16_t, int16_t, std::string, double, double>;  // sub-kind, text x, text y, text, right, hook end
  for (auto [variant, textX, textY, text, right, hook] :
       {Case{1, 0, 0, "8va", 199, 95}, {3, 0, 0, "15ma", 199, 95}, {2, 80, 16, "15ma", 209, 107}}) {
    TMarkPage t;
    TKVMark& mark = t.Mark(K::OctaveLine, variant, kSpan);
    mark.Data().setI16(MarkBlock::TextX, textX), mark.Data().setI16(MarkBlock::TextY, textY);
    t.Record->Bounds2.Top = 800;
    t.Draw();
    Calls texts = t.Named("TextOutA"), lines = t.Named("SmoothPath");
    ASSERT_EQ(texts.size(), 1u);
    ASSERT_EQ(lines.size(), 1u);
    t.p.canvas.Font = texts[0]->Font;
    const double h = t.p.canvas.TextHeight(u"A"), w = t.p.canvas.TextWidthA(text);
    EXPECT_EQ(std::tuple(texts[0]->Text, texts[0]->Args, texts[0]->Font.Size()),
              std::tuple(Wide(text), std::vector<double>({100, 100 - std::floor(h / 2)}), 6));
    EXPECT_EQ(Corners(*lines[0]), (Points{{100 + w + 1, 100}, {right, 100}, {right, hook}})) << int(variant);
  }
}

// Barré lines: the fraction small, the letter, the fret as a Roman
// numeral; harmonic lines: the score's harmonic name and the numeral.
TEST(LineMarks, BarreAndHarmonicTexts) {
  using Case = std::tuple<uint8_t, uint8_t, uint8_t, std::vector<std::u16string>>;  // kind, sub-kind, flags, texts
  for (auto [kind, variant, flags, texts] :
       {Case{K::BarreLine, 5, 0x23, {u"1", u"2", u"C", u"V"}}, {K::BarreLine, 14, 0, {u"XIV"}},
        {K::BarreLine, 0, 0x10, {u"B"}}, {K::BarreLine, 1, 0x07, {u"1", u"I"}}, {K::HarmonicLine, 0, 1, {u"I"}},
        {K::HarmonicLine, 2, 0, {u"Flag.III"}}}) {
    TMarkPage t;
    t.p.b.Score->SetFlazholetName("Flag.");
    t.Mark(kind, variant, kSpan, flags);
    t.Record->Bounds2.Top = 800;
    t.Draw();
    EXPECT_EQ(t.Texts(), texts) << int(kind) << "/" << int(variant);
  }
  // The fraction's bar between its numbers, the letter after it.
  TMarkPage t;
  t.Mark(K::BarreLine, 5, kSpan, 0x23);
  t.Record->Bounds2.Top = 800;
  t.Draw();
  EXPECT_EQ(t.Args("LineTo"), Rows({{101, 100, 104, 100}}));
  EXPECT_EQ(std::pair(t.Named("TextOutA")[1]->Args, t.Named("TextOutA")[2]->Args[0]), std::pair(std::vector<double>({100, 100}), 106.0));
}

// Numbered brackets: widened to the left below eight units, the caption or
// the sub-kind with a dot, in the mark's own colour whatever the voice.
TEST(LineMarks, NumberedBrackets) {
  using Case = std::tuple<TKVLayoutRect, std::string, int16_t, std::u16string, Rows>;  // rect, caption, text y, text, lines
  for (auto [rect, caption, textY, text, lines] :
       {Case{{800, 800, 840, 960}, "", 0, u"2.", {{98, 108, 98, 101}, {98, 101, 104, 101}, {104, 101, 104, 120}}},
        {{800, 800, 1600, 960}, "1, 3.", 80, u"1, 3.", {{101, 108, 101, 101}, {101, 101, 199, 101}, {199, 101, 199, 130}}}}) {
    TMarkPage t;
    t.p.b.View.SetDataStyle(dsActiveVoice);
    TKVMark& mark = t.Mark(K::Volta, 2, rect);
    mark.SetText2(caption), mark.SetStaffVoice(5), mark.SetColor(0x00FF00);
    mark.Data().setI16(MarkBlock::TextY, textY);
    t.Draw();
    Calls texts = t.Named("TextOutA");
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(std::pair(texts[0]->Text, texts[0]->Font.Color), std::pair(text, 0x00FF00u));
    EXPECT_EQ(texts[0]->Args, std::vector<double>({lines[0][0] + 2, 101}));
    EXPECT_EQ(t.Args("LineTo"), lines);
    EXPECT_EQ(t.Named("LineTo")[0]->Pen.Color, 0x00FF00u);
  }
}

// Line marks: a plain line with a solid end hook, "P.M." before the line,
// an "M" between two quarter arcs; too short a "P.M." line keeps its text
// only.
TEST(LineMarks, PlainPalmMuteAndArcForms) {
  TMarkPage t;
  t.Mark(K::ExtensionLine, 0, kSpan).SetValue(1);
  t.Record->Bounds2.Top = 800;
  t.Draw();
  Calls lines = t.Named("SmoothPath");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(std::pair(Corners(*lines[0]), lines[0]->SmoothPen->Dash), std::pair(Points{{101, 100}, {199, 100}}, canvas::dsDot));
  EXPECT_EQ(std::pair(Corners(*lines[1]), lines[1]->SmoothPen->Dash), std::pair(Points{{199, 98}, {199, 102}}, canvas::dsSolid));

  for (TKVLayoutRect rect : {kSpan, TKVLayoutRect{800, 768, 840, 832}}) {
    TMarkPage pm;
    pm.Mark(K::ExtensionLine, 1, rect).SetValue(1);
    pm.Record->Bounds2.Top = 800;
    pm.Draw();
    EXPECT_EQ(pm.Texts(), std::vector<std::u16string>({u"P.M."}));
    pm.p.canvas.Font = pm.Named("TextOut")[0]->Font;
    const double tw = pm.p.canvas.TextWidth(u"P.M.");
    if (rect.Width == kSpan.Width) {
      ASSERT_EQ(pm.Named("SmoothPath").size(), 2u);
      EXPECT_EQ(Corners(*pm.Named("SmoothPath")[0]), (Points{{101 + tw, 100}, {199, 100}}));
    } else {
      EXPECT_TRUE(pm.Named("SmoothPath").empty());
    }
  }

  TMarkPage m;
  m.Mark(K::ExtensionLine, 2, {800, 768, 1600, 928}).SetValue(1);
  m.Record->Bounds2.Top = 800;
  m.Draw();
  Calls texts = m.Named("TextOut"), arcs = m.Named("SmoothPath");
  ASSERT_EQ(texts.size(), 1u);
  m.p.canvas.Font = texts[0]->Font;
  const double tw = m.p.canvas.TextWidth(u"M");
  EXPECT_EQ(texts[0]->Args[0], std::floor((300 - tw) / 2));
  ASSERT_EQ(arcs.size(), 2u);
  const canvas::TPathCommand& arc = arcs[1]->Path.back();
  EXPECT_EQ(std::tuple(arc.Kind, arc.Box.X, arc.Box.Y, arc.Box.W, arc.Box.H, arc.Start, arc.Sweep),
            std::tuple(canvas::TPathCommand::Arc, 100 + tw + 2, 100.0, 100 - tw - 2, 20.0, 270.0, 90.0));
}

}  // namespace
