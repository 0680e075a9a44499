#include <gtest/gtest.h>

#include "ui/IntegerText.h"

TEST(StrToIntDefault, ReadsDecimalIntegersAndFallsBackOnAnythingElse) {
  EXPECT_EQ(StrToIntDefault("600", 7), 600);
  EXPECT_EQ(StrToIntDefault("-900", 7), -900);
  EXPECT_EQ(StrToIntDefault(" 12 ", 7), 12);
  EXPECT_EQ(StrToIntDefault("", 7), 7);
  EXPECT_EQ(StrToIntDefault("12a", 7), 7);
  EXPECT_EQ(StrToIntDefault("-", 7), 7);
  EXPECT_EQ(StrToIntDefault("2147483647", 7), 2147483647);
  EXPECT_EQ(StrToIntDefault("2147483648", 7), 7);  // beyond 32 bits
}

struct TCutCase {
  const char* Text;
  int Result;
  const char* Rest;
};

class CutNextIntTest : public testing::TestWithParam<TCutCase> {};

TEST_P(CutNextIntTest, TakesTheIntegerBeforeTheSeparatorAndCutsItOff) {
  std::string text = GetParam().Text;
  EXPECT_EQ(CutNextInt(",", text, -1), GetParam().Result);
  EXPECT_EQ(text, GetParam().Rest);
}

INSTANTIATE_TEST_SUITE_P(Bounds, CutNextIntTest,
                         testing::Values(TCutCase{"10,20,600,400", 10, "20,600,400"},
                                         TCutCase{"-900,-700", -900, "-700"},
                                         // a malformed number still cuts, so the next bound is read
                                         TCutCase{"x1,20,30", -1, "20,30"}, TCutCase{",5", -1, "5"},
                                         TCutCase{"5,", 5, ""},
                                         // no separator: default, text unchanged
                                         TCutCase{"400", -1, "400"}, TCutCase{"", -1, ""}));

TEST(CutNextInt, ReadsAWholeBoundsValueAsTheWindowsDo) {
  std::string bounds = "10,x,600,400";
  int left = CutNextInt(",", bounds, 1);
  int top = CutNextInt(",", bounds, 2);
  int width = CutNextInt(",", bounds, 3);
  int height = StrToIntDefault(bounds, 4);
  EXPECT_EQ(left, 10);
  EXPECT_EQ(top, 2);  // malformed: the current value stays
  EXPECT_EQ(width, 600);
  EXPECT_EQ(height, 400);
}
