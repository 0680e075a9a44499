// Documents the MusicXML reader refuses: not XML, not partwise, hostile, or
// damaged. Each fails with the reader's own error and never loads anything
// from outside the document.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "score/import/ImportErrors.h"
#include "score/import/musicxml/XMLEntryListTestSupport.h"
#include "support/Raised.h"

namespace {

std::string ErrorOf(const std::string& document, const TKVXMLLimits& limits = {}) {
  return RaisedBy<EImportError>([&] { ReadXML(document, limits); });
}

std::string BillionLaughs() {
  std::string doc = "<?xml version=\"1.0\"?><!DOCTYPE score-partwise [<!ENTITY l0 \"ha\">";
  for (int i = 1; i <= 10; ++i) {
    doc += "<!ENTITY l" + std::to_string(i) + " \"";
    for (int k = 0; k < 10; ++k) doc += "&l" + std::to_string(i - 1) + ";";
    doc += "\">";
  }
  return doc + "]><score-partwise><a>&l10;</a></score-partwise>";
}

std::string ManyEntities(int count) {
  std::string doc = "<!DOCTYPE score-partwise [";
  for (int i = 0; i < count; ++i) doc += "<!ENTITY e" + std::to_string(i) + " \"x\">";
  return doc + "]><score-partwise/>";
}

struct TRefusedCase {
  const char* Name;
  std::string Document;
};
void PrintTo(const TRefusedCase& c, std::ostream* os) {
  *os << c.Name;
}
class XMLRefused : public testing::TestWithParam<TRefusedCase> {};

TEST_P(XMLRefused, RaisesNotMusicXML) { EXPECT_EQ(ErrorOf(GetParam().Document), SNotMusicXMLFile); }

INSTANTIATE_TEST_SUITE_P(
    Cases, XMLRefused,
    testing::Values(
        TRefusedCase{"Empty", ""},
        TRefusedCase{"PlainText", "This is a letter, not a score.\n"},
        TRefusedCase{"Binary", std::string("MThd\0\0\0\6\0\1\0\2\0\x60", 14)},
        TRefusedCase{"Timewise", "<?xml version=\"1.0\"?><score-timewise version=\"4.0\"><measure number=\"1\">"
                                 "<part id=\"P1\"/></measure></score-timewise>"},
        TRefusedCase{"OtherRoot", "<html><score-partwise/></html>"},
        TRefusedCase{"ExternalEntity",
                     "<!DOCTYPE score-partwise [<!ENTITY e SYSTEM \"file:///etc/hostname\">]>"
                     "<score-partwise><a>&e;</a></score-partwise>"},
        TRefusedCase{"UnknownEncoding", "<?xml version=\"1.0\" encoding=\"x-no-such-code\"?><score-partwise/>"},
        TRefusedCase{"BillionLaughs", BillionLaughs()},
        TRefusedCase{"TooManyEntityDeclarations", ManyEntities(65)},
        // Cut short before its root began: nothing says it is MusicXML.
        TRefusedCase{"CutBeforeTheRoot", "<?xml version=\"1.0\"?><score-part"}),
    [](const auto& info) { return std::string(info.param.Name); });

// A partwise document damaged after its root began: the error says where
// the parser stopped (line and column from 1, counted by hand) and why,
// and whether the file is cut short or goes wrong inside.
struct TDamagedCase {
  const char* Name;
  std::string Document;
  std::string Error;
};
void PrintTo(const TDamagedCase& c, std::ostream* os) { *os << c.Name; }
class XMLDamaged : public testing::TestWithParam<TDamagedCase> {};

TEST_P(XMLDamaged, SaysWhereAndWhy) { EXPECT_EQ(ErrorOf(GetParam().Document), GetParam().Error); }

INSTANTIATE_TEST_SUITE_P(
    Cases, XMLDamaged,
    testing::Values(
        // The unclosed "<measure" begins at the 52nd character.
        TDamagedCase{"Truncated", "<?xml version=\"1.0\"?><score-partwise><part id=\"P1\"><measure",
                     "The MusicXML file is cut short at line 1, column 52: unclosed token"},
        // Its end: after the 23 characters.
        TDamagedCase{"UnclosedRoot", "<score-partwise><part/>",
                     "The MusicXML file is cut short at line 1, column 24: no element found"},
        TDamagedCase{"CutOnTheThirdLine", "<?xml version=\"1.0\"?>\n<score-partwise>\n  <part id=\"P1\"><note><du",
                     "The MusicXML file is cut short at line 3, column 23: unclosed token"},
        // The name of "</b>".
        TDamagedCase{"MismatchedTags", "<score-partwise><a></b></score-partwise>",
                     "The MusicXML file is not well-formed at line 1, column 22: mismatched tag"},
        TDamagedCase{"TextAfterRoot", "<score-partwise/>trailing words",
                     "The MusicXML file is not well-formed at line 1, column 18: junk after document element"},
        TDamagedCase{"UndeclaredEntity", "<score-partwise>&nbsp;</score-partwise>",
                     "The MusicXML file is not well-formed at line 1, column 17: undefined entity"},
        TDamagedCase{"ByteOutsideAMultiByteEncoding",
                     "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?><score-partwise><a>\x88\x9F</a></score-partwise>",
                     "The MusicXML file is not well-formed at line 1, column 62: not well-formed (invalid token)"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(XMLEntryListDamage, AFewEntityDeclarationsAreFine) {
  EXPECT_NO_THROW(ReadXML(ManyEntities(64)));
}

// The external subset is never read: declarations in it do not exist for
// the document.
TEST(XMLEntryListDamage, ExternalParameterEntitiesAreNotLoaded) {
  auto dtd = std::filesystem::temp_directory_path() / "sonarid_leak_test.dtd";
  std::ofstream(dtd) << "<!ENTITY leak \"LEAKED\">\n";
  std::string uri = "file://" + dtd.string();
  std::string doc = "<!DOCTYPE score-partwise SYSTEM \"" + uri + "\" [<!ENTITY % p SYSTEM \"" + uri +
                    "\"> %p;]><score-partwise><a>&leak;</a></score-partwise>";
  try {
    for (const std::string& line : DumpEntries(ReadXML(doc))) EXPECT_EQ(line.find("LEAKED"), std::string::npos);
  } catch (const EImportError& e) {
    EXPECT_EQ(e.Message(), SNotMusicXMLFile);
  }
  std::filesystem::remove(dtd);
}

TEST(XMLEntryListDamage, BoundsRaiseTooLarge) {
  std::string many = "<score-partwise>";
  for (int i = 0; i < 100; ++i) many += "<a b=\"1\"/>";
  many += "</score-partwise>";
  EXPECT_EQ(ErrorOf(many, {.MaxEntries = 150}), SMusicXMLTooLarge);
  EXPECT_EQ(ErrorOf(many, {.MaxEntries = 201}), "<nothing raised>");
  EXPECT_EQ(ErrorOf(many, {.MaxInputSize = int64_t(many.size()) - 1}), SMusicXMLTooLarge);
  EXPECT_EQ(ErrorOf(many, {.MaxInputSize = int64_t(many.size())}), "<nothing raised>");
}

// A stream that says it is small and never ends: the bytes read count too.
class TEndlessStream : public TStream {
public:
  int64_t Read(void* buffer, int64_t count) override {
    std::string chunk = FStarted ? std::string(size_t(count), ' ') : "<score-partwise>";
    FStarted = true;
    int64_t n = std::min<int64_t>(count, int64_t(chunk.size()));
    std::copy_n(chunk.data(), n, static_cast<char*>(buffer));
    return n;
  }
  int64_t Write(const void*, int64_t) override { return 0; }
  int64_t Seek(int64_t, TSeekOrigin) override { return 0; }
  int64_t GetSize() override { return 0; }

private:
  bool FStarted = false;
};

TEST(XMLEntryListDamage, EndlessStreamStopsAtTheSizeLimit) {
  TEndlessStream stream;
  EXPECT_EQ(RaisedBy<EImportError>([&] { ReadXMLEntries(stream, {.MaxInputSize = 1 << 20}); }), SMusicXMLTooLarge);
}

}  // namespace
