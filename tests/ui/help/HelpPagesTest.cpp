#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "base/Strings.h"
#include "support/ScratchDir.h"
#include "ui/help/HelpLoad.h"
#include "support/metafile/MetafileWriter.h"
#include "xcfc/XcfCompile.h"

namespace {

// One block as "kind@depth'text'", then "/second" for a section's open
// label, "{name,RRGGBB,size,style}" for a set style and ">kind:target" for
// a link; blocks separated by blanks.
std::string Describe(const THelpBlocks& blocks) {
  std::string out;
  for (const auto& b : blocks) {
    out += Format("%s%d@%d'%s'", out.empty() ? "" : " ", b->Kind, b->Depth, b->Text.c_str());
    if (!b->SecondText.empty()) out += "/" + b->SecondText;
    if (b->Style.Set)
      out += Format("{%s,%02X%02X%02X,%d,%u}", b->Style.Name.c_str(), canvas::GetRValue(b->Style.Color),
                    canvas::GetGValue(b->Style.Color), canvas::GetBValue(b->Style.Color), b->Style.Size,
                    b->Style.Style);
    if (b->LinkKind) out += Format(">%d:%s", b->LinkKind, b->LinkTarget.c_str());
    if (b->Picture) out += Format("[%dx%d]", b->Picture->Width(), b->Picture->Height());
  }
  return out;
}

std::string Parse(const std::string& text, THelpSources sources = {}) {
  THelpBlocks blocks;
  int depth = 0;
  THelpParser(blocks, depth, THelpStyle(), std::move(sources)).ParsePage("page", text);
  return Describe(blocks);
}

struct TPageCase {
  const char* Text;
  const char* Blocks;
};

class HelpMarkup : public testing::TestWithParam<TPageCase> {};

TEST_P(HelpMarkup, BecomesTheseBlocks) { EXPECT_EQ(Parse(GetParam().Text), GetParam().Blocks); }

INSTANTIATE_TEST_SUITE_P(
    Pages, HelpMarkup,
    testing::Values(
        // only the first run of a paragraph is indented
        TPageCase{"<p>One <font>Two</font></p>", "5@0'' 5@0'    One' 5@0'Two'{,000000,0,0}"},
        // "br" with "/" keeps the depth; without it what follows nests deeper
        TPageCase{"<text>a<br/>b</text><text>c</text>", "5@0'' 5@0'a' 15@1'' 5@0'b' 5@0'' 5@0'c'"},
        TPageCase{"<text>a<br>b</text><text>c</text>", "5@0'' 5@0'a' 15@1'' 5@0'b' 5@1'' 5@1'c'"},
        // a quoted value keeps blanks and ">" and loses its quotes
        TPageCase{"<font name=\"Times New > Roman\" size='12'><text>x</text></font>",
                  "5@1''{Times New > Roman,000000,12,0} 5@1'x'{Times New > Roman,000000,12,0}"},
        // colour only inside a font (outside, its digits are text); lower-case hexadecimal letters are skipped
        TPageCase{"<text><color>FF0000</color>x</text>", "5@0'' 5@0'FF0000' 5@0'x'"},
        TPageCase{"<font color=\"ff00AA80\"><text>x</text></font>", "5@1''{,00AA80,0,0} 5@1'x'{,00AA80,0,0}"},
        // style words in any case; NORMAL clears what the enclosing font set
        TPageCase{"<font style=\"bold italic\"><font><style>normal underline</style><text>x</text></font></font>",
                  "5@2''{,000000,0,4} 5@2'x'{,000000,0,4}"},
        TPageCase{"<font size=\"big\"><text>x</text></font>", "5@1''{,000000,10,0} 5@1'x'{,000000,10,0}"},
        // names outside the table or outside their ancestor do nothing
        TPageCase{"<zzz>x</zzz><li>y</li><open>z</open>", ""},
        TPageCase{"<ul><li>x</li></ul>", "10@0'' 11@1'' 11@1'x'"},
        // links: href inline, gref with its own block; link text joins the enclosing run
        TPageCase{"<p>Go <href url=\"cmd://Open\">open</href></p>",
                  "5@0'' 5@0'    Go' 5@0'open'>9:cmd://Open"},
        TPageCase{"<gref url=\"Main.xml\"><text>Back</text></gref>",
                  "23@0''>10:Main.xml 5@1'' 5@1'Back'>10:Main.xml"},
        TPageCase{"<more open=\"Show\" close=\"Hide\">Body</more>", "12@0'Show'/Hide 5@1'Body'"},
        TPageCase{"<line/><text>'<a> b'</text>", "31@0'' 5@0'' 5@0''<a> b''"}));

// Where the N-th page entry (in file order) of a container the compiler
// wrote keeps its record's offset, and that record.
size_t Field(const std::vector<std::uint8_t>& b, int n) {
  size_t at = 3;
  for (int i = 0; i < n; ++i) at += 6 + (b[at] | b[at + 1] << 8);
  return at + 2 + (b[at] | b[at + 1] << 8);
}
size_t Record(const std::vector<std::uint8_t>& b, int n) {
  size_t at = Field(b, n);
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | size_t(b[at + 3]) << 24;
}

struct TContainerCase {
  const char* Name;
  std::vector<xcfc::TPageSource> Pages;
  std::vector<std::string> Requested;
  std::function<void(std::vector<std::uint8_t>&)> Damage;
  const char* Blocks;
};

class HelpContainerFile : public testing::TestWithParam<TContainerCase> {};

TEST_P(HelpContainerFile, ShowsThePagesItCanReadAndNothingElse) {
  auto bytes = xcfc::WriteContainer({GetParam().Pages, {}});
  if (GetParam().Damage) GetParam().Damage(bytes);
  test_support::TScratchDir dir;
  auto path = dir.Dir() / "help.XCF";
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  THelpPages pages;
  LoadHelpPages(path.string(), GetParam().Requested, THelpStyle(), pages);
  EXPECT_EQ(Describe(pages.Blocks), GetParam().Blocks);
}

const std::vector<xcfc::TPageSource> kTwo = {{"b.xml", "<text>B</text>"}, {"A.xml", "<text>A</text>"}};

INSTANTIATE_TEST_SUITE_P(
    Files, HelpContainerFile,
    testing::Values(
        TContainerCase{"FirstInSortedOrder", kTwo, {}, nullptr, "5@0'' 5@0'A'"},
        TContainerCase{"RequestedInListOrder", kTwo, {"B.XML", "a.xml"}, nullptr, "5@0'' 5@0'B' 5@0'' 5@0'A'"},
        TContainerCase{"WrongTableMark", kTwo, {}, [](auto& b) { b[0] = 0xF1; }, ""},
        TContainerCase{"WrongPageMark", {{"a", "<text>A</text>"}}, {}, [](auto& b) { b[Record(b, 0)] = 0xF3; }, ""},
        TContainerCase{"OffsetBeyondTheFile", kTwo, {}, [](auto& b) { b[Field(b, 1) + 2] = 0x7F; }, ""},
        TContainerCase{"LengthBeyondTheFile", {{"a", "<text>A</text>"}}, {}, [](auto& b) { b[Record(b, 0) + 4] = 0xFF; }, ""},
        TContainerCase{"TableCutShort", kTwo, {}, [](auto& b) { b.resize(8); }, ""},
        TContainerCase{"EmbedsItself", {{"a", "<text>A</text><embed>A</embed>"}}, {}, nullptr, "5@0'' 5@0'A'"},
        TContainerCase{"EmbedsAWrongMark",
                       {{"a", "<embed>b</embed><text>A</text>"}, {"b", "<text>B</text>"}}, {"a"},
                       [](auto& b) { b[Record(b, 1)] = 0; }, ""},
        TContainerCase{"EmbedsInPlace",
                       {{"a", "<p><embed>b</embed></p>"}, {"b", "<text>B</text>"}}, {"a"}, nullptr,
                       "5@0'' 5@2'' 5@2'B'"}),
    [](const auto& info) { return info.param.Name; });

TEST(HelpMarkup, DropsTokensDeeperThanItsTables) {
  std::string deep;
  for (int i = 0; i < 300; ++i) deep += "<ul>";
  std::vector<THelpToken> tokens;
  int depth = 0;
  TokenizeHelpPage(deep + "<text>x</text>", 0, tokens, depth);
  EXPECT_EQ(depth, kHelpMaxDepth);
  EXPECT_EQ(tokens.size(), size_t(kHelpMaxDepth + 1));
}

// Pages p0 .. p6 each show their number and embed the next 30 times; p7
// only shows its number: read in full, 2 x (30^0 + ... + 30^7), some
// 4.6 x 10^10 blocks. The parser stops at its bound with the pages in the
// order they were read: 0 1 2 ... 7, then p7 again for p6's next embed.
TEST(HelpMarkup, PagesThatFanOutStopAtTheBoundWithWhatWasRead) {
  THelpSources sources;
  int fetched = 0;
  sources.Page = [&](const std::string& name, std::string& text) {
    ++fetched;
    const int n = name[1] - '0';
    text = "<text>" + std::to_string(n) + "</text>";
    if (n < 7)
      for (int i = 0; i < 30; ++i) text += "<embed>p" + std::to_string(n + 1) + "</embed>";
    return THelpEmbed::Found;
  };
  THelpBlocks blocks;
  int depth = 0;
  THelpParser parser(blocks, depth, THelpStyle(), sources);
  std::string first;
  ASSERT_TRUE(sources.Page("p0", first) == THelpEmbed::Found);
  EXPECT_TRUE(parser.ParsePage("p0", first));
  EXPECT_TRUE(parser.Bounded());
  EXPECT_LE(fetched, kHelpMaxEmbeds + 2);
  EXPECT_LE(blocks.size(), kHelpMaxBlocks);
  std::string runs;
  for (const auto& block : blocks)
    if (!block->Text.empty() && runs.size() < 20) runs += block->Text + " ";
  EXPECT_EQ(runs, "0 1 2 3 4 5 6 7 7 7 ");
  // A page of many blocks stops at the block bound.
  std::string wide;
  for (size_t i = 0; i < kHelpMaxBlocks; ++i) wide += "<text>w</text>";
  THelpBlocks many;
  THelpParser(many, depth, THelpStyle(), {}).ParsePage("wide", wide);
  EXPECT_EQ(many.size(), kHelpMaxBlocks);
}

}  // namespace

namespace {

// A metafile picture: of format 0x104 in a container, and as a ".wmf" or
// ".emf" file beside a single page; its size is its header's (here 60 x 40
// pixels). A name that finds no picture leaves the picture empty.
TEST(HelpPictures, MetafilesOfAContainerAndBesideAPageHaveTheirHeadersSize) {
  auto metafile = [](bool enhanced) {
    test_metafile::TMetafileWriter w(enhanced, 60, 40);
    w.Select(w.Brush(0, 0x0000FF));
    w.Ellipse({0, 0, 60, 40});
    return w.Finish();
  };
  test_support::TScratchDir dir;
  const auto bytes = xcfc::WriteContainer({{{"a.xml", "<text>A<image>Chart</image><image>none</image></text>"}},
                                           {{"chart", 0x104, metafile(false)}}});
  const auto container = dir.Dir() / "help.xcf";
  std::ofstream(container, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  THelpPages pages;
  LoadHelpPages(container.string(), {}, THelpStyle(), pages);
  EXPECT_EQ(Describe(pages.Blocks), "5@0'' 5@0'A' 30@1''[60x40] 30@1''[0x0]");
  for (const char* name : {"chart.wmf", "Chart.EMF"}) {
    const std::vector<std::uint8_t> file = metafile(std::string(name).ends_with("EMF"));
    std::ofstream(dir.Dir() / name, std::ios::binary).write(reinterpret_cast<const char*>(file.data()), file.size());
    std::ofstream(dir.Dir() / "page.xml") << "<text><image>" << name << "</image></text>";
    THelpPages single;
    LoadHelpPages((dir.Dir() / "page.xml").string(), {}, THelpStyle(), single);
    EXPECT_EQ(Describe(single.Blocks), "5@0'' 30@1''[60x40]") << name;
    std::filesystem::remove(dir.Dir() / name);
  }
}

}  // namespace
