// The main window, a message box and the file dialogs on a virtual X server,
// photographed into the build folder and checked by what the pictures show.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <set>

#include "ProgramTestSupport.h"
#include "app/MessageBlock.h"
#include "app/Program.h"
#include "app/ProgramUnit.h"
#include "platform/forms/FileDialogForm.h"
#include "platform/threads/MainQueue.h"
#include "support/XvfbApplication.h"
#include "ui/ECMenuItem.h"

namespace apptest {
namespace {

TEST(XvfbWindowTest, ToolBarsLabelsMessageBoxAndFileDialogsLookAsADesktopUserExpects) {
  test_support::TXvfbApplication x(900, 640);
  if (!x.Skip().empty()) GTEST_SKIP() << x.Skip();
  test_support::TScratchDir scratch;
  const fs::path& folder = scratch.Dir();
  StartScoreServices();
  InitializeProgramUnit({ProgramFile(), folder.string() + "/"});
  TFProgramModule* main = nullptr;
  // However the test ends, an assertion's return too, the next test in this
  // process finds no window, program unit or answer of this one.
  const int answers = 0;  // owner of the posted answers
  struct TAtEnd {
    std::function<void()> Fn;
    ~TAtEnd() { Fn(); }
  } cleanUp{[&] {
    TMainQueue::Instance().Cancel(&answers);
    delete main;
    FinalizeProgramUnit();
    x.App.reset();
  }};
  x.App->CreateForm(main);
  main->Show();
  auto shot = [&](const std::string& name) {
    x.Settle();
    return x.Display().Screenshot(std::string(SONARID_BINARY_DIR) + "/" + name);
  };
  // The Save button's mean lightness (red + green + blue) and number of colours.
  auto save = [&](const test_support::TVirtualDisplay::TShot& s) {
    const canvas::TRect r = dynamic_cast<TECMenuItem*>(main->FindComponent("MITSave"))->ItemRect();
    const canvas::TPoint p = main->MTFile->ClientToScreen({r.Left + 2, r.Top + 2});
    std::pair<long, std::set<uint32_t>> look;
    for (int y = p.Y; y < p.Y + r.Height() - 4; ++y)
      for (int x = p.X; x < p.X + r.Width() - 4; ++x)
        look.first += (s.Pixel(x, y) >> 16 & 255) + (s.Pixel(x, y) >> 8 & 255) + (s.Pixel(x, y) & 255),
            look.second.insert(s.Pixel(x, y));
    return std::pair{look.first / ((r.Width() - 4) * (r.Height() - 4)), look.second.size()};
  };
  const auto disabled = shot("window-disabled");
  ASSERT_FALSE(disabled.Rgb.empty()) << "xwd or convert failed";
  ASSERT_TRUE(main->OpenFile(CorpusXml("01a-Pitches-Pitches.xml")));
  main->ASave->SetEnabled(true);
  const auto enabled = shot("window-enabled");
  EXPECT_GT(save(disabled).second, 4u);  // a picture, not a uniform square
  EXPECT_GT(save(disabled).first, save(enabled).first + 30);
  // The tool bar row's picture reaches the window's right edge.
  const canvas::TPoint edge = main->CBProgram->ClientToScreen({main->CBProgram->Width() - 3, 22 + 14});
  EXPECT_EQ(enabled.Pixel(edge.X, edge.Y), canvas::PixelOf(SkinPicture("bar-background.png").ColorAt(0, 14)));
  main->ADeutsch->Execute();
  shot("window-german");
  EXPECT_EQ(main->LSource->Caption() + " " + main->LDestination->Caption(), "01a-Pitches-Pitches.xml Untitled.wav");
  {
    TFMessageBlock box(nullptr);
    box.WrapText("A message over the main window.");
    box.LayoutText();
    box.ChooseIcon(mpWarning);
    box.AddButton(mbOk);
    box.Show();
    const auto boxShot = shot("message-box");
    EXPECT_NEAR(box.Left() + box.Width() / 2, main->Left() + main->Width() / 2, 2);
    EXPECT_NEAR(box.Top() + box.Height() / 2, main->Top() + main->Height() / 2, 2);
    // The sign's tip (row 5 of its picture) is on the screen: the picture is whole.
    const canvas::TPoint tip = box.IWarning->ClientToScreen({18, 5});
    EXPECT_EQ(boxShot.Pixel(tip.X, tip.Y), canvas::PixelOf(SkinPicture("warning.png").ColorAt(18, 5)));
  }
  // Three sub-folders and twenty files, the later names the older.
  const fs::path files = folder / "files";
  for (const char* sub : {"Scores", "Takes", "Old"}) fs::create_directories(files / sub);
  for (int i = 10; i < 30; ++i) {
    const fs::path file = files / ("piece" + std::to_string(i) + ".mid");
    std::ofstream(file) << "x";
    fs::last_write_time(file, fs::file_time_type::clock::now() - std::chrono::hours(i));
  }
  std::string oldest;  // the first file once sorted by date
  // Runs Action, photographing the file dialog it shows (sorted by Header's
  // column first) and cancelling it.
  auto answer = [&](const char* picture, const char* header, const std::function<void()>& action) {
    bool shown = false;
    TMainQueue::Instance().Post(
        [&] {
          auto* dialog = dynamic_cast<forms::TFileDialogForm*>(forms::Screen->ActiveForm());
          if (!dialog) return;
          if (header) dynamic_cast<forms::TControl*>(dialog->FindComponent(header))->Click();
          shot(picture);
          oldest = dialog->Entries().size() > 3 ? dialog->Entries()[3].Name : "";
          dialog->SetModalResult(forms::mrCancel);
          shown = true;
        },
        &answers);
    action();
    TMainQueue::Instance().Cancel(&answers);  // an answer no dialog took
    EXPECT_TRUE(shown) << picture;
  };
  main->ODFile->InitialDir = files.string();
  answer("open-dialog-by-name", nullptr, [&] { main->ODFile->Execute(); });
  answer("open-dialog-by-date", "DateHeader", [&] { main->ODFile->Execute(); });
  EXPECT_EQ(oldest, "piece29.mid");
  answer("save-dialog", nullptr, [&] { main->ASaveAsExecute(); });  // where it starts: FileActionsTest
}

}  // namespace
}  // namespace apptest
