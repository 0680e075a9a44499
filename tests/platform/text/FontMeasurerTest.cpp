#include <gtest/gtest.h>

#include <string>

#include "platform/musicfont/FakeMusicFont.h"
#include "platform/text/FakeMeasurer.h"
#include "platform/text/FontEngine.h"
#include "platform/text/FontMeasurer.h"

namespace text {
namespace {

std::string FileName(const std::string& path) { return path.substr(path.rfind('/') + 1); }

TEST(FontEngine, UsesTheProjectFontMap) {
  EXPECT_TRUE(TFontEngine::Instance().UsesProjectConfig()) << TFontEngine::ConfigFile();
}

struct TMapCase {
  const char* Name;
  unsigned Style;
  const char* File;
};

class FontMap : public ::testing::TestWithParam<TMapCase> {};

TEST_P(FontMap, NamesResolveToTheMappedFreeFonts) {
  EXPECT_EQ(FileName(TFontEngine::Instance().MatchedFile(GetParam().Name, GetParam().Style)), GetParam().File);
}

INSTANTIATE_TEST_SUITE_P(
    Fonts, FontMap,
    ::testing::Values(TMapCase{"Arial", 0, "LiberationSans-Regular.ttf"},
                      TMapCase{"arial", fsBold, "LiberationSans-Bold.ttf"},
                      TMapCase{"Arial", fsBold | fsItalic, "LiberationSans-BoldItalic.ttf"},
                      TMapCase{"Times New Roman", 0, "LiberationSerif-Regular.ttf"},
                      TMapCase{"Monotype Corsiva", 0, "Z003-MediumItalic.otf"},
                      TMapCase{"Modern No. 20", 0, "C059-Roman.otf"},
                      // A name no font has, and the music fonts' names: the last resort.
                      TMapCase{"No Such Font Anywhere", 0, "LiberationSans-Regular.ttf"},
                      TMapCase{"Ostinel Symbols", 0, "LiberationSans-Regular.ttf"},
                      TMapCase{"", 0, "LiberationSans-Regular.ttf"}),
    [](const ::testing::TestParamInfo<TMapCase>& info) { return "Case" + std::to_string(info.index); });

TEST(FontMeasurer, MeasuresArialWithWholePixelAdvancesAtTheMulDivEmWithoutKerning) {
  TFontMeasurer m;
  // Liberation Sans (like Arial) has 'A' and 'V' 1366 units wide of 2048.
  // 9 pt -> 12 px em -> 8.0 px; 64 pt -> 85 px -> 56.7 -> 57; 7 pt -> 9 px -> 6.0.
  EXPECT_EQ(m.TextWidth({"Arial", 9, 0}, "A"), 8);
  EXPECT_EQ(m.TextWidth({"Arial", 64, 0}, "A"), 57);
  EXPECT_EQ(m.TextWidth({"Arial", 7, 0}, "V"), 6);
  // No kerning: a pair is as wide as its letters; ANSI text is Windows-1252.
  for (int size : {9, 12, 64, 144}) {
    TFontSpec f{"Arial", size, 0};
    EXPECT_EQ(m.TextWidth(f, "AV"), m.TextWidth(f, "A") + m.TextWidth(f, "V")) << size;
    EXPECT_EQ(m.TextWidthW(f, u"To\u20AC"), m.TextWidth(f, "T") + m.TextWidth(f, "o") + m.TextWidth(f, "\x80")) << size;
  }
  EXPECT_EQ(m.TextWidth({"Arial", 12, 0}, ""), 0);
  EXPECT_EQ(m.TextWidth({"Arial", 0, 0}, "abc"), 0);
  EXPECT_EQ(m.TextHeight({"Arial", 0, 0}), 0);
}

TEST(FontMeasurer, HeightIsAscentPlusDescentOfTheCell) {
  TFontMeasurer m;
  // winAscent 1854, winDescent 434 of 2048 at a 16 px em (12 pt).
  TTextMetric tm = m.GetTextMetrics({"Arial", 12, 0});
  EXPECT_EQ(tm.Ascent, 14);
  EXPECT_EQ(tm.Descent, 3);
  EXPECT_EQ(tm.Height, 17);
  EXPECT_EQ(m.TextHeight({"Arial", 12, 0}), 17);
  EXPECT_EQ(tm.InternalLeading, 1);
  EXPECT_GT(tm.AveCharWidth, 0);
  EXPECT_GT(tm.MaxCharWidth, tm.AveCharWidth);
}

TEST(FontMeasurer, StylesChooseTheirFacesAndDecorationsKeepWidths) {
  TFontMeasurer m;
  int plain = m.TextWidth({"Arial", 20, 0}, "Tempo rubato");
  EXPECT_GT(m.TextWidth({"Arial", 20, fsBold}, "Tempo rubato"), plain);
  EXPECT_EQ(m.TextWidth({"Arial", 20, fsUnderline | fsStrikeOut}, "Tempo rubato"), plain);
}

TEST(FontMeasurer, CyrillicIsMeasuredFromTheUnicodeText) {
  TFontMeasurer m;
  TFontSpec f{"Monotype Corsiva", 20, 0};
  int word = m.TextWidthW(f, u"Привіт");
  EXPECT_GT(word, 0);
  int sum = 0;
  for (char16_t c : std::u16string(u"Привіт")) sum += m.TextWidthW(f, std::u16string(1, c));
  EXPECT_EQ(word, sum);
  EXPECT_NE(word, m.TextWidthW(f, u"??????"));
}

// It serves a whole process: a journal there would grow with every score.
TEST(TextMeasurer, TheFallbackKeepsNoJournalOfItsQueries) {
  InstallMeasurer(nullptr);
  CurrentMeasurer().TextWidthW({"Arial", 12, 0}, u"abc");
  EXPECT_TRUE(dynamic_cast<TFakeMeasurer&>(CurrentMeasurer()).Queries.empty());
}

TEST(FontMeasurer, MusicFontNamesAreMeasuredByTheMusicFontService) {
  musicfont::TFakeMusicFont music;
  musicfont::InstallMusicFont(&music);
  TFontMeasurer m;
  TFontSpec f{"Ostinel Symbols", 144, 0};
  EXPECT_EQ(m.TextWidth(f, "@5"), music.Advance('@', 144) + music.Advance('5', 144));
  EXPECT_EQ(m.TextWidthW(f, u"\u00A5"), music.Advance(0xA5, 144));
  EXPECT_EQ(m.TextHeight(f), 192);
  EXPECT_EQ(m.TextWidthW({"Ostinel Jazz Symbols", 144, 0}, u"\u0435"), 0);  // no glyph above 0xFF
  musicfont::InstallMusicFont(nullptr);
}

TEST(FontEngine, RunsPlaceGlyphsAtTheMeasuredAdvances) {
  TTextRun run = TFontEngine::Instance().Layout({"Arial", 0, 16, 0}, u"AVA");
  ASSERT_EQ(run.Glyphs.size(), 3u);
  ASSERT_EQ(run.Faces.size(), 1u);
  EXPECT_EQ(FileName(run.Faces[0].File), "LiberationSans-Regular.ttf");
  EXPECT_EQ(run.Glyphs[0].X, 0);
  EXPECT_EQ(run.Glyphs[1].X, 11);  // 1366 * 16 / 2048 = 10.7
  EXPECT_EQ(run.Glyphs[2].X, 22);
  EXPECT_EQ(run.Width, 33);
}

TEST(FontEngine, RequestedWidthStretchesTheAdvances) {
  TFontEngine& e = TFontEngine::Instance();
  int natural = e.Metrics({"Arial", 0, 40, 0}).AveCharWidth;
  int plain = e.Layout({"Arial", 0, 40, 0}, u"mmmm").Width;
  int wide = e.Layout({"Arial", 0, 40, 2 * natural}, u"mmmm").Width;
  EXPECT_NEAR(wide, 2 * plain, 4);
}

TEST(FontEngine, CellHeightGivesTheEm) {
  // A cell of 2288 units (1854 + 434) 2288 px high is a 2048 px em.
  EXPECT_EQ(TFontEngine::Instance().EmForCellHeight("Arial", 0, 2288), 2048);
}

TEST(FontEngine, CharactersTheFontLacksComeFromAFallbackFace) {
  // Z003 has no CJK; the run still has a glyph with a real advance.
  TTextRun run = TFontEngine::Instance().Layout({"Monotype Corsiva", 0, 20, 0}, u"a\u4E2D");
  ASSERT_EQ(run.Glyphs.size(), 2u);
  EXPECT_GT(run.Width, run.Glyphs[1].X);
}

}  // namespace
}  // namespace text
