#include <gtest/gtest.h>

#include "base/Strings.h"
#include "media/gif/GIFImage.h"
#include "support/XvfbApplication.h"
#include "support/forms/FormsTestSupport.h"
#include "ui/help/ECXMLHelp.h"
#include "support/ScratchDir.h"
#include "support/metafile/MetafileWriter.h"
#include "xcfc/XcfCompile.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

// Every character 6 pixels wide, "W" 10; every font 10 pixels high.
class TFixedMetrics : public THelpMetrics {
public:
  void SetFont(const canvas::TFont&) override {}
  int CharWidth(unsigned char c) override { return c == 'W' ? 10 : 6; }
  int Height() override { return 10; }
};

THelpBlocks Blocks(const std::string& page) {
  THelpBlocks blocks;
  int depth = 0;
  THelpParser(blocks, depth, THelpStyle(), {}).ParsePage("page", page);
  return blocks;
}

std::string Items(const THelpLayout& layout) {
  std::string out;
  for (int i = 0; i < layout.Count; ++i) {
    const auto& it = layout.Items[size_t(i)];
    out += Format("%s'%s'%d,%d,%d,%d", i ? " " : "", it.Text.c_str(), it.Rect.Left, it.Rect.Top, it.Rect.Right,
                  it.Rect.Bottom);
  }
  return out;
}

struct TLayoutCase {
  const char* Page;
  int Width;
  const char* Items;
};

class HelpLayout : public testing::TestWithParam<TLayoutCase> {};

TEST_P(HelpLayout, PlacesTheItemsHere) {
  THelpBlocks blocks = Blocks(GetParam().Page);
  THelpLayout layout;
  TFixedMetrics metrics;
  const THelpBlock* opened = nullptr;
  int scrollY = 0;
  THelpView view{GetParam().Width, 100, 8, false, {}};
  layout.Run(blocks, view, metrics, opened, scrollY);
  EXPECT_EQ(Items(layout), GetParam().Items);
  const THelpItem* first = layout.Items.data();
  layout.Run(blocks, view, metrics, opened, scrollY);  // the records are reused
  EXPECT_EQ(layout.Items.data(), first);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, HelpLayout,
    testing::Values(
        // breaks at the last blank before width - 4; the blank begins the next line
        TLayoutCase{"<xml><text>aaa bbb ccc</text></xml>", 50, "'aaa bbb'0,0,42,10 ' ccc'0,10,24,20"},
        // a point or comma between letters joins them (a file name): the
        // piece has no break before "(", moves whole and breaks there
        TLayoutCase{"<xml><text>x</text><text>aa,bb.cc(dd</text></xml>", 40,
                    "'x'0,0,6,10 ''0,10,0,20 'aa,bb.cc'0,20,48,30 '(dd'0,30,18,40"},
        // a run with nowhere to break moves whole to the next line
        TLayoutCase{"<xml><text>x</text><text>WWWWWW</text></xml>", 50,
                    "'x'0,0,6,10 ''0,10,0,20 'WWWWWW'0,20,60,30"},
        // 4 pixels between runs, none after "("
        TLayoutCase{"<xml><p>ab(<href url=\"x\">cd</href> e</p></xml>", 400,
                    "'    ab('0,0,42,10 'cd'42,0,54,10 'e'58,0,64,10"},
        // a break on an empty line is 13 pixels
        TLayoutCase{"<xml><text>a</text><br/><br/><text>b</text></xml>", 400,
                    "'a'0,0,6,10 ''0,23,0,33 'b'4,23,10,33"},
        // each deeper level one paragraph further in
        TLayoutCase{"<xml><text>a</text><ul><li>b</li></ul><text>c</text></xml>", 400,
                    "'a'0,0,6,10 ''8,10,8,20 'b'12,10,18,20 ''0,20,0,30 'c'4,20,10,30"},
        // a rule: right = content width - 2 x left
        TLayoutCase{"<xml><text>abc</text><ul><line/></ul></xml>", 400, "'abc'0,0,18,10 ''0,10,22,14"}));

struct TSectionCase {
  int ClientHeight;
  int ScrollY;
};

class HelpSection : public testing::TestWithParam<TSectionCase> {};

TEST_P(HelpSection, OpeningScrollsToShowItsEndOrItsLabel) {
  THelpBlocks blocks = Blocks("<xml><text>1</text><text>2</text><text>3</text>"
                              "<more open=\"o\" close=\"c\"><text>4</text><text>5</text></more><text>6</text></xml>");
  THelpBlock* section = blocks[6].get();
  ASSERT_EQ(section->Kind, hbSection);
  section->Open = true;
  const THelpBlock* opened = section;
  int scrollY = 0;
  THelpLayout layout;
  TFixedMetrics metrics;
  layout.Run(blocks, {400, GetParam().ClientHeight, 8, false, {}}, metrics, opened, scrollY);
  EXPECT_EQ(scrollY, GetParam().ScrollY);
  EXPECT_EQ(opened, nullptr);
}

// label at 30, its content ends at 60
INSTANTIATE_TEST_SUITE_P(Views, HelpSection, testing::Values(TSectionCase{35, 25}, TSectionCase{25, 30},
                                                             TSectionCase{60, 0}));

class TViewer : public TECXMLHelp {
public:
  using TECXMLHelp::MouseDown;
  using TECXMLHelp::MouseMove;
  using TECXMLHelp::MouseUp;
  using TECXMLHelp::MouseWheel;
  using TECXMLHelp::TECXMLHelp;
};

class HelpViewer : public forms::test::FormsTest {
protected:
  HelpViewer() : Viewer(forms::test::AddControl<TViewer>(MakeForm(), 10, 10, 200, 100)) {
    gif::RegisterGIFImage();
    Viewer->SetMetrics(&Metrics);
    Viewer->OnHistory = [this](TObject*) { ++Histories; };
    Viewer->OnClickRef = [this](TObject*, const std::string& ref) { Refs += ref + " "; };
    Viewer->SetFileName(SONARID_BINARY_DIR "/tests/ui/KorvaneSonarid.ENU.xcf");
  }
  // The middle of the first item whose text is Text.
  canvas::TPoint At(const std::string& text) {
    for (int i = 0; i < Viewer->Lines().Count; ++i) {
      const auto& r = Viewer->Lines().Items[size_t(i)].Rect;
      if (Viewer->Lines().Items[size_t(i)].Text == text)
        return {(r.Left + r.Right) / 2 - Viewer->ScrollX(), (r.Top + r.Bottom) / 2 - Viewer->ScrollY()};
    }
    ADD_FAILURE() << "no item " << text;
    return {};
  }
  void Press(const std::string& text) {
    canvas::TPoint p = At(text);
    Viewer->MouseDown(window::mbLeft, 0, p.X, p.Y);
    Viewer->MouseUp(window::mbLeft, 0, p.X, p.Y);
  }

  TFixedMetrics Metrics;
  TViewer* Viewer;
  int Histories = 0;
  std::string Refs;
};

TEST_F(HelpViewer, WalksItsHistoryThroughPageLinks) {
  auto pages = [this] { return Viewer->Pages().empty() ? std::string() : Viewer->Pages()[0]; };
  EXPECT_EQ(Viewer->HistoryIndex(), 1);
  Viewer->Back();
  EXPECT_EQ(Histories, 1);  // only the first FileName's
  Viewer->AddPage("main.XML");
  Click(Viewer, At("Playing"));
  EXPECT_EQ(pages(), "Playing.xml");
  Press("Back to the contents");
  EXPECT_EQ(pages(), "Main.xml");
  EXPECT_EQ(Histories, 3);
  Viewer->Back();
  EXPECT_EQ(pages(), "Playing.xml");
  Viewer->Back();
  Viewer->Back();  // at the first entry: nothing
  EXPECT_EQ(pages(), "");
  EXPECT_EQ(Histories, 5);
  Viewer->Forward();
  EXPECT_EQ(pages(), "Playing.xml");
  Viewer->Back();
  Press("Back to the contents");  // from the first entry: the forward one is dropped
  EXPECT_EQ(Viewer->HistoryCount(), 2);
  EXPECT_EQ(Histories, 9);
  Viewer->Forward();
  EXPECT_EQ(Histories, 9);
}

TEST_F(HelpViewer, HandsCommandLinksToTheHostAndScrollsByDragAndWheel) {
  Viewer->AddPage("Opened.xml");
  MoveTo(Viewer, At("Record"));
  EXPECT_EQ(Viewer->Cursor(), window::crHandPoint);
  Click(Viewer, At("Record"));
  EXPECT_EQ(Refs, "cmd://Record ");
  int height = Viewer->Lines().ContentHeight;
  ASSERT_GE(height, 220);
  Viewer->MouseWheel(0, -120, {});
  EXPECT_EQ(Viewer->ScrollY(), 120);
  Viewer->MouseWheel(0, -120, {});
  EXPECT_EQ(Viewer->ScrollY(), std::min(240, height - 100));
  Viewer->MouseWheel(0, 360, {});
  EXPECT_EQ(Viewer->ScrollY(), 0);
  Viewer->MouseDown(window::mbLeft, 0, 199, 99);
  Viewer->MouseMove(0, 199, 50);
  Viewer->MouseMove(0, 199, -5000);
  Viewer->MouseUp(window::mbLeft, 0, 199, -5000);
  EXPECT_EQ(Viewer->ScrollY(), height - 100);
  EXPECT_EQ(Viewer->ScrollX(), 0);
}


// The tip of an opened file in a viewer on a form, photographed for people
// to look at (build/<flavour>/help-screenshot.png).
// Every new page shows from its top, its title first, whichever way it
// comes: a page link, the host's new page list, a new file, Back and Forward.
TEST_F(HelpViewer, EveryNewPageShowsFromItsTop) {
  auto scrolledDown = [this] {
    Viewer->MouseWheel(0, -120, {});
    return Viewer->ScrollY() > 0;
  };
  Viewer->AddPage("Opened.xml");
  ASSERT_TRUE(scrolledDown());
  Viewer->ClearPages();
  EXPECT_EQ(Viewer->ScrollY(), 0);
  Viewer->AddPage("Main.xml");
  ASSERT_TRUE(scrolledDown());
  Viewer->BeginUpdate();
  Viewer->ClearPages();
  Viewer->AddPage("Playing.xml");
  Viewer->EndUpdate();
  EXPECT_EQ(Viewer->ScrollY(), 0);
  ASSERT_TRUE(scrolledDown());
  Press("Back to the contents");
  EXPECT_EQ(Viewer->Pages(), std::vector<std::string>{"Main.xml"});
  EXPECT_EQ(Viewer->ScrollY(), 0);
  ASSERT_TRUE(scrolledDown());
  Viewer->Back();
  EXPECT_EQ(Viewer->ScrollY(), 0);
  ASSERT_TRUE(scrolledDown());
  Viewer->Forward();
  EXPECT_EQ(Viewer->ScrollY(), 0);
  ASSERT_TRUE(scrolledDown());
  Viewer->SetFileName(SONARID_BINARY_DIR "/tests/ui/KorvaneSonarid.DEU.xcf");
  EXPECT_EQ(Viewer->ScrollY(), 0);
}

// A help page with a metafile picture (the office suite's example picture
// when installed, else one written by libuemf), drawn by the viewer with
// real fonts; saved as help-metafile-page.png in the build folder.
using HelpMetafile = forms::test::FormsTest;

TEST_F(HelpMetafile, APageShowsItsMetafilePicture) {
  const std::string real = SONARID_METAFILE_CACHE "/burger.wmf";
  std::vector<std::uint8_t> picture;
  if (std::filesystem::exists(real)) {
    std::ifstream in(real, std::ios::binary);
    picture.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  } else {
    test_metafile::TMetafileWriter w(false, 200, 150);
    w.Select(w.Brush(0, 0x0080FF));
    w.Ellipse({0, 0, 200, 150});
    picture = w.Finish();
  }
  const auto bytes = xcfc::WriteContainer(
      {{{"a.xml", "<xml><font name=\"Arial\" size=\"11\" style=\"bold\" color=\"1F3F7F\"><text>A metafile picture</text></font>"
                  "<p>Drawn by the help viewer, as help pages show them:</p><text><image>burger</image></text></xml>"}},
       {{"burger", 0x104, picture}}});
  test_support::TScratchDir dir;
  const auto file = dir.Dir() / "metafile.xcf";
  std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  auto* viewer = forms::test::AddControl<TECXMLHelp>(MakeForm(), 10, 10, 320, 280);
  viewer->SetFileName(file.string());
  const auto shot = Snapshot();
  canvas::TBitmap image(320, 280);
  int ink = 0;
  for (int y = 0; y < 280; ++y)
    for (int x = 0; x < 320; ++x) {
      const std::uint32_t p = PixelIn(shot, viewer, {x, y});
      image.Pixels()[std::size_t(y * 320 + x)] = p;
      if (y > 60 && p != canvas::PixelOf(canvas::clWhite) && p != image.Pixels()[0]) ++ink;
    }
  image.SaveToPngFile(std::string(SONARID_BINARY_DIR) + "/help-metafile-page.png");
  EXPECT_EQ(viewer->ScrollX(), 0);
  EXPECT_GT(ink, 5000) << "the picture below the text";
}

TEST(XvfbHelpViewer, ShowsTheButtonPicturesWhereTheirItemsAre) {
  test_support::TXvfbApplication x(640, 480);
  if (!x.Skip().empty()) GTEST_SKIP() << x.Skip();
  gif::RegisterGIFImage();
  forms::TForm* form = nullptr;
  x.App->CreateForm(form);
  form->SetBounds(20, 20, 295, 220);
  auto* viewer = forms::test::AddControl<TECXMLHelp>(form, 0, 0, 295, 220);
  viewer->SetAlign(forms::alClient);
  viewer->BeginUpdate();
  viewer->SetFileName(SONARID_BINARY_DIR "/tests/ui/KorvaneSonarid.ENU.xcf");
  viewer->AddPage("Opened.xml");
  viewer->EndUpdate();
  form->Show();
  x.Settle();
  const auto shot = x.Display().Screenshot(std::string(SONARID_BINARY_DIR) + "/help-screenshot");
  ASSERT_FALSE(shot.Rgb.empty()) << "xwd or convert failed";
  int pictures = 0;
  for (int i = 0; i < viewer->Lines().Count; ++i) {
    const THelpItem& item = viewer->Lines().Items[size_t(i)];
    if (item.Block->Kind != hbPicture || item.Rect.Bottom > viewer->ClientHeight()) continue;
    canvas::TBitmap own(16, 16, canvas::clWhite);
    item.Block->Picture->Graphic()->Draw(own.Canvas(), {0, 0, 16, 16});
    const canvas::TPoint at = viewer->ClientToScreen({item.Rect.Left + 8, item.Rect.Top + 1 + 8});
    EXPECT_EQ(shot.Pixel(at.X, at.Y), canvas::PixelOf(own.ColorAt(8, 8))) << i;
    ++pictures;
  }
  EXPECT_GE(pictures, 3);
}

}  // namespace
