// The menus driven as a user drives them: clicks, hovering with the shared
// timer, the key table, Escape and outside clicks, drop-down arrows, the
// height limit and the screen edges.
#include "MenuTestSupport.h"

#include <stdexcept>

#include "base/Log.h"

namespace menu_test {
namespace {

bool IsOpen(const TECMenuItem* item) { return item->DropDown() && item->DropDown()->Visible(); }

TEST_F(MenuTest, AClickOpensTheDropDownBelowItsButtonAndASecondClickClosesIt) {
  ClickOn(File);
  ASSERT_TRUE(IsOpen(File));
  const canvas::TRect& r = File->ItemRect();
  EXPECT_EQ(File->DropDown()->BoundsRect().Left, Bar->ClientToScreen({r.Left, 0}).X);
  EXPECT_EQ(File->DropDown()->BoundsRect().Top, Bar->ClientToScreen({0, r.Bottom}).Y);
  EXPECT_TRUE(Bar->Focused());
  EXPECT_EQ(Bar->SavedFocus(), Edit);
  ClickOn(File);
  EXPECT_FALSE(IsOpen(File));
}

TEST_F(MenuTest, OnceArmedByAClickHoveringOpensBarButtonsAtOnceAndSubMenusAfterTheTickInterval) {
  ClickOn(File);
  MoveOver(Reopen);
  EXPECT_EQ(File->Selected(), Reopen);
  Tick(200);
  EXPECT_FALSE(IsOpen(Reopen));
  Tick(200);
  EXPECT_TRUE(IsOpen(Reopen));
  // A bar button opened by hovering stays open when it is clicked.
  MoveOver(Tools);
  Tick(100);
  EXPECT_TRUE(IsOpen(Tools));
  EXPECT_FALSE(IsOpen(File));
  EXPECT_FALSE(IsOpen(Reopen));
  ClickOn(Tools);
  EXPECT_TRUE(IsOpen(Tools));
  // Moving inside its drop-down forgets that, so the next click closes it.
  MoveOver(Play);
  ClickOn(Tools);
  EXPECT_FALSE(IsOpen(Tools));
}

TEST_F(MenuTest, KeysMoveThroughSelectableItemsReachTheInnermostDropDownAndEscapeGivesTheFocusBack) {
  ClickOn(File);
  Key(window::VK_DOWN);
  EXPECT_EQ(File->Selected(), Open);
  Key(window::VK_DOWN);  // past the disabled Save and the separator
  EXPECT_EQ(File->Selected(), Repeat);
  Key(window::VK_END);
  EXPECT_EQ(File->Selected(), Exit);
  Key(window::VK_UP);
  Key(window::VK_RIGHT);
  ASSERT_TRUE(IsOpen(Reopen));
  Key(window::VK_DOWN);
  EXPECT_EQ(Reopen->Selected(), Reopen->Items(0));
  EXPECT_EQ(File->Selected(), Reopen);
  Key(window::VK_LEFT);
  EXPECT_FALSE(IsOpen(Reopen));
  Key(window::VK_HOME);
  Key(window::VK_DOWN);
  Key(window::VK_RETURN);  // Repeat: toggles the action, closes the menus
  EXPECT_TRUE(ARewind->Checked());
  EXPECT_TRUE(Repeat->Checked());
  EXPECT_FALSE(IsOpen(File));
  EXPECT_TRUE(Edit->Focused());

  Bar->SetFocus();
  Key(window::VK_RIGHT);
  EXPECT_EQ(Bar->Item()->Selected(), File);
  Key(window::VK_DOWN);
  EXPECT_TRUE(IsOpen(File));
  // Escape closes the drop-down, then leaves the bar for the saved control.
  Key(window::VK_ESCAPE);
  EXPECT_FALSE(IsOpen(File));
  EXPECT_TRUE(Bar->Focused());
  Key(window::VK_ESCAPE);
  EXPECT_TRUE(Edit->Focused());
  EXPECT_EQ(Bar->Item()->Selected(), nullptr);
}

TEST_F(MenuTest, AClickOnAnItemRunsItsActionOnceAndAPressOutsideClosesTheMenus) {
  ClickOn(File);
  ClickOn(Save);  // disabled
  EXPECT_TRUE(IsOpen(File));
  ClickOn(Open);
  EXPECT_EQ(OpenRuns, 1);
  EXPECT_FALSE(IsOpen(File));
  EXPECT_TRUE(Edit->Focused());
  ClickOn(File);
  Click(Edit);
  EXPECT_FALSE(IsOpen(File));
  ClickOn(File);
  Host->Click({1000, 700});  // outside every window of the program
  Pump();
  EXPECT_FALSE(IsOpen(File));
  // A command that fails leaves the menus usable and says what failed.
  AOpen->OnExecute = [](TObject*) { throw std::runtime_error("disk gone"); };
  std::vector<std::string> logged;
  SetLogHook([&](const std::string& line) { logged.push_back(line); });
  ClickOn(File);
  ClickOn(Open);
  SetLogHook(nullptr);
  EXPECT_EQ(logged, std::vector<std::string>{"Menu: the chosen command failed: disk gone"});
  ClickOn(File);
  EXPECT_TRUE(IsOpen(File));
}

TEST_F(MenuTest, TheArrowPartOfADropDownItemFiresOnDropDownClickAndTheMainPartOnClick) {
  TECMenuItem* record = NewItem(AddToolBar(60)->Item(), "MITRecord", "", ikDropDown);
  record->SetImage(2);
  NewItem(record, "MITFormat", "Format");
  int clicks = 0, drops = 0;
  record->OnClick = [&](TObject*) { ++clicks; };
  record->OnDropDownClick = [&](TObject*) { ++drops; };
  const int arrow = record->ItemRect().Width() / 2 - 3;
  ClickOn(record, -arrow);
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(IsOpen(record));
  ClickOn(record, arrow);
  EXPECT_EQ(drops, 1);
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(IsOpen(record));
}

TEST_F(MenuTest, ADropDownTallerThanMenuHeightScrollsAndItsHitTestsFollow) {
  for (int i = 0; i < 20; ++i) Reopen->AddItem("take" + std::to_string(i) + ".wav");
  Reopen->SetMenuHeight(100);
  ClickOn(File);
  MoveOver(Reopen);
  Key(window::VK_RIGHT);
  TECSubMenu* drop = Reopen->DropDown();
  ASSERT_TRUE(drop);
  EXPECT_EQ(drop->Height(), 102);
  ASSERT_TRUE(drop->ScrollBar()->Visible());
  const int row = Reopen->Items(0)->ItemRect().Height();
  EXPECT_EQ(Reopen->GetItemAt(5, row / 2), Reopen->Items(0));
  drop->ScrollBar()->Scroll(forms::scLineDown);
  EXPECT_EQ(Reopen->ScrollPos(), row);
  EXPECT_EQ(Reopen->GetItemAt(5, row / 2), Reopen->Items(1));
  drop->ScrollBar()->Scroll(forms::scBottom);
  EXPECT_EQ(Reopen->ScrollPos(), drop->ScrollBar()->Max() - drop->ScrollBar()->PageSize());
}

TEST_F(MenuTest, DropDownsThatWouldLeaveTheScreenOpenLeftOfTheirColumnAndMoveUp) {
  // File fits at the right edge, its Reopen drop-down does not.
  Form->SetBounds(1024 - (File->ContentRect().Right + 2) - 10, 640, 120, 150);
  Pump();
  ClickOn(File);
  MoveOver(Reopen);
  Key(window::VK_RIGHT);
  ASSERT_TRUE(IsOpen(Reopen));
  const canvas::TRect file = File->DropDown()->BoundsRect(), reopen = Reopen->DropDown()->BoundsRect();
  EXPECT_EQ(file.Left, Form->Left());
  EXPECT_LT(file.Top, Bar->ClientToScreen({0, 0}).Y);
  EXPECT_EQ(reopen.Left, file.Left - reopen.Width() + File->Offset());
  EXPECT_LT(reopen.Bottom, 768);
}

}  // namespace
}  // namespace menu_test
