// The tag dictionary: its names, the conversions between kinds of value,
// which settings count as changes, and copying between kinds of tag.

#include <gtest/gtest.h>

#include "media/audio/tags/APEv2Tags.h"
#include "media/audio/tags/Id3v1Tags.h"
#include "media/audio/tags/Id3v2Tags.h"

namespace {

TEST(Tags, NamesAreSortedWithoutRegardToCase) {
  TAPEv2Tags ape;
  ASSERT_EQ(ape.Count(), 25);
  std::string names;
  for (int i = 0; i < ape.Count(); ++i) names += ape.Names(i) + ",";
  EXPECT_EQ(names,
            "Abstract,Album,Artist,Bibliography,Catalog,Comment,Composer,Conductor,Copyright,Debut album,EAN/UPC,"
            "File,Genre,ISBN,ISRC,Language,LC,Publisher,Record Date,Record Location,Related,Subtitle,Title,Track,"
            "Year,");
  EXPECT_EQ(ape.Names(-1), "");
  EXPECT_EQ(ape.Names(25), "");
  EXPECT_EQ(TId3v1Tags().Count(), 7);
  EXPECT_EQ(TId3v2Tags().Count(), 24);
}

struct TConversion {
  const char* Name;
  TTagValue Value;
  int64_t Integer;
  std::string Text;
  std::u16string Wide;
};

class TagConversion : public testing::TestWithParam<TConversion> {};

TEST_P(TagConversion, ReadsEveryKindAsEveryKind) {
  TAPEv2Tags tags;
  tags.SetValue("year", GetParam().Value);  // any case finds the name
  EXPECT_EQ(tags.AsInteger("Year"), GetParam().Integer);
  EXPECT_EQ(tags.AsString("YEAR"), GetParam().Text);
  EXPECT_EQ(tags.AsWideString("Year"), GetParam().Wide);
}

INSTANTIATE_TEST_SUITE_P(
    Values, TagConversion,
    testing::Values(TConversion{"Integer", int64_t(42), 42, "42", u"42"},
                    TConversion{"NumberWithBlanks", std::string(" 17 "), 17, " 17 ", u" 17 "},
                    TConversion{"NotANumber", std::string("12a"), 0, "12a", u"12a"},
                    TConversion{"Latin1", std::string("Caf\xE9"), 0, "Caf\xE9", u"Caf\u00E9"},
                    TConversion{"WideNumber", std::u16string(u"2001"), 2001, "2001", u"2001"},
                    TConversion{"WideBeyondLatin1", std::u16string(u"Mir \u043C\u0438\u0440"), 0, "Mir ???",
                                u"Mir \u043C\u0438\u0440"},
                    TConversion{"Nothing", TTagValue{}, 0, "", u""}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(Tags, OnlyAValueThatDiffersForAKnownNameIsAChange) {
  TId3v1Tags tags;
  EXPECT_TRUE(tags.Empty());
  EXPECT_FALSE(tags.Changed());
  tags.SetGenreId(TId3v1Tags::OtherGenre);  // what it holds from the start
  tags.SetValue("lyrics", std::string("la"));
  tags.SetGenre("No Such Genre");
  EXPECT_TRUE(tags.Empty());
  EXPECT_FALSE(tags.Changed());
  EXPECT_EQ(tags.Value("lyrics"), TTagValue{});

  tags.SetTitle("Song");
  EXPECT_FALSE(tags.Empty());
  EXPECT_TRUE(tags.Changed());
  tags.Clear();
  EXPECT_TRUE(tags.Empty());
  EXPECT_TRUE(tags.Changed());
  EXPECT_EQ(tags.Title(), "");
}

TEST(Tags, AssignClearsTheTargetAndCopiesByName) {
  TId3v1Tags v1;
  v1.SetTitle("Song");
  v1.SetArtist("Band");
  v1.SetYear(1999);
  TAPEv2Tags ape;
  ape.SetComposer(u"Someone");
  ape.Assign(v1);  // the names meet without regard to case
  EXPECT_EQ(ape.Title(), u"Song");
  EXPECT_EQ(ape.Artist(), u"Band");
  EXPECT_EQ(ape.Year(), "1999");
  EXPECT_EQ(ape.Genre(), u"12");
  EXPECT_EQ(ape.Composer(), u"");

  TId3v1Tags copy;
  v1.AssignTo(copy);
  EXPECT_EQ(copy.Title(), "Song");
  EXPECT_EQ(copy.Year(), 1999);
}

}  // namespace
