#include <gtest/gtest.h>

#include "platform/musicfont/FakeMusicFont.h"

namespace musicfont {
namespace {

TEST(MusicFontNames, TheScoresMusicFontsAreKnownWhateverTheCase) {
  EXPECT_TRUE(IsMusicFontName("Ostinel Symbols"));
  EXPECT_TRUE(IsMusicFontName("OSTINEL JAZZ SYMBOLS "));
  EXPECT_FALSE(IsMusicFontName("Arial"));
  EXPECT_FALSE(IsMusicFontName("Ostinel User Glyphs"));
  RegisterMusicFontName("Ostinel User Glyphs");
  EXPECT_TRUE(IsMusicFontName("ostinel user glyphs"));
}

TEST(FakeMusicFont, HasFixedWidthsAndIsTheDefaultService) {
  TFakeMusicFont fake;
  EXPECT_EQ(&typeid(CurrentMusicFont()), &typeid(TFakeMusicFont));
  EXPECT_EQ(fake.Advance(0x35, 144), 192 * (300 + 50 * (0x35 % 5)) / 1000);
  EXPECT_EQ(fake.Advance(0x31, 144), 0);  // not mapped
  EXPECT_EQ(fake.TextWidth("55", 18), 2 * fake.Advance(0x35, 18));
  TGlyphRun run = fake.Layout(0x22, 18);
  ASSERT_EQ(run.Rects.size(), 1u);
  EXPECT_EQ(run.Rects[0].W, run.Advance);
}

TEST(MusicFontService, InstalledServiceIsUsedUntilRemoved) {
  TFakeMusicFont mine;
  InstallMusicFont(&mine);
  EXPECT_EQ(&CurrentMusicFont(), &mine);
  InstallMusicFont(nullptr);
  EXPECT_NE(&CurrentMusicFont(), &mine);
}

}  // namespace
}  // namespace musicfont
