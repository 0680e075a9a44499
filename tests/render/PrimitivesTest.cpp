#include <gtest/gtest.h>
#include "render/PageBuilder.h"
#include "score/model/Mark.h"

namespace {
using render::TKVPageDrawer;
// The red marks: 2-pixel corners, 6-pixel grips growing slower than the
// zoom, and nothing at all in export.
struct MarkCase {
  int XScale; TKVWindowStyle Style; size_t Calls; double Corner, Grip;
  friend std::ostream& operator<<(std::ostream& s, const MarkCase& c) { return s << c.XScale << "s" << int(c.Style); }
};
class RedMarks : public ::testing::TestWithParam<MarkCase> {};
TEST_P(RedMarks, SizesAndStyles) {
  const MarkCase& c = GetParam();
  Drawing p(c.XScale, c.Style);
  for (auto draw : {&TKVPageDrawer::DrawSelectionCorners, &TKVPageDrawer::DrawObjectHandles,
                    &TKVPageDrawer::DrawLineHandles, &TKVPageDrawer::DrawRadiusHandle})
    (p.d.*draw)({100, 100, 200, 160});
  p.d.DrawSelectionHandle({50, 50});
  ASSERT_EQ(p.canvas.Calls.size(), c.Calls);
  for (const auto& call : p.canvas.Calls) EXPECT_EQ(call.Pen.Color, canvas::clRed);
  if (!c.Calls) return;
  EXPECT_EQ(p.canvas.Calls[0].Args, std::vector<double>({100, 100 + c.Corner, 100, 100, 100 + c.Corner, 100}));
  EXPECT_EQ(p.canvas.Calls[4].Args, std::vector<double>({100, 100, 100 + c.Grip, 100 + c.Grip}));
}

INSTANTIATE_TEST_SUITE_P(Zooms, RedMarks,
                         ::testing::Values(MarkCase{100, wsNormal, 17, 2, 6}, MarkCase{300, wsNormal, 17, 6, 9},
                                           MarkCase{100, wsExport, 0, 0, 0}));

TEST(Primitives, WorkedExamples) {
  Drawing p;
  EXPECT_EQ(std::vector<int>({p.d.UnitWidth(0.5), p.d.UnitWidth(1.5), p.d.UnitWidth(10)}), std::vector<int>({0, 2, 10}));
  EXPECT_EQ(Drawing(49).d.FontQuality + 10 * Drawing(50).d.FontQuality, 40);
  canvas::TRect r;
  p.d.ScaleItemRect({-9, 0, 9, 8}, r);
  EXPECT_EQ(r, (canvas::TRect{-1, 0, 1, 1}));
  TKVMark item(nullptr), other(nullptr);
  TKVDisplayItem selected, sameThing, stem, elsewhere;
  selected.Item = sameThing.Item = stem.Item = &item, elsewhere.Item = &other;
  stem.RecordType = DisplayRecordType::Stem;
  std::vector<TKVDisplayItem*> measure{&selected};
  p.b.View.SelectedRecords = measure;
  EXPECT_FALSE(p.d.IsItemSelected(sameThing));
  p.d.MeasureSelection = &measure;
  EXPECT_TRUE(p.d.IsItemSelected(sameThing) && p.d.IsInSelectedRecords(sameThing));
  EXPECT_FALSE(p.d.IsItemSelected(stem) || p.d.IsInSelectedRecords(elsewhere));
  // Font number 3 of two takes font 0; a substitute serves only the codes
  // in its table that it replaces.
  p.b.Score->MusicFonts().Clear();
  p.b.Score->MusicFonts().Add("First"), p.b.Score->MusicFonts().Add("Second");
  p.b.Store.SymbolFonts = {{"User", 50, 4, {{0, 0, 0}, {0x41, 8, 0xFFF8}}}};
  p.canvas.Font.SetSize(20);
  for (uint8_t code : {0, 2, 0x41}) p.d.GlyphChar = code, p.d.SelectSymbolFont(code ? 12 : 3);
  EXPECT_EQ(p.canvas.Font.Name, "First");
  p.d.GlyphChar = 1;
  p.d.SelectSymbolFont(12);
  EXPECT_EQ(std::tuple(p.canvas.Font.Name, p.canvas.Font.Size(), p.d.GlyphChar, p.d.GlyphDX, p.d.GlyphDY),
            std::tuple(std::string("User"), 10, uint8_t(0x41), 8, -8));
  // Texts: bold upright on the baseline, the canvas font kept; bracket pairs;
  // a bracket on a small staff keeps its widths to itself, so the grips drawn
  // after it keep their size; the brace spans its staves.
  p.canvas.Font.Style = text::fsBold | text::fsItalic | text::fsUnderline;
  const canvas::TFont before = p.canvas.Font;
  p.d.TextOutFont(10, 40, std::string_view("\x21"), 4);
  const auto& call = p.canvas.Calls.at(0);
  EXPECT_EQ(std::tuple(call.Font.Style, call.Font.Quality, call.TextAlign, p.canvas.Font, p.canvas.TextAlign),
            std::tuple(unsigned(text::fsBold), canvas::fqAntialiased, canvas::taBaseline, before, canvas::taTop));
  p.d.DrawBracketText(0, 0, 0, 10, 0, 100);
  p.d.DrawBracketText(2, 0, 0, 10, 0, 100);
  ASSERT_EQ(p.canvas.Calls.size(), 3u);
  EXPECT_EQ(p.canvas.Calls[1].Text + p.canvas.Calls[2].Text, u"[]");
  TKVMark bracket(nullptr);
  bracket.SetVariant(1), p.d.DrawBracketShape(bracket, {10, 10, 30, 110}, 75);
  p.d.DrawSelectionHandle({50, 50});
  EXPECT_EQ(p.canvas.Calls.back().Args, std::vector<double>({47, 47, 53, 53}));
  p.d.DrawBracketShape(TKVMark(nullptr), {10, 50, 40, 250}, 100);
  EXPECT_EQ(p.canvas.Calls.back().Args, std::vector<double>({12 + 8, 150 - 8, 200, 20}));  // glyph offsets kept, up to its right
}

// Sizes of the ten routines, of 4, 5, 6, 7, 8, 9, 10, 11, 14 and 18 points.
struct SizeCase {
  int Scale, XScale, Percent; TKVWindowStyle Style; std::vector<int> Sizes;
  friend std::ostream& operator<<(std::ostream& s, const SizeCase& c) {
    return s << c.Scale << "_" << c.XScale << "_" << c.Percent << "_" << int(c.Style);
  }
};
class FontSizes : public ::testing::TestWithParam<SizeCase> {};
TEST_P(FontSizes, OfTheCurrentRecord) {
  const SizeCase& c = GetParam();
  Drawing p(c.XScale, c.Style, c.Scale);
  TKVDisplayItem record;
  record.SizePercent = uint8_t(c.Percent), p.d.CurrentRecord = &record;
  std::vector<int> sizes;
  for (auto set : {&TKVPageDrawer::SetSymbolFontSize4, &TKVPageDrawer::SetSymbolFontSize5,
                   &TKVPageDrawer::SetSymbolFontSize6, &TKVPageDrawer::SetSymbolFontSize7,
                   &TKVPageDrawer::SetSymbolFontSize8, &TKVPageDrawer::SetSymbolFontSize9,
                   &TKVPageDrawer::SetSymbolFontSize10, &TKVPageDrawer::SetSymbolFontSize11,
                   &TKVPageDrawer::SetSymbolFontSize14, &TKVPageDrawer::SetSymbolFontSize18})
    (p.d.*set)(), sizes.push_back(p.canvas.Font.Size());
  EXPECT_EQ(c.Sizes.size() == 1 ? std::vector<int>{sizes.back()} : sizes, c.Sizes);
}

const std::vector<int> kNominal{4, 5, 6, 7, 8, 9, 10, 11, 14, 18};
INSTANTIATE_TEST_SUITE_P(
    Cases, FontSizes,
    ::testing::Values(SizeCase{100, 100, 100, wsNormal, kNominal}, SizeCase{100, 100, 100, wsPrint, kNominal},
                      SizeCase{50, 200, 100, wsNormal, kNominal}, SizeCase{100, 250, 100, wsPrint, kNominal},
                      SizeCase{100, 100, 75, wsNormal, {3, 4, 4, 5, 6, 7, 8, 8, 10, 14}},
                      SizeCase{975, 1218, 255, wsNormal, {5451}}));

}  // namespace
