// The word tables through which the walk reads names and texts.

#include <gtest/gtest.h>

#include "score/import/musicxml/MusicXMLWords.h"

namespace {

TEST(MusicXMLWords, EveryTableNameLooksUpToItsPosition) {
  for (int code = 1; code <= XMLElementCount; ++code) {
    std::string name = XMLElementName(code);
    EXPECT_EQ(LookupXMLElement(name), code) << name;
  }
  EXPECT_STREQ(XMLElementName(0), "");
  EXPECT_STREQ(XMLElementName(XMLElementCount + 1), "");
}

TEST(MusicXMLWords, LookupTrimsAndIgnoresCase) {
  EXPECT_EQ(LookupXMLElement("NOTE"), xeNote);
  EXPECT_EQ(LookupXMLElement(" \t Beat-Type\r\n"), xeBeatType);
  EXPECT_EQ(LookupXMLElement("no-such-element"), xeNone);
  EXPECT_EQ(LookupXMLElement(""), xeNone);
  EXPECT_EQ(LookupXMLElement("note s"), xeNone);
  EXPECT_EQ(LookupXMLElement("unpitched"), xeNone);
}

struct TWordCase {
  const char* Table;
  int (*Read)(const std::string&);
  const char* Text;
  int Expected;
};
void PrintTo(const TWordCase& c, std::ostream* os) { *os << c.Table << " '" << c.Text << "'"; }
class MusicXMLWordTable : public testing::TestWithParam<TWordCase> {};

TEST_P(MusicXMLWordTable, ReadsTheTextAsDocumented) {
  EXPECT_EQ(GetParam().Read(GetParam().Text), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Words, MusicXMLWordTable,
    testing::Values(
        TWordCase{"step", StepLetterIndex, "a", 5}, TWordCase{"step", StepLetterIndex, "H", 0},
        TWordCase{"step", StepLetterIndex, " B", 0},  // texts are not trimmed
        TWordCase{"clef", ClefSignToKind, "c", 3}, TWordCase{"clef", ClefSignToKind, "tab", 13},
        TWordCase{"clef", ClefSignToKind, "percussion", 14}, TWordCase{"clef", ClefSignToKind, "none", 1},
        TWordCase{"type", NoteTypeToTicks, "Quarter", 128}, TWordCase{"type", NoteTypeToTicks, "64th", 8},
        // The short values have their own lengths, down to one tick; an
        // unknown text (a breve, which no tick count here holds) is an eighth.
        TWordCase{"type", NoteTypeToTicks, "128th", 4}, TWordCase{"type", NoteTypeToTicks, "256th", 2},
        TWordCase{"type", NoteTypeToTicks, "1024th", 1}, TWordCase{"type", NoteTypeToTicks, "breve", 64},
        TWordCase{"harmony", HarmonyKindIndex, "MAJOR", 0},
        TWordCase{"harmony", HarmonyKindIndex, "suspended-fourth", 1},
        TWordCase{"harmony", HarmonyKindIndex, "", 1}));

}  // namespace
