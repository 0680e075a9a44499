// Gradient rectangles and triangles worked out pixel by pixel, with the
// platform's arithmetic: 16-bit channels mixed in whole numbers, the top
// byte kept; the colour of a pixel is the colour at its upper-left corner.

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "platform/canvas/CairoState.h"

namespace canvas {

namespace {

// Coordinates are held to this much, so that the products below stay in 64 bits.
constexpr int kFar = 1 << 20;

TGradientVertex Placed(const TGradientVertex& v, TPoint origin) {
  TGradientVertex p = v;
  p.X = std::clamp(v.X, -kFar, kFar) + origin.X, p.Y = std::clamp(v.Y, -kFar, kFar) + origin.Y;
  return p;
}

std::uint32_t Opaque(std::int64_t r, std::int64_t g, std::int64_t b) {
  auto byte = [](std::int64_t v) { return std::uint32_t(std::clamp<std::int64_t>(v >> 8, 0, 255)); };
  return 0xFF000000u | byte(r) << 16 | byte(g) << 8 | byte(b);
}

// Where the row at height Y crosses the triangle's edges: pixels Left to
// Right - 1 have their upper-left corner inside (an edge's lower end and
// the right edge are left out).
bool RowSpan(const TGradientVertex* v, int y, int& left, int& right) {
  double lo = 1e300, hi = -1e300;
  for (int i = 0; i < 3; ++i) {
    const TGradientVertex &p = v[i], &q = v[(i + 1) % 3];
    if (p.Y == q.Y || y < std::min(p.Y, q.Y) || y >= std::max(p.Y, q.Y)) continue;
    const double x = p.X + double(y - p.Y) * (q.X - p.X) / (q.Y - p.Y);
    lo = std::min(lo, x), hi = std::max(hi, x);
  }
  if (lo > hi) return false;
  left = int(std::ceil(lo)), right = int(std::ceil(hi));
  return left < right;
}

}  // namespace

void TCairoCanvas::GradientRect(const TGradientVertex& a, const TGradientVertex& b, bool vertical) {
  const TGradientVertex pa = Placed(a, FImpl->Origin), pb = Placed(b, FImpl->Origin);
  // The colours follow their corners: the one further left (or up) starts.
  const bool aFirst = vertical ? pa.Y <= pb.Y : pa.X <= pb.X;
  const TGradientVertex &from = aFirst ? pa : pb, &to = aFirst ? pb : pa;
  const TRect box = TRect{pa.X, pa.Y, pb.X, pb.Y}.Normalized();
  TPatch patch;
  if (box.Width() == 0 || box.Height() == 0 || !ReadPatch(*FImpl, box, patch)) return;
  const std::int64_t length = vertical ? box.Height() : box.Width();
  const TRect& area = patch.Area;
  // The colour changes along one axis only: one colour for each row or column of the patch.
  const int first = vertical ? area.Top : area.Left, start = vertical ? box.Top : box.Left;
  std::vector<std::uint32_t> colours(std::size_t(vertical ? area.Height() : area.Width()));
  for (std::size_t i = 0; i < colours.size(); ++i) {
    const std::int64_t at = first + std::int64_t(i) - start;
    auto mix = [&](std::int64_t c0, std::int64_t c1) { return (c0 * (length - at) + c1 * at) / length; };
    colours[i] = Opaque(mix(from.Red, to.Red), mix(from.Green, to.Green), mix(from.Blue, to.Blue));
  }
  for (int y = area.Top; y < area.Bottom; ++y) {
    std::uint32_t* row = patch.Pixels.Pixels() + std::size_t(y - area.Top) * std::size_t(area.Width());
    if (vertical)
      std::fill(row, row + area.Width(), colours[std::size_t(y - area.Top)]);
    else
      std::copy(colours.begin(), colours.end(), row);
  }
  WritePatch(*FImpl, patch);
}

void TCairoCanvas::GradientTriangle(const TGradientVertex& a, const TGradientVertex& b, const TGradientVertex& c) {
  const TGradientVertex v[3] = {Placed(a, FImpl->Origin), Placed(b, FImpl->Origin), Placed(c, FImpl->Origin)};
  // Twice the signed area; each corner's weight is the area of the triangle
  // the pixel makes with the other two corners.
  auto cross = [](const TGradientVertex& p, const TGradientVertex& q, std::int64_t x, std::int64_t y) {
    return (std::int64_t(q.X) - p.X) * (y - p.Y) - (std::int64_t(q.Y) - p.Y) * (x - p.X);
  };
  const std::int64_t area2 = cross(v[0], v[1], v[2].X, v[2].Y);
  if (area2 == 0) return;
  const TRect box{std::min({v[0].X, v[1].X, v[2].X}), std::min({v[0].Y, v[1].Y, v[2].Y}),
                  std::max({v[0].X, v[1].X, v[2].X}), std::max({v[0].Y, v[1].Y, v[2].Y})};
  TPatch patch;
  if (!ReadPatch(*FImpl, box, patch)) return;
  const TRect& area = patch.Area;
  for (int y = area.Top; y < area.Bottom; ++y) {
    int left = 0, right = 0;
    if (!RowSpan(v, y, left, right)) continue;
    std::uint32_t* row = patch.Pixels.Pixels() + std::size_t(y - area.Top) * std::size_t(area.Width());
    for (int x = std::max(left, area.Left); x < std::min(right, area.Right); ++x) {
      const std::int64_t w0 = cross(v[1], v[2], x, y), w1 = cross(v[2], v[0], x, y), w2 = area2 - w0 - w1;
      auto mix = [&](std::int64_t c0, std::int64_t c1, std::int64_t c2) { return (c0 * w0 + c1 * w1 + c2 * w2) / area2; };
      row[x - area.Left] = Opaque(mix(v[0].Red, v[1].Red, v[2].Red), mix(v[0].Green, v[1].Green, v[2].Green),
                                  mix(v[0].Blue, v[1].Blue, v[2].Blue));
    }
  }
  WritePatch(*FImpl, patch);
}

}  // namespace canvas
