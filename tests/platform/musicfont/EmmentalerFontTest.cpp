#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/musicfont/EmmentalerFont.h"
#include "platform/musicfont/FakeMusicFont.h"
#include "support/Raised.h"

namespace musicfont {
namespace {

// Sets an environment variable for one test and restores it afterwards.
class TScopedEnv {
public:
  TScopedEnv(const char* name, const std::string& value) : FName(name) {
    if (const char* old = std::getenv(name)) FOld = old, FHad = true;
    setenv(name, value.c_str(), 1);
  }
  ~TScopedEnv() { FHad ? setenv(FName, FOld.c_str(), 1) : unsetenv(FName); }

private:
  const char* FName;
  std::string FOld;
  bool FHad = false;
};

TEmmentalerFont& Font() {
  static TEmmentalerFont font;
  return font;
}

TEST(EmmentalerFont, IsFoundInTheLilypondPackage) {
  EXPECT_NE(Font().FontFile().find("emmentaler-18.otf"), std::string::npos);
  EXPECT_TRUE(Font().HasBraceFont());
}

// The layout measures at 144 points what the renderer draws at 18.
TEST(EmmentalerFont, EveryMappedCodeHasAnAdvanceAtEverySizeEightTimesAtTheLayoutsSize) {
  ASSERT_GT(MappedCodes().size(), 100u);
  for (std::uint8_t code : MappedCodes()) {
    SCOPED_TRACE(int(code));
    for (int size : {4, 14, 18, 112}) EXPECT_GT(Font().Advance(code, size), 0) << size;
    EXPECT_NEAR(Font().Advance(code, 144), 8 * Font().Advance(code, 18), 4);
  }
}

TEST(EmmentalerFont, AdvancesFollowThePixelEm) {
  // Black head: 325 units of 1000; 144 pt is a 192 px em, 18 pt is 24 px.
  EXPECT_EQ(Font().Advance(0x35, 144), 62);
  EXPECT_EQ(Font().Advance(0x35, 18), 8);
  EXPECT_EQ(Font().TextWidth("55", 144), 124);
  EXPECT_EQ(Font().Metrics(18), (TMusicMetric{19, 5, 24}));
}

TEST(EmmentalerFont, UnmappedCodesHaveNoAdvanceAndDrawNothing) {
  for (std::uint8_t code : {0x00, 0x20, 0x31, 0x81, 0xFF}) {
    EXPECT_FALSE(IsMapped(code));
    EXPECT_EQ(Font().Advance(code, 144), 0);
    TGlyphRun run = Font().Layout(code, 18);
    EXPECT_TRUE(run.Glyphs.empty() && run.Rects.empty() && !run.Placeholder);
  }
}

TEST(EmmentalerFont, CodesWithoutAShapeDrawALabelledPlaceholder) {
  for (std::uint8_t code : MappedCodes()) {
    TGlyphRun run = Font().Layout(code, 18);
    SCOPED_TRACE(int(code));
    if (HasShape(code)) {
      EXPECT_FALSE(run.Placeholder);
      EXPECT_FALSE(run.Glyphs.empty());
      EXPECT_FALSE(run.FontFile.empty());
    } else {
      EXPECT_TRUE(run.Placeholder);
      EXPECT_TRUE(run.Glyphs.empty());
      EXPECT_GT(run.PlaceholderBox.W, 0);
    }
  }
  TGlyphRun mark = Font().Layout(0x5A, 144);
  EXPECT_EQ(mark.Label, "5A");
  EXPECT_EQ(mark.Advance, 48);  // a quarter of the 192 px em
}

TEST(EmmentalerFont, GlyphsSitOnTheRendererBaselines) {
  const double sp = 24 / 4.0;  // staff space at 18 pt
  TGlyphRun g = Font().Layout(0x22, 18);
  ASSERT_EQ(g.Glyphs.size(), 1u);
  EXPECT_DOUBLE_EQ(g.Glyphs[0].Y, -sp);  // the G line is one space above the baseline
  TGlyphRun head = Font().Layout(0x35, 18);
  EXPECT_DOUBLE_EQ(head.Glyphs[0].Y, 0);  // heads are centred on the baseline
  TGlyphRun segno = Font().Layout(0x78, 18);
  EXPECT_GT(segno.Glyphs[0].X, 0);  // centred in the font: moved right so its ink starts at the origin
  EXPECT_EQ(segno.Advance, Font().Advance(0x78, 18));
}

TEST(EmmentalerFont, CompositesBuildFromSeveralGlyphs) {
  TGlyphRun eighth = Font().Layout(0x2D, 144);
  ASSERT_EQ(eighth.Glyphs.size(), 2u);  // head and flag
  ASSERT_EQ(eighth.Rects.size(), 1u);   // stem
  EXPECT_NEAR(eighth.Rects[0].Y, -3.5 * 48, 1e-9);
  EXPECT_DOUBLE_EQ(eighth.Glyphs[1].Y, eighth.Rects[0].Y);  // flag hangs from the stem tip
  EXPECT_EQ(Font().Layout(0x6B, 144).Glyphs.size(), 3u);   // ppp
  EXPECT_NEAR(Font().Advance(0x6A, 144), 2 * Font().Advance(0x69, 144), 1);
}

TEST(EmmentalerFont, BraceIsChosenByHeight) {
  TGlyphRun small = Font().LayoutBrace(40, 0), tall = Font().LayoutBrace(400, 0);
  ASSERT_EQ(small.Glyphs.size(), 1u);
  EXPECT_NE(small.FontFile.find("brace"), std::string::npos);
  EXPECT_GT(tall.Advance, small.Advance);
  TGlyphRun thin = Font().LayoutBrace(400, 10), thick = Font().LayoutBrace(400, 60);
  EXPECT_LT(thin.Advance, thick.Advance);
  EXPECT_TRUE(Font().LayoutBrace(0, 0).Placeholder);
}

TEST(EmmentalerFont, WrongFolderGivesAClearError) {
  EXPECT_EQ(RaisedBy<EMusicFontError>([] { TEmmentalerFont font("/nonexistent/fonts"); }),
            "Music font not found: /nonexistent/fonts/emmentaler-18.otf (install the package lilypond-fonts or set "
            "SONARID_MUSIC_FONT_DIR)");
  TScopedEnv env(TEmmentalerFont::kFolderVariable, "/nonexistent/fonts");
  EXPECT_THROW(TEmmentalerFont::FindFontFolder(), EMusicFontError);
}

TEST(EmmentalerFont, DamagedFontFileGivesAClearError) {
  std::filesystem::path dir = std::filesystem::temp_directory_path() / "sonarid-musicfont-damaged";
  std::filesystem::create_directories(dir);
  FILE* f = std::fopen((dir / "emmentaler-18.otf").c_str(), "wb");
  std::fputs("not a font", f);
  std::fclose(f);
  TScopedEnv env(TEmmentalerFont::kFolderVariable, dir.string());
  EXPECT_EQ(TEmmentalerFont::FindFontFolder(), dir.string());
  EXPECT_EQ(RaisedBy<EMusicFontError>([] { TEmmentalerFont font; }),
            "Music font cannot be read: " + (dir / "emmentaler-18.otf").string());
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace musicfont
