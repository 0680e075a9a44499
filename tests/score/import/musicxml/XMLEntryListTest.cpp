// The MusicXML entry list: element, attributes, children in document order,
// each with its depth and text, from well-formed documents of every kind.
// What the XML parser itself decodes (references, CDATA, quoting) is its
// own business; these rows check what the list makes of it.

#include <gtest/gtest.h>

#include "score/import/ImportErrors.h"
#include "score/import/musicxml/XMLEntryListTestSupport.h"

namespace {

struct TEntryCase {
  const char* Name;
  std::string Document;
  std::vector<std::string> Expected;  // as DumpEntries writes them
};
void PrintTo(const TEntryCase& c, std::ostream* os) {
  *os << c.Name;
}
class XMLEntries : public testing::TestWithParam<TEntryCase> {};

TEST_P(XMLEntries, GiveTheDocumentedEntryList) {
  EXPECT_EQ(DumpEntries(ReadXML(GetParam().Document)), GetParam().Expected);
}

const char* Root = "1 score-partwise=";

INSTANTIATE_TEST_SUITE_P(
    Cases, XMLEntries,
    testing::Values(
        TEntryCase{"AttributesInDocumentOrderThenChildren",
                   "<score-partwise><n z=\"1\" a=\"2\" m=\"3\"><c>4</c></n></score-partwise>",
                   {Root, "2 n=", "3@z=1", "3@a=2", "3@m=3", "3 c=4"}},
        TEntryCase{"InstructionsMakeNoEntries",
                   "<score-partwise><a>1</a><?pi some data?><c/></score-partwise>",
                   {Root, "2 a=1", "2 c="}},
        TEntryCase{"SpacesKeptLineBreaksAndTabsDropped",
                   "<score-partwise><a>  x y  \r\n\tz </a></score-partwise>",
                   {Root, "2 a=  x y  z "}},
        TEntryCase{"MixedContentKeepsOnlyTheElementsOwnText",
                   "<score-partwise><a>x<b>y</b>z</a></score-partwise>",
                   {Root, "2 a=xz", "3 b=y"}},
        TEntryCase{"PrefixedNamesStayAsWritten",
                   "<score-partwise xmlns:xlink=\"http://www.w3.org/1999/xlink\">"
                   "<a xml:lang=\"de\" xlink:href=\"u\"/></score-partwise>",
                   {Root, "2@xmlns:xlink=http://www.w3.org/1999/xlink", "2 a=", "3@xml:lang=de", "3@xlink:href=u"}},
        TEntryCase{"InternalEntitiesAndDefaultsOfTheDocumentsOwnDTD",
                   "<!DOCTYPE score-partwise [<!ENTITY who \"Anon &amp; Co\"><!ATTLIST a d CDATA \"v\">]>"
                   "<score-partwise><a x=\"1\">&who;</a></score-partwise>",
                   {Root, "2 a=Anon & Co", "3@x=1", "3@d=v"}},
        TEntryCase{"RootNameIgnoresCase", "<Score-Partwise><NOTE/></Score-Partwise>",
                   {"1 Score-Partwise=", "2 NOTE="}}),
    [](const auto& info) { return std::string(info.param.Name); });

struct TEncodingCase {
  const char* Name;
  std::string Document;
  std::string Text;  // of the one child entry, UTF-8
};
void PrintTo(const TEncodingCase& c, std::ostream* os) {
  *os << c.Name;
}
class XMLEncodings : public testing::TestWithParam<TEncodingCase> {};

TEST_P(XMLEncodings, TextsComeOutAsUtf8) {
  TKVXMLEntryList list = ReadXML(GetParam().Document);
  ASSERT_EQ(list.Top(), list.Root + 2);
  EXPECT_EQ(list.Entries.back().Text, GetParam().Text);
}

std::string Declared(const std::string& encoding, const std::string& text) {
  return "<?xml version=\"1.0\" encoding=\"" + encoding + "\"?><score-partwise><a>" + text +
         "</a></score-partwise>";
}

std::string Utf16LE(const std::string& ascii) {
  std::string out = "\xFF\xFE";
  for (char c : ascii) {
    out += c;
    out += '\0';
  }
  return out;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, XMLEncodings,
    testing::Values(TEncodingCase{"Utf8ByDefault", "<score-partwise><a>\xC3\xBC</a></score-partwise>", "\xC3\xBC"},
                    TEncodingCase{"Latin1", Declared("ISO-8859-1", "caf\xE9"), "caf\xC3\xA9"},
                    TEncodingCase{"Windows1252", Declared("windows-1252", "\x80 \x93x\x94"),
                                  "\xE2\x82\xAC \xE2\x80\x9Cx\xE2\x80\x9D"},
                    TEncodingCase{"Koi8r", Declared("KOI8-R", "\xC1"), "\xD0\xB0"},
                    TEncodingCase{"Utf16WithByteOrderMark", Utf16LE("<score-partwise><a>hi &#233;</a></score-partwise>"),
                                  "hi \xC3\xA9"}),
    [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
