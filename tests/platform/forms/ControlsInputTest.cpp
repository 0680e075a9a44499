// The finer points of mouse and keyboard input on the standard controls.
#include "support/forms/FormsTestSupport.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/ComboBox.h"
#include "platform/forms/Edit.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/ListBox.h"
#include "platform/forms/ScrollBar.h"

namespace forms::test {
namespace {

using ControlsInputTest = FormsTest;

TEST_F(ControlsInputTest, AnEditPlacesTheCaretWhereClickedAndCopiesAndPastesThroughTheClipboard) {
  TForm* form = MakeForm();
  auto* edit = AddControl<TEdit>(form, 10, 10, 200, 21);
  edit->SetText("Запись");
  Click(edit);
  // A click just right of the third letter puts the caret after it.
  edit->SetSelStart(0);
  const int third = edit->Canvas().TextWidth(u"Зап");
  Click(edit, {4 + third + 1, 10});
  EXPECT_EQ(edit->SelStart(), int(std::string("Зап").size()));
  Key('A', window::ssCtrl);
  Key('C', window::ssCtrl);
  EXPECT_EQ(Host->GetClipboardText(), "Запись");
  Key(window::VK_END);
  Host->SetClipboardText(" 2\r\n");
  Key('V', window::ssCtrl);
  EXPECT_EQ(edit->Text(), "Запись 2");  // line breaks do not go into one line
  edit->ReadOnly = true;
  Type("x");
  Key(window::VK_BACK);
  EXPECT_EQ(edit->Text(), "Запись 2");
}

TEST_F(ControlsInputTest, AButtonClicksOnlyWhenReleasedOverItAndNeverWhileDisabled) {
  TForm* form = MakeForm();
  auto* button = AddControl<TButton>(form, 10, 10, 75, 25);
  auto* edit = AddControl<TEdit>(form, 10, 50, 100, 21);
  int clicks = 0;
  button->OnClick = [&](TObject*) { ++clicks; };
  const TPoint on = ScreenOf(button, {10, 10}), off = ScreenOf(button, {10, 60});
  Host->MoveMouse({on.X, on.Y});
  Host->PressButton();
  Host->MoveMouse({off.X, off.Y});
  Host->ReleaseButton();
  Pump();
  EXPECT_EQ(clicks, 0);
  Host->KeyDown(window::VK_SPACE);  // the press gave the button the focus
  Pump();
  EXPECT_EQ(clicks, 0);
  Host->KeyUp(window::VK_SPACE);
  Pump();
  EXPECT_EQ(clicks, 1);
  edit->SetFocus();
  button->SetEnabled(false);
  Click(button);
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(edit->Focused());  // a disabled control takes no focus
}

TEST_F(ControlsInputTest, AComboBoxOpensAndChoosesByKeyboard) {
  TForm* form = MakeForm();
  auto* combo = AddControl<TComboBox>(form, 10, 10, 150, 21);
  for (const char* s : {"Mono", "Stereo", "Quad"}) combo->Items().Add(s);
  combo->SetItemIndex(0);
  int changes = 0;
  combo->OnChange = [&](TObject*) { ++changes; };
  combo->SetFocus();
  Key(window::VK_F1 + 3);  // F4
  ASSERT_TRUE(combo->DroppedDown());
  Key(window::VK_DOWN);
  Key(window::VK_DOWN);
  EXPECT_EQ(combo->DropDownList()->ItemIndex(), 2);
  EXPECT_EQ(changes, 0);  // only the highlight moved
  Key(window::VK_ESCAPE);
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_EQ(combo->ItemIndex(), 0);
  Key(window::VK_DOWN, window::ssAlt);
  Key(window::VK_DOWN);
  Key(window::VK_RETURN);
  EXPECT_EQ(combo->ItemIndex(), 1);
  EXPECT_EQ(changes, 1);
  MoveTo(combo, {20, 10});
  Host->Wheel(-window::WHEEL_DELTA);
  Pump();
  EXPECT_EQ(combo->Text(), "Quad");
}

TEST_F(ControlsInputTest, AnOpenListClosesOnAPressInAnotherWindowAndOpensUpwardAtTheScreensEnd) {
  TForm* form = MakeForm();
  auto* combo = AddControl<TComboBox>(form, 10, 10, 150, 21);
  for (int i = 0; i < 4; ++i) combo->Items().Add("Device " + std::to_string(i));
  TForm* other = MakeForm();
  other->SetBounds(600, 100, 200, 200);
  form->SetFocus();
  Click(combo);
  ASSERT_TRUE(combo->DroppedDown());
  Click(other, {50, 50});
  EXPECT_FALSE(combo->DroppedDown());

  form->SetBounds(100, 768 - 40, 400, 40);
  form->SetFocus();
  Click(combo);
  ASSERT_TRUE(combo->DroppedDown());
  const TPoint top = combo->DropDownList()->ClientToScreen({0, 0});
  EXPECT_EQ(top.Y + combo->DropDownList()->Height(), combo->ClientToScreen({0, 0}).Y);
}

TEST_F(ControlsInputTest, ControlsFreedOrHiddenByTheirOwnHandlersLeaveTheFormWorking) {
  TForm* form = MakeForm();
  auto* doomed = AddControl<TButton>(form, 10, 10, 75, 25);
  doomed->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { delete doomed; };
  Click(doomed);
  EXPECT_EQ(form->ControlCount(), 0);
  EXPECT_EQ(form->ActiveControl(), nullptr);
  auto* hider = AddControl<TButton>(form, 10, 10, 75, 25);
  hider->OnClick = [&](TObject*) { hider->Hide(); };
  Click(hider);
  EXPECT_EQ(form->ActiveControl(), nullptr);
  auto* combo = AddControl<TComboBox>(form, 10, 50, 100, 21);
  combo->Items().Add("one");
  Click(combo);
  ASSERT_TRUE(combo->DroppedDown());
  delete combo;  // with its list open
  Pump();
  EXPECT_EQ(Screen->FormCount(), 1);
  // A focused control moved into another container gives up the focus.
  auto* panel = AddControl<TPanel>(form, 150, 10, 200, 100);
  auto* edit = AddControl<TEdit>(form, 10, 100, 100, 21);
  edit->SetFocus();
  edit->SetParent(panel);
  EXPECT_EQ(form->ActiveControl(), nullptr);
  Key(window::VK_TAB);
  EXPECT_TRUE(edit->Focused());
  EXPECT_EQ(edit->ClientToScreen({0, 0}), ScreenOf(panel, {10, 100}));
}

}  // namespace
}  // namespace forms::test
