#include <expat.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>

#include "media/gif/GIFImage.h"
#include "support/ImageMagick.h"
#include "support/ScratchDir.h"
#include "ui/help/HelpLayout.h"
#include "ui/help/HelpLoad.h"
#include "xcfc/XcfCompile.h"

namespace fs = std::filesystem;

namespace {

const fs::path kPages = fs::path(SONARID_SOURCE_DIR) / "data/help/ENU";
const fs::path kPictures = fs::path(SONARID_SOURCE_DIR) / "data/help/pictures";

struct TRefusal {
  const char* Source;
  const char* Error;  // after "Bad.xml:"
};

class HelpCompiler : public testing::TestWithParam<TRefusal> {};

TEST_P(HelpCompiler, RefusesWhatTheReaderWouldReadOtherwise) {
  test_support::TScratchDir dir;
  std::ofstream(dir.Path("Bad.xml")) << GetParam().Source;
  std::ofstream(dir.Path("Good.xml")) << "<text>x</text>";
  std::vector<std::string> errors;
  xcfc::ReadHelpSources(dir.Path(), kPictures.string(), xcfc::CodePageOf("ENU"), errors);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], dir.Path("Bad.xml") + ":" + GetParam().Error);
}

INSTANTIATE_TEST_SUITE_P(
    Sources, HelpCompiler,
    testing::Values(TRefusal{"<xml>\n<text>a <font\nstyle=\"bold\">b</font></text>", "2: a tag broken across lines"},
                    TRefusal{"<text>a<br>b</text>", "1: write a line break as <br/>"},
                    TRefusal{"<p>\n'quoted' text</p>", "2: a text that begins with a quote runs to the next quote"},
                    TRefusal{"<p>\n<image>Nothing.gif</image></p>", "2: no picture \"Nothing.gif\""},
                    TRefusal{"<gref url=\"good.XML\"><text>x</text></gref>\n<embed>Gone.xml</embed>",
                             "2: no page \"Gone.xml\""},
                    TRefusal{"<p><href url=\"cmd://Format\">x</href></p>", "1: no such command \"cmd://Format\""},
                    TRefusal{"<p>\xd0\x96</p>", "1: character U+0416 '\xd0\x96' is not in code page 1252"}));

// The shipped help file walked apart from the reader: tables, then records.
struct TRecord {
  std::string Name;
  unsigned Format = 0;
  std::string Bytes;
};

std::vector<TRecord> Table(const std::string& file, size_t& at, bool pictures) {
  auto u16 = [&](size_t p) { return unsigned(std::uint8_t(file.at(p))) | unsigned(std::uint8_t(file.at(p + 1))) << 8; };
  auto u32 = [&](size_t p) { return u16(p) | u16(p + 2) << 16; };
  std::vector<TRecord> records(u16(at));
  at += 2;
  for (auto& record : records) {
    record.Name = file.substr(at + 2, u16(at));
    at += 2 + record.Name.size();
    size_t offset = u32(at);
    at += 4;
    EXPECT_EQ(file.at(offset), pictures ? '\1' : '\xF1');
    record.Format = pictures ? u16(offset + 2) : 0;
    record.Bytes = pictures ? file.substr(offset + 8, u32(offset + 4)) : file.substr(offset + 5, u32(offset + 1));
  }
  return records;
}

TEST(ShippedHelp, HoldsEveryPageAndPictureOfItsSources) {
  std::string file = test_support::ReadText(fs::path(SONARID_BINARY_DIR) / "tests/ui/KorvaneSonarid.ENU.xcf");
  ASSERT_EQ(file.at(0), '\xF0');
  size_t at = 1;
  auto pages = Table(file, at, false);
  ASSERT_EQ(file.at(at++), '\xF2');
  auto pictures = Table(file, at, true);
  size_t pageSources = 0, pictureSources = 0;
  for (const auto& entry : fs::directory_iterator(kPages)) pageSources += entry.path().extension() == ".xml";
  for (const auto& entry : fs::directory_iterator(kPictures)) pictureSources += entry.path().extension() == ".gif";
  EXPECT_EQ(pages.size(), pageSources);
  EXPECT_EQ(pictures.size(), pictureSources);
  for (const auto& page : pages) EXPECT_EQ(page.Bytes, test_support::ReadText(kPages / page.Name)) << page.Name;
  for (const auto& picture : pictures) {
    EXPECT_EQ(picture.Format, 257u);
    EXPECT_EQ(picture.Bytes, test_support::ReadText(kPictures / picture.Name)) << picture.Name;
  }
  for (const char* topic : {"Start.xml", "Opened.xml", "Main.xml"})
    EXPECT_TRUE(std::any_of(pages.begin(), pages.end(), [&](const TRecord& p) { return p.Name == topic; })) << topic;
}

// Element names with their nesting as expat reads them.
std::string ExpatNesting(const std::string& text) {
  struct TState {
    std::string Out;
    int Depth = 0;
  } state;
  XML_Parser parser = XML_ParserCreate(nullptr);
  XML_SetUserData(parser, &state);
  XML_SetElementHandler(
      parser,
      [](void* data, const XML_Char* name, const XML_Char**) {
        auto& s = *static_cast<TState*>(data);
        s.Out += std::string(name) + "@" + std::to_string(s.Depth++) + " ";
      },
      [](void* data, const XML_Char*) { --static_cast<TState*>(data)->Depth; });
  bool ok = XML_Parse(parser, text.data(), int(text.size()), 1) == XML_STATUS_OK;
  XML_ParserFree(parser);
  return ok ? state.Out : "not well-formed";
}

TEST(ShippedHelp, PagesNestAsAnXmlReaderReadsThem) {
  for (const auto& entry : fs::directory_iterator(kPages)) {
    std::string text = test_support::ReadText(entry.path()), tokens;
    std::vector<THelpToken> list;
    int depth = 0;
    TokenizeHelpPage(text, 0, list, depth);
    for (const auto& token : list)
      if (token.Kind == THelpTokenKind::Element || token.Kind == THelpTokenKind::EmptyElement)
        tokens += token.Text + "@" + std::to_string(token.Depth) + " ";
    EXPECT_EQ(tokens, ExpatNesting(text)) << entry.path();
  }
}

TEST(ShippedHelp, PicturesReadAsImageMagickReadsThem) {
  for (const auto& entry : fs::directory_iterator(kPictures)) {
    if (entry.path().extension() != ".gif") continue;
    std::string file = entry.path().string();
    gif::RegisterGIFImage();
    EXPECT_EQ(test_support::CommandOutput("identify -format '%wx%h %A' '" + file + "'"), "16x16 True") << file;
    auto rgba = test_support::RgbaDump(file);
    forms::TPicture picture;
    picture.LoadFromFile(file);
    canvas::TBitmap drawn(16, 16, canvas::clLime);
    picture.Graphic()->Draw(drawn.Canvas(), {0, 0, 16, 16});
    int transparent = 0;
    for (int i = 0; i < 256; ++i) {
      const std::uint8_t* p = &rgba.at(size_t(i) * 4);
      transparent += p[3] == 0;
      EXPECT_EQ(drawn.ColorAt(i % 16, i / 16), p[3] ? canvas::RGB(p[0], p[1], p[2]) : canvas::clLime) << file << i;
    }
    EXPECT_GT(transparent, 0) << file;
  }
}


// Every page, sections open, at the viewer width of the tips window (303
// pixels less its frame and margin) through the real text layer: nothing
// ends beyond width - 4 but runs with nowhere to break.
TEST(ShippedHelp, EveryPageFitsTheTipsWindow) {
  constexpr int kWidth = 287;
  gif::RegisterGIFImage();
  canvas::TBitmap surface(1, 1);
  TCanvasHelpMetrics metrics(surface.Canvas());
  int widest = 0;
  for (const auto& entry : fs::directory_iterator(kPages)) {
    THelpPages pages;
    LoadHelpPages(SONARID_BINARY_DIR "/tests/ui/KorvaneSonarid.ENU.xcf", {entry.path().filename().string()},
                  THelpStyle(), pages);
    ASSERT_FALSE(pages.Blocks.empty()) << entry.path();
    for (auto& block : pages.Blocks) block->Open = true;
    THelpLayout layout;
    const THelpBlock* opened = nullptr;
    int scrollY = 0;
    layout.Run(pages.Blocks, {kWidth, 200, 8, false, {}}, metrics, opened, scrollY);
    for (int i = 0; i < layout.Count; ++i) {
      const THelpItem& item = layout.Items[size_t(i)];
      bool unbreakable = item.Text.find_first_of(" ,.;()[]", 1) == std::string::npos && item.Block->Kind != hbPicture;
      EXPECT_TRUE(unbreakable || item.Rect.Right <= kWidth - 4) << entry.path() << " " << item.Text;
    }
    widest = std::max(widest, layout.ContentWidth);
  }
  EXPECT_GT(widest, kWidth - 60);  // the text does fill the lines
}

}  // namespace
