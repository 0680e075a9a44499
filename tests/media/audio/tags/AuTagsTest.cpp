// The tag dictionary: its sorted names, conversions between kinds of value,
// and copying between kinds of tag by name.

#include <gtest/gtest.h>

#include "media/audio/tags/APEv2Tags.h"
#include "media/audio/tags/Id3v1Tags.h"

namespace {

TEST(Tags, NamesSortWithoutRegardToCaseAndValuesConvert) {
  TAPEv2Tags ape;
  ASSERT_EQ(ape.Count(), 25);
  EXPECT_EQ(ape.Names(0) + "," + ape.Names(9) + "," + ape.Names(15) + "," + ape.Names(16) + "," + ape.Names(24),
            "Abstract,Debut album,Language,LC,Year");
  EXPECT_EQ(ape.Names(25), "");
  ape.SetValue("year", std::string(" 17 "));  // any case finds the name
  EXPECT_EQ(ape.AsInteger("YEAR"), 17);
  ape.SetValue("Track", std::string("12a"));
  EXPECT_EQ(ape.AsInteger("Track"), 0);
  ape.SetValue("Title", std::string("Caf\xE9"));
  EXPECT_EQ(ape.Title(), u"Caf\u00E9");
  ape.SetValue("ISBN", int64_t(42));
  EXPECT_EQ(ape.ISBN(), "42");
  ape.SetArtist(u"Mir \u043C\u0438\u0440");
  EXPECT_EQ(ape.AsString("Artist"), "Mir ???");
  ape.SetValue("Lyrics", std::string("la"));
  EXPECT_EQ(ape.Value("Lyrics"), TTagValue{});
}

TEST(Tags, AssignClearsTheTargetAndCopiesByName) {
  TId3v1Tags v1;
  v1.SetTitle("Song");
  v1.SetYear(1999);
  TAPEv2Tags ape;
  ape.SetComposer(u"Someone");
  ape.Assign(v1);
  EXPECT_EQ(ape.Title(), u"Song");
  EXPECT_EQ(ape.Year(), "1999");
  EXPECT_EQ(ape.Composer(), u"");
}

}  // namespace
