// Every input and move of a shown view on scores that give it nothing to
// work with: no score, no pieces, a cursor out of range, a measure deleted
// under the cursor, no line space, hundreds of pages and extreme sizes.
// Nothing may raise or read out of range (the sanitizers watch).

#include "ViewFixture.h"
#include "platform/text/TextMeasurer.h"

namespace {

class ViewBadInput : public ViewTest {
protected:
  // Every key, press, wheel and move the view answers, then the moves and
  // queries called directly.
  void Exercise() {
    for (window::TShiftState shift : {window::TShiftState(0), window::ssShift, window::ssCtrl, window::ssAlt})
      for (int key = window::VK_PRIOR; key <= window::VK_DOWN; ++key) Key(key, shift);
    const std::vector<canvas::TPoint> points = {{5, 5}, {10, 300}, {400, 300}, {8, 590}, {30, 590}, {100, 590}, {790, 5}};
    for (canvas::TPoint p : points) {
      ClickAt(p);
      ClickAt(p, window::mbRight);
      for (window::TShiftState shift : {window::TShiftState(0), window::ssShift, window::ssCtrl, window::ssAlt}) WheelAt(p, -120, shift);
      Move({p.X + 1, p.Y});
    }
    TKVWindow& v = view();
    v.CursorLeft(false), v.CursorRight(false, true), v.CursorUp(), v.CursorDown();
    v.CursorToSystemStart(), v.CursorToSystemEnd(), v.CursorToPieceStart(), v.CursorToPieceEnd();
    v.ScrollToCursor(5000, false), v.SetCursorAtPoint({400, 300}, true), v.HitTest({400, 300});
    int far = -7;
    v.ScrollBarScroll(&vert(), forms::scTrack, far);
    EXPECT_EQ(far, 0);
    v.GetItemRect(nullptr, {1, 2, 3, 4}, true);
    EXPECT_EQ(v.FindLinkAt({400, 300}), nullptr);
    v.SetZoom(975), v.SetZoom(25), v.SetZoom(100);
    v.ShowCursor(false), v.ShowCursor(true);
    Pump();
  }
};

TEST_F(ViewBadInput, NoScoreAndNoPieces) {
  Exercise();
  EXPECT_EQ(view().ActivePage(), 0);
  score = std::make_unique<TKVScore>();
  view().SetScore(score.get());
  Exercise();
  EXPECT_EQ(view().PageCount(), 0);
  EXPECT_EQ(vert().Max(), 0);
}

TEST_F(ViewBadInput, ACursorOutOfRangeAndAMeasureDeletedUnderIt) {
  TKVPiece* piece = MakeScore(4);
  view().GotoPosition(0, 3, false, 300);
  score->BeginUpdate();
  TKVPart* part = piece->GetPart(0);
  while (part->GetMeasureCount() > 2) delete part->GetMeasure(part->GetMeasureCount() - 1);
  score->EndUpdate();
  Exercise();
  view().GotoPosition(7, 99, false, 9999);
  Exercise();
  EXPECT_LT(view().CursorPiece(), 1);
}

// No line space and a staff of size 0 leave pitch line and string as they
// were; a page of 100 000 pixels at zoom 975 saturates its sizes.
TEST_F(ViewBadInput, NoLineSpaceAndExtremeSizes) {
  TKVPiece* piece = MakeScore(2);
  piece->GetPart(0)->GetStaff(0)->SetSizePercent(0);
  score->Page().PushMetrix(rmPixels);
  score->Page().SetLineSpace(0);
  score->Page().PopMetrix();
  score->Reformat(0);
  view().Hit.Line = 55;
  Exercise();
  EXPECT_EQ(view().Hit.Line, 55);
  PageOfPixels(100000, 100000);
  view().SetZoom(975);
  EXPECT_GT(view().PageRect(0).Bottom, 900000);
  Exercise();
}

// Hundreds of pages: the table grows and the page text is as wide as the
// widest number.
TEST_F(ViewBadInput, HundredsOfPages) {
  MakeScore(1);
  score->SetUserPages(320);
  Pump();
  ASSERT_GE(view().PageCount(), 320);
  const std::string count = std::to_string(view().PageCount());
  EXPECT_EQ(view().PageButtonRect[PageButton::Text].Width(),
            text::CurrentMeasurer().TextWidth({"Arial", 10, 0}, count + "-" + count));
  view().SetActivePage(319);
  Exercise();
}

}  // namespace
