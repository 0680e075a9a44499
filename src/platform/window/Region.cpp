#include "platform/window/Region.h"

#include <algorithm>
#include <cmath>

namespace window {

namespace {

// First pixel column whose centre is at or right of x.
int FirstColumnFrom(double x) { return static_cast<int>(std::ceil(x - 0.5)); }

}  // namespace

void TRegion::AddRow(int y, std::vector<TSpan> spans) {
  std::erase_if(spans, [](const TSpan& s) { return s.Right <= s.Left; });
  if (spans.empty()) return;
  if (!FBands.empty() && FBands.back().Bottom == y && FBands.back().Spans == spans) {
    FBands.back().Bottom = y + 1;
    return;
  }
  FBands.push_back({y, y + 1, std::move(spans)});
}

TRegion TRegion::Rect(const TRect& r) {
  TRegion region;
  if (!r.IsEmpty()) region.FBands.push_back({r.Top, r.Bottom, {{r.Left, r.Right}}});
  return region;
}

TRegion TRegion::RoundRect(const TRect& r, int ellipseWidth, int ellipseHeight) {
  TRegion region;
  if (r.IsEmpty()) return region;
  const double rx = std::clamp(ellipseWidth, 0, r.Width()) / 2.0;
  const double ry = std::clamp(ellipseHeight, 0, r.Height()) / 2.0;
  if (rx <= 0 || ry <= 0) return Rect(r);
  for (int y = r.Top; y < r.Bottom; ++y) {
    const double cy = y + 0.5;
    double dy = 0;
    if (cy < r.Top + ry) dy = r.Top + ry - cy;
    else if (cy > r.Bottom - ry) dy = cy - (r.Bottom - ry);
    const double dx = rx * std::sqrt(std::max(0.0, 1.0 - (dy / ry) * (dy / ry)));
    const double left = r.Left + rx - dx, right = r.Right - rx + dx;
    region.AddRow(y, {{FirstColumnFrom(left), FirstColumnFrom(right)}});
  }
  return region;
}

TRegion TRegion::Polygon(const std::vector<TPoint>& points, TPolyFillMode mode) {
  TRegion region;
  if (points.size() < 3) return region;
  int top = points[0].Y, bottom = points[0].Y;
  for (const TPoint& p : points) {
    top = std::min(top, p.Y);
    bottom = std::max(bottom, p.Y);
  }
  struct TCrossing {
    double X;
    int Dir;
  };
  std::vector<TCrossing> crossings;
  for (int y = top; y < bottom; ++y) {
    const double cy = y + 0.5;
    crossings.clear();
    for (size_t i = 0; i < points.size(); ++i) {
      const TPoint a = points[i], b = points[(i + 1) % points.size()];
      if (a.Y == b.Y) continue;
      const bool down = a.Y < b.Y;
      const double y0 = down ? a.Y : b.Y, y1 = down ? b.Y : a.Y;
      if (cy < y0 || cy >= y1) continue;
      const double x = a.X + (cy - a.Y) * (b.X - a.X) / static_cast<double>(b.Y - a.Y);
      crossings.push_back({x, down ? 1 : -1});
    }
    std::sort(crossings.begin(), crossings.end(), [](const TCrossing& l, const TCrossing& r) { return l.X < r.X; });
    std::vector<TSpan> spans;
    int winding = 0;
    for (size_t i = 0; i + 1 < crossings.size(); ++i) {
      winding += crossings[i].Dir;
      const bool inside = mode == TPolyFillMode::Winding ? winding != 0 : (i % 2) == 0;
      if (!inside) continue;
      const int l = FirstColumnFrom(crossings[i].X), r = FirstColumnFrom(crossings[i + 1].X);
      if (!spans.empty() && spans.back().Right >= l) spans.back().Right = std::max(spans.back().Right, r);
      else spans.push_back({l, r});
    }
    region.AddRow(y, std::move(spans));
  }
  return region;
}

bool TRegion::Contains(TPoint p) const {
  auto band = std::upper_bound(FBands.begin(), FBands.end(), p.Y, [](int y, const TBand& b) { return y < b.Bottom; });
  if (band == FBands.end() || p.Y < band->Top) return false;
  return std::any_of(band->Spans.begin(), band->Spans.end(),
                     [&](const TSpan& s) { return p.X >= s.Left && p.X < s.Right; });
}

TRect TRegion::Bounds() const {
  TRect bounds;
  for (const TBand& b : FBands)
    bounds = bounds.Union({b.Spans.front().Left, b.Top, b.Spans.back().Right, b.Bottom});
  return bounds;
}

std::vector<TRect> TRegion::Rects() const {
  std::vector<TRect> rects;
  for (const TBand& b : FBands)
    for (const TSpan& s : b.Spans) rects.push_back({s.Left, b.Top, s.Right, b.Bottom});
  return rects;
}

}  // namespace window
