#include <gtest/gtest.h>

#include "base/Exceptions.h"
#include "base/Streams.h"
#include "score/model/StreamStrings.h"

namespace {

void PutString(TMemoryStream& s, const std::string& text) {
  s.WriteU16(uint16_t(text.size()));
  s.WriteString(text);
}

void PutWide(TMemoryStream& s, const std::u16string& text) {
  s.WriteU16(uint16_t(text.size()));
  for (char16_t c : text) s.WriteU16(c);
}

TEST(ReadStreamString, ReadsUpToTheLimit) {
  TMemoryStream s;
  PutString(s, "Ostinel data file");
  PutString(s, std::string(5000, 'x'));
  s.SetPosition(0);
  std::string text;
  ReadStreamString(s, text);
  EXPECT_EQ(text, "Ostinel data file");
  ReadStreamString(s, text);
  EXPECT_EQ(text.size(), 5000u);
  EXPECT_EQ(s.Remaining(), 0);
}

TEST(ReadStreamString, OverLongTextKeepsTheValueAndPassesItsBytes) {
  TMemoryStream s;
  PutString(s, std::string(5001, 'y'));
  s.WriteU16(0xBEEF);
  s.SetPosition(0);
  std::string text = "kept";
  ReadStreamString(s, text);
  EXPECT_EQ(text, "kept");
  EXPECT_EQ(s.ReadU16(), 0xBEEF);
}

TEST(ReadStreamString, EmptyAndTruncated) {
  TMemoryStream empty({0, 0});
  std::string text = "old";
  ReadStreamString(empty, text);
  EXPECT_EQ(text, "");

  TMemoryStream shortBody({5, 0, 'a', 'b'});
  EXPECT_THROW(ReadStreamString(shortBody, text), EReadError);
  TMemoryStream noLength({5});
  EXPECT_THROW(ReadStreamString(noLength, text), EReadError);
  // Even a text that is not taken must be in the stream.
  TMemoryStream overLongTruncated({0x89, 0x13, 'a'});  // 5001 announced
  EXPECT_THROW(ReadStreamString(overLongTruncated, text), EReadError);
}

TEST(ReadStreamWideString, SixteenBitCharactersWithoutLimit) {
  TMemoryStream s;
  std::u16string big(6000, u'\u0416');
  PutWide(s, u"A\u00e9\u4e2d");
  PutWide(s, big);
  s.SetPosition(0);
  std::u16string w;
  ReadStreamWideString(s, w);
  EXPECT_EQ(w, u"A\u00e9\u4e2d");
  ReadStreamWideString(s, w);
  EXPECT_EQ(w, big);

  TMemoryStream truncated({3, 0, 'A', 0, 'B'});
  EXPECT_THROW(ReadStreamWideString(truncated, w), EReadError);
}

TEST(ReadStreamStrings, ReplacesTheListUpToTheLimit) {
  TMemoryStream s;
  s.WriteU16(3);
  PutString(s, "one");
  PutString(s, std::string(5001, 'z'));  // listed empty
  PutString(s, "three");
  s.SetPosition(0);
  TStringList list;
  list.Add("old");
  ReadStreamStrings(s, list);
  ASSERT_EQ(list.Count(), 3);
  EXPECT_EQ(list.Strings(0), "one");
  EXPECT_EQ(list.Strings(1), "");
  EXPECT_EQ(list.Strings(2), "three");
}

TEST(ReadStreamStrings, OverLongListStaysEmptyAndThePositionFollows) {
  TMemoryStream s;
  s.WriteU16(10001);
  for (int i = 0; i < 10001; ++i) PutString(s, "s");
  s.WriteU16(0xCAFE);
  s.SetPosition(0);
  TStringList list;
  list.Add("old");
  ReadStreamStrings(s, list);
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(s.ReadU16(), 0xCAFE);

  TMemoryStream atLimit;
  atLimit.WriteU16(10000);
  for (int i = 0; i < 10000; ++i) PutString(atLimit, "s");
  atLimit.SetPosition(0);
  ReadStreamStrings(atLimit, list);
  EXPECT_EQ(list.Count(), 10000);
}

TEST(ReadStreamStrings, TruncatedListRaisesAfterEmptyingTheList) {
  TMemoryStream s;
  s.WriteU16(2);
  PutString(s, "one");
  s.SetPosition(0);
  TStringList list;
  list.Add("old");
  EXPECT_THROW(ReadStreamStrings(s, list), EReadError);
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.Strings(0), "one");
}

TEST(ReadStreamWideList, ReadsEntriesAndHonoursTheLimit) {
  TMemoryStream s;
  s.WriteU16(2);
  PutWide(s, u"la");
  PutWide(s, u"");
  s.SetPosition(0);
  TKVWideList list{u"old"};
  ReadStreamWideList(s, list);
  EXPECT_EQ(list, (TKVWideList{u"la", u""}));

  TMemoryStream big;
  big.WriteU16(10001);
  for (int i = 0; i < 10001; ++i) PutWide(big, u"w");
  big.WriteU16(7);
  big.SetPosition(0);
  ReadStreamWideList(big, list);
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(big.ReadU16(), 7);

  TMemoryStream truncated({1, 0, 2, 0, 'x', 0});
  EXPECT_THROW(ReadStreamWideList(truncated, list), EReadError);
}

}  // namespace
