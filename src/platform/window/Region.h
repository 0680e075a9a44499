#pragma once
// A window region: the set of pixels of a window that belong to it, in window
// coordinates. Pixels outside are neither drawn on the screen nor hit by the
// mouse. A pixel belongs to a region when its centre lies inside the shape,
// so a rectangle (L, T, R, B) covers columns L..R-1 and rows T..B-1.
// Stored as bands of rows that share the same horizontal spans.

#include <vector>

#include "platform/window/Geometry.h"

namespace window {

enum class TPolyFillMode { Alternate, Winding };

class TRegion {
public:
  TRegion() = default;  // empty

  static TRegion Rect(const TRect& r);
  // Rectangle with elliptic corners of the given full width and height.
  static TRegion RoundRect(const TRect& r, int ellipseWidth, int ellipseHeight);
  static TRegion Polygon(const std::vector<TPoint>& points, TPolyFillMode mode);

  bool IsEmpty() const { return FBands.empty(); }
  bool Contains(TPoint p) const;
  TRect Bounds() const;
  // Rectangles that together cover the region exactly, top to bottom.
  std::vector<TRect> Rects() const;
  bool operator==(const TRegion&) const = default;

private:
  struct TSpan {
    int Left, Right;
    bool operator==(const TSpan&) const = default;
  };
  struct TBand {
    int Top, Bottom;
    std::vector<TSpan> Spans;
    bool operator==(const TBand&) const = default;
  };
  // Adds one row; rows must come top to bottom.
  void AddRow(int y, std::vector<TSpan> spans);
  std::vector<TBand> FBands;
};

}  // namespace window
