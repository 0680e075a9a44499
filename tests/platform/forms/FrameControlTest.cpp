// The classic frame controls on a bitmap: the raised edge, the flat frame,
// pushed with its arrow one pixel further right and down, the engraved
// arrow of an inactive button, and the arrow's direction.

#include <gtest/gtest.h>

#include <climits>

#include "platform/canvas/Bitmap.h"
#include "platform/forms/ControlPaint.h"

namespace forms {
namespace {

using canvas::TColor;
using canvas::TRect;

TColor Rgb(TColor c) { return canvas::ColorToRGB(c); }

// Where a colour lies inside the edges of a 17 x 17 button.
TRect Bounds(const canvas::TBitmap& b, TColor Color) {
  TRect r{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
  for (int y = 2; y < 15; ++y)
    for (int x = 2; x < 15; ++x)
      if (b.ColorAt(x, y) == Color)
        r = {std::min(r.Left, x), std::min(r.Top, y), std::max(r.Right, x + 1), std::max(r.Bottom, y + 1)};
  return r.Left == INT_MAX ? TRect{} : r;
}

canvas::TBitmap Drawn(TFrameControl Kind, unsigned State) {
  canvas::TBitmap b(17, 17, canvas::clLime);
  b.Canvas().Pen = {canvas::clRed, 3};
  DrawFrameControl(b.Canvas(), {0, 0, 17, 17}, Kind, State);
  EXPECT_EQ(b.Canvas().Pen, (canvas::TPen{canvas::clRed, 3})) << "the pen is kept";
  return b;
}

TEST(FrameControl, EdgesAndArrows) {
  const canvas::TBitmap raised = Drawn(fcScrollRight, 0);
  EXPECT_EQ(raised.ColorAt(0, 0), Rgb(canvas::clBtnHighlight));
  EXPECT_EQ(raised.ColorAt(16, 16), Rgb(canvas::cl3DDkShadow));
  EXPECT_EQ(raised.ColorAt(3, 3), Rgb(canvas::clBtnFace));
  const TRect arrow = Bounds(raised, Rgb(canvas::clBtnText));
  EXPECT_GT(arrow.Height(), arrow.Width()) << "pointing right";
  EXPECT_EQ(raised.ColorAt(arrow.Left, (arrow.Top + arrow.Bottom) / 2), Rgb(canvas::clBtnText)) << "the base on the left";

  const canvas::TBitmap pushed = Drawn(fcScrollRight, fcsPushed | fcsFlat);
  EXPECT_EQ(pushed.ColorAt(0, 0), Rgb(canvas::clBtnShadow));
  EXPECT_EQ(pushed.ColorAt(16, 16), Rgb(canvas::clBtnShadow));
  EXPECT_EQ(pushed.ColorAt(1, 1), Rgb(canvas::clBtnFace));
  const TRect moved = Bounds(pushed, Rgb(canvas::clBtnText));
  EXPECT_EQ(moved, (TRect{arrow.Left + 1, arrow.Top + 1, arrow.Right + 1, arrow.Bottom + 1}));
  EXPECT_EQ(Drawn(fcScrollRight, fcsPushed).ColorAt(0, 0), Rgb(canvas::clBtnShadow)) << "sunken";
  const canvas::TBitmap flat = Drawn(fcScrollRight, fcsFlat);
  EXPECT_EQ(std::pair(flat.ColorAt(0, 0), flat.ColorAt(16, 16)), std::pair(Rgb(canvas::clBtnShadow), Rgb(canvas::clBtnShadow)));
  EXPECT_EQ(Bounds(flat, Rgb(canvas::clBtnText)), arrow) << "flat, not pushed: the arrow stays";

  // Inactive: the arrow in the shadow colour over its highlight copy one
  // pixel lower right.
  const canvas::TBitmap inactive = Drawn(fcScrollDown, fcsInactive);
  EXPECT_EQ(Bounds(inactive, Rgb(canvas::clBtnText)), TRect{});
  const TRect shade = Bounds(inactive, Rgb(canvas::clBtnShadow));
  const TRect light = Bounds(inactive, Rgb(canvas::clBtnHighlight));
  EXPECT_GT(shade.Width(), shade.Height()) << "pointing down";
  EXPECT_EQ(light.Right, shade.Right + 1);
  EXPECT_EQ(light.Bottom, shade.Bottom + 1);

  EXPECT_EQ(Bounds(Drawn(fcButtonPush, 0), Rgb(canvas::clBtnText)), TRect{}) << "a push button has no glyph";
  const TRect up = Bounds(Drawn(fcScrollUp, 0), Rgb(canvas::clBtnText));
  const canvas::TBitmap upImage = Drawn(fcScrollUp, 0);
  EXPECT_EQ(upImage.ColorAt((up.Left + up.Right) / 2, up.Top), Rgb(canvas::clBtnText)) << "the tip on top";
  EXPECT_NE(upImage.ColorAt(up.Left, up.Top), Rgb(canvas::clBtnText));
}

}  // namespace
}  // namespace forms
