// The MusicXML test suite of the shared corpus: every file gives an entry
// list, its counts agree with a plain scan of the file's tags, and a few
// lists are checked entry by entry. Skipped when the corpus is not there
// (point SONARID_CORPUS_DIR at the folder holding musicxml/).

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <regex>

#include "base/Strings.h"
#include "score/import/ImportErrors.h"
#include "score/import/musicxml/MusicXMLTestSupport.h"
#include "score/import/musicxml/XMLEntryListTestSupport.h"
#include "support/Raised.h"

namespace fs = std::filesystem;

namespace {

// Whitespace-only texts (indentation) shown empty, to keep expectations short.
std::vector<std::string> DumpWithoutIndentation(const TKVXMLEntryList& list, size_t from = 0) {
  std::vector<std::string> lines = DumpEntries(list, from);
  for (size_t i = 0; i < lines.size(); ++i)
    if (Trim(list.Entries[from + i].Text).empty()) lines[i].resize(lines[i].size() - list.Entries[from + i].Text.size());
  return lines;
}

// Start tags and their attributes, counted by a plain scan of the text that
// steps over comments, instructions, CDATA, the document type and end tags.
struct TTagCount {
  size_t Elements = 0;
  size_t Attributes = 0;
};
TTagCount ScanTags(const std::string& text) {
  TTagCount count;
  auto skipTo = [&](size_t from, const char* end) {
    size_t at = text.find(end, from);
    return at == std::string::npos ? text.size() : at + std::strlen(end);
  };
  size_t i = 0;
  while ((i = text.find('<', i)) != std::string::npos) {
    if (text.compare(i, 4, "<!--") == 0) {
      i = skipTo(i, "-->");
    } else if (text.compare(i, 9, "<![CDATA[") == 0) {
      i = skipTo(i, "]]>");
    } else if (text.compare(i, 2, "<?") == 0) {
      i = skipTo(i, "?>");
    } else if (text.compare(i, 2, "<!") == 0 || text.compare(i, 2, "</") == 0) {
      i = skipTo(i, ">");
    } else {
      ++count.Elements;
      char quote = 0;
      for (++i; i < text.size() && (quote || text[i] != '>'); ++i) {
        if (quote && text[i] == quote)
          quote = 0;
        else if (!quote && (text[i] == '"' || text[i] == '\''))
          quote = text[i];
        else if (!quote && text[i] == '=')
          ++count.Attributes;
      }
    }
  }
  return count;
}

TEST(XMLEntryListCorpus, EveryFileGivesAnEntryListMatchingItsTags) {
  std::vector<fs::path> files = CorpusXMLFiles();
  if (files.empty()) GTEST_SKIP() << "no MusicXML corpus at " << MusicXMLCorpusDir();
  ASSERT_GE(files.size(), 160u);
  size_t totalEntries = 0;
  for (const fs::path& path : files) {
    SCOPED_TRACE(path.filename().string());
    std::string text = LoadCorpusFile(path);
    TKVXMLEntryList list;
    ASSERT_NO_THROW(list = ReadXML(text));
    EXPECT_TRUE(SameText(list.Entries[list.Root].Name, "score-partwise"));
    TTagCount seen;
    for (size_t i = list.Root; i < list.Top(); ++i) {
      const TKVXMLEntry& e = list.Entries[i];
      (e.IsAttribute ? seen.Attributes : seen.Elements)++;
      EXPECT_LE(e.Depth, list.MaxDepth);
      // The depths a partwise document puts these at, whatever comes before.
      int partwiseDepth = e.Name == "part" ? 2 : e.Name == "measure" ? 3 : e.Name == "note" ? 4 : 0;
      if (!e.IsAttribute && partwiseDepth) {
        EXPECT_EQ(e.Depth, partwiseDepth) << e.Name;
      }
    }
    TTagCount expected = ScanTags(text);
    EXPECT_EQ(seen.Elements, expected.Elements);
    EXPECT_EQ(seen.Attributes, expected.Attributes);
    totalEntries += list.Top();
  }
  std::printf("MusicXML corpus: %zu files, %zu entries\n", files.size(), totalEntries);
}

TEST(XMLEntryListCorpus, HeaderQuotesFileEntryByEntry) {
  std::string text = LoadCorpusFile("51b-Header-Quotes.xml");
  if (text.empty()) GTEST_SKIP() << "no MusicXML corpus";
  TKVXMLEntryList list = ReadXML(text);
  const std::string pad(10, ' ');
  EXPECT_EQ(DumpWithoutIndentation(list),
            (std::vector<std::string>{
                "0 ?xml=", "1@version=1.0", "1@encoding=UTF-8",
                "1 score-partwise=", "2@version=4.0",
                "2 movement-title=\"Quotes\" in header fields",
                "2 identification=",
                "3 creator=Some \"Tester\" Name", "4@type=composer",
                "3 rights=Free for anyone (\"Public Domain\")",
                "3 encoding=",
                "4 software=\"Hand-crafted\" MusicXML file",
                "4 encoding-date=2008-02-06",
                "3 miscellaneous=",
                "4 miscellaneous-field=Header fields and part names can" + pad +
                    "contain double quotes (\").  This test checks some fields" + pad +
                    "(<movement-title>, <creator type=\"composer\">," + pad +
                    "<rights>, <software>, <part-name>) whether they are" + pad +
                    "converted or imported without problems (i.e., whether they are" + pad +
                    "correctly escaped when converting).",
                "5@name=description",
                "2 part-list=",
                "3 score-part=", "4@id=P1",
                "4 part-name=Staff \"Test\"",
                "2 part=", "3@id=P1",
                "3 measure=", "4@number=1",
                "4 note=", "5 rest=", "5 duration=4", "5 voice=1", "5 type=whole",
                "4 barline=", "5@location=right", "5 bar-style=light-heavy"}));
  EXPECT_EQ(list.Root, 3u);
  // The root's own text is the indentation between its children, comments
  // left out: six runs of two spaces.
  EXPECT_EQ(list.Entries[list.Root].Text, std::string(12, ' '));
}

// The first note of the spanners file's sixth measure.
TEST(XMLEntryListCorpus, SpannersFileEntryByEntry) {
  std::string text = LoadCorpusFile("33a-Spanners.xml");
  if (text.empty()) GTEST_SKIP() << "no MusicXML corpus";
  TKVXMLEntryList list = ReadXML(text);
  auto measure6 = std::find_if(list.Entries.begin(), list.Entries.end(), [&](const TKVXMLEntry& e) {
    return e.IsAttribute && e.Name == "number" && e.Text == "6" && (&e - 1)->Name == "measure";
  });
  ASSERT_NE(measure6, list.Entries.end());
  size_t from = size_t(measure6 - list.Entries.begin()) - 1;
  std::vector<std::string> firstNote = DumpWithoutIndentation(list, from);
  firstNote.resize(18);
  EXPECT_EQ(firstNote, (std::vector<std::string>{
                           "3 measure=", "4@number=6", "4 note=", "5 pitch=", "6 step=B", "6 octave=4",
                           "5 duration=3", "5 voice=1", "5 type=quarter", "5 notations=", "6 ornaments=",
                           "7 trill-mark=", "7 accidental-mark=sharp", "8@placement=above", "7 wavy-line=",
                           "8@number=1", "8@type=start", "4 note="}));

}

// Every file cut in the middle of its score says it is cut short and where:
// on the line of its unfinished markup (which begins at its last "<" or
// "&"), at the latest at the end of what is left.
TEST(XMLEntryListCorpus, EveryFileCutInTheMiddleSaysWhereItIsCutShort) {
  const std::vector<fs::path> files = CorpusXMLFiles();
  if (files.empty()) GTEST_SKIP() << "no MusicXML corpus at " << MusicXMLCorpusDir();
  const std::regex said("The MusicXML file is cut short at line ([0-9]+), column ([0-9]+): .+");
  for (const fs::path& path : files) {
    SCOPED_TRACE(path.filename().string());
    const std::string text = LoadCorpusFile(path);
    const std::string cut = text.substr(0, text.size() / 2);
    ASSERT_NE(cut.find("<score-partwise"), std::string::npos);
    std::smatch where;
    const std::string error = RaisedBy<EImportError>([&] { ReadXML(cut); });
    ASSERT_TRUE(std::regex_match(error, where, said)) << error;
    auto lineOf = [&](size_t offset) { return size_t(std::count(cut.begin(), cut.begin() + long(offset), '\n')) + 1; };
    const size_t unfinished = cut.find_last_of("<&");
    const size_t line = std::stoul(where[1]), column = std::stoul(where[2]);
    EXPECT_GE(line, lineOf(unfinished));
    EXPECT_LE(line, lineOf(cut.size()));
    if (line == lineOf(cut.size())) {
      EXPECT_LE(column, cut.size() - cut.rfind('\n', cut.size() - 1));
    }
  }
}

// Files whose comments hold spaces read as if the comments were not there.
TEST(XMLEntryListCorpus, CommentsWithSpacesChangeNothing) {
  for (const char* name : {"31a-Directions.xml", "32a-Notations.xml", "75a-AccordionRegistrations.xml"}) {
    std::string text = LoadCorpusFile(name);
    if (text.empty()) GTEST_SKIP() << "no MusicXML corpus";
    std::string stripped;
    for (size_t i = 0; i < text.size();) {
      size_t open = text.find("<!--", i);
      stripped += text.substr(i, open == std::string::npos ? std::string::npos : open - i);
      if (open == std::string::npos) break;
      i = text.find("-->", open) + 3;
    }
    EXPECT_EQ(DumpWithoutIndentation(ReadXML(text)), DumpWithoutIndentation(ReadXML(stripped))) << name;
  }
}

}  // namespace
