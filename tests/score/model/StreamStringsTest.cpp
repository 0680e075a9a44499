#include <gtest/gtest.h>

#include "base/Exceptions.h"
#include "base/Streams.h"
#include "score/model/StreamStrings.h"

namespace {

TMemoryStream& PutString(TMemoryStream& s, const std::string& text) {
  s.WriteU16(uint16_t(text.size()));
  s.WriteString(text);
  return s;
}

TMemoryStream& PutWide(TMemoryStream& s, const std::u16string& text) {
  s.WriteU16(uint16_t(text.size()));
  for (char16_t c : text) s.WriteU16(c);
  return s;
}

// A list of Count entries of Text, then the word 0xCAFE.
template <class Put, class Text>
std::vector<uint8_t> List(int count, Put put, Text text) {
  TMemoryStream s;
  s.WriteU16(uint16_t(count));
  for (int i = 0; i < count; ++i) put(s, text);
  s.WriteU16(0xCAFE);
  return s.Bytes();
}

// Reads one text from Bytes over "old"; "!" when the read raises, with what
// stays unread after it.
template <class String, class Read>
std::pair<String, size_t> ReadOne(std::vector<uint8_t> bytes, Read read, String old) {
  TMemoryStream s(bytes);
  try {
    read(s, old);
  } catch (const EReadError&) {
    return {String(1, '!'), 0};
  }
  return {old, size_t(s.Remaining())};
}

std::vector<uint8_t> Text(uint16_t announced, const std::string& body) {
  std::vector<uint8_t> b{uint8_t(announced), uint8_t(announced >> 8)};
  b.insert(b.end(), body.begin(), body.end());
  return b;
}

TEST(ReadStreamString, TakesTextsUpTo5000BytesAndPassesLongerOnes) {
  auto read = [](TStream& s, std::string& t) { ReadStreamString(s, t); };
  EXPECT_EQ(ReadOne(Text(17, "Ostinel data file"), read, std::string("old")), std::pair(std::string("Ostinel data file"), size_t(0)));
  EXPECT_EQ(ReadOne(Text(5000, std::string(5000, 'x') + "!!"), read, std::string()).first.size(), 5000u);
  // Over long: the value is kept and the bytes passed over, to the word after.
  EXPECT_EQ(ReadOne(Text(5001, std::string(5001, 'y') + "ab"), read, std::string("kept")), std::pair(std::string("kept"), size_t(2)));
  EXPECT_EQ(ReadOne({0, 0}, read, std::string("old")).first, "");
  // Cut short, even a text that is not taken.
  for (const auto& bytes : {Text(5, "ab"), std::vector<uint8_t>{5}, Text(5001, "a")})
    EXPECT_EQ(ReadOne(bytes, read, std::string("old")).first, "!");
}

TEST(ReadStreamWideString, SixteenBitCharactersWithoutLimit) {
  TMemoryStream s;
  std::u16string big(6000, u'\u0416');
  PutWide(PutWide(s, u"A\u00e9\u4e2d"), big).SetPosition(0);
  std::u16string w;
  ReadStreamWideString(s, w);
  EXPECT_EQ(w, u"A\u00e9\u4e2d");
  ReadStreamWideString(s, w);
  EXPECT_EQ(w, big);
  TMemoryStream truncated({3, 0, 'A', 0, 'B'});
  EXPECT_THROW(ReadStreamWideString(truncated, w), EReadError);
}

// Lists replace the old one; an over-long text is listed empty, a list of
// more than 10000 entries stays empty with its bytes passed over.
TEST(ReadStreamStrings, ReplaceTheListUpToTheLimit) {
  TMemoryStream s;
  s.WriteU16(3);
  PutString(PutString(PutString(s, "one"), std::string(5001, 'z')), "three").SetPosition(0);
  TStringList list;
  list.Add("old");
  ReadStreamStrings(s, list);
  EXPECT_EQ(list.Text(), "one\r\n\r\nthree\r\n");
  for (int count : {10001, 10000}) {
    TMemoryStream many(List(count, PutString, "s"));
    ReadStreamStrings(many, list);
    EXPECT_EQ(list.Count(), count == 10000 ? 10000 : 0);
    EXPECT_EQ(many.ReadU16(), 0xCAFE);
  }
  TKVWideList wide{u"old"};
  TMemoryStream two(List(2, PutWide, u"la"));
  ReadStreamWideList(two, wide);
  EXPECT_EQ(wide, (TKVWideList{u"la", u"la"}));
  TMemoryStream big(List(10001, PutWide, u"w"));
  ReadStreamWideList(big, wide);
  EXPECT_TRUE(wide.empty());
  EXPECT_EQ(big.ReadU16(), 0xCAFE);
}

// A list cut short raises, with the entries read before the cut in it.
TEST(ReadStreamStrings, TruncatedListRaisesKeepingWhatItRead) {
  TMemoryStream s;
  s.WriteU16(2);
  PutString(s, "one").SetPosition(0);
  TStringList list;
  list.Add("old");
  EXPECT_THROW(ReadStreamStrings(s, list), EReadError);
  EXPECT_EQ(list.Text(), "one\r\n");
  TKVWideList wide;
  TMemoryStream truncated({1, 0, 2, 0, 'x', 0});
  EXPECT_THROW(ReadStreamWideList(truncated, wide), EReadError);
}

}  // namespace
