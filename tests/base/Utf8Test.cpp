// UTF-8 decoding and stepping, as text fields and the window layer use them.
#include <gtest/gtest.h>

#include "base/Utf8.h"

namespace {

TEST(Utf8Test, MalformedBytesAreSkippedAndTheRestDecoded) {
  // A stray continuation byte, an overlong "/", a surrogate and a cut-off
  // sequence around valid text.
  const std::string text = "a\x80\xC0\xAF\xD0\xAF\xED\xA0\x80z\xE2\x82";
  EXPECT_EQ(DecodeUtf8(text), U"aЯz");
  EXPECT_FALSE(IsValidUtf8(text));
  EXPECT_TRUE(IsValidUtf8("Я𝄞"));
  EXPECT_EQ(Utf8ToUtf16("Я𝄞"), u"Я\xD834\xDD1E");
  std::string back;
  for (char32_t c : U"Я𝄞") if (c) AppendUtf8(back, c);
  EXPECT_EQ(back, "Я𝄞");
}

TEST(Utf8Test, StepsGoFromCharacterToCharacterAndStopAtTheEnds) {
  const std::string text = "aЯ𝄞";  // 1, 2 and 4 bytes
  std::vector<size_t> forward{0};
  while (forward.back() < text.size()) forward.push_back(NextUtf8(text, forward.back()));
  EXPECT_EQ(forward, (std::vector<size_t>{0, 1, 3, 7}));
  EXPECT_EQ(NextUtf8(text, 7), 7u);
  EXPECT_EQ(PriorUtf8(text, 7), 3u);
  EXPECT_EQ(PriorUtf8(text, 3), 1u);
  EXPECT_EQ(PriorUtf8(text, 2), 1u);  // from inside a character: its start
  EXPECT_EQ(PriorUtf8(text, 0), 0u);
  EXPECT_EQ(PriorUtf8(text, 99), 3u);
}

}  // namespace
