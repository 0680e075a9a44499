#pragma once
// Pixel inspection for the canvas tests.

#include <climits>
#include <vector>

#include "platform/canvas/Bitmap.h"

namespace canvas::testing {

// Pixels in the area whose colour differs from (or equals) a colour.
inline int Count(const TBitmap& b, TColor color, bool equal, TRect area = {0, 0, INT_MAX, INT_MAX}) {
  int n = 0;
  for (int y = std::max(area.Top, 0); y < std::min(area.Bottom, b.Height()); ++y)
    for (int x = std::max(area.Left, 0); x < std::min(area.Right, b.Width()); ++x)
      if ((b.ColorAt(x, y) == color) == equal) ++n;
  return n;
}

inline int CountInk(const TBitmap& b, TColor background = clWhite, TRect area = {0, 0, INT_MAX, INT_MAX}) {
  return Count(b, background, false, area);
}

// Smallest rectangle holding every pixel that differs from the background.
inline TRect InkBounds(const TBitmap& b, TColor background = clWhite) {
  TRect r{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      if (b.ColorAt(x, y) != background) {
        r.Left = std::min(r.Left, x), r.Top = std::min(r.Top, y);
        r.Right = std::max(r.Right, x + 1), r.Bottom = std::max(r.Bottom, y + 1);
      }
  return r.Left == INT_MAX ? TRect{} : r;
}

inline std::vector<std::uint32_t> Snapshot(const TBitmap& b) {
  return std::vector<std::uint32_t>(b.Pixels(), b.Pixels() + size_t(b.Width()) * size_t(b.Height()));
}

inline int Differences(const std::vector<std::uint32_t>& a, const TBitmap& b) {
  int n = 0;
  for (size_t i = 0; i < a.size(); ++i) n += a[i] != b.Pixels()[i];
  return n;
}

}  // namespace canvas::testing
