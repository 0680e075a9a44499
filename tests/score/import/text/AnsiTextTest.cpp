// Byte texts of MIDI files become UTF-8 (and UTF-16 for the model's wide texts).

#include <gtest/gtest.h>

#include "score/import/text/AnsiText.h"

namespace {

struct TAnsiCase {
  const char* Name;
  std::string Bytes;
  std::string Utf8;
};
void PrintTo(const TAnsiCase& c, std::ostream* os) { *os << c.Name; }
class AnsiText : public testing::TestWithParam<TAnsiCase> {};

TEST_P(AnsiText, ValidUtf8StaysOtherBytesAreWindows1252) {
  EXPECT_EQ(AnsiToUtf8(GetParam().Bytes), GetParam().Utf8);
  EXPECT_TRUE(IsValidUtf8(AnsiToUtf8(GetParam().Bytes)));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AnsiText,
    testing::Values(TAnsiCase{"Ascii", "Hello", "Hello"},
                    TAnsiCase{"Utf8TwoThreeFourBytes", "\xC3\xA9\xE2\x82\xAC\xF0\x9D\x84\x9E",
                              "\xC3\xA9\xE2\x82\xAC\xF0\x9D\x84\x9E"},
                    TAnsiCase{"Latin", "Gr\xFC\xDF", "Gr\xC3\xBC\xC3\x9F"},
                    TAnsiCase{"Windows1252Punctuation", "\x93q\x94 \x85", "\xE2\x80\x9Cq\xE2\x80\x9D \xE2\x80\xA6"},
                    TAnsiCase{"UnassignedByteKeepsItsValue", "\x81", "\xC2\x81"},
                    TAnsiCase{"Overlong", "\xC0\xAF", "\xC3\x80\xC2\xAF"},
                    TAnsiCase{"Surrogate", "\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xE2\x82\xAC"},
                    TAnsiCase{"CutShort", "ab\xE2\x82", "ab\xC3\xA2\xE2\x80\x9A"},
                    TAnsiCase{"BeyondUnicode", "\xF4\x90\x80\x80", "\xC3\xB4\xC2\x90\xE2\x82\xAC\xE2\x82\xAC"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(AnsiText, Utf16KeepsSupplementaryCharactersAsPairs) {
  EXPECT_EQ(Utf8ToUtf16("a\xC3\xA9\xE2\x82\xAC\xF0\x9D\x84\x9E"), u"a\u00E9\u20AC\U0001D11E");
  EXPECT_EQ(Utf8ToUtf16(""), u"");
}

TEST(AnsiText, LeftCountsCharactersNotBytes) {
  EXPECT_EQ(Utf8Left("a\xC3\xA9\xE2\x82\xAC" "b", 3), "a\xC3\xA9\xE2\x82\xAC");
  EXPECT_EQ(Utf8Left("abc", 0), "");
  EXPECT_EQ(Utf8Left("abc", 10), "abc");
}

}  // namespace
