#include <gtest/gtest.h>

#include "platform/text/Charsets.h"

namespace text {
namespace {

TEST(Charsets, BytesDecodeByTheFontsCharacterSet) {
  EXPECT_EQ(DecodeByte('A', csDefault), U'A');
  EXPECT_EQ(DecodeByte(0x80, csDefault), U'\u20AC');
  EXPECT_EQ(DecodeByte(0x9F, csAnsi), U'\u0178');
  EXPECT_EQ(DecodeByte(0x81, csAnsi), char32_t(0x81));  // undefined in Windows-1252: kept as the control
  EXPECT_EQ(DecodeByte(0xE9, csAnsi), U'\u00E9');
  EXPECT_EQ(DecodeByte(0xC0, csRussian), U'\u0410');
  EXPECT_EQ(DecodeByte(0xB2, csRussian), U'\u0406');
  EXPECT_EQ(DecodeByte(0x8A, csEastEurope), U'\u0160');
}

TEST(Charsets, Utf16DecodesPairsAndReplacesLoneSurrogates) {
  EXPECT_EQ(DecodeUtf16(u"a\U0001D11Eb"), (std::u32string{U'a', U'\U0001D11E', U'b'}));
  std::u16string lone{u'a', char16_t(0xD834), u'b', char16_t(0xDD1E)};
  EXPECT_EQ(DecodeUtf16(lone), (std::u32string{U'a', 0xFFFD, U'b', 0xFFFD}));
}

}  // namespace
}  // namespace text
