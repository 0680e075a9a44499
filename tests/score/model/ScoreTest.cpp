#include <gtest/gtest.h>

#include "base/Exceptions.h"
#include "platform/text/FakeMeasurer.h"
#include "score/model/Score.h"

namespace {

// The settings block of a new score, byte for byte as a score file holds it.
TEST(ScoreSettingsBlock, DefaultBytesAtTheirOffsets) {
  TKVScore score;
  const TByteBlock& b = score.Settings().Block();
  ASSERT_EQ(b.Size(), 92u);
  EXPECT_EQ(score.SettingsBlockSize(), 92);
  EXPECT_EQ(b.i32(0), 100);
  EXPECT_EQ(b.u8(4), 1);
  EXPECT_EQ(b.i32(16), 0);
  EXPECT_EQ(b.i32(20), 24);
  EXPECT_EQ(b.u8(24), 0);
  EXPECT_EQ(b.u8(25), 12);
  EXPECT_EQ(b.u8(26), 2);
  const uint8_t options[5] = {1, 1, 0, 0, 1};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(b.u8(27 + i), options[i]);
  EXPECT_EQ(b.i32(32), 0);
  EXPECT_EQ(b.u16(38), 0);
  const uint16_t metrics[5] = {192, 448, 128, 256, 64};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(b.u16(40 + 2 * i), metrics[i]);
  EXPECT_EQ(b.u16(50), 0);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(b.u16(56 + 2 * i), 16);
  EXPECT_EQ(b.u16(62), 30);
  EXPECT_EQ(b.i16(64), 0);
  EXPECT_EQ(b.u16(66), 8);
  EXPECT_EQ(b.u8(68), 3);
  EXPECT_TRUE(ExtendedClassify(b.ext(72)) == TExtendedClass::Zero);
  const uint16_t words[4] = {8, 4, 24, 8};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(b.u16(82 + 2 * i), words[i]);
  // Bytes without a field are zero.
  for (size_t off : {5, 15, 36, 37, 52, 55, 69, 71, 90, 91}) EXPECT_EQ(b.u8(off), 0) << off;
}

TEST(ScoreSettingsBlock, NamedAccessorsReadTheRawBytes) {
  TKVScore score;
  TByteBlock& b = score.Settings().Block();
  b.setU16(58, 40);
  b.setI16(64, -12);
  b.setU8(24, 1);
  b.setU16(84, 9);
  b.setExt(72, ExtendedFromLongDouble(123.5L));
  EXPECT_EQ(score.Settings().ClefSpacing(), 40);
  EXPECT_EQ(score.Settings().StemExtra(), -12);
  EXPECT_EQ(score.ViewStyle(), vsPart);
  EXPECT_EQ(score.Settings().LayoutWord(1), 9);
  EXPECT_EQ(score.Settings().SystemDistance(), 123.5L);
  b.setU8(24, 7);  // a damaged view style reads as the whole composition
  EXPECT_EQ(score.ViewStyle(), vsComposition);
  b.setExt(72, ExtendedFromLongDouble(__builtin_nanl("")));
  EXPECT_EQ(score.Settings().SystemDistance(), 0);
  EXPECT_THROW(score.Settings().MetricWord(5), ERangeError);
  EXPECT_THROW(score.Settings().SetOption(-1, 0), ERangeError);
}

// The texts of a new score are the ones the views show.
TEST(Score, DefaultTexts) {
  TKVScore score;
  EXPECT_EQ(score.NoteNames(), "CDEFGAB");
  EXPECT_EQ(score.FlazholetName(), "FL.");
  EXPECT_EQ(score.InsertName(), "Insert");
  EXPECT_EQ(score.OverwriteName(), "Overwrite");
  EXPECT_EQ(score.FormatRevision(), 0x0404);
  EXPECT_EQ(score.ActiveWindowIndex(), -1);
  EXPECT_EQ(score.FirstDirtyPage(), -1);
}

TEST(Score, FontLists) {
  TKVScore score;
  ASSERT_EQ(score.MusicFonts().Count(), 2);
  EXPECT_EQ(score.MusicFonts().Strings(0), "Ostinel Symbols");
  EXPECT_EQ(score.MusicFonts().Strings(1), "Ostinel Jazz Symbols");
  EXPECT_EQ(score.MusicFontName(), "Ostinel Symbols");
  ASSERT_EQ(score.TextFonts().Count(), 21);
  for (int i = 0; i < 21; ++i) {
    std::string expected = i == 8 || i == 20 ? "Monotype Corsiva" : i == 16 ? "Modern No. 20" : "Arial";
    EXPECT_EQ(score.TextFonts().Name(i), expected) << i;
    EXPECT_EQ(score.TextFonts().Value(i), 0);
  }
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

  ASSERT_EQ(fake.Queries.size(), 16u + 9u);
  for (size_t i = 0; i < fake.Queries.size(); ++i) {
    EXPECT_EQ(fake.Queries[i].Font.Name, "Ostinel Symbols");
    EXPECT_EQ(fake.Queries[i].Font.Size, i < 16 ? 144 : 112);
  }
  std::u16string order;
  for (const auto& q : fake.Queries) order += q.Text;
  EXPECT_EQ(order, u"@ABCDEF*45MNOPQR*45MNOPQR");

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
