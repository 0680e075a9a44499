#include <gtest/gtest.h>

#include "base/Exceptions.h"
#include "base/StringList.h"
#include "base/Strings.h"

namespace {

struct Counted : TObject {
  explicit Counted(int* alive) : Alive(alive) { ++*Alive; }
  ~Counted() override { --*Alive; }
  int* Alive;
};

TEST(StringList, OwnedObjectsAreFreedOnDeleteAndClear) {
  int alive = 0;
  {
    TStringList list(true);
    list.AddObject("a", new Counted(&alive));
    list.AddObject("b", new Counted(&alive));
    list.AddObject("c", new Counted(&alive));
    list.Delete(1);
    EXPECT_EQ(alive, 2);
    list.SetObject(0, new Counted(&alive));
    EXPECT_EQ(alive, 2);
  }
  EXPECT_EQ(alive, 0);
}

TEST(StringList, LookupIgnoresCaseAndBadIndexRaises) {
  TStringList list;
  list.Add("Record");
  list.Add("Tools=ENU");
  EXPECT_EQ(list.IndexOf("RECORD"), 0);
  EXPECT_EQ(list.Values("tools"), "ENU");
  EXPECT_EQ(list.IndexOf("none"), -1);
  EXPECT_THROW(list.Strings(2), EListError);
  EXPECT_THROW(list.Delete(-1), EListError);
}

TEST(StringList, TextSplitsEveryLineEnding) {
  TStringList list;
  list.SetText("a\r\nb\nc\rd");
  ASSERT_EQ(list.Count(), 4);
  EXPECT_EQ(list.Strings(3), "d");
  EXPECT_EQ(list.Text(), "a\r\nb\r\nc\r\nd\r\n");
}

struct RoundCase {
  double in;
  int64_t out;
};
class RoundHalfEven : public ::testing::TestWithParam<RoundCase> {};
TEST_P(RoundHalfEven, GoesToEvenNeighbour) { EXPECT_EQ(Round(GetParam().in), GetParam().out); }
INSTANTIATE_TEST_SUITE_P(Halves, RoundHalfEven,
                         ::testing::Values(RoundCase{0.5, 0}, RoundCase{1.5, 2}, RoundCase{2.5, 2},
                                           RoundCase{-0.5, 0}, RoundCase{-1.5, -2}, RoundCase{2.4999, 2},
                                           RoundCase{2.5001, 3}));

TEST(Strings, MulDivRoundsAndGuardsZero) {
  EXPECT_EQ(MulDiv(18, 96, 72), 24);
  EXPECT_EQ(MulDiv(9, 96, 72), 12);
  EXPECT_EQ(MulDiv(1, 3, 2), 2);
  EXPECT_EQ(MulDiv(-1, 3, 2), -2);
  EXPECT_EQ(MulDiv(5, 5, 0), -1);
}

TEST(Strings, FileNameParts) {
  EXPECT_EQ(ExtractFileExt("/a.b/c"), "");
  EXPECT_EQ(ExtractFileExt("/a/song.Mid"), ".Mid");
  EXPECT_EQ(ExtractFileExt("x.tar.KAR"), ".KAR");
  EXPECT_EQ(ChangeFileExt("/a/b.sfd", ".wav"), "/a/b.wav");
  EXPECT_EQ(ExtractFilePath("/a/b.sfd"), "/a/");
  long long v = 0;
  EXPECT_TRUE(TryStrToInt(" -42 ", v));
  EXPECT_EQ(v, -42);
  EXPECT_FALSE(TryStrToInt("4x", v));
  EXPECT_FALSE(TryStrToInt("99999999999999999999", v));
}

// Numbers as files write them: the full stop whatever the locale, no
// comma, nothing that is not a finite number.
TEST(Strings, TryStrToFloatReadsFiniteDecimals) {
  const struct {
    const char* Text;
    bool Read;
    double Value;
  } rows[] = {{" -80.00 ", true, -80},  {"+6.58", true, 6.58}, {".5", true, 0.5},  {"1e2", true, 100},
              {"6,58", false, 0},       {"", false, 0},        {"+", false, 0},    {"--1", false, 0},
              {"inf", false, 0},        {"nan", false, 0},     {"1e999", false, 0}, {"4x", false, 0}};
  for (const auto& row : rows) {
    double value = 0;
    EXPECT_EQ(TryStrToFloat(row.Text, value), row.Read) << row.Text;
    if (row.Read) {
      EXPECT_DOUBLE_EQ(value, row.Value) << row.Text;
    }
  }
}

}  // namespace
