// The tips window and the about box of the program on the headless host:
// where the tips window stands and what it shows when, its settings, its
// shape, its history buttons and its links (with a stand-in xdg-open that
// writes down what it is given); the about box's ways of closing and its
// links.
#include <chrono>
#include <cstdlib>
#include <thread>

#include "ProgramTestSupport.h"
#include "app/AboutModule.h"
#include "app/HelperModule.h"
#include "app/LoadedFile.h"
#include "app/ProgramUnit.h"
#include "platform/audio/OutputBus.h"
#include "platform/threads/MainQueue.h"
#include "platform/window/WindowSystem.h"
#include "ui/frame/ECFormDesigner.h"
#include "ui/help/ECXMLHelp.h"

namespace apptest {
namespace {

class HelperWindowTest : public ProgramTest {
protected:
  HelperWindowTest() : FPath(std::getenv("PATH")) {
    // Links go to a stand-in that writes its arguments down.
    const fs::path bin = Folder / "bin";
    fs::create_directories(bin);
    WriteText(bin / "xdg-open", "#!/bin/sh\necho \"$@\" >> '" + Links().string() + "'\n");
    fs::permissions(bin / "xdg-open", fs::perms::owner_all);
    setenv("PATH", (bin.string() + ":" + FPath).c_str(), 1);
  }
  ~HelperWindowTest() override { setenv("PATH", FPath.c_str(), 1); }
  fs::path Links() const { return Folder / "links.txt"; }
  // What the stand-in was given, once it has had time to run.
  std::string LinksOpened(size_t lines) {
    for (int i = 0; i < 500; ++i) {
      const std::string text = fs::exists(Links()) ? ReadText(Links()) : "";
      if (size_t(std::count(text.begin(), text.end(), '\n')) >= lines) return text;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return fs::exists(Links()) ? ReadText(Links()) : "";
  }
  std::vector<std::string> Pages() { return HelperModule()->HHelper->Pages(); }
  void Click(canvas::TPoint screen) {
    Host->Click({screen.X, screen.Y});
    Host->AdvanceTime(1000);  // never the second press of a double click
    App->ProcessMessages();
  }
  // The screen point of the frame button's middle.
  canvas::TPoint ButtonPoint(int index) {
    TFHelperModule& h = *HelperModule();
    TECFormButton& b = *h.FDTicher->Buttons().Items(index);
    h.FDTicher->ButtonShown(b, h.WindowState());
    const canvas::TRect r = h.FDTicher->ButtonRect(b, h.WindowState());
    return {h.Left() + (r.Left + r.Right) / 2, h.Top() + (r.Top + r.Bottom) / 2};
  }

private:
  std::string FPath;
};

TEST_F(HelperWindowTest, AFirstStartOpensTheTipsWindowOnStartAndNotAfterDoNotOpenOnStartWasChecked) {
  Start();
  TFHelperModule* h = HelperModule();
  ASSERT_TRUE(h);
  EXPECT_TRUE(h->Visible());
  EXPECT_EQ(Pages(), std::vector<std::string>{"Start.xml"});
  EXPECT_EQ(h->HHelper->FileName(), ProgramPlace().ProgramFolder() + "KorvaneSonarid.ENU.xcf");
  EXPECT_FALSE(h->HHelper->Blocks().empty());
  EXPECT_FALSE(h->CBCancel->Checked());
  EXPECT_EQ(h->FormStyle(), forms::fsStayOnTop);
  // The main window is the active one, the tips window stands over it.
  EXPECT_EQ(forms::Screen->ActiveForm(), Main);
  // The layout inside the frame: client 295 x 203.
  EXPECT_EQ(h->ClientRect(), (canvas::TRect{0, 0, 295, 203}));
  EXPECT_EQ(h->HHelper->BoundsRect(), (canvas::TRect{4, 4, 291, 183}));
  EXPECT_EQ(h->SHelper->BoundsRect(), (canvas::TRect{5, 183, 290, 184}));
  EXPECT_EQ(h->CBCancel->Top(), 187);
  // The shape: the top-right and bottom-left corners are cut off.
  const window::TRegion* shape = h->Window().WindowRgn();
  ASSERT_TRUE(shape);
  EXPECT_FALSE(shape->Contains({302, 2}));
  EXPECT_FALSE(shape->Contains({2, 224}));
  EXPECT_TRUE(shape->Contains({302, 5}));
  EXPECT_TRUE(shape->Contains({5, 224}));
  EXPECT_TRUE(shape->Contains({0, 0}));

  Click(h->CBCancel->ClientToScreen({6, 8}));
  EXPECT_TRUE(h->CBCancel->Checked());
  EXPECT_EQ(Setting("Properties", "Helper"), "0");
  Stop();
  Start();
  EXPECT_FALSE(HelperModule());
  EXPECT_TRUE(Main->AContents->Visible());
  Main->AContentsExecute();
  ASSERT_TRUE(HelperModule());
  EXPECT_TRUE(HelperModule()->CBCancel->Checked());
  EXPECT_EQ(Pages(), std::vector<std::string>{"Main.xml"});
}

TEST_F(HelperWindowTest, TheTopicFollowsTheOpenedFileAndContentsShowsTheContents) {
  Start();
  // A MIDI file of the corpus (the MusicXML one where none is fetched); a
  // note about what the import changed may come first.
  const std::string midi = CorpusMidi();
  AnswerNextBox(forms::mrOk, [&] { Main->OpenFile(midi.empty() ? CorpusXml("01a-Pitches-Pitches.xml") : midi); });
  ASSERT_TRUE(Main->CurrentFile());
  EXPECT_EQ(Pages(), std::vector<std::string>{"Opened.xml"});
  HelperModule()->Close();
  App->ProcessMessages();
  EXPECT_FALSE(HelperModule());
  Main->AContentsExecute();
  EXPECT_EQ(Pages(), std::vector<std::string>{"Main.xml"});
}

TEST_F(HelperWindowTest, StoredBoundsAreKeptOnTheScreenAndClosingWritesThemBack) {
  WriteText(Folder / "KorvaneSonarid.ini", "[TicherModule]\nBounds=5000,-900,320,240\n");
  Start();
  TFHelperModule* h = HelperModule();
  ASSERT_TRUE(h);
  EXPECT_EQ(h->BoundsRect(), (canvas::TRect{0, 0, 320, 240}));
  h->SetBounds(30, 40, 300, 200);
  h->Close();
  App->ProcessMessages();
  EXPECT_FALSE(HelperModule());
  EXPECT_EQ(Setting("TicherModule", "Bounds"), "30,40,300,200");
  // A damaged value keeps the designed place for what cannot be read.
  Stop();
  WriteText(Folder / "KorvaneSonarid.ini", "[TicherModule]\nBounds=x,50,y\n");
  Start();
  EXPECT_EQ(HelperModule()->BoundsRect(), (canvas::TRect{424, 50, 424 + 303, 50 + 225}));
}

TEST_F(HelperWindowTest, ALanguageChangeTakesItsOwnHelpFileOrTheEnglishOne) {
  Start();
  Main->LanguageExecute(Main->ADeutsch, "DEU");
  EXPECT_EQ(HelperModule()->HHelper->FileName(), ProgramPlace().ProgramFolder() + "KorvaneSonarid.DEU.xcf");
  EXPECT_EQ(HelperModule()->Caption(), "Tipps");
  Main->LanguageExecute(Main->ARussian, "RUS");
  EXPECT_EQ(HelperModule()->HHelper->Font().Charset, 204);
  // A program folder holding only the English help.
  test_support::TScratchDir other;
  WriteText(other.Dir() / "KorvaneSonarid.ENU.xcf", "x");
  const TProgramPlace real = ProgramPlace();
  InitializeProgramUnit({(other.Dir() / "sonarid").string(), other.Path() + "/"});
  EXPECT_EQ(HelpFileName("DEU"), (other.Dir() / "KorvaneSonarid.ENU.xcf").string());
  InitializeProgramUnit(real);
}

// A program folder with its language files but no skin pictures and no
// help: the frames still take their caption and draw the title, Contents
// stays hidden and no tips window opens; a help file that goes away under
// an open tips window leaves it an empty page.
TEST_F(HelperWindowTest, WithoutSkinOrHelpTheWindowsStillWorkAndContentsStaysHidden) {
  const fs::path program = Folder / "program";
  fs::create_directories(program);
  for (const char* code : {"ENU", "DEU", "FRA", "RUS", "ITA", "UKR"})
    fs::create_symlink(ProgramFile() + "." + code + ".lrf", program / ("sonarid." + std::string(code) + ".lrf"));
  InitializeProgramUnit({(program / "sonarid").string(), Folder.string() + "/"});
  App->CreateForm(Main);
  Main->Show();
  App->ProcessMessages();
  EXPECT_FALSE(Main->AContents->Visible());
  EXPECT_FALSE(HelperModule());
  EXPECT_EQ(Main->FrameInsets(), (canvas::TRect{0, 22, 0, 0}));
  const window::TScreenImage shot = Host->Screenshot();
  int ink = 0;
  for (int x = Main->Left() + 20; x < Main->Left() + 120; ++x)
    for (int y = Main->Top() + 2; y < Main->Top() + 20; ++y) ink += shot.Pixel(x, y) == 0xFFFFFFFFu;
  EXPECT_GT(ink, 10) << "the title in the caption's white";

  // The help comes, the tips window opens on it, the help goes.
  for (const char* name : {"KorvaneSonarid.ENU.xcf", "KorvaneSonarid.DEU.xcf"})
    fs::copy_file(fs::path(ProgramFile()).parent_path() / name, program / name);
  Main->LanguageExecute(Main->ADeutsch, "DEU");
  ASSERT_TRUE(Main->AContents->Visible());
  Main->AContentsExecute();
  ASSERT_TRUE(HelperModule());
  EXPECT_FALSE(HelperModule()->HHelper->Blocks().empty());
  for (const char* name : {"KorvaneSonarid.ENU.xcf", "KorvaneSonarid.DEU.xcf"}) fs::remove(program / name);
  Main->LanguageExecute(Main->AFrench, "FRA");
  EXPECT_TRUE(HelperModule()->HHelper->Blocks().empty());
  EXPECT_FALSE(Main->AContents->Visible());
}

TEST_F(HelperWindowTest, TheFramesForwardAndBackButtonsWalkTheViewersHistory) {
  Start();
  Main->AContentsExecute();
  TFHelperModule* h = HelperModule();
  h->SetFocus();
  // The contents page's first gref leads to the start page.
  const THelpItem* link = nullptr;
  for (int i = 0; i < h->HHelper->Lines().Count && !link; ++i)
    if (const THelpItem& item = h->HHelper->Lines().Items[size_t(i)];
        item.Block->LinkKind == hlPage && item.Rect.Right > item.Rect.Left + 4)
      link = &item;
  ASSERT_TRUE(link);
  const std::string target = link->Block->LinkTarget;
  Click(h->HHelper->ClientToScreen({link->Rect.Left + 2, link->Rect.Top + 2}));
  EXPECT_EQ(Pages(), std::vector<std::string>{target});
  Click(ButtonPoint(2));  // back
  EXPECT_EQ(Pages(), std::vector<std::string>{"Main.xml"});
  Click(ButtonPoint(1));  // forward
  EXPECT_EQ(Pages(), std::vector<std::string>{target});
  Click(ButtonPoint(0));  // close
  EXPECT_FALSE(HelperModule());
}

TEST_F(HelperWindowTest, LinksOpenWebPagesAndRunOnlyTheCommandsTheirActionsAllow) {
  audio::TOutputBus::Instance().Start(audio::MakeSilentSink(4096));
  Start();
  TFHelperModule* h = HelperModule();
  const fs::path log = Folder / "Sonarid.log";
  // Nothing open: Record's action is off, and so is the link.
  h->HHelperClickRef("cmd://Record");
  EXPECT_FALSE(Main->Recording());
  ASSERT_TRUE(Main->OpenFile(CorpusXml("01a-Pitches-Pitches.xml")));
  h->HHelperClickRef(" CMD://record\t");
  EXPECT_TRUE(Main->Recording());
  const std::string once = ReadText(log);
  h->HHelperClickRef("cmd://Record");  // during the take: no second one
  h->HHelperClickRef("cmd://PlaySource");
  EXPECT_EQ(ReadText(log), once);
  h->HHelperClickRef("cmd://Stop");
  EXPECT_FALSE(Main->Recording());
  for (const std::string& ref : std::vector<std::string>{"https://example.invalid/", "cmd://Format", "cmd://" + std::string(200, 'R'),
                                "ftp://example.invalid/", "http://example.invalid/"})
    h->HHelperClickRef(ref);
  EXPECT_EQ(LinksOpened(1), "http://example.invalid/\n");
  Stop();
  audio::TOutputBus::Instance().Stop();
}

TEST_F(HelperWindowTest, TheAboutBoxClosesByAClickAnywhereOrAKeyAndOpensItsMailAndProductLinks) {
  Start();
  std::string caption;
  bool productKeptItOpen = false;
  // A click far outside the box reaches it through the capture.
  TMainQueue::Instance().Post([&] {
    auto* about = dynamic_cast<TFAboutModule*>(forms::Screen->ActiveForm());
    ASSERT_TRUE(about);
    caption = about->Caption();
    Host->Click({2, 760});
  });
  Main->AAboutExecute();
  EXPECT_EQ(caption, "About...");
  // A product's page, then any key.
  TMainQueue::Instance().Post([&] {
    auto* about = dynamic_cast<TFAboutModule*>(forms::Screen->ActiveForm());
    ASSERT_TRUE(about);
    const canvas::TPoint p = about->LProduct2->ClientToScreen({4, 4});
    Host->Click({p.X, p.Y});
    TMainQueue::Instance().Post([&, about] {
      productKeptItOpen = about->Visible();
      Host->KeyDown('Q');
      Host->KeyUp('Q');
    });
  });
  Main->AAboutExecute();
  EXPECT_TRUE(productKeptItOpen);
  // The support address closes the box and starts a mail.
  TMainQueue::Instance().Post([&] {
    auto* about = dynamic_cast<TFAboutModule*>(forms::Screen->ActiveForm());
    ASSERT_TRUE(about);
    const canvas::TPoint p = about->LSupportMail->ClientToScreen({4, 4});
    Host->AdvanceTime(1000);
    Host->Click({p.X, p.Y});
  });
  Main->AAboutExecute();
  // Each link is handed over on its own: they may come in either order.
  const std::string links = LinksOpened(2);
  EXPECT_NE(links.find("https://www.korvane.example/tabeditor/\n"), std::string::npos) << links;
  EXPECT_NE(links.find("mailto:support@korvane.example\n"), std::string::npos) << links;
  EXPECT_EQ(links.size(), std::string("https://www.korvane.example/tabeditor/\nmailto:support@korvane.example\n").size());
}

}  // namespace
}  // namespace apptest
