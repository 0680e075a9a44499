// Forms in real SDL2 windows on a virtual X server: a form with every
// standard control, Cyrillic text and an open drop-down list, whose pixels
// on the screen are what the form drew and whose screenshot is kept for
// people to look at (build/<flavour>/forms-screenshot.png). The window
// layer's screenshot test covers shapes and pop-ups. Skipped with a message
// where Xvfb, xwd or ImageMagick's convert are missing or no X server can start.
#include <gtest/gtest.h>

#include "platform/forms/Buttons.h"
#include "platform/forms/CheckBox.h"
#include "platform/forms/ComboBox.h"
#include "platform/forms/Edit.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/Label.h"
#include "platform/forms/ListBox.h"
#include "platform/forms/ProgressBar.h"
#include "platform/forms/ScrollBar.h"
#include "support/XvfbApplication.h"

// X11, SDL and D-Bus keep allocations for the life of the process; only
// theirs are suppressed.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libX11.so\nleak:libxcb\nleak:libSDL2\nleak:libdbus-1.so\nleak:libfontconfig\n";
}

namespace forms::test {
namespace {

// True when every pixel of R (screen) outside Skip shows what the form drew.
bool ScreenShowsForm(const test_support::TVirtualDisplay::TShot& shot, TCustomForm& form, const TRect& r,
                     const TRect& skip) {
  const window::TPixelBuffer pixels = form.Window().GetDC();
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = r.Left; x < r.Right; ++x) {
      if (x >= skip.Left && x < skip.Right && y >= skip.Top && y < skip.Bottom) continue;
      if (shot.Pixel(x, y) != pixels.Pixel(x - form.Left(), y - form.Top())) return false;
    }
  return true;
}

TEST(XvfbFormsTest, AFormWithEveryControlIsPhotographedForPeopleToLookAt) {
  test_support::TXvfbApplication x(640, 480);
  if (!x.Skip().empty()) GTEST_SKIP() << x.Skip();
  TForm* form = nullptr;
  x.App->CreateForm(form);
  form->SetBounds(10, 10, 600, 420);
  form->SetCaption("Sonarid controls");
  auto add = [&](auto* c, TWinControl* parent, int l, int t, int w, int h) {
    c->SetParent(parent);
    c->SetBounds(l, t, w, h);
    return c;
  };
  auto* group = add(new TGroupBox(form), form, 10, 10, 280, 200);
  group->SetCaption("&Record");
  auto* rates = add(new TComboBox(form), group, 10, 24, 120, 21);
  for (const char* s : {"8 kHz", "11 kHz", "22 kHz", "44 kHz", "48 kHz"}) rates->Items().Add(s);
  rates->SetItemIndex(3);
  add(new TCheckBox(form), group, 10, 54, 120, 17)->SetCaption("&Stereo");
  static_cast<TCheckBox*>(group->Controls(1))->SetChecked(true);
  auto* off = add(new TCheckBox(form), group, 10, 76, 120, 17);
  off->SetCaption("Compression");
  off->SetEnabled(false);
  auto* edit = add(new TEdit(form), group, 10, 100, 200, 21);
  edit->SetText("Запись.wav");
  auto* progress = add(new TProgressBar(form), group, 10, 132, 200, 16);
  progress->SetPosition(60);
  add(new TScrollBar(form), group, 10, 160, 200, 17)->SetPosition(30);
  auto* panel = add(new TPanel(form), form, 300, 10, 280, 60);
  panel->SetColor(0xEED8D2);
  panel->SetCaption("PSource");
  auto* label = add(new TLabel(form), panel, 10, 8, 0, 0);
  label->SetCaption("Not loaded");
  auto* list = add(new TListBox(form), form, 300, 80, 180, 130);
  for (int i = 1; i <= 20; ++i) list->Items().Add("Take " + std::to_string(i) + ".wav");
  list->SetItemIndex(2);
  auto* vertical = add(new TScrollBar(form), form, 490, 80, 17, 130);
  vertical->SetKind(sbVertical);
  vertical->SetBounds(490, 80, 17, 130);
  auto* ok = add(new TButton(form), form, 10, 230, 75, 25);
  ok->SetCaption("OK");
  ok->Default = true;
  add(new TButton(form), form, 95, 230, 75, 25)->SetCaption("&Cancel");
  auto* disabled = add(new TButton(form), form, 180, 230, 75, 25);
  disabled->SetCaption("Disabled");
  disabled->SetEnabled(false);
  auto* bit = add(new TBitBtn(form), form, 265, 230, 110, 25);
  bit->SetCaption("&Volume");
  bit->Glyph.SetSize(16, 16, canvas::clNavy);
  auto* output = add(new TComboBox(form), form, 300, 232, 200, 21);
  for (const char* s : {"Built-in synthesiser", "MIDI Through Port-0", "Timidity port 0"}) output->Items().Add(s);
  output->SetItemIndex(0);
  form->Show();
  edit->SetFocus();
  output->SetDroppedDown(true);
  x.Settle();

  const auto shot = x.Display().Screenshot(std::string(SONARID_BINARY_DIR) + "/forms-screenshot");
  ASSERT_FALSE(shot.Rgb.empty()) << "xwd or convert failed";
  const TListBox* drop = output->DropDownList();
  ASSERT_NE(drop, nullptr);
  const TPoint dropAt = drop->ClientToScreen({0, 0});
  const TRect dropRect{dropAt.X, dropAt.Y, dropAt.X + drop->Width(), dropAt.Y + drop->Height()};
  EXPECT_TRUE(ScreenShowsForm(shot, *form, {10, 10, 610, 430}, dropRect));
  EXPECT_EQ(shot.Pixel(dropAt.X + drop->Width() - 10, dropAt.Y + 2 + drop->ItemHeight() / 2),
            canvas::PixelOf(canvas::ColorToRGB(canvas::clHighlight)));
}

}  // namespace
}  // namespace forms::test
