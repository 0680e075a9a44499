// Which window gets a mouse or key message, and in which order: enter and
// leave, capture, activation by a press, pop-ups and the press outside them,
// keys with shift state, typed characters, double clicks, disabled windows.
#include "WindowTestSupport.h"

namespace window::test {
namespace {

using ::testing::ElementsAre;

class InputRoutingTest : public HeadlessWindowTest {
protected:
  void SetUp() override {
    A = MakeWindow("A", {0, 0, 100, 100});
    B = MakeWindow("B", {200, 0, 300, 100});
    A->Show();
    B->Show();  // shown last: B is active
    Pump();
  }
  std::unique_ptr<TLoggedWindow> A, B;
};

TEST_F(InputRoutingTest, EnterAndLeaveFollowThePointerBeforeTheMoveItself) {
  Host->MoveMouse({10, 10});
  Host->MoveMouse({210, 20});
  Host->MoveMouse({150, 50});
  EXPECT_THAT(Pump(), ElementsAre("A MouseEnter 10,10", "A MouseMove 10,10 s=0", "A MouseLeave", "B MouseEnter 10,20",
                                  "B MouseMove 10,20 s=0", "B MouseLeave"));
  EXPECT_EQ(System->GetHoverWindow(), nullptr);
}

TEST_F(InputRoutingTest, CaptureTakesEveryMouseMessageWhileEnterAndLeaveStillFollowThePointer) {
  A->Extra = [this](TMessage& m) {
    if (m.Kind == TMessageKind::MouseDown) System->SetCapture(A.get());
    if (m.Kind == TMessageKind::MouseUp) System->ReleaseCapture();
  };
  Host->MoveMouse({10, 10});
  Host->PressButton();
  Host->MoveMouse({210, 20});
  Host->MoveMouse({500, 300});
  Host->ReleaseButton();
  Host->MoveMouse({220, 20});
  EXPECT_THAT(Pump(), ElementsAre("A MouseEnter 10,10", "A MouseMove 10,10 s=0",
                                  // the press activates A first
                                  "B Activate off", "B KillFocus", "A Activate on", "A SetFocus",
                                  "A MouseDown 10,10 L s=8",
                                  "A MouseLeave", "B MouseEnter 10,20", "A MouseMove 210,20 s=8",
                                  "B MouseLeave", "A MouseMove 500,300 s=8",
                                  "A MouseUp 500,300 L s=0", "A CaptureChanged",
                                  "B MouseEnter 20,20", "B MouseMove 20,20 s=0"));
  EXPECT_FALSE(Host->MouseCaptured());
}

TEST_F(InputRoutingTest, AWindowUnderTheCaptureStaysWithoutMouseMessages) {
  System->SetCapture(B.get());
  EXPECT_TRUE(Host->MouseCaptured());
  Host->Click({10, 10});
  Host->Wheel(-120);
  // No activation either: a press during capture belongs to the capture.
  EXPECT_THAT(Pump(), ElementsAre("A MouseEnter 10,10", "B MouseMove -190,10 s=0", "B MouseDown -190,10 L s=8",
                                  "B MouseUp -190,10 L s=0", "B MouseWheel -190,10 -120 s=0"));
  A.reset();  // destroying a window under the pointer sends it nothing more
  Host->MoveMouse({210, 10});
  EXPECT_THAT(Pump(), ElementsAre("B MouseEnter 10,10", "B MouseMove 10,10 s=0"));
}

TEST_F(InputRoutingTest, WheelGoesToTheWindowUnderThePointerWithTheShiftState) {
  Host->MoveMouse({20, 30});
  Host->SetModifiers(ssCtrl);
  Host->Wheel(240);
  Host->Wheel(-120);
  TLog log = Pump();
  EXPECT_THAT(std::vector<std::string>(log.begin() + 2, log.end()),
              ElementsAre("A MouseWheel 20,30 240 s=4", "A MouseWheel 20,30 -120 s=4"));
}

TEST_F(InputRoutingTest, PopUpTakesNoActivationAndAPressOutsideItCancelsItsOwner) {
  auto popup = MakeWindow("P", {50, 50, 150, 150}, TWindowKind::PopUp, B.get());
  B->Activate();
  popup->Show();
  Pump();
  EXPECT_EQ(System->ZOrder().back(), popup.get());
  EXPECT_EQ(System->GetActiveWindow(), B.get());

  // Over A and the pop-up: the pop-up is on top and a press there is its own.
  Host->Click({60, 60});
  Host->KeyDown(VK_DOWN);
  EXPECT_THAT(Pump(), ElementsAre("P MouseEnter 10,10", "P MouseMove 10,10 s=0", "P MouseDown 10,10 L s=8",
                                  "P MouseUp 10,10 L s=0", "B KeyDown 40 s=0"));
  EXPECT_EQ(System->GetActiveWindow(), B.get());

  // A press on the owner is the owner's business.
  Host->Click({250, 50});
  EXPECT_THAT(Pump(), ElementsAre("P MouseLeave", "B MouseEnter 50,50", "B MouseMove 50,50 s=0",
                                  "B MouseDown 50,50 L s=8", "B MouseUp 50,50 L s=0"));

  // A press elsewhere cancels the owner's mode before anything else.
  Host->Click({10, 10});
  EXPECT_THAT(Pump(), ElementsAre("B MouseLeave", "A MouseEnter 10,10", "A MouseMove 10,10 s=0", "B CancelMode",
                                  "B Activate off", "B KillFocus", "A Activate on", "A SetFocus",
                                  "A MouseDown 10,10 L s=8", "A MouseUp 10,10 L s=0"));

  // Outside every window too; after the pop-up has gone, nothing is cancelled.
  Host->Click({700, 700});
  EXPECT_THAT(Pump(), ElementsAre("A MouseLeave", "B CancelMode"));
  popup->Hide();
  Host->Click({700, 700});
  EXPECT_TRUE(Pump().empty());
}

TEST_F(InputRoutingTest, APopUpThatReleasesItselfOnAPressLeavesNoStaleState) {
  auto popup = MakeWindow("P", {50, 150, 150, 250}, TWindowKind::PopUp, B.get());
  popup->Show();
  popup->Extra = [&](TMessage& m) {
    if (m.Kind == TMessageKind::MouseDown) {
      System->SetCapture(popup.get());
      popup->Post([&] { popup.reset(); });
    }
  };
  Pump();
  Host->Click({60, 160});
  EXPECT_THAT(Pump(), ElementsAre("P MouseEnter 10,10", "P MouseMove 10,10 s=0", "P MouseDown 10,10 L s=8",
                                  "P MouseUp 10,10 L s=0"));
  Host->MoveMouse({210, 10});
  EXPECT_THAT(Pump(), ElementsAre("B MouseEnter 10,10", "B MouseMove 10,10 s=0"));
  EXPECT_EQ(popup, nullptr);
  EXPECT_EQ(System->GetCapture(), nullptr);
}

TEST_F(InputRoutingTest, KeysGoToTheActiveWindowWithShiftStateAndTypedCharacters) {
  Host->MoveMouse({210, 10});
  Host->PressButton(mbRight);
  Host->SetModifiers(ssShift);
  Host->KeyDown('A');
  Host->TypeText("A");
  Host->KeyDown('A', true);
  Host->KeyUp('A');
  Host->ReleaseButton(mbRight);
  Host->SetModifiers(0);
  Host->TypeText("\xD0\xB6\xD1\x96");  // Cyrillic zhe, Ukrainian i
  TLog log = Pump();
  EXPECT_THAT(std::vector<std::string>(log.begin() + 3, log.end()),
              ElementsAre("B KeyDown 65 s=17", "B Char 65", "B KeyDown 65 s=17 repeat", "B KeyUp 65 s=17",
                          "B MouseUp 10,10 R s=1", "B Char 1078", "B Char 1110"));
}

struct TControlCharCase {
  int Key;
  TShiftState Modifiers;
  int Expected;  // -1: no Char message
};

class ControlCharTest : public HeadlessWindowTest, public ::testing::WithParamInterface<TControlCharCase> {};

TEST_P(ControlCharTest, AKeyPressTypesItsControlCharacter) {
  auto w = MakeWindow("W", {0, 0, 50, 50});
  w->Show();
  Pump();
  Host->SetModifiers(GetParam().Modifiers);
  Host->KeyDown(GetParam().Key);
  TLog log = Pump();
  ASSERT_GE(log.size(), 1u);
  if (GetParam().Expected < 0) EXPECT_EQ(log.size(), 1u);
  else EXPECT_THAT(log, ElementsAre(log[0], "W Char " + std::to_string(GetParam().Expected)));
}

INSTANTIATE_TEST_SUITE_P(Keys, ControlCharTest,
                         ::testing::Values(TControlCharCase{VK_RETURN, 0, 13}, TControlCharCase{VK_RETURN, ssShift, 13},
                                           TControlCharCase{VK_BACK, 0, 8}, TControlCharCase{VK_TAB, 0, 9},
                                           TControlCharCase{VK_ESCAPE, 0, 27}, TControlCharCase{'A', ssCtrl, 1},
                                           TControlCharCase{'Z', ssCtrl | ssShift, 26},
                                           TControlCharCase{'A', ssCtrl | ssAlt, -1}, TControlCharCase{'A', 0, -1},
                                           TControlCharCase{VK_F1, ssCtrl, -1}, TControlCharCase{VK_LEFT, 0, -1}));

TEST_F(InputRoutingTest, TheSecondPressNearbyAndSoonIsADoubleClickButNotTheThird) {
  auto Presses = [this] {
    std::vector<std::string> downs;
    for (const auto& line : Pump())
      if (line.find("MouseDown") != std::string::npos) downs.push_back(line);
    return downs;
  };
  Host->MoveMouse({210, 10});
  Host->Click({210, 10});
  Host->Click({211, 11});
  Host->Click({211, 11});
  EXPECT_THAT(Presses(), ElementsAre("B MouseDown 10,10 L s=8", "B MouseDown 11,11 L s=72", "B MouseDown 11,11 L s=8"));

  Host->Click({211, 11});
  Pump();
  Host->AdvanceTime(501);  // too late
  Host->Click({211, 11});
  Host->Click({214, 11});  // too far
  Host->Click({214, 11}, mbRight);  // another button
  EXPECT_THAT(Presses(), ElementsAre("B MouseDown 11,11 L s=8", "B MouseDown 14,11 L s=8", "B MouseDown 14,11 R s=16"));
}

TEST_F(InputRoutingTest, ADisabledWindowGetsNoInputAndCountsAsNoWindowUnderThePointer) {
  A->SetEnabled(false);
  Host->Click({10, 10});
  EXPECT_TRUE(Pump().empty());
  EXPECT_EQ(System->GetActiveWindow(), B.get());
  A->SetEnabled(true);
  Host->MoveMouse({11, 10});
  EXPECT_THAT(Pump(), ElementsAre("A MouseEnter 11,10", "A MouseMove 11,10 s=0"));
}

TEST_F(InputRoutingTest, FocusTakenByAnotherProgramDeactivatesAndHidingHandsActivationToTheOwner) {
  auto dialog = MakeWindow("D", {20, 20, 80, 80}, TWindowKind::TopLevel, A.get());
  Pump();
  dialog->Show();
  EXPECT_THAT(Pump(), ElementsAre("B Activate off", "B KillFocus", "D Activate on", "D SetFocus"));
  dialog->Hide();  // the owner, not the topmost window, comes back
  EXPECT_THAT(Pump(), ElementsAre("D Activate off", "D KillFocus", "A Activate on", "A SetFocus"));
  Host->TakeFocusAway(*A);
  EXPECT_THAT(Pump(), ElementsAre("A Activate off", "A KillFocus"));
  Host->KeyDown('X');
  EXPECT_TRUE(Pump().empty());
  EXPECT_EQ(System->GetFocus(), nullptr);
}

TEST_F(InputRoutingTest, ShapedWindowLetsThePointerThroughOutsideItsRegion) {
  auto top = MakeWindow("T", {0, 0, 100, 100});
  top->SetWindowRgn(TRegion::RoundRect({0, 0, 100, 100}, 40, 40));
  top->Show();
  Pump();
  Host->MoveMouse({1, 1});   // cut corner: A beneath
  Host->MoveMouse({50, 1});  // inside the shape
  EXPECT_THAT(Pump(), ElementsAre("A MouseEnter 1,1", "A MouseMove 1,1 s=0", "A MouseLeave", "T MouseEnter 50,1",
                                  "T MouseMove 50,1 s=0"));
}

}  // namespace
}  // namespace window::test
