// The menus and track bars in real SDL2 windows on a virtual X server: a
// window with a menu bar whose File drop-down is open, a tool bar hosting a
// volume bar and two position bars, photographed for people to look at
// (build/<flavour>/components-screenshot.png). Skipped with a message where
// Xvfb, xwd or ImageMagick's convert are missing or no X server can start.
#include <gtest/gtest.h>

#include "MenuTestSupport.h"
#include "support/XvfbApplication.h"

// X11, SDL and D-Bus keep allocations for the life of the process; only
// theirs are suppressed.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libX11.so\nleak:libxcb\nleak:libSDL2\nleak:libdbus-1.so\nleak:libfontconfig\n";
}

namespace menu_test {
namespace {

using canvas::TBitmap;

TECImageTrack* TrackBar(forms::TWinControl* parent, int l, int t, int w, int h, bool vertical, int position) {
  auto* bar = new TECImageTrack(parent->ParentForm());
  bar->SetParent(parent);
  bar->SetBounds(l, t, w, h);
  SetTrackPictures(*bar, vertical);
  bar->SetColor(parent->Color());
  bar->SetPosition(position);
  return bar;
}

// Bar buttons let the bar's picture show through and have no sub-menu arrow.
TECMenuItem* Item(TECMenuItem* parent, const std::string& caption, int image = -1, TECItemKind kind = ikButton) {
  TECMenuItem* item = parent->AddItem(caption);
  item->SetImage(image);
  item->SetOverImage(image >= 0 ? image + 11 : -1);
  item->SetKind(kind);
  item->SetTransparent(!parent->Parent());
  item->SetMenuArrow(parent->Parent());
  return item;
}

TEST(XvfbComponentsTest, MenusAndTrackBarsArePhotographedWithAnOpenDropDown) {
  test_support::TXvfbApplication x(640, 480);
  if (!x.Skip().empty()) GTEST_SKIP() << x.Skip();
  std::unique_ptr<forms::TApplication>& app = x.App;
  forms::TForm* form = nullptr;
  app->CreateForm(form);
  form->SetBounds(10, 10, 600, 300);
  form->SetColor(0xEED8D2);
  auto* images = new forms::TImageList(form);
  images->LoadStripFromFile(SkinFile("menu-images.png"));
  const TBitmap background = TBitmap::LoadFromFile(SkinFile("bar-background.png"));

  auto bar = [&](int top, int height, TECMenuStyle style) {
    auto* m = new TECMenu(form);
    m->SetParent(form);
    m->SetBounds(0, top, 600, height);
    m->SetAlign(forms::alTop);
    m->SetImages(images);
    m->Item()->SetOrientation(ioHorizontal);
    m->Item()->SetMenuStyle(style);
    m->Item()->SetButtonHeight(height);
    m->Item()->SetPicture(background);
    return m;
  };
  TECMenu* menu = bar(0, 22, msMenu);
  TECMenuItem* file = Item(menu->Item(), "&File");
  for (const char* caption : {"&Control", "&Options", "&Help"}) Item(Item(menu->Item(), caption), "&Contents", 9);
  Item(file, "&Open...", 0)->SetShortCutText("Ctrl+O");
  Item(file, "&Save", 1)->SetEnabled(false);
  Item(file, "", -1, ikSeparator);
  Item(file, "Repea&t", -1, ikCheckBox)->SetChecked(true);
  Item(Item(file, "&Reopen"), "01.12.2024 C:\\Scores\\Sonata.mid");
  Item(file, "E&xit");

  TECMenu* tools = bar(22, 28, msToolbar);
  TECMenuItem* row = tools->Item();
  for (int image : {0, 1, -2, 2, 3, 4, 5, 6, 7}) Item(row, "", image, image < 0 ? ikSeparator : ikButton);
  row->Items(8)->SetKind(ikCheckBox);
  TECMenuItem* volume = Item(row, "");
  volume->SetTextOffset(4);
  volume->SetControl(TrackBar(tools, 0, 0, 100, 20, false, 60));
  Item(row, "", 8);
  row->Items(3)->SetState(stHot);

  TrackBar(form, 180, 120, 300, 20, false, 30);
  TrackBar(form, 180, 160, 300, 20, false, 70);
  TrackBar(form, 520, 90, 20, 120, true, 40);
  form->Show();
  menu->Item()->SetSelected(file);
  menu->Item()->OpenSubMenu();
  file->SetSelected(file->Items(0));
  x.Settle();

  const auto shot = x.Display().Screenshot(std::string(SONARID_BINARY_DIR) + "/components-screenshot");
  ASSERT_FALSE(shot.Rgb.empty()) << "xwd or convert failed";
  ASSERT_TRUE(file->DropDown());
  const canvas::TRect drop = file->DropDown()->BoundsRect();
  const uint32_t black = 0xFF000000, white = 0xFFFFFFFF;
  // The drop-down's frame, its image column and the white of its rows.
  EXPECT_EQ(shot.Pixel(drop.Left, drop.Top + 10), black);
  EXPECT_EQ(shot.Pixel(drop.Right - 1, drop.Bottom - 5), black);
  EXPECT_EQ(shot.Pixel(drop.Left + 1, drop.Bottom - 3), canvas::PixelOf(canvas::ColorToRGB(canvas::clBtnFace)));
  EXPECT_EQ(shot.Pixel(drop.Right - 3, drop.Bottom - 3), white);
  // The selected Open row, between its image and its text: highlighted.
  EXPECT_EQ(shot.Pixel(drop.Left + 1 + 25, drop.Top + 1 + 2), canvas::PixelOf(0xD6BEB5));
}

}  // namespace
}  // namespace menu_test
