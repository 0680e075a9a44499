// Colour reduction: each mode's palette and mapping checked on pixels whose
// answers are worked out by hand.

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "media/gif/GIFImage.h"
#include "media/gif/GIFReduce.h"

namespace gif {
namespace {

using canvas::TDib;

struct TRgb {
  int R, G, B;
};

TDib TrueColour(int w, int h, const std::function<TRgb(int, int)>& colour) {
  TDib dib(w, h, 24);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      TRgb c = colour(x, y);
      std::uint8_t* p = dib.Row(y) + 3 * x;
      p[0] = std::uint8_t(c.B), p[1] = std::uint8_t(c.G), p[2] = std::uint8_t(c.R);
    }
  return dib;
}

canvas::TColor Entry(const TDib& dib, unsigned i) {
  const canvas::TRgbQuad& q = dib.Palette.at(i);
  return canvas::RGB(q.Red, q.Green, q.Blue);
}

struct TMaskCase {
  const char* Name;
  int Bases;     // distinct colours with every lowest bit clear
  int Variants;  // 2: the blue bit set or not; 8: any of the three lowest bits
  TColorMasks Expected;
};

void PrintTo(const TMaskCase& c, std::ostream* os) { *os << c.Name; }

class PopularityMasks : public ::testing::TestWithParam<TMaskCase> {};

// Bases x variants colours: one failed pass per component needed to bring
// them to 2049 or fewer, dropping blue's bit first, then red's, then green's.
TEST_P(PopularityMasks, LowestBitsGoBlueRedGreen) {
  const TMaskCase& c = GetParam();
  const int n = c.Bases * c.Variants;
  TDib dib = TrueColour(n, 1, [&](int x, int) {
    int base = x / c.Variants, v = x % c.Variants;
    return TRgb{2 * (base % 128) | (v >> 1 & 1), 2 * (base / 128) | (v >> 2 & 1), 100 | (v & 1)};
  });
  TColorMasks masks;
  TDib out = QuantizeByPopularity(dib, &masks);
  EXPECT_EQ(std::tuple(masks.Red, masks.Green, masks.Blue), std::tuple(c.Expected.Red, c.Expected.Green, c.Expected.Blue));
  std::set<unsigned> used;
  for (int x = 0; x < n; ++x) used.insert(out.IndexAt(x, 0));
  EXPECT_EQ(used.size(), 256u);
}

INSTANTIATE_TEST_SUITE_P(Quantiser, PopularityMasks,
                         ::testing::Values(TMaskCase{"Fits", 1000, 2, {0xFF, 0xFF, 0xFF}},
                                           TMaskCase{"OnePass", 1100, 2, {0xFF, 0xFF, 0xFE}},
                                           TMaskCase{"ThreePasses", 1100, 8, {0xFE, 0xFE, 0xFE}}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(Popularity, MostUsedFirstTheEarlierOfEqualCountsFirstTheRestGrey) {
  // Counts: red 5, blue 3, lime 3 (blue met first), white 1.
  const TRgb order[12] = {{0, 0, 255}, {255, 0, 0}, {0, 255, 0}, {255, 0, 0}, {0, 0, 255}, {255, 0, 0},
                          {0, 255, 0}, {255, 0, 0}, {0, 0, 255}, {255, 255, 255}, {0, 255, 0}, {255, 0, 0}};
  TDib out = QuantizeByPopularity(TrueColour(12, 1, [&](int x, int) { return order[x]; }));
  EXPECT_EQ(Entry(out, 0), canvas::clRed);
  EXPECT_EQ(Entry(out, 1), canvas::clBlue);
  EXPECT_EQ(Entry(out, 2), canvas::clLime);
  EXPECT_EQ(Entry(out, 3), canvas::clWhite);
  EXPECT_EQ(Entry(out, 4), canvas::clGray);
  EXPECT_EQ(Entry(out, 255), canvas::clGray);
  EXPECT_EQ(out.IndexAt(9, 0), 3u);
  EXPECT_EQ(out.IndexAt(0, 0), 1u);
}

struct TModeCase {
  const char* Name;
  int Mode;
  TRgb Colour;
  unsigned Index;
  canvas::TColor Unused;  // of the entries after the mode's last
  unsigned FirstUnused;
};

void PrintTo(const TModeCase& c, std::ostream* os) { *os << c.Name; }

class FixedPalettes : public ::testing::TestWithParam<TModeCase> {};

TEST_P(FixedPalettes, ColourGoesToItsIndex) {
  const TModeCase& c = GetParam();
  TDib out = ReduceColors(TrueColour(1, 1, [&](int, int) { return c.Colour; }), 8, c.Mode);
  EXPECT_EQ(out.IndexAt(0, 0), c.Index);
  for (unsigned i = c.FirstUnused; i < 256; ++i) ASSERT_EQ(Entry(out, i), c.Unused) << i;
}

// (64, 18, 255): red between 0x2B and 0x55, green between 0 and 0x24, both
// at equal distance, go to the lower level: (1 x 8 + 0) x 4 + 3 = 35.
INSTANTIATE_TEST_SUITE_P(
    Modes, FixedPalettes,
    ::testing::Values(TModeCase{"Cube7x8x4", 2, {64, 18, 255}, 35, canvas::clGray, 224},
                      TModeCase{"Cube6", 3, {0x33, 0x99, 0xFF}, 59, canvas::clGray, 216},
                      TModeCase{"Cube6Nearest", 3, {26, 25, 230}, 41, canvas::clGray, 216},
                      TModeCase{"Ramps", 4, {200, 100, 40}, 50, canvas::clBlack, 192},
                      TModeCase{"Greys", 5, {100, 50, 200}, 82, canvas::clBlack, 256},
                      TModeCase{"Popularity", 0, {1, 2, 3}, 0, canvas::clGray, 1}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(Ramps, PlaceChoosesRedGreenOrBlue) {
  TDib out = ReduceColors(TrueColour(3, 2, [](int, int) { return TRgb{200, 100, 40}; }), 8, 4);
  const unsigned red = 50, green = 64 + 25, blue = 128 + 10;
  const unsigned expected[2][3] = {{red, green, blue}, {green, blue, red}};
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(out.IndexAt(x, y), expected[y][x]) << x << "," << y;
  EXPECT_EQ(Entry(out, green), canvas::RGB(0, 100, 0));
}

TEST(MedianCut, BoxesStayWithinThePaletteAndShareTheirColour) {
  // 64 x 64 cells' worth of colours: far more cells than entries.
  TDib many = TrueColour(64, 64, [](int x, int y) { return TRgb{4 * x, 4 * y, (x * y) & 255}; });
  TDib out = ReduceColors(many, 8, 1);
  std::set<unsigned> used;
  std::map<int, unsigned> indexOfCell;
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) {
      used.insert(out.IndexAt(x, y));
      int cell = (4 * x >> 4) << 8 | (4 * y >> 4) << 4 | ((x * y) & 255) >> 4;
      auto [it, fresh] = indexOfCell.emplace(cell, out.IndexAt(x, y));
      ASSERT_TRUE(fresh || it->second == out.IndexAt(x, y)) << "one cell, one box";
    }
  EXPECT_LE(used.size(), 256u);
  EXPECT_GT(used.size(), 200u);
  // Five colours in five cells: five boxes, each of its own exact colour.
  const TRgb five[5] = {{0, 0, 0}, {255, 0, 0}, {0, 200, 0}, {10, 10, 250}, {128, 128, 128}};
  TDib few = ReduceColors(TrueColour(5, 3, [&](int x, int) { return five[x]; }), 8, 1);
  for (int x = 0; x < 5; ++x) EXPECT_EQ(few.ColorAt(x, 2), canvas::RGB(five[x].R, five[x].G, five[x].B)) << x;
}

TEST(Reduction, OtherTargets) {
  TDib indexed(2, 1, 8);
  indexed.Palette[0] = {0, 0, 255, 0}, indexed.Palette[1] = {255, 255, 255, 0}, indexed.Palette[5] = {40, 30, 20, 0};
  indexed.Row(0)[0] = 5, indexed.Row(0)[1] = 1;
  EXPECT_EQ(ReduceColors(indexed, 24, 0).ColorAt(0, 0), canvas::RGB(20, 30, 40));
  // 1 bit: the nearer of the bitmap's first two entries (red, white); without a palette black or white.
  TDib mono = ReduceColors(indexed, 1, 0);
  EXPECT_EQ(std::pair(mono.IndexAt(0, 0), mono.IndexAt(1, 0)), std::pair(0u, 1u));
  EXPECT_EQ(ReduceColors(TrueColour(1, 1, [](int, int) { return TRgb{90, 90, 90}; }), 1, 0).ColorAt(0, 0), canvas::clBlack);
  EXPECT_EQ(ReduceColors(indexed, 8, 5).ColorAt(0, 0), canvas::RGB(28, 28, 28)) << "greys even at the same depth";
}

}  // namespace
}  // namespace gif
