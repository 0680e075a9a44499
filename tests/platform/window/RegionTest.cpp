// Window regions: which pixels belong to a rectangle, a rounded rectangle and
// a polygon under both fill modes.
#include <gtest/gtest.h>

#include "platform/window/Region.h"

namespace window {
namespace {

int Area(const TRegion& r) {
  int area = 0;
  for (const TRect& rect : r.Rects()) area += rect.Width() * rect.Height();
  return area;
}

TEST(RegionTest, ARectangleCoversItsLeftAndTopButNotItsRightAndBottom) {
  const TRegion r = TRegion::Rect({2, 3, 12, 8});
  EXPECT_TRUE(r.Contains({2, 3}));
  EXPECT_TRUE(r.Contains({11, 7}));
  EXPECT_FALSE(r.Contains({12, 7}));
  EXPECT_FALSE(r.Contains({11, 8}));
  EXPECT_EQ(r.Bounds(), (TRect{2, 3, 12, 8}));
  EXPECT_EQ(Area(r), 50);
  EXPECT_TRUE(TRegion::Rect({5, 5, 5, 9}).IsEmpty());
}

TEST(RegionTest, ARoundRectangleCutsItsFourCornersAlike) {
  const TRegion r = TRegion::RoundRect({0, 0, 100, 60}, 20, 20);
  for (TPoint corner : {TPoint{0, 0}, TPoint{99, 0}, TPoint{0, 59}, TPoint{99, 59}, TPoint{2, 2}, TPoint{97, 57}})
    EXPECT_FALSE(r.Contains(corner)) << corner.X << "," << corner.Y;
  for (TPoint inside : {TPoint{10, 0}, TPoint{89, 0}, TPoint{0, 10}, TPoint{99, 49}, TPoint{50, 30}, TPoint{4, 4}})
    EXPECT_TRUE(r.Contains(inside)) << inside.X << "," << inside.Y;
  EXPECT_EQ(r.Bounds(), (TRect{0, 0, 100, 60}));
  // Symmetric: the cut of one corner mirrors the others.
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) {
      EXPECT_EQ(r.Contains({x, y}), r.Contains({99 - x, y}));
      EXPECT_EQ(r.Contains({x, y}), r.Contains({x, 59 - y}));
    }
  // Ellipses larger than the rectangle are clamped to it: an ellipse.
  const TRegion ellipse = TRegion::RoundRect({0, 0, 40, 40}, 400, 400);
  EXPECT_TRUE(ellipse.Contains({20, 0}));
  EXPECT_FALSE(ellipse.Contains({3, 3}));
  EXPECT_EQ(TRegion::RoundRect({0, 0, 40, 40}, 0, 10), TRegion::Rect({0, 0, 40, 40}));
}

TEST(RegionTest, TheHelperWindowPolygonNotchesTwoCorners) {
  // The nine-point outline of a small stay-on-top window, W x H.
  const int W = 30, H = 20;
  const TRegion r = TRegion::Polygon(
      {{0, 0}, {W - 1, 0}, {W - 1, 4}, {W, 4}, {W, H}, {4, H}, {4, H - 1}, {0, H - 1}, {0, 0}}, TPolyFillMode::Winding);
  EXPECT_EQ(r.Bounds(), (TRect{0, 0, W, H}));
  for (int y = 0; y < 4; ++y) EXPECT_FALSE(r.Contains({W - 1, y}));
  EXPECT_TRUE(r.Contains({W - 1, 4}));
  EXPECT_TRUE(r.Contains({W - 2, 0}));
  for (int x = 0; x < 4; ++x) EXPECT_FALSE(r.Contains({x, H - 1}));
  EXPECT_TRUE(r.Contains({4, H - 1}));
  EXPECT_TRUE(r.Contains({0, H - 2}));
  EXPECT_EQ(Area(r), W * H - 4 - 4);
}

TEST(RegionTest, TheCentreOfAStarFillsUnderWindingAndStaysEmptyUnderAlternate) {
  // A five-pointed star drawn in one stroke: its centre is wound twice.
  const std::vector<TPoint> star = {{50, 0}, {79, 90}, {2, 34}, {98, 34}, {21, 90}};
  const TRegion winding = TRegion::Polygon(star, TPolyFillMode::Winding);
  const TRegion alternate = TRegion::Polygon(star, TPolyFillMode::Alternate);
  EXPECT_TRUE(winding.Contains({50, 50}));
  EXPECT_FALSE(alternate.Contains({50, 50}));
  for (TPoint tip : {TPoint{50, 5}, TPoint{10, 36}, TPoint{90, 36}, TPoint{25, 86}, TPoint{75, 86}}) {
    EXPECT_TRUE(winding.Contains(tip)) << tip.X << "," << tip.Y;
    EXPECT_TRUE(alternate.Contains(tip)) << tip.X << "," << tip.Y;
  }
  EXPECT_FALSE(winding.Contains({50, 80}));  // between the two lower points
  EXPECT_GT(Area(winding), Area(alternate) + 500);  // the centre pentagon
  EXPECT_TRUE(TRegion::Polygon({{0, 0}, {10, 10}}, TPolyFillMode::Winding).IsEmpty());
}

TEST(RegionTest, RectanglesOfARegionCoverExactlyItsPixels) {
  const TRegion r = TRegion::RoundRect({5, 5, 45, 35}, 16, 12);
  const std::vector<TRect> rects = r.Rects();
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 50; ++x) {
      int covering = 0;
      for (const TRect& rect : rects) covering += rect.Contains({x, y});
      EXPECT_EQ(covering, r.Contains({x, y}) ? 1 : 0) << x << "," << y;
    }
  EXPECT_LT(rects.size(), 30u);  // rows with the same spans share one band
}

}  // namespace
}  // namespace window
