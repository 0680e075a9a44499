// The picture track bar with the program's own pictures, driven by the
// mouse: the rules at the ends of the range, pressing and dragging in both
// styles, the hit test through transparent pixels and the thumb's frames.
#include "MenuTestSupport.h"

namespace menu_test {
namespace {

class ImageTrackTest : public forms::test::FormsTest {
protected:
  ImageTrackTest() : Form(MakeForm()), Track(forms::test::AddControl<TECImageTrack>(Form, 20, 20, 200, 20)) {
    SetTrackPictures(*Track, false);
    Track->OnChange = [this](TObject*) { ++Changes; };
    Track->OnPaint = [this](TObject*, canvas::TBitmap& b) { Painted = b; };
    Pump();
  }
  int CentreOf(int position) const { return 6 + 188 * position / 100; }
  canvas::TColor ThumbBody() {
    Painted = {};
    Track->Repaint();
    return Painted.ColorAt(Track->ButtonRect().Left + 6, 10);
  }

  forms::TForm* Form;
  TECImageTrack* Track;
  int Changes = 0;
  canvas::TBitmap Painted;
};

TEST_F(ImageTrackTest, PositionsAreKeptInsideTheRangeAndChangesFireOnce) {
  Track->SetPosition(150);
  Track->SetPosition(170);
  EXPECT_EQ(Track->Position(), 100);
  EXPECT_EQ(Changes, 1);
  Track->SetMax(-5);
  Track->SetMin(101);
  EXPECT_EQ(Track->Min(), 0);
  EXPECT_EQ(Track->Max(), 100);
  Track->SetMax(50);
  EXPECT_EQ(Track->Position(), 50);
  Track->SetMin(50);
  EXPECT_EQ(Track->ButtonRect().Left, 6 - 5 - 1);  // Max = Min: at the track's start
}

TEST_F(ImageTrackTest, APressJumpsToItsPlaceOverTheWholeRangeAndATrackWithoutLengthIgnoresIt) {
  Track->SetMin(-127);
  Track->SetMax(65535);
  Track->SetPosition(30000);
  Click(Track, {6, 10});
  EXPECT_EQ(Track->Position(), -127);
  Click(Track, {6 + 94, 10});
  EXPECT_EQ(Track->Position(), (65535 + 127 + 1) / 2 - 127);
  Track->SetLeftOffset(100);
  Track->SetRightOffset(100);
  Click(Track, {150, 10});
  EXPECT_EQ(Track->Position(), (65535 + 127 + 1) / 2 - 127);
}

TEST_F(ImageTrackTest, DraggingTheThumbFollowsThePointerAndAClickOnTheBarJumps) {
  Track->SetPosition(20);
  const canvas::TPoint thumb = Track->ClientToScreen({CentreOf(20), 10});
  Host->MoveMouse({thumb.X, thumb.Y});
  Pump();
  EXPECT_EQ(Track->ButtonState(), 1);
  Host->PressButton();
  Pump();
  EXPECT_TRUE(Track->Dragging());
  // The press moved the thumb under the pointer; the drag keeps the grab.
  const int grab = Track->ButtonRect().Left - CentreOf(20);
  Host->MoveMouse({thumb.X + 47, thumb.Y + 30});  // off the bar: only the axis counts
  Pump();
  EXPECT_EQ(Track->Position(), 101 * (grab + CentreOf(20) + 47) / 188);
  Host->ReleaseButton();
  Pump();
  EXPECT_FALSE(Track->Dragging());
  EXPECT_EQ(Track->ButtonState(), 0);
  Click(Track, {CentreOf(75), 10});
  EXPECT_EQ(Track->Position(), (CentreOf(75) - 6) * 101 / 188);
}

TEST_F(ImageTrackTest, TheThumbIsHitOnlyOnItsDrawnPixels) {
  Track->SetPosition(50);
  EXPECT_TRUE(Track->IsOverButton(CentreOf(50), 10));
  EXPECT_FALSE(Track->IsOverButton(CentreOf(50) - 5, 1));  // the frame's transparent corner
  EXPECT_FALSE(Track->IsOverButton(Track->ButtonRect().Right, 10));
  // A press on a transparent pixel jumps but starts no drag there.
  const canvas::TPoint corner = Track->ClientToScreen({CentreOf(50) - 5, 1});
  Host->MoveMouse({corner.X, corner.Y});
  Host->PressButton();
  Pump();
  EXPECT_FALSE(Track->Dragging());
}

TEST_F(ImageTrackTest, TheThumbShowsItsHotAndDisabledFramesWhenThePictureHasThem) {
  Track->SetPosition(50);
  EXPECT_EQ(ThumbBody(), canvas::RGB(92, 132, 196));
  MoveTo(Track, {CentreOf(50), 10});
  EXPECT_EQ(ThumbBody(), canvas::RGB(130, 175, 235));
  Track->SetEnabled(false);
  EXPECT_EQ(ThumbBody(), canvas::RGB(185, 185, 190));
  canvas::TBitmap single(11, 18, canvas::RGB(255, 0, 255));
  single.Canvas().Brush = {canvas::RGB(10, 200, 10), canvas::bsSolid};
  single.Canvas().FillRect({2, 2, 9, 16});
  Track->SetButtonPicture(single);
  EXPECT_EQ(ThumbBody(), canvas::RGB(10, 200, 10));
}

TEST_F(ImageTrackTest, AScrollStyleBarTakesPixelsAndStepsPastTheThumbByItsHalf) {
  Track->SetStyle(itsScroll);
  Track->SetMax(200);
  Track->SetPosition(50);
  Click(Track, {120, 10});
  EXPECT_EQ(Track->Position(), 120 - 5 - 6);
  Click(Track, {20, 10});
  EXPECT_EQ(Track->Position(), 20 + 5 - 6);
  const canvas::TPoint thumb = Track->ClientToScreen({Track->Position(), 10});
  Host->MoveMouse({thumb.X, thumb.Y});
  Host->PressButton();
  Host->MoveMouse({thumb.X + 30, thumb.Y});
  Host->ReleaseButton();
  Pump();
  EXPECT_EQ(Track->Position(), 19 + 30);
}

}  // namespace
}  // namespace menu_test
