// The main window, its message box and its file dialogs in real SDL2
// windows on a virtual X server, photographed into the build folder
// (window-*.png, message-box.png, open-dialog-by-*.png, save-dialog.png)
// for people to look at, and checked by what the pictures show. Skipped
// with a message where Xvfb, xwd or ImageMagick's convert are missing.
#include <gtest/gtest.h>

#include <fstream>
#include <set>

#include "ProgramTestSupport.h"
#include "app/MessageBlock.h"
#include "app/Program.h"
#include "app/ProgramUnit.h"
#include "base/Utf8.h"
#include "platform/forms/ComboBox.h"
#include "platform/forms/FileDialogForm.h"
#include "platform/threads/MainQueue.h"
#include "support/XvfbApplication.h"
#include "ui/ECMenu.h"
#include "ui/ECMenuItem.h"

namespace apptest {
namespace {

using test_support::TVirtualDisplay;

int Lightness(uint32_t pixel) { return int((pixel >> 16 & 255) + (pixel >> 8 & 255) + (pixel & 255)); }

// The mean lightness and the number of colours of a screen rectangle.
std::pair<int, size_t> Look(const TVirtualDisplay::TShot& shot, const canvas::TRect& r) {
  long sum = 0;
  std::set<uint32_t> colours;
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = r.Left; x < r.Right; ++x) {
      sum += Lightness(shot.Pixel(x, y));
      colours.insert(shot.Pixel(x, y));
    }
  return {int(sum / (r.Width() * r.Height())), colours.size()};
}

TEST(XvfbWindowTest, ToolBarsLabelsMessageBoxAndFileDialogsLookAsADesktopUserExpects) {
  test_support::TXvfbApplication x(900, 640);
  if (!x.Skip().empty()) GTEST_SKIP() << x.Skip();
  std::unique_ptr<forms::TApplication>& app = x.App;
  test_support::TScratchDir scratch;
  const fs::path& folder = scratch.Dir();
  StartScoreServices();
  InitializeProgramUnit({ProgramFile(), folder.string() + "/"});
  TFProgramModule* main = nullptr;
  app->CreateForm(main);
  main->SetBounds(100, 80, 627, 356);
  main->Show();
  auto shot = [&](const std::string& name) {
    x.Settle();
    const auto s = x.Display().Screenshot(std::string(SONARID_BINARY_DIR) + "/" + name);
    EXPECT_FALSE(s.Rgb.empty()) << "xwd or convert failed";
    return s;
  };
  auto* save = dynamic_cast<TECMenuItem*>(main->FindComponent("MITSave"));
  ASSERT_NE(save, nullptr);
  auto saveRect = [&] {
    const canvas::TRect r = save->ItemRect();
    const canvas::TPoint p = main->MTFile->ClientToScreen({r.Left, r.Top});
    return canvas::TRect{p.X + 2, p.Y + 2, p.X + r.Width() - 2, p.Y + r.Height() - 2};
  };

  const auto disabled = shot("window-disabled");
  ASSERT_TRUE(main->OpenFile(CorpusXml("01a-Pitches-Pitches.xml")));
  RecordTestTake(*main);
  main->UpdateActions();
  ASSERT_TRUE(main->ASave->Enabled());
  const auto enabled = shot("window-enabled");
  if (disabled.Rgb.empty() || enabled.Rgb.empty()) return;
  const auto [greyLight, greyColours] = Look(disabled, saveRect());
  const auto [light, colours] = Look(enabled, saveRect());
  EXPECT_GT(greyColours, 4u);  // a picture, not a uniform square
  EXPECT_GT(greyLight, light + 30);

  // The tool bar row's picture reaches the window's right edge.
  const canvas::TBitmap band = SkinPicture("bar-background.png");
  const canvas::TPoint edge = main->CBProgram->ClientToScreen({main->CBProgram->Width() - 3, 22 + 14});
  EXPECT_EQ(enabled.Pixel(edge.X, edge.Y), canvas::PixelOf(band.ColorAt(0, 14)));

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
    // The sign's top row is on the screen: the picture is whole.
    const canvas::TBitmap sign = SkinPicture("warning.png");
    int top = 0;
    while (top < sign.Height() && (sign.Pixel(sign.Width() / 2, top) >> 24) < 255) ++top;
    ASSERT_LT(top, sign.Height());
    const canvas::TPoint p = box.IWarning->ClientToScreen({sign.Width() / 2, top});
    if (!boxShot.Rgb.empty()) {
      EXPECT_EQ(boxShot.Pixel(p.X, p.Y), canvas::PixelOf(sign.ColorAt(sign.Width() / 2, top)));
    }
  }

  // A folder of three sub-folders and twenty files, dated newest first by name.
  const fs::path files = folder / "files";
  for (const char* sub : {"Scores", "Takes", "Old"}) fs::create_directories(files / sub);
  const auto now = fs::file_time_type::clock::now();
  for (int i = 1; i <= 20; ++i) {
    const fs::path f = files / ("piece" + std::string(i < 10 ? "0" : "") + std::to_string(i) + ".mid");
    std::ofstream(f) << std::string(size_t(i) * 100, 'x');
    fs::last_write_time(f, now - std::chrono::hours(i));
  }
  std::vector<std::string> byName, byDate;
  bool filterFits = false;
  TMainQueue::Instance().Post([&] {
    auto* dialog = dynamic_cast<forms::TFileDialogForm*>(forms::Screen->ActiveForm());
    if (!dialog) return;
    shot("open-dialog-by-name");
    for (const auto& e : dialog->Entries()) byName.push_back(e.Name);
    dynamic_cast<forms::TControl*>(dialog->FindComponent("DateHeader"))->Click();
    shot("open-dialog-by-date");
    for (const auto& e : dialog->Entries()) byDate.push_back(e.Name);
    auto* filter = dynamic_cast<forms::TComboBox*>(dialog->FindComponent("FilterCombo"));
    filterFits = filter->Canvas().TextWidth(Utf8ToUtf16(filter->Items().Strings(0))) + 24 < filter->Width();
    dialog->SetModalResult(forms::mrCancel);
  });
  main->ODFile->InitialDir = files.string();
  main->ODFile->Filter = main->Message(1);
  EXPECT_FALSE(main->ODFile->Execute());
  ASSERT_EQ(byName.size(), 23u);
  EXPECT_EQ(std::vector(byName.begin(), byName.begin() + 4), (std::vector<std::string>{"Old", "Scores", "Takes", "piece01.mid"}));
  EXPECT_EQ(byName.back(), "piece20.mid");
  EXPECT_EQ(std::vector(byDate.begin() + 3, byDate.begin() + 5), (std::vector<std::string>{"piece20.mid", "piece19.mid"}));
  EXPECT_TRUE(filterFits);

  std::string saveFolder;
  TMainQueue::Instance().Post([&] {
    auto* dialog = dynamic_cast<forms::TFileDialogForm*>(forms::Screen->ActiveForm());
    if (!dialog) return;
    shot("save-dialog");
    saveFolder = dialog->Folder();
    dialog->SetModalResult(forms::mrCancel);
  });
  main->ASaveAsExecute();
  EXPECT_NE(saveFolder, "");
  EXPECT_NE(saveFolder + "/", folder.string() + "/");  // not beside the working file
  delete main;
  FinalizeProgramUnit();
  app.reset();
}

}  // namespace
}  // namespace apptest
