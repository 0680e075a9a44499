// Each standard control on a form, driven by injected mouse and key input.
#include "support/forms/FormsTestSupport.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/CheckBox.h"
#include "platform/forms/ComboBox.h"
#include "platform/forms/Edit.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/ListBox.h"
#include "platform/forms/ScrollBar.h"

namespace forms::test {
namespace {

using ControlsTest = FormsTest;

TEST_F(ControlsTest, TypingIntoAnEditInsertsAtTheCaretReplacesTheSelectionAndPastes) {
  TForm* form = MakeForm();
  auto* edit = AddControl<TEdit>(form, 10, 10, 200, 21);
  int changes = 0;
  edit->OnChange = [&](TObject*) { ++changes; };
  Click(edit);
  Type("Привет, мир");
  EXPECT_EQ(edit->Text(), "Привет, мир");
  Key(window::VK_BACK);
  Key(window::VK_LEFT);
  Key(window::VK_LEFT);
  Key(window::VK_DELETE);  // removes the "м" (two bytes), not half of it
  EXPECT_EQ(edit->Text(), "Привет, и");
  EXPECT_EQ(changes, 11 + 2);
  Key('A', window::ssCtrl);
  Type("x");
  EXPECT_EQ(edit->Text(), "x");
  edit->MaxLength = 2;
  Type("yz");
  EXPECT_EQ(edit->Text(), "xy");
  // Through the clipboard: line breaks do not go into one line.
  edit->MaxLength = 0;
  edit->SetText("Запись");
  Key('A', window::ssCtrl);
  Key('C', window::ssCtrl);
  EXPECT_EQ(Host->GetClipboardText(), "Запись");
  Key(window::VK_END);
  Host->SetClipboardText(" 2\r\n");
  Key('V', window::ssCtrl);
  EXPECT_EQ(edit->Text(), "Запись 2");
  edit->ReadOnly = true;
  Type("x");
  Key(window::VK_BACK);
  EXPECT_EQ(edit->Text(), "Запись 2");
}

TEST_F(ControlsTest, ChoosingInAComboBoxByMouseOrKeyboardRunsOnChangeOnceForEachNewItem) {
  TForm* form = MakeForm();
  auto* combo = AddControl<TComboBox>(form, 10, 10, 150, 21);
  for (const char* s : {"8 kHz", "11 kHz", "22 kHz", "44 kHz"}) combo->Items().Add(s);
  combo->SetItemIndex(0);
  std::vector<int> changes;
  combo->OnChange = [&](TObject*) { changes.push_back(combo->ItemIndex()); };

  Click(combo);
  ASSERT_TRUE(combo->DroppedDown());
  TListBox* list = combo->DropDownList();
  const int row = list->ItemHeight();
  // The highlight follows the pointer; the release on an item chooses it.
  MoveTo(list, {20, 2 + 2 * row + row / 2});
  EXPECT_EQ(list->ItemIndex(), 2);
  Click(list, {20, 2 + 2 * row + row / 2});
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_EQ(combo->ItemIndex(), 2);
  EXPECT_EQ(combo->Text(), "22 kHz");
  Key(window::VK_DOWN);
  Key(window::VK_DOWN);  // already the last item: no change
  // Choosing the item that is already chosen changes nothing.
  Click(combo);
  Click(combo->DropDownList(), {20, 2 + 3 * row + row / 2});
  // A press elsewhere closes the open list without a choice.
  Click(combo);
  ASSERT_TRUE(combo->DroppedDown());
  Click(form, {300, 250});
  EXPECT_FALSE(combo->DroppedDown());
  combo->SetItemIndex(1);  // set by the program: no OnChange
  // By keyboard: F4 opens, the arrows move only the highlight, Escape
  // closes without a choice, Return chooses; the wheel steps the choice.
  combo->SetFocus();
  Key(window::VK_F1 + 3);
  ASSERT_TRUE(combo->DroppedDown());
  Key(window::VK_DOWN);
  Key(window::VK_DOWN);
  EXPECT_EQ(combo->DropDownList()->ItemIndex(), 3);
  Key(window::VK_ESCAPE);
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_EQ(combo->ItemIndex(), 1);
  Key(window::VK_DOWN, window::ssAlt);
  Key(window::VK_DOWN);
  Key(window::VK_RETURN);
  EXPECT_EQ(combo->ItemIndex(), 2);
  MoveTo(combo, {20, 10});
  Host->Wheel(-window::WHEEL_DELTA);
  Pump();
  EXPECT_EQ(combo->Text(), "44 kHz");
  EXPECT_EQ(changes, (std::vector<int>{2, 3, 2, 3}));
}

// An open list stands at its field: a move or a new size of the window (by
// the program or a window manager), or a new state also where its bounds
// stay (the window fills the screen already), closes it.
TEST_F(ControlsTest, AnOpenListClosesWhenItsWindowMovesResizesOrChangesState) {
  TForm* form = MakeForm();
  auto* combo = AddControl<TComboBox>(form, 10, 10, 150, 21);
  combo->Items().Add("FluidSynth");
  auto state = [&](window::TWindowState s) { return [&, s] { form->SetWindowState(s); }; };
  const std::function<void()> changes[] = {[&] { form->SetBounds(150, 120, 500, 350); },
                                           [&] { Host->PlaceByManager(form->Window(), {20, 30, 420, 330}); },
                                           state(window::TWindowState::wsMaximized),
                                           state(window::TWindowState::wsNormal),
                                           [&] { form->SetBounds(0, 0, 1024, 768); },
                                           state(window::TWindowState::wsMaximized),
                                           state(window::TWindowState::wsNormal),
                                           state(window::TWindowState::wsMinimized)};
  for (size_t i = 0; i < std::size(changes); ++i) {
    Click(combo);
    ASSERT_TRUE(combo->DroppedDown()) << i;
    changes[i]();
    Pump();
    EXPECT_FALSE(combo->DroppedDown()) << i;
  }
}

TEST_F(ControlsTest, CheckingABoxRunsItsClickOnEveryChangeOfState) {
  TForm* form = MakeForm();
  auto* box = AddControl<TCheckBox>(form, 10, 10, 120, 17);
  box->SetCaption("&Stereo");
  std::vector<bool> clicks;
  box->OnClick = [&](TObject*) { clicks.push_back(box->Checked()); };
  Click(box);
  EXPECT_TRUE(box->Checked());
  Type(" ");
  EXPECT_FALSE(box->Checked());
  box->SetChecked(false);  // the same state: nothing
  box->SetChecked(true);   // set by the program: the click runs too
  EXPECT_EQ(clicks, (std::vector<bool>{true, false, true}));
}

TEST_F(ControlsTest, AButtonRunsItsActionAndFollowsItsState) {
  TForm* form = MakeForm();
  auto* list = new TActionList(form);
  auto* action = new TAction(form);
  action->SetActionList(list);
  action->SetCaption("&Record");
  action->SetHint("Record a take");
  int runs = 0;
  action->OnExecute = [&](TObject*) { ++runs; };
  auto* button = AddControl<TButton>(form, 10, 10, 75, 25);
  button->SetAction(action);
  EXPECT_EQ(button->Caption(), "&Record");
  EXPECT_EQ(button->Hint(), "Record a take");
  Click(button);
  EXPECT_EQ(runs, 1);

  // The action's own update turns the button off when idle.
  bool canRecord = false;
  action->OnUpdate = [&](TObject*) { action->SetEnabled(canRecord); };
  App->Idle();
  EXPECT_FALSE(button->Enabled());
  Click(button);
  EXPECT_EQ(runs, 1);
  action->SetCaption("&Stop");
  EXPECT_EQ(button->Caption(), "&Stop");
  canRecord = true;
  App->Idle();
  Click(button);
  EXPECT_EQ(runs, 2);

  // A check box bound to an action toggles the action's Checked.
  auto* repeats = new TAction(form);
  repeats->AutoCheck = true;
  auto* box = AddControl<TCheckBox>(form, 10, 50, 120, 17);
  box->SetAction(repeats);
  int toggles = 0;
  repeats->OnExecute = [&](TObject*) { ++toggles; };
  Click(box);
  EXPECT_TRUE(repeats->Checked());
  repeats->SetChecked(false);
  EXPECT_FALSE(box->Checked());
  EXPECT_EQ(toggles, 1);
  delete repeats;
  EXPECT_EQ(box->Action(), nullptr);
}

TEST_F(ControlsTest, AListBoxSelectsByMouseAndKeysAndScrollsItsRows) {
  TForm* form = MakeForm();
  auto* list = AddControl<TListBox>(form, 10, 10, 150, 100);
  for (int i = 0; i < 30; ++i) list->Items().Add("Item " + std::to_string(i));
  int clicks = 0, doubles = 0;
  list->OnClick = [&](TObject*) { ++clicks; };
  list->OnDblClick = [&](TObject*) { ++doubles; };
  const int row = list->ItemHeight();
  Click(list, {20, 2 + row + row / 2});
  EXPECT_EQ(list->ItemIndex(), 1);
  Click(list, {20, 2 + row + row / 2});
  EXPECT_EQ(doubles, 1);
  Key(window::VK_END);
  EXPECT_EQ(list->ItemIndex(), 29);
  EXPECT_EQ(list->TopIndex(), 30 - list->VisibleRows());
  Host->Wheel(window::WHEEL_DELTA);
  Pump();
  EXPECT_EQ(list->TopIndex(), 30 - list->VisibleRows() - 3);
  list->SetItemIndex(5);  // set by the program: no click
  EXPECT_EQ(clicks, 3);
  list->Items().Clear();
  EXPECT_EQ(list->ItemIndex(), -1);
}

TEST_F(ControlsTest, AScrollBarStepsByLineAndPageAndTracksItsThumb) {
  TForm* form = MakeForm();
  auto* bar = AddControl<TScrollBar>(form, 10, 10, 17, 200);
  bar->SetKind(sbVertical);
  bar->SetBounds(10, 10, 17, 217);  // track 183 pixels
  bar->SetParams(0, 0, 99);
  bar->SetPageSize(10);
  bar->SmallChange = 2;
  bar->LargeChange = 10;
  std::vector<std::pair<TScrollCode, int>> steps;
  bar->OnScroll = [&](TObject*, TScrollCode code, int& pos) { steps.push_back({code, pos}); };
  Click(bar, {8, 210});  // bottom arrow
  Click(bar, {8, 150});  // track below the thumb
  EXPECT_EQ(bar->Position(), 12);
  // Dragging the thumb to the end of the track gives the last full page.
  const TPoint thumb = ScreenOf(bar, {8, 17 + 2 + 22});
  Host->MoveMouse({thumb.X, thumb.Y});
  Host->PressButton();
  Host->MoveMouse({thumb.X, thumb.Y + 400});
  Host->ReleaseButton();
  Pump();
  EXPECT_EQ(bar->Position(), 90);
  ASSERT_GE(steps.size(), 6u);
  EXPECT_EQ(steps[0], std::make_pair(scLineDown, 2));
  EXPECT_EQ(steps[2], std::make_pair(scPageDown, 12));
  EXPECT_EQ(steps[steps.size() - 3], std::make_pair(scTrack, 90));
  EXPECT_EQ(steps.back().first, scEndScroll);
  // What OnScroll leaves in ScrollPos is the position taken.
  bar->OnScroll = [](TObject*, TScrollCode, int& pos) { pos = std::min(pos, 50); };
  bar->Scroll(scBottom);
  EXPECT_EQ(bar->Position(), 50);
}

TEST_F(ControlsTest, TabMovesTheFocusInTabOrderAndEntersAndLeavesContainers) {
  TForm* form = MakeForm();
  auto* panel = AddControl<TPanel>(form, 0, 0, 200, 100);
  auto* first = AddControl<TEdit>(panel, 10, 10, 100, 21);
  auto* disabled = AddControl<TEdit>(panel, 10, 40, 100, 21);
  disabled->SetEnabled(false);
  auto* outside = AddControl<TButton>(form, 10, 150, 75, 25);
  std::vector<std::string> log;
  panel->OnEnter = [&](TObject*) { log.push_back("enter panel"); };
  panel->OnExit = [&](TObject*) { log.push_back("exit panel"); };
  first->SetFocus();
  EXPECT_TRUE(first->Focused());
  Key(window::VK_TAB);
  EXPECT_TRUE(outside->Focused());
  Key(window::VK_TAB, window::ssShift);
  EXPECT_TRUE(first->Focused());
  EXPECT_EQ(log, (std::vector<std::string>{"enter panel", "exit panel", "enter panel"}));
  // A press on a panel takes no focus away.
  Click(panel, {150, 80});
  EXPECT_TRUE(first->Focused());
  // A control that is hidden loses the focus.
  first->Hide();
  EXPECT_EQ(form->ActiveControl(), nullptr);
}

TEST_F(ControlsTest, ControlsFreedOrHiddenByTheirOwnHandlersLeaveTheFormWorking) {
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
