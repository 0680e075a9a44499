#include <expat.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>

#include "base/Utf8.h"
#include "lrfc/LangSource.h"
#include "media/gif/GIFImage.h"
#include "platform/text/Charsets.h"
#include "support/ImageMagick.h"
#include "support/ScratchDir.h"
#include "ui/help/HelpLayout.h"
#include "ui/help/HelpLoad.h"
#include "xcfc/XcfCompile.h"

namespace fs = std::filesystem;

namespace {

const fs::path kPages = fs::path(SONARID_SOURCE_DIR) / "data/help/ENU";
const fs::path kPictures = fs::path(SONARID_SOURCE_DIR) / "data/help/pictures";

fs::path PagesOf(const std::string& code) { return fs::path(SONARID_SOURCE_DIR) / "data/help" / code; }
fs::path HelpFileOf(const std::string& code) {
  return fs::path(SONARID_BINARY_DIR) / ("tests/ui/KorvaneSonarid." + code + ".xcf");
}
bool Cyrillic(const std::string& code) { return code == "RUS" || code == "UKR"; }

// The font the tips window's viewer gets from the language source.
canvas::TFont ViewerFontOf(const std::string& code) {
  const lrfc::TLangSource source =
      lrfc::ReadLangSource(std::string(SONARID_SOURCE_DIR) + "/data/lang/" + code + ".lang");
  canvas::TFont font;
  for (const auto& section : source.Sections)
    for (const auto& entry : section.Entries)
      if (section.Name == "FHelperModule" && entry.Path == "HHelper.Font") {
        font.Name = entry.Text;
        font.Charset = entry.Charset;
        font.SetSize(entry.Size);
      }
  return font;
}

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

class ShippedHelp : public testing::TestWithParam<std::string> {};

// The page records hold the sources in the language's code page, as iconv
// converts them; every language has the pages and pictures of English.
TEST_P(ShippedHelp, HoldsEveryPageAndPictureOfItsSources) {
  const std::string code = GetParam();
  std::string file = test_support::ReadText(HelpFileOf(code));
  ASSERT_EQ(file.at(0), '\xF0');
  size_t at = 1;
  auto pages = Table(file, at, false);
  ASSERT_EQ(file.at(at++), '\xF2');
  auto pictures = Table(file, at, true);
  std::vector<std::string> names, english;
  for (const auto& entry : fs::directory_iterator(PagesOf(code))) names.push_back(entry.path().filename());
  for (const auto& entry : fs::directory_iterator(kPages)) english.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  std::sort(english.begin(), english.end());
  EXPECT_EQ(names, english);
  size_t pictureSources = 0;
  for (const auto& entry : fs::directory_iterator(kPictures)) pictureSources += entry.path().extension() == ".gif";
  EXPECT_EQ(pages.size(), names.size());
  EXPECT_EQ(pictures.size(), pictureSources);
  const std::string target = Cyrillic(code) ? "CP1251" : "CP1252";
  for (const auto& page : pages)
    EXPECT_EQ(page.Bytes, test_support::CommandOutput("iconv -f UTF-8 -t " + target + " '" +
                                                      (PagesOf(code) / page.Name).string() + "'"))
        << code << " " << page.Name;
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

// Each page nests as expat reads it, and as its English page does: the
// translations keep every element, link and picture.
TEST_P(ShippedHelp, PagesNestAsAnXmlReaderReadsThemAndAsInEnglish) {
  for (const auto& entry : fs::directory_iterator(PagesOf(GetParam()))) {
    std::string text = test_support::ReadText(entry.path()), tokens;
    std::vector<THelpToken> list;
    int depth = 0;
    TokenizeHelpPage(text, 0, list, depth);
    for (const auto& token : list)
      if (token.Kind == THelpTokenKind::Element || token.Kind == THelpTokenKind::EmptyElement)
        tokens += token.Text + "@" + std::to_string(token.Depth) + " ";
    EXPECT_EQ(tokens, ExpatNesting(text)) << entry.path();
    EXPECT_EQ(tokens, ExpatNesting(test_support::ReadText(kPages / entry.path().filename()))) << entry.path();
  }
}

TEST(ShippedHelpPictures, ReadAsImageMagickReadsThem) {
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
// pixels less its frame and margin) in the viewer's font of the language,
// through the real text layer: nothing ends beyond width - 4 but runs with
// nowhere to break.
TEST_P(ShippedHelp, EveryPageFitsTheTipsWindow) {
  constexpr int kWidth = 287;
  gif::RegisterGIFImage();
  canvas::TBitmap surface(1, 1);
  TCanvasHelpMetrics metrics(surface.Canvas());
  const canvas::TFont font = ViewerFontOf(GetParam());
  ASSERT_EQ(font.Charset, Cyrillic(GetParam()) ? 204 : 0);
  int widest = 0;
  for (const auto& entry : fs::directory_iterator(PagesOf(GetParam()))) {
    THelpPages pages;
    LoadHelpPages(HelpFileOf(GetParam()).string(), {entry.path().filename().string()}, THelpStyle(), pages);
    ASSERT_FALSE(pages.Blocks.empty()) << entry.path();
    for (auto& block : pages.Blocks) block->Open = true;
    THelpLayout layout;
    const THelpBlock* opened = nullptr;
    int scrollY = 0;
    layout.Run(pages.Blocks, {kWidth, 200, 8, false, font}, metrics, opened, scrollY);
    for (int i = 0; i < layout.Count; ++i) {
      const THelpItem& item = layout.Items[size_t(i)];
      bool unbreakable = item.Text.find_first_of(" ,.;()[]", 1) == std::string::npos && item.Block->Kind != hbPicture;
      EXPECT_TRUE(unbreakable || item.Rect.Right <= kWidth - 4) << entry.path() << " " << item.Text;
    }
    widest = std::max(widest, layout.ContentWidth);
  }
  EXPECT_GT(widest, kWidth - 60);  // the text does fill the lines
}

// A file name is one word: the working file's name is never broken at its
// point, and keeps the blank before it, at any width of the tips window
// (the user sizes it) and in every language.
TEST_P(ShippedHelp, TheWorkingFilesNameStaysWholeWithTheBlankBeforeIt) {
  gif::RegisterGIFImage();
  canvas::TBitmap surface(1, 1);
  TCanvasHelpMetrics metrics(surface.Canvas());
  const canvas::TFont font = ViewerFontOf(GetParam());
  for (const char* page : {"Main.xml", "Recording.xml"}) {
    THelpPages pages;
    LoadHelpPages(HelpFileOf(GetParam()).string(), {page}, THelpStyle(), pages);
    ASSERT_FALSE(pages.Blocks.empty()) << page;
    for (auto& block : pages.Blocks) block->Open = true;
    for (int width = 140; width <= 420; width += 7) {
      THelpLayout layout;
      const THelpBlock* opened = nullptr;
      int scrollY = 0;
      layout.Run(pages.Blocks, {width, 200, 8, false, font}, metrics, opened, scrollY);
      int found = 0;
      for (int i = 0; i < layout.Count; ++i) {
        const std::string& text = layout.Items[size_t(i)].Text;
        EXPECT_EQ(text.find("Untitled") == std::string::npos, text.find(".wav") == std::string::npos)
            << page << " at " << width << ": \"" << text << "\"";
        const size_t at = text.find("Untitled.wav");
        if (at == std::string::npos) continue;
        ++found;
        // Inside a run the blank is in the text; a run of its own begins
        // a line or stands 4 pixels after the run before it, which ended
        // in a blank.
        if (at > 0) {
          EXPECT_EQ(text[at - 1], ' ') << page << " at " << width << ": \"" << text << "\"";
        } else if (i > 0 && layout.Items[size_t(i - 1)].Rect.Top == layout.Items[size_t(i)].Rect.Top) {
          const std::string& before = layout.Items[size_t(i - 1)].Text;
          const int gap = layout.Items[size_t(i)].Rect.Left - layout.Items[size_t(i - 1)].Rect.Right;
          EXPECT_TRUE((!before.empty() && before.back() == ' ') || gap >= 4)
              << page << " at " << width << ": \"" << before << "\" + \"" << text << "\" gap " << gap;
        }
      }
      EXPECT_EQ(found, 1) << page << " at " << width;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Languages, ShippedHelp, testing::Values("ENU", "DEU", "FRA", "RUS", "ITA", "UKR"));

// Russian and Ukrainian pages, read in the viewer's character set, give
// back the Cyrillic of their sources.
TEST(ShippedHelpCyrillic, PagesDecodeToTheTextOfTheirSources) {
  for (const char* code : {"RUS", "UKR"}) {
    const std::string source = test_support::ReadText(PagesOf(code) / "Start.xml");
    const size_t from = source.find("<text>") + 6;
    const std::string heading = source.substr(from, source.find("</text>") - from);
    THelpPages pages;
    LoadHelpPages(HelpFileOf(code).string(), {"Start.xml"}, THelpStyle(), pages);
    std::string decoded;
    for (const auto& block : pages.Blocks)
      if (decoded.empty() && block->Kind == hbText && !block->Text.empty())
        for (unsigned char c : block->Text) AppendUtf8(decoded, text::DecodeByte(c, 204));
    EXPECT_EQ(decoded, heading) << code;
    EXPECT_NE(DecodeUtf8(heading).front(), char32_t(heading.front())) << "a Cyrillic heading";
  }
}

}  // namespace
