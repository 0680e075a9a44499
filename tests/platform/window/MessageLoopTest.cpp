// The loop: timers on the fake clock, work posted from other threads, modal
// loops, pumping from inside a handler, and the order of a pass.
#include <atomic>
#include <thread>

#include "WindowTestSupport.h"
#include "base/Exceptions.h"
#include "platform/threads/MainQueue.h"

namespace window::test {
namespace {

using ::testing::ElementsAre;

class MessageLoopTest : public HeadlessWindowTest {};

TEST_F(MessageLoopTest, TimersFireOnTheLoopAtTheirPeriodsInDueOrder) {
  auto w = MakeWindow("W", {0, 0, 10, 10}, TWindowKind::MessageOnly);
  std::vector<std::pair<uint64_t, int>> fired;
  w->Extra = [&](TMessage& m) {
    if (m.Kind != TMessageKind::Timer) return;
    fired.push_back({Host->Now() - 1000, m.TimerId});
    if (fired.size() == 7) System->Terminate();
  };
  w->SetTimer(1, 100);
  w->SetTimer(2, 250);
  System->ProcessMessages();
  EXPECT_TRUE(fired.empty());  // nothing is due yet
  System->Run();  // waits jump the fake clock to the next due timer
  EXPECT_THAT(fired, ElementsAre(std::pair<uint64_t, int>{100, 1}, std::pair<uint64_t, int>{200, 1},
                                 std::pair<uint64_t, int>{250, 2}, std::pair<uint64_t, int>{300, 1},
                                 std::pair<uint64_t, int>{400, 1}, std::pair<uint64_t, int>{500, 1},
                                 std::pair<uint64_t, int>{500, 2}));
}

TEST_F(MessageLoopTest, MissedPeriodsGiveOneTimerMessageAndSetTimerRestartsKillTimerStops) {
  auto w = MakeWindow("W", {0, 0, 10, 10}, TWindowKind::MessageOnly);
  w->SetTimer(7, 100);
  Host->AdvanceTime(1000);
  EXPECT_THAT(Pump(), ElementsAre("W Timer 7"));
  Host->AdvanceTime(99);
  EXPECT_TRUE(Pump().empty());
  w->SetTimer(7, 50);  // restarts from now
  Host->AdvanceTime(49);
  EXPECT_TRUE(Pump().empty());
  Host->AdvanceTime(1);
  EXPECT_THAT(Pump(), ElementsAre("W Timer 7"));
  w->KillTimer(7);
  Host->AdvanceTime(500);
  EXPECT_TRUE(Pump().empty());
}

TEST_F(MessageLoopTest, ATimerKilledByAnEarlierTimerOfTheSamePassDoesNotFire) {
  auto w = MakeWindow("W", {0, 0, 10, 10}, TWindowKind::MessageOnly);
  w->Extra = [&](TMessage& m) {
    if (m.Kind == TMessageKind::Timer && m.TimerId == 1) w->KillTimer(2);
  };
  w->SetTimer(1, 10);
  w->SetTimer(2, 20);
  Host->AdvanceTime(30);
  EXPECT_THAT(Pump(), ElementsAre("W Timer 1"));
}

TEST_F(MessageLoopTest, WorkPostedFromAnotherThreadRunsOnTheLoopInOrder) {
  const std::thread::id mainThread = std::this_thread::get_id();
  std::vector<int> order;
  bool allOnMain = true;
  std::thread worker([&] {
    for (int i = 0; i < 200; ++i)
      TMainQueue::Instance().Post([&, i] {
        order.push_back(i);
        allOnMain = allOnMain && std::this_thread::get_id() == mainThread;
        if (i == 199) System->Terminate();
      });
  });
  System->Run();  // blocks in the host's wait until the posts wake it
  worker.join();
  ASSERT_EQ(order.size(), 200u);
  for (int i = 0; i < 200; ++i) EXPECT_EQ(order[i], i);
  EXPECT_TRUE(allOnMain);
}

TEST_F(MessageLoopTest, WorkPostedForAWindowIsDroppedWhenTheWindowDies) {
  auto w = MakeWindow("W", {0, 0, 10, 10}, TWindowKind::MessageOnly);
  bool ran = false;
  w->Post([&] { ran = true; });
  w.reset();
  Pump();
  EXPECT_FALSE(ran);
}

TEST_F(MessageLoopTest, AWaitWithNothingThatCanComeRaisesInsteadOfHanging) {
  Host->SetIdleLimitMs(10);
  EXPECT_THROW(System->HandleMessage(), ::Exception);
}

TEST_F(MessageLoopTest, OnePassRunsPostsThenInputThenPaintThenTimers) {
  auto w = MakeWindow("W", {0, 0, 10, 10});
  w->Show();
  Pump();
  w->Invalidate();
  w->SetTimer(1, 10);
  Host->AdvanceTime(10);
  Host->MoveMouse({1, 1});
  w->Post([this] { Log.push_back("posted"); });
  auto painted = std::make_unique<TLoggedWindow>(Log, "P", TWindowKind::TopLevel, nullptr, true);
  painted->SetBounds(20, 0, 5, 5);
  painted->Show();
  EXPECT_THAT(Pump(), ElementsAre("P Move 20,0", "P Size 5x5", "W Activate off", "W KillFocus", "P Activate on",
                                  "P SetFocus", "posted", "W MouseEnter 1,1", "W MouseMove 1,1 s=0",
                                  "P Paint 0,0 5,5", "W Timer 1"));
}

class ModalLoopTest : public HeadlessWindowTest {
protected:
  void SetUp() override {
    Main = MakeWindow("M", {0, 0, 400, 300});
    Main->Show();
    Dialog = MakeWindow("D", {100, 100, 200, 200}, TWindowKind::TopLevel, Main.get());
    Pump();
  }
  std::unique_ptr<TLoggedWindow> Main, Dialog;
};

TEST_F(ModalLoopTest, TheModalLoopBlocksOtherWindowsAndReturnsWhenItsWindowCloses) {
  bool returned = false;
  Dialog->Extra = [&](TMessage& m) {
    // Input queued now is read inside the modal loop.
    if (m.Kind == TMessageKind::SetFocus) {
      Host->Click({10, 10});         // on the main window: blocked
      Host->KeyDown(VK_ESCAPE);      // to the dialog
      Host->RequestClose(*Dialog);   // unhandled: the dialog hides
    }
  };
  Dialog->ShowModal();
  returned = true;
  EXPECT_TRUE(returned);
  EXPECT_FALSE(Dialog->Visible());
  EXPECT_THAT(Pump(), ElementsAre("M Activate off", "M KillFocus", "D Activate on", "D SetFocus",
                                  "D KeyDown 27 s=0", "D Char 27", "D Close",
                                  "D Activate off", "D KillFocus", "M Activate on", "M SetFocus"));
  Host->Click({10, 10});  // the main window takes input again
  EXPECT_THAT(Pump(), ElementsAre("M MouseEnter 10,10", "M MouseMove 10,10 s=0", "M MouseDown 10,10 L s=8",
                                  "M MouseUp 10,10 L s=0"));
}

TEST_F(ModalLoopTest, EndModalFromATimerEndsTheLoopWithoutRealWaiting) {
  Dialog->Extra = [&](TMessage& m) {
    if (m.Kind == TMessageKind::Timer) Dialog->EndModal();
  };
  Dialog->SetTimer(1, 2000);
  const uint64_t start = Host->Now();
  Dialog->ShowModal();
  EXPECT_EQ(Host->Now() - start, 2000u);
  EXPECT_FALSE(Dialog->Visible());
}

TEST_F(ModalLoopTest, AModalWindowDestroyedInsideItsLoopEndsIt) {
  Dialog->Extra = [&](TMessage& m) {
    if (m.Kind == TMessageKind::SetFocus) Dialog->Post([&] { Dialog.reset(); });
  };
  Dialog->ShowModal();
  EXPECT_EQ(Dialog, nullptr);
  EXPECT_EQ(System->GetActiveWindow(), Main.get());
}

TEST_F(ModalLoopTest, AModalLoopCancelsCaptureAndPopUpModesFirst) {
  auto popup = MakeWindow("P", {0, 300, 50, 350}, TWindowKind::PopUp, Main.get());
  popup->Show();
  System->SetCapture(popup.get());
  Pump();
  Dialog->Extra = [&](TMessage& m) {
    if (m.Kind == TMessageKind::SetFocus) Dialog->EndModal();
  };
  Dialog->ShowModal();
  TLog log = Pump();
  ASSERT_GE(log.size(), 3u);
  EXPECT_THAT(std::vector<std::string>(log.begin(), log.begin() + 3),
              ElementsAre("M CancelMode", "P CancelMode", "P CaptureChanged"));
  EXPECT_EQ(System->GetCapture(), nullptr);
}

TEST_F(ModalLoopTest, AHandlerMayPumpMessagesItself) {
  std::vector<std::string> seen;
  Main->Extra = [&](TMessage& m) {
    if (m.Kind == TMessageKind::KeyDown && m.Key == 'A') {
      System->ProcessMessages();  // handles the key queued after this one
      seen.push_back("after pump");
    }
    if (m.Kind == TMessageKind::KeyDown) seen.push_back(std::to_string(m.Key));
  };
  Host->KeyDown('A');
  Host->KeyDown('B');
  Pump();
  EXPECT_THAT(seen, ElementsAre("66", "after pump", "65"));
}

}  // namespace
}  // namespace window::test
