#pragma once
// Where ink lands on pages drawn with the real canvas: what one page holds
// that another does not, and the staff lines of a page.

#include <algorithm>
#include <climits>
#include <vector>

#include "platform/canvas/Bitmap.h"

// Ink of an element: where the page with it differs from the page without.
struct TInk {
  int Left = INT32_MAX, Top = INT32_MAX, Right = INT32_MIN, Bottom = INT32_MIN;  // inclusive pixels
  double CentreY = 0;  // darkness-weighted, continuous (a row y spans y .. y + 1)
  bool Empty() const { return Left > Right; }
};

inline int Darkness(canvas::TColor c) {
  return 255 - std::min({int(canvas::GetRValue(c)), int(canvas::GetGValue(c)), int(canvas::GetBValue(c))});
}

// The ink With holds beyond Base, within Area (the whole page by default).
inline TInk InkBetween(const canvas::TBitmap& Base, const canvas::TBitmap& With,
                       canvas::TRect Area = {0, 0, INT32_MAX, INT32_MAX}) {
  TInk ink;
  double weight = 0, moment = 0;
  for (int y = std::max(Area.Top, 0); y < std::min(With.Height(), Area.Bottom); ++y)
    for (int x = std::max(Area.Left, 0); x < std::min(With.Width(), Area.Right); ++x) {
      if (With.Pixel(x, y) == Base.Pixel(x, y)) continue;
      int d = Darkness(With.ColorAt(x, y)) - Darkness(Base.ColorAt(x, y));
      if (d <= 0) continue;
      ink.Left = std::min(ink.Left, x), ink.Right = std::max(ink.Right, x);
      ink.Top = std::min(ink.Top, y), ink.Bottom = std::max(ink.Bottom, y);
      weight += d, moment += d * (y + 0.5);
    }
  ink.CentreY = weight > 0 ? moment / weight : 0;
  return ink;
}

// The staff's lines as drawn: darkness-weighted centres of the runs of ink
// rows in the column at X.
inline std::vector<double> LineCentres(const canvas::TBitmap& Page, int X) {
  std::vector<double> lines;
  double weight = 0, moment = 0;
  for (int y = 0; y < Page.Height(); ++y) {
    int d = Darkness(Page.ColorAt(X, y));
    if (d > 0) {
      weight += d, moment += d * (y + 0.5);
    } else if (weight > 0) {
      lines.push_back(moment / weight), weight = moment = 0;
    }
  }
  return lines;
}
