// Forms between themselves and the screen: activation, key preview, a frame
// hook, window states, placement, and what runs inside a modal loop.
#include "support/forms/FormsTestSupport.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/Edit.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/HintWindow.h"
#include "platform/forms/Timer.h"
#include "platform/threads/MainQueue.h"
#include "platform/window/WindowSystem.h"

namespace forms::test {
namespace {

using FormBehaviourTest = FormsTest;

TEST_F(FormBehaviourTest, TheActiveControlKeepsItsPlaceWhileAnotherFormIsActive) {
  TForm* first = MakeForm();
  auto* edit = AddControl<TEdit>(first, 10, 10, 100, 21);
  auto* other = AddControl<TEdit>(first, 10, 40, 100, 21);
  other->SetFocus();
  TForm* second = MakeForm();
  second->SetBounds(600, 100, 200, 200);
  std::vector<std::string> log;
  first->OnActivate = [&](TObject*) { log.push_back("activate"); };
  first->OnDeactivate = [&](TObject*) { log.push_back("deactivate"); };
  Click(edit);
  EXPECT_TRUE(edit->Focused());
  Click(second, {50, 50});
  EXPECT_FALSE(edit->Focused());
  EXPECT_EQ(first->ActiveControl(), edit);
  Click(first, {300, 250});
  EXPECT_TRUE(edit->Focused());
  EXPECT_EQ(log, (std::vector<std::string>{"activate", "deactivate", "activate"}));
}

TEST_F(FormBehaviourTest, WithKeyPreviewTheFormSeesKeysFirstAndMayTakeThem) {
  TForm* form = MakeForm();
  auto* edit = AddControl<TEdit>(form, 10, 10, 100, 21);
  auto* cancel = AddControl<TButton>(form, 10, 40, 75, 25);
  cancel->Cancel = true;
  int cancels = 0;
  cancel->OnClick = [&](TObject*) { ++cancels; };
  edit->SetFocus();
  form->KeyPreview = true;
  std::vector<int> seen;
  form->OnKeyDown = [&](TObject*, int& key, TShiftState) {
    seen.push_back(key);
    if (key == window::VK_ESCAPE || key == window::VK_HOME) key = 0;
  };
  Type("ab");
  Key(window::VK_HOME);  // taken by the form: the caret stays at the end
  Type("c");
  Key(window::VK_ESCAPE);  // taken: no cancel button, no Escape character
  EXPECT_EQ(edit->Text(), "abc");
  EXPECT_EQ(cancels, 0);
  EXPECT_EQ(seen, (std::vector<int>{window::VK_HOME, window::VK_ESCAPE}));
  form->KeyPreview = false;
  Key(window::VK_ESCAPE);
  EXPECT_EQ(cancels, 1);
}

// The letter a button's caption marks clicks it, typed with Alt whatever
// has the focus, or alone while a button has it; typed into an edit it is
// the edit's. A letter no caption marks clicks nothing.
TEST_F(FormBehaviourTest, TheLetterACaptionMarksClicksItsButton) {
  TForm* form = MakeForm();
  auto* edit = AddControl<TEdit>(form, 10, 10, 100, 21);
  auto* yes = AddControl<TButton>(form, 10, 40, 75, 25);
  auto* no = AddControl<TButton>(form, 90, 40, 75, 25);
  yes->SetCaption("&Yes");
  no->SetCaption("&\u041d\u0435\u0442");  // Russian "No", its Cyrillic letter marked
  std::string clicked;
  yes->OnClick = [&](TObject*) { clicked += "y"; };
  no->OnClick = [&](TObject*) { clicked += "n"; };
  edit->SetFocus();
  Type("y\u043d");
  Key('Y', window::ssAlt);
  EXPECT_EQ(edit->Text(), "y\u043d");
  EXPECT_EQ(clicked, "y");
  yes->SetFocus();
  Type("q\u043dY");
  EXPECT_EQ(clicked, "yny");
}

TEST_F(FormBehaviourTest, AFrameHookTakesTheMessagesOfItsBandAndMovesTheForm) {
  TForm* form = MakeForm();
  form->SetFrameInsets({0, 20, 0, 0});
  auto* button = AddControl<TButton>(form, 0, 0, 75, 25);
  int clicks = 0;
  button->OnClick = [&](TObject*) { ++clicks; };
  // A caption band: a press in it starts a move, which follows the pointer.
  std::optional<window::TPoint> grab;
  form->WindowHook = [&](window::TMessage& msg) {
    using window::TMessageKind;
    if (msg.Kind == TMessageKind::MouseDown && msg.Pos.Y < 20) {
      grab = msg.Pos;
      window::TWindowSystem::Current().SetCapture(&form->Window());
      return true;
    }
    if (grab && msg.Kind == TMessageKind::MouseMove) {
      form->SetBounds(msg.ScreenPos.X - grab->X, msg.ScreenPos.Y - grab->Y, form->Width(), form->Height());
      return true;
    }
    if (grab && msg.Kind == TMessageKind::MouseUp) {
      grab.reset();
      window::TWindowSystem::Current().ReleaseCapture();
      return true;
    }
    return false;
  };
  Host->MoveMouse({150, 110});
  Host->PressButton();
  Host->MoveMouse({250, 160});
  Host->ReleaseButton();
  Pump();
  EXPECT_EQ(form->BoundsRect(), (TRect{200, 150, 600, 450}));
  Click(button);  // below the band, in the client area
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(button->ClientToScreen({0, 0}), (TPoint{200, 170}));
}

TEST_F(FormBehaviourTest, MaximisingFillsTheScreenAndRestoringGivesTheBoundsBack) {
  TForm* form = MakeForm();
  auto* panel = AddControl<TPanel>(form, 0, 0, 10, 10);
  panel->SetAlign(alClient);
  form->SetWindowState(TWindowState::wsMaximized);
  Pump();
  EXPECT_EQ(form->BoundsRect(), (TRect{0, 0, 1024, 768}));
  EXPECT_EQ(panel->BoundsRect(), (TRect{0, 0, 1024, 768}));
  form->SetWindowState(TWindowState::wsNormal);
  Pump();
  EXPECT_EQ(form->BoundsRect(), (TRect{100, 100, 500, 400}));
  EXPECT_EQ(panel->Width(), 400);

  TForm centred(nullptr);
  centred.Position = poScreenCenter;
  centred.SetBounds(0, 0, 200, 100);
  centred.Show();
  EXPECT_EQ(centred.BoundsRect(), (TRect{412, 334, 612, 434}));
}

TEST_F(FormBehaviourTest, TimersAndHintsGoOnInsideAModalLoop) {
  TForm* form = MakeForm();
  auto* button = AddControl<TButton>(form, 10, 10, 75, 25);
  button->SetHint("Volume");
  button->SetShowHint(true);
  TTimer timer(nullptr);
  timer.SetInterval(100);
  int ticks = 0;
  timer.OnTimer = [&](TObject*) { ++ticks; };
  TForm box(nullptr);
  auto* inBox = AddControl<TButton>(&box, 10, 10, 75, 25);
  inBox->SetHint("Close the box");
  inBox->SetShowHint(true);
  int shown = 0;
  TMainQueue::Instance().Post([&] {
    Host->AdvanceTime(250);
    Pump();
    MoveTo(inBox, {5, 5});
    Host->AdvanceTime(App->HintPause);
    Pump();
    shown += App->HintWindow() != nullptr;
    Host->AdvanceTime(App->HintHidePause);
    Pump();
    shown += App->HintWindow() != nullptr;  // gone, and not again on the same control
    Host->AdvanceTime(App->HintPause);
    Pump();
    shown += App->HintWindow() != nullptr;
    box.SetModalResult(mrOk);
  });
  box.ShowModal();
  EXPECT_EQ(ticks, 4);  // once for each of the four steps of time
  EXPECT_EQ(shown, 1);
}

// Without a delay a hint shows at once; a pointer that comes onto the hint
// window takes it away, and it shows again back on its control.
TEST_F(FormBehaviourTest, AHintWithoutDelayShowsAtOnceAndMayLieUnderThePointer) {
  TForm* form = MakeForm();
  auto* button = AddControl<TButton>(form, 10, 10, 75, 25);
  button->SetHint("Now");
  button->SetShowHint(true);
  App->HintPause = 0;
  MoveTo(button, {5, 5});
  ASSERT_NE(App->HintWindow(), nullptr);
  const TPoint under = App->HintWindow()->ClientToScreen({2, 2});
  MoveToScreen(under);
  MoveToScreen({under.X + 1, under.Y});
  MoveTo(form, {300, 200});
  MoveTo(button, {6, 5});
  EXPECT_NE(App->HintWindow(), nullptr);
  App->HintPause = 500;
}

}  // namespace
}  // namespace forms::test
