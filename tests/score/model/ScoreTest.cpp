#include <gtest/gtest.h>

#include "base/Exceptions.h"
#include "platform/text/FakeMeasurer.h"
#include "score/model/Score.h"

namespace {

// Damaged bytes read as usable values.
TEST(ScoreSettingsBlock, DamagedValuesReadAsUsableOnes) {
  TKVScore score;
  TByteBlock& b = score.Settings().Block();
  b.setU8(24, 7);  // a damaged view style reads as the whole composition
  EXPECT_EQ(score.ViewStyle(), vsComposition);
  b.setExt(72, ExtendedFromLongDouble(__builtin_nanl("")));
  EXPECT_EQ(score.Settings().SystemDistance(), 0);
  EXPECT_THROW(score.Settings().MetricWord(5), ERangeError);
  EXPECT_THROW(score.Settings().SetOption(-1, 0), ERangeError);
}

TEST(Score, TextFontListGrowsToTheEntrySet) {
  TKVScore score;
  ASSERT_EQ(score.TextFonts().Count(), 21);
  score.TextFonts().SetEntry(23, "Times", 7);
  EXPECT_EQ(score.TextFonts().Count(), 24);
  EXPECT_EQ(score.TextFonts().Name(22), "");
  EXPECT_EQ(score.TextFonts().Value(23), 7);
  EXPECT_EQ(score.TextFonts().Name(99), "");
}

TEST(Score, MeasuresTheMusicFontAtCreation) {
  text::TFakeMeasurer fake;
  text::InstallMeasurer(&fake);
  TKVScore score;
  text::InstallMeasurer(nullptr);

  // The widths are the measurer's, of the music font at both sizes.
  text::TFontSpec big{"Ostinel Symbols", 144, 0}, small{"Ostinel Symbols", 112, 0};
  EXPECT_EQ(score.MusicFontMetric(), fake.GetTextMetrics(big));
  EXPECT_EQ(score.MusicGlyphWidth('@'), fake.TextWidth(big, "@"));
  EXPECT_EQ(score.MusicGlyphWidth('R'), fake.TextWidth(big, "R"));
  EXPECT_EQ(score.SmallMusicGlyphWidth('M'), fake.TextWidth(small, "M"));
  EXPECT_NE(score.MusicGlyphWidth('M'), score.SmallMusicGlyphWidth('M'));
  EXPECT_EQ(score.SmallMusicGlyphWidth('A'), 0);  // not measured small
  EXPECT_EQ(score.MusicGlyphWidth('Z'), 0);
  EXPECT_EQ(score.MusicGlyphWidth('\0'), 0);
}

}  // namespace
