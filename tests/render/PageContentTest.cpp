#include <gtest/gtest.h>
#include <climits>

#include "render/PageBuilder.h"

namespace {
// Staves at 100 % with 10-pixel line spacing, the top line laid out at y
// 100: lines centred in the height of five, a tablature's spacing 1.3 times.
struct StaffCase {
  int Lines, Tablature, FirstY, Spacing, StaffHeight;
};
class StaffGeometry : public ::testing::TestWithParam<StaffCase> {};
TEST_P(StaffGeometry, LinesAreCentredAndSpaced) {
  const StaffCase& c = GetParam();
  Drawing p;
  TKVStaffLineRecord& line = (p.b.System(), p.b.Line(p.b.Staff(c.Lines), 800));
  line.Staff->Data().setU8(StaffBlock::Tablature, uint8_t(c.Tablature));
  p.b.Measure(*line.System, 0, 800);
  p.d.DrawPageContent(0, 100, 100, 0, 0);
  Calls lines = p.Named("SmoothPath");
  ASSERT_EQ(lines.size(), size_t(c.Lines));
  for (int i = 0; i < c.Lines; ++i)
    EXPECT_EQ(lines[size_t(i)]->Path[1].P[0], (canvas::TPointF{100, double(c.FirstY + i * c.Spacing)}));
  EXPECT_EQ(std::pair(int(line.DrawnLineSpacing), line.StaffHeight), std::pair(c.Spacing, c.StaffHeight));
}

INSTANTIATE_TEST_SUITE_P(Staves, StaffGeometry,
                         ::testing::Values(StaffCase{5, 0, 100, 10, 0}, StaffCase{3, 0, 110, 10, -10},
                                           StaffCase{1, 0, 120, 10, -20}, StaffCase{4, 0, 105, 10, -5},
                                           StaffCase{6, 1, 100, 13, 25}));

// Two staves, two abutting measures and one after a gap, all open at the
// left: measure lines join the first staff's top to the last one's bottom.
struct ColourCase {
  TKVWindowStyle Style; uint8_t MeasureFlags; canvas::TColor Colour;
  friend std::ostream& operator<<(std::ostream& s, const ColourCase& c) { return s << int(c.Style) << int(c.MeasureFlags); }
};
class LineColours : public ::testing::TestWithParam<ColourCase> {};
TEST_P(LineColours, StaffAndMeasureLines) {
  const ColourCase& c = GetParam();
  Drawing p(100, c.Style);
  TKVSystemRecord& system = p.b.System();
  p.b.Line(p.b.Staff(), 800), p.b.Line(p.b.Staff(), 1600);
  for (auto [left, right] : {std::pair{0, 800}, {800, 1600}, {2400, 3200}})
    p.b.Measure(system, left, right, uint8_t(c.MeasureFlags | 4));
  p.d.DrawPageContent(0, 100, 100, 0, 0);
  Calls staffLines = p.Named("SmoothPath"), measureLines = p.Named("LineTo");
  EXPECT_EQ(staffLines.size(), 30u);
  for (auto* call : staffLines) EXPECT_EQ(call->SmoothPen->Color, canvas::ArgbOf(c.Colour));
  ASSERT_EQ(measureLines.size(), 2u);
  EXPECT_EQ(measureLines[0]->Args, std::vector<double>({0, 100, 0, 240}));  // not at 100 px: abutting
  EXPECT_EQ(measureLines[1]->Args, std::vector<double>({300, 100, 300, 240}));
  for (auto* call : measureLines) EXPECT_EQ(call->Pen.Color, c.Colour);
}

INSTANTIATE_TEST_SUITE_P(Styles, LineColours,
                         ::testing::Values(ColourCase{wsNormal, 0, 0xD9D9D9}, ColourCase{wsNormal, 1, 0x808080},
                                           ColourCase{wsExport, 1, canvas::clBlack}, ColourCase{wsPrint, 0, 0}));

// A system from the composer's real measure count on trails the music: hidden in print unless kept.
TEST(PageContent, TrailingSystems) {
  using Case = std::tuple<TKVWindowStyle, int, int, int, size_t, size_t>;  // keep page, systems, measures
  for (auto [style, page, systems, measures, staffLines, measureLines] :
       {Case{wsPrint, 0, 0, 0, 0, 0}, {wsPrint, 1, 0, 0, 5, 0}, {wsPrint, 0, 1, 0, 5, 0}, {wsPrint, 0, 0, 1, 0, 0},
        {wsNormal, 0, 0, 0, 5, 1}}) {
    Drawing p(100, style);
    p.b.Store.Composer.LayoutDone = true, p.b.Store.Composer.RealMeasures = 3, p.b.Page.KeepTrailing = uint8_t(page);
    p.b.Score->Drawing.KeepTrailingSystems = uint8_t(systems), p.b.Score->Drawing.KeepTrailingMeasures = uint8_t(measures);
    p.b.Measure(p.b.System(3), 0, 800, 4), p.b.Line(p.b.Staff(), 800), p.d.DrawPageContent(0, 100, 100, 0, 0);
    EXPECT_EQ(std::pair(p.Named("SmoothPath").size(), p.Named("LineTo").size()), std::pair(staffLines, measureLines));
  }
}

// Records a damaged file could leave: counts beyond their lists, nil and
// out-of-range staff lines, hidden lines, absurd coordinates and scales.
TEST(PageContent, DamagedRecordsDrawNothingOutOfRange) {
  Drawing p(100, wsNormal, -7, 1e9L);
  TKVSystemRecord& system = p.b.System();
  p.b.Line(p.b.Staff(), 0).Flags = 0, p.b.Line(p.b.Staff(255, 255), 0).Top = INT_MIN;
  p.b.Page.StaffLines.push_back(nullptr);
  p.b.Page.StaffLineCount = 200, system.LastStaffLine = 65535, system.MeasureCount = 40, p.b.Page.SystemCount = 9;
  p.b.Measure(system, INT_MIN, INT_MAX, 0xFF);
  system.Measures.push_back(nullptr);
  for (int page : {-1, 1, 70000}) p.d.DrawPageContent(page, 100, 100, 0, 0);
  EXPECT_TRUE(p.canvas.Calls.empty());
  p.d.DrawPageContent(0, INT_MAX, INT_MIN, 0, 0);
  Calls staffLines = p.Named("SmoothPath");
  EXPECT_EQ(staffLines.size(), 255u);
  for (auto* call : staffLines) EXPECT_GE(call->SmoothPen->Width, 1);
}

}  // namespace
