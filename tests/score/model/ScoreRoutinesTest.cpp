#include <gtest/gtest.h>

#include <tuple>

#include "base/ByteBlock.h"
#include "score/model/DisplayUnits.h"
#include "score/model/Item.h"
#include "score/model/RotatedFont.h"
#include "score/model/ScoreRoutines.h"

namespace {

class Numbering : public ::testing::TestWithParam<std::tuple<int32_t, const char*, const char*>> {};

TEST_P(Numbering, RomanAndLetters) {
  auto [n, roman, letters] = GetParam();
  EXPECT_EQ(IntToRoman(n), roman);
  EXPECT_EQ(IntToLetters(n), letters);
}

INSTANTIATE_TEST_SUITE_P(Table, Numbering,
                         ::testing::Values(std::make_tuple(0, "", "A"), std::make_tuple(4, "IV", "E"),
                                           std::make_tuple(9, "IX", "J"), std::make_tuple(10, "X", "K"),
                                           std::make_tuple(14, "XIV", "O"), std::make_tuple(19, "XIX", "T"),
                                           std::make_tuple(25, "XXV", "Z"), std::make_tuple(26, "XXVI", "AA"),
                                           std::make_tuple(27, "XXVII", "AB"), std::make_tuple(40, "XXXX", "AO"),
                                           std::make_tuple(52, "XXXXXII", "BA"),
                                           std::make_tuple(-1, "", "")));

TEST(Numbering, LettersAtTheTwoAndThreeLetterBoundaries) {
  EXPECT_EQ(IntToLetters(701), "ZZ");
  EXPECT_EQ(IntToLetters(702), "AAA");
  EXPECT_EQ(IntToLetters(18277), "ZZZ");
  EXPECT_EQ(IntToLetters(18278), "AAAA");
}

TEST(Tuplets, NormalCountsAndScale) {
  const std::pair<int32_t, int32_t> table[] = {{3, 2}, {21, 24}, {11, 1}, {0, 1}, {-3, 1}};
  for (auto [n, normal] : table) EXPECT_EQ(TupletNormalCount(n), normal) << n;
  EXPECT_EQ(TupletScale(3, 64), 128);
  EXPECT_EQ(TupletScale(21, 65535), 65535 * 24);  // no 16-bit wrap
}

TEST(Rects, NormalizeAndOriginSize) {
  TKVRect r{30, 40, 10, 5};
  EXPECT_EQ(NormalizeRect(r), (TKVRect{10, 5, 30, 40}));
  EXPECT_EQ(RectToOriginSize(r), (TKVOriginSize{10, 5, 20, 35}));
  EXPECT_EQ(RectToOriginSize({-5, 2, 5, 2}), (TKVOriginSize{-5, 2, 10, 0}));
}

// The sharps are added F C G D A E B, the flats B E A D G C F.
TEST(KeySignature, EveryKeyAltersExactlyItsSteps) {
  const int sharpOrder[7] = {3, 0, 4, 1, 5, 2, 6};
  const int flatOrder[7] = {6, 2, 5, 1, 4, 0, 3};
  for (int key = 0; key <= 19; ++key) {
    bool altered[7] = {};
    if (key < 10)
      for (int i = 0; i < std::min(key, 7); ++i) altered[sharpOrder[i]] = true;
    else
      for (int i = 0; i < std::min(key - 10, 7); ++i) altered[flatOrder[i]] = true;
    for (int step = 0; step < 7; ++step)
      EXPECT_EQ(KeySignatureAlters(step, key, nullptr), altered[step]) << "key " << key << " step " << step;
  }
}

TEST(KeySignature, KeyOfItsOwnReadsStepsFromTheTableAndNeedsOne) {
  TByteBlock table(14);
  for (int i = 0; i < 7; ++i) table.setU16(2 * i, 0x0F00);  // no step
  table.setU16(0, 0x0301);                                   // F
  table.setU16(12, 0x0600);                                  // B
  EXPECT_TRUE(KeySignatureAlters(3, 20, &table));
  EXPECT_TRUE(KeySignatureAlters(6, 20, &table));
  EXPECT_FALSE(KeySignatureAlters(0, 20, &table));
  EXPECT_FALSE(KeySignatureAlters(3, 20, nullptr));
  TByteBlock shortTable(3);  // only one whole entry
  shortTable.setU16(0, 0x0200);
  EXPECT_TRUE(KeySignatureAlters(2, 20, &shortTable));
  EXPECT_FALSE(KeySignatureAlters(0, 20, &shortTable));
}

TEST(DisplayUnits, ConversionsBothWays) {
  EXPECT_EQ(ToDisplayUnits(rmInches, 254), 1);
  EXPECT_EQ(FromDisplayUnits(rmMM, 21.0L), 210);
  EXPECT_EQ(ToDisplayUnits(rmMM, 2100), 210);
  EXPECT_EQ(FromDisplayUnits(rmInches, 2), 508);
  EXPECT_NEAR(double(ToDisplayUnits(rmPixels, 2540)), 960.0, 1e-9);
  EXPECT_NEAR(double(FromDisplayUnits(rmPixels, 96)), 254.0, 1e-9);
  // An unknown unit reads as millimetres.
  EXPECT_EQ(ToDisplayUnits(7, 2100), 210);
}

TEST(DisplayUnits, RoundingHalvesToEven) {
  EXPECT_EQ(RoundExtended(0.5L), 0);
  EXPECT_EQ(RoundExtended(1.5L), 2);
  EXPECT_EQ(RoundExtended(2.5L), 2);
  EXPECT_EQ(RoundExtended(-2.5L), -2);
  EXPECT_EQ(RoundExtended(2.5000001L), 3);
  EXPECT_EQ(RoundExtended(1e20L), INT32_MAX);
  EXPECT_EQ(RoundExtended(__builtin_nanl("")), 0);
}

TEST(UnescapeApos, ReplacesOnlyTheFirstEntityAndKeepsTheWholeTail) {
  EXPECT_EQ(UnescapeApos("don&apos;t"), "don't");
  EXPECT_EQ(UnescapeApos("a&apos;b&apos;c"), "a'b&apos;c");
  EXPECT_EQ(UnescapeApos("plain"), "plain");
  std::string tail(3000, 'x');
  EXPECT_EQ(UnescapeApos("&apos;" + tail), "'" + tail);
}

TEST(ItemPage, PageWordByKind) {
  struct Case {
    uint8_t kind;
    size_t offset;
  };
  const Case table[] = {{161, 8}, {204, 8}, {205, 16}, {215, 10}};
  for (const Case& c : table) {
    TKVItem item(nullptr);
    item.SetKind(c.kind);
    item.Data().Resize(40);
    item.Data().setU16(c.offset, 7);
    EXPECT_EQ(GetItemPage(&item), 7) << int(c.kind);
  }
  TKVItem note(nullptr);
  note.SetKind(20);
  note.Data().Resize(40);
  note.Data().setU16(8, 7);
  EXPECT_EQ(GetItemPage(&note), 0);
  EXPECT_EQ(GetItemPage(nullptr), 0);
}

// A chord frame is no page object: even a block long enough to hold a page
// word at bytes 18-19 gives 0.
TEST(ItemPage, ChordFrameHasNoPage) {
  TKVItem frame(nullptr);
  frame.SetKind(36);
  frame.Data().Resize(40);
  frame.Data().setU16(18, 7);
  EXPECT_EQ(GetItemPage(&frame), 0);
}

TEST(RotatedFont, DescriptionFromFontAngleAndWidth) {
  text::TFontSpec font{"Arial", 12, text::fsBold | text::fsUnderline};
  TKVFontDescription d = CreateRotatedFont(font, 90, 5);
  EXPECT_EQ(d.Height, -16);
  EXPECT_EQ(d.Orientation, 900);
  EXPECT_EQ(d.Weight, 700);

  text::TFontSpec plain{"Modern No. 20", 10, text::fsItalic | text::fsStrikeOut};
  d = CreateRotatedFont(plain, -45, 0);
  EXPECT_EQ(d.Height, -13);  // 13.33 rounds down
  EXPECT_EQ(d.Weight, 0);
  EXPECT_EQ(d.Escapement, -450);
  EXPECT_TRUE(d.Italic);
  EXPECT_TRUE(d.StrikeOut);
  // Exact halves go to the even neighbour: 5 pt at 36 dpi is 2.5 px.
  EXPECT_EQ(CreateRotatedFont({"Arial", 5, 0}, 0, 0, 36).Height, -2);
  EXPECT_EQ(CreateRotatedFont({"Arial", 7, 0}, 0, 0, 36).Height, -4);
}

}  // namespace
