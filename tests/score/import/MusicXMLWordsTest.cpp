// The word tables through which the walk reads names and texts.

#include <gtest/gtest.h>

#include "score/import/MusicXMLWords.h"

namespace {

TEST(MusicXMLWords, EveryTableNameLooksUpToItsPosition) {
  for (int code = 1; code <= XMLElementCount; ++code) {
    std::string name = XMLElementName(code);
    EXPECT_EQ(LookupXMLElement(name), code) << name;
  }
  EXPECT_STREQ(XMLElementName(0), "");
  EXPECT_STREQ(XMLElementName(XMLElementCount + 1), "");
}

TEST(MusicXMLWords, KnownCodesAndNames) {
  EXPECT_EQ(LookupXMLElement("work"), xeWork);
  EXPECT_EQ(xeWork, 1);
  EXPECT_EQ(xeNote, 34);
  EXPECT_EQ(xeScorePartwise, 151);
  EXPECT_EQ(xeXmlLang, 172);
  EXPECT_EQ(xeShowNumber, 204);
  EXPECT_EQ(LookupXMLElement("xml:lang"), xeXmlLang);
  EXPECT_EQ(LookupXMLElement("fff"), xeFff);
  EXPECT_EQ(LookupXMLElement("f"), xeF);
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
        TWordCase{"step", StepLetterIndex, "C", 0}, TWordCase{"step", StepLetterIndex, "E", 2},
        TWordCase{"step", StepLetterIndex, "a", 5}, TWordCase{"step", StepLetterIndex, "B", 6},
        TWordCase{"step", StepLetterIndex, "H", 0},
        TWordCase{"step", StepLetterIndex, " B", 0},  // texts are not trimmed
        TWordCase{"clef", ClefSignToKind, "G", 1}, TWordCase{"clef", ClefSignToKind, "F", 2},
        TWordCase{"clef", ClefSignToKind, "c", 3}, TWordCase{"clef", ClefSignToKind, "TAB", 13},
        TWordCase{"clef", ClefSignToKind, "tab", 13}, TWordCase{"clef", ClefSignToKind, "percussion", 14},
        TWordCase{"clef", ClefSignToKind, "none", 1}, TWordCase{"clef", ClefSignToKind, "", 1},
        TWordCase{"type", NoteTypeToTicks, "whole", 512}, TWordCase{"type", NoteTypeToTicks, "half", 256},
        TWordCase{"type", NoteTypeToTicks, "Quarter", 128}, TWordCase{"type", NoteTypeToTicks, "eighth", 64},
        TWordCase{"type", NoteTypeToTicks, "16th", 32}, TWordCase{"type", NoteTypeToTicks, "32nd", 16},
        TWordCase{"type", NoteTypeToTicks, "64th", 8},
        // Not compared, as documented: they fall back like any unknown text.
        TWordCase{"type", NoteTypeToTicks, "128th", 64}, TWordCase{"type", NoteTypeToTicks, "256th", 64},
        TWordCase{"type", NoteTypeToTicks, "breve", 64},
        TWordCase{"harmony", HarmonyKindIndex, "MAJOR", 0},
        TWordCase{"harmony", HarmonyKindIndex, "suspended-fourth", 1},
        TWordCase{"harmony", HarmonyKindIndex, "", 1}));

TEST(MusicXMLWords, HarmonyKindsInTableOrder) {
  const char* kinds[] = {"major", "minor", "augmented", "diminished", "dominant", "major-seventh",
                         "minor-seventh", "diminished-seventh", "half-diminished", "major-minor",
                         "major-sixth", "minor-sixth", "dominant-ninth", "major-ninth", "minor-ninth",
                         "dominant-11th", "major-11th", "minor-11th", "dominant-13th", "major-13th",
                         "minor-13th"};
  for (int i = 0; i < 21; ++i) EXPECT_EQ(HarmonyKindIndex(kinds[i]), i) << kinds[i];
}

}  // namespace
