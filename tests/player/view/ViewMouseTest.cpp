// The mouse on the view: page buttons, the ruler strips, placing the
// cursor and the one click event, panning, the wheel with Shift and Alt,
// and the hints of links, ruler markers and page buttons.

#include "ViewFixture.h"
#include "platform/forms/Application.h"
#include "score/model/PageTexts.h"

namespace {

class ViewMouse : public ViewTest {
protected:
  // Four pages of one system each.
  void MakePages() {
    MakeScore(16);
    PageOfPixels(900, 250, 30);
    ASSERT_GE(view().PageCount(), 4);
  }
  canvas::TPoint Middle(const canvas::TRect& R) { return {(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2}; }
  // The middle of measure M's staff on the active page, in client pixels.
  canvas::TPoint OnStaff(int M) {
    const TKVMeasureRecord& r = *score->GetPiece(0)->Layout().MeasureRecords.at(size_t(M));
    const TKVStaffLineRecord& line = *r.System->Page->GetStaffLine(r.System->FirstStaffLine);
    const TKVPageRect page = view().PageRect(r.System->Page->PageIndex);
    return {24 + page.Left - horz().Position() + (r.LeftX + r.RightX) / 16,
            24 + page.Top - vert().Position() + (line.Top + line.Bottom) / 16};
  }
};

// Only enabled buttons 1 to 5 are pressed; the release of a pressed button
// runs its action, the release of any other press runs nothing.
TEST_F(ViewMouse, PageButtonsActOnTheReleaseOfAnEnabledPress) {
  MakePages();
  int choose = 0, addState = 0;
  view().OnChoosePage = [&](TObject*) { ++choose; };
  view().OnAddState = [&](TObject*) { ++addState; };
  const int32_t pages = view().PageCount(), userPages = score->GetUserPages();
  const auto& r = view().PageButtonRect;
  ClickAt(Middle(r[PageButton::First]));
  EXPECT_EQ(view().ActivePage(), 0) << "disabled on the first page";
  Press(Middle(r[PageButton::Next]));
  EXPECT_EQ(view().PressedPageButton, PageButton::Next);
  EXPECT_EQ(view().ActivePage(), 0) << "nothing before the release";
  Release();
  EXPECT_EQ(std::pair(view().ActivePage(), view().PressedPageButton), std::pair(1, 0));
  ClickAt(Middle(r[PageButton::Last]));
  EXPECT_EQ(view().ActivePage(), pages - 1);
  ClickAt(Middle(r[PageButton::Previous]));
  EXPECT_EQ(view().ActivePage(), pages - 2);
  ClickAt(Middle(r[PageButton::Choose]));
  EXPECT_EQ(choose, 1);
  ClickAt(Middle(r[PageButton::First]));
  EXPECT_EQ(std::pair(view().ActivePage(), view().CursorMeasure()), std::pair(0, 0));
  for (int b : {PageButton::MorePages, PageButton::FewerPages, PageButton::AddState}) {
    Press(Middle(r[size_t(b)]));
    EXPECT_EQ(view().PressedPageButton, 0) << b;
    Release();
  }
  EXPECT_EQ(std::pair(score->GetUserPages(), addState), std::pair(userPages, 0));
}

// A left press raises exactly one click: of the score, or of the record
// that has the focus; in a ruler strip nothing happens; a right press
// places the cursor without a click.
TEST_F(ViewMouse, PressesPlaceTheCursorAndRaiseOneClick) {
  MakePages();
  std::vector<std::string> events;
  view().OnScoreClick = [&](TObject*) { events.push_back("score"); };
  view().OnItemClick = [&](TObject*, TKVDisplayItem* D) { events.push_back(D ? "item" : "nil"); };
  ClickAt({OnStaff(2).X, 10});
  ClickAt({10, OnStaff(2).Y});
  EXPECT_EQ(view().CursorMeasure(), 0);
  EXPECT_TRUE(events.empty());
  ClickAt(OnStaff(2), window::mbRight);
  EXPECT_EQ(view().CursorMeasure(), 2);
  EXPECT_TRUE(events.empty());
  ClickAt(OnStaff(3));
  EXPECT_EQ(view().CursorMeasure(), 3);
  view().FocusedRecord = score->GetPiece(0)->Layout().MeasureRecords.at(3)->GetDisplay(0);
  ClickAt(OnStaff(3));
  EXPECT_EQ(events, (std::vector<std::string>{"score", "item"}));
  EXPECT_TRUE(control->Focused());
}

// In wsView a left drag moves the content with the pointer, a hand under
// the pointer until the release.
TEST_F(ViewMouse, PanningMovesBothBarsAgainstThePointer) {
  MakePages();
  view().SetStyle(wsView);
  view().SetZoom(300);
  horz().SetPosition(100), vert().SetPosition(100);
  Press({400, 300});
  EXPECT_EQ(Host->CursorShape(), window::crHandPoint);
  Move({350, 260});
  EXPECT_EQ(std::pair(horz().Position(), vert().Position()), std::pair(150, 140));
  Move({380, 300});
  EXPECT_EQ(std::pair(horz().Position(), vert().Position()), std::pair(120, 100));
  Release();
  Move({381, 300});
  EXPECT_EQ(Host->CursorShape(), window::crDefault);
}

// Shift and the wheel step the pitch line within 37..89, Alt the level.
TEST_F(ViewMouse, ShiftAndAltWithTheWheelStepLineAndLevel) {
  MakePages();
  score->GetPiece(0)->GetPart(0)->GetStaff(0)->SetRange(4);
  view().SetCursorLine(88);
  WheelAt({300, 300}, 120, window::ssShift);
  EXPECT_EQ(view().CursorLine(), 89);
  WheelAt({300, 300}, 120, window::ssShift);
  EXPECT_EQ(view().CursorLine(), 89);
  WheelAt({300, 300}, -120, window::ssShift);
  EXPECT_EQ(view().CursorLine(), 88);
  WheelAt({300, 300}, 120, window::ssAlt);
  EXPECT_EQ(view().CursorLevel(), 1);
  WheelAt({300, 300}, -120, window::ssAlt);
  WheelAt({300, 300}, -120, window::ssAlt);
  EXPECT_EQ(view().CursorLevel(), 3) << "below the first level comes the last";
}

// Over a linked text the hint names the link at once; a ruler marker or an
// enabled page button shows its text at once; off the strips it goes.
TEST_F(ViewMouse, HintsOfLinksMarkersAndButtonsShowAtOnce) {
  TKVPiece* piece = MakeScore(2);
  auto* text = static_cast<TKVText*>(CreateItemByKind(ItemKind::Text, piece->GetPart(0)->GetMeasure(1)));
  text->SetText2("Coda");
  text->Lines().push_back(u"To the coda");
  text->Data().setI16(PageObjectBlock::X, 400);
  text->Data().setI16(PageObjectBlock::Y, 40);
  PageOfPixels(900, 600, 100);
  const TKVMeasureRecord& m1 = *piece->Layout().MeasureRecords.at(1);
  const TKVDisplayItem* link = nullptr;
  for (int i = 0; i < m1.DisplayCount; ++i)
    if (m1.GetDisplay(i)->Item == text) link = m1.GetDisplay(i);
  ASSERT_NE(link, nullptr);
  const TKVPageRect page = view().PageRect(0);
  Move({24 + page.Left + (link->Bounds.Left + link->Bounds.Width) / 16, 24 + page.Top + (link->Bounds.Top + link->Bounds.Bottom) / 16});
  EXPECT_EQ(view().HoverLink(), link);
  EXPECT_EQ(view().Hint(), "Coda\r\nPress Alt and click to link");
  EXPECT_NE(forms::Application->HintWindow(), nullptr);
  EXPECT_EQ(Host->CursorShape(), window::crHandPoint);

  view().OnGetRuleButton = [](TObject*, int32_t B) { return "marker " + std::to_string(B); };
  view().OnGetPageButton = [](TObject*, int32_t B) { return "button " + std::to_string(B); };
  view().RuleMarkers = {100, 200, 300, 400, 150};
  Move({400 - horz().Position(), 5});
  EXPECT_EQ(view().Hint(), "marker 5");
  EXPECT_NE(forms::Application->HintWindow(), nullptr);
  Move({18, 150 + view().ScoreToPixels(view().RuleMarkOffset) - vert().Position() + 1});
  EXPECT_EQ(view().Hint(), "marker 6");
  Move(Middle(view().PageButtonRect[PageButton::AddState]));
  EXPECT_EQ(view().Hint(), "button 8");
  EXPECT_NE(forms::Application->HintWindow(), nullptr);
  EXPECT_EQ(forms::Application->HintPause, 500);
  Move(Middle(view().PageButtonRect[PageButton::AddState]));
  EXPECT_EQ(view().Hint(), "") << "the same text again clears it";
  Move({300, 300});
  EXPECT_EQ(view().Hint(), "");
  EXPECT_EQ(forms::Application->HintWindow(), nullptr);
}

}  // namespace
