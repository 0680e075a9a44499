#include "platform/metafile/PixelGrid.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <vector>

#include "platform/metafile/Figures.h"

namespace metafile {

namespace {

using canvas::TPointF;
using TWhole = std::int64_t;

// Device points stay within a billion pixels, where the products of the
// line stepping below cannot overflow; past that nothing shows anyway.
constexpr double kFar = 1e9;

double Rounded(double v) { return std::isfinite(v) ? std::round(std::clamp(v, -kFar, kFar)) : 0; }

TWhole FloorDiv(TWhole a, TWhole b) { return a / b - (a % b != 0 && a < 0 ? 1 : 0); }

// Figures of lines through the centres of their points' pixels: curves
// flattened until their control points lie within a quarter pixel of a
// line, a curve wholly outside the visible pixels taken as its chord.
class TOnDevicePoints {
public:
  explicit TOnDevicePoints(const canvas::TRect& visible) : FVisible(visible) {}

  canvas::TPath Of(const canvas::TPath& figure) {
    TPointF last;
    for (const canvas::TPathCommand& c : figure.Commands()) {
      switch (c.Kind) {
        case canvas::TPathCommand::Move: FOut.MoveTo(Centre(c.P[0])), last = c.P[0]; break;
        case canvas::TPathCommand::Line: FOut.LineTo(Centre(c.P[0])), last = c.P[0]; break;
        case canvas::TPathCommand::Bezier: Curve(last, c.P[0], c.P[1], c.P[2], 0), last = c.P[2]; break;
        case canvas::TPathCommand::Close: FOut.Close(); break;
        case canvas::TPathCommand::Arc: break;  // figures here are built without arcs
      }
    }
    FOut.FillMode = figure.FillMode;
    return std::move(FOut);
  }

private:
  static TPointF Centre(TPointF p) { return {Rounded(p.X - 0.5) + 0.5, Rounded(p.Y - 0.5) + 0.5}; }

  void Curve(TPointF p0, TPointF c1, TPointF c2, TPointF p3, int depth) {
    const double bend = std::max(std::hypot(p0.X - 2 * c1.X + c2.X, p0.Y - 2 * c1.Y + c2.Y),
                                 std::hypot(c1.X - 2 * c2.X + p3.X, c1.Y - 2 * c2.Y + p3.Y));
    const double left = std::min({p0.X, c1.X, c2.X, p3.X}), right = std::max({p0.X, c1.X, c2.X, p3.X});
    const double top = std::min({p0.Y, c1.Y, c2.Y, p3.Y}), bottom = std::max({p0.Y, c1.Y, c2.Y, p3.Y});
    const bool outside = right < FVisible.Left - 1 || left > FVisible.Right + 1 || bottom < FVisible.Top - 1 ||
                         top > FVisible.Bottom + 1;
    if (bend <= 0.25 || depth >= 12 || outside || !std::isfinite(bend)) return void(FOut.LineTo(Centre(p3)));
    auto mid = [](TPointF a, TPointF b) { return TPointF{(a.X + b.X) / 2, (a.Y + b.Y) / 2}; };
    const TPointF a = mid(p0, c1), b = mid(c1, c2), c = mid(c2, p3), ab = mid(a, b), bc = mid(b, c), m = mid(ab, bc);
    Curve(p0, a, ab, m, depth + 1);
    Curve(m, bc, c, p3, depth + 1);
  }

  canvas::TRect FVisible;
  canvas::TPath FOut;
};

// The pixels of a one-pixel pen along figures of lines, gathered into runs.
class TOnePixelLines {
public:
  TOnePixelLines(const canvas::TRect& visible, std::span<const double> dashes) : FVisible(visible) {
    for (double d : dashes) FDashes.push_back(std::max<TWhole>(1, TWhole(d))), FPeriod += FDashes.back();
  }

  void Add(const canvas::TPath& figure) {
    TPointF last, start;
    for (const canvas::TPathCommand& c : figure.Commands()) {
      switch (c.Kind) {
        case canvas::TPathCommand::Move: last = start = c.P[0]; break;
        case canvas::TPathCommand::Line: Segment(last, c.P[0]), last = c.P[0]; break;
        case canvas::TPathCommand::Close: Segment(last, start), last = start; break;
        case canvas::TPathCommand::Bezier: case canvas::TPathCommand::Arc: break;  // flattened before
      }
    }
  }

  canvas::TPath Take() {
    Flush();
    FPixels.FillMode = canvas::fmWinding;
    return std::move(FPixels);
  }

private:
  // From the device point of A to that of B, B left out: the minor axis
  // follows the line, rounded, at each step along the major one.
  void Segment(TPointF a, TPointF b) {
    const TWhole ax = TWhole(Rounded(a.X - 0.5)), ay = TWhole(Rounded(a.Y - 0.5));
    const TWhole dx = TWhole(Rounded(b.X - 0.5)) - ax, dy = TWhole(Rounded(b.Y - 0.5)) - ay;
    const bool xMajor = std::llabs(dx) >= std::llabs(dy);
    const TWhole steps = std::max(std::llabs(dx), std::llabs(dy));
    if (steps == 0) return;
    const TWhole major = xMajor ? ax : ay, minor = xMajor ? ay : ax, minorDelta = xMajor ? dy : dx;
    const TWhole direction = (xMajor ? dx : dy) > 0 ? 1 : -1;
    const TWhole low = xMajor ? FVisible.Left : FVisible.Top, high = xMajor ? FVisible.Right : FVisible.Bottom;
    // Only the steps whose major coordinate is visible.
    TWhole first = 0, last = steps;
    if (direction > 0) first = std::max(first, low - major), last = std::min(last, high - major);
    else first = std::max(first, major - high + 1), last = std::min(last, major - low + 1);
    for (TWhole i = first; i < last; ++i) {
      if (!DashOn(FStep + i)) continue;
      const TWhole along = major + direction * i, across = minor + FloorDiv(2 * minorDelta * i + steps, 2 * steps);
      Light(xMajor ? along : across, xMajor ? across : along);
    }
    FStep += steps;
  }

  bool DashOn(TWhole step) const {
    if (FPeriod == 0) return true;
    TWhole at = step % FPeriod;
    for (std::size_t i = 0; i < FDashes.size(); ++i) {
      if (at < FDashes[i]) return i % 2 == 0;
      at -= FDashes[i];
    }
    return true;
  }

  void Light(TWhole x, TWhole y) {
    if (x < FVisible.Left || x >= FVisible.Right || y < FVisible.Top || y >= FVisible.Bottom) return;
    if (FRun) {
      TRun& r = *FRun;
      if (r.Bottom - r.Top == 1 && y == r.Top && (x == r.Right || x == r.Left - 1)) {
        r.Left = std::min(r.Left, x), r.Right = std::max(r.Right, x + 1);
        return;
      }
      if (r.Right - r.Left == 1 && x == r.Left && (y == r.Bottom || y == r.Top - 1)) {
        r.Top = std::min(r.Top, y), r.Bottom = std::max(r.Bottom, y + 1);
        return;
      }
      Flush();
    }
    FRun = TRun{x, y, x + 1, y + 1};
  }

  void Flush() {
    if (!FRun) return;
    AddRectangle(FPixels, {double(FRun->Left), double(FRun->Top), double(FRun->Right - FRun->Left),
                           double(FRun->Bottom - FRun->Top)});
    FRun.reset();
  }

  struct TRun {
    TWhole Left, Top, Right, Bottom;
  };
  canvas::TRect FVisible;
  std::vector<TWhole> FDashes;
  TWhole FPeriod = 0;
  TWhole FStep = 0;  // pixels stepped since the first point, for the dashes
  std::optional<TRun> FRun;
  canvas::TPath FPixels;
};

}  // namespace

double PenOffset(int penWidth) { return penWidth % 2 ? 0.5 : 0; }

canvas::TPath OnPixelGrid(const canvas::TPath& figure, double offset) {
  return Mapped(figure, [offset](TPointF p) { return TPointF{Rounded(p.X) + offset, Rounded(p.Y) + offset}; });
}

canvas::TPath FitToPixels(const canvas::TPath& figure, const canvas::TRectF& device, const TBoxRule& rule) {
  // The device points of the box's edges: near and far.
  const double left = Rounded(device.X), top = Rounded(device.Y);
  const double farX = Rounded(device.X + device.W) - (rule.RightBottomInclusive ? 0 : 1);
  const double farY = Rounded(device.Y + device.H) - (rule.RightBottomInclusive ? 0 : 1);
  const double right = std::max(left, farX), bottom = std::max(top, farY);
  // Where the outline (or, without one, the edge of the fill) runs.
  double x1, y1, x2, y2;
  if (rule.InsideFrame && rule.PenWidth > 1) {
    const double half = rule.PenWidth / 2.0;
    x1 = left + half, y1 = top + half, x2 = right + 1 - half, y2 = bottom + 1 - half;
    if (x2 < x1) x1 = x2 = (x1 + x2) / 2;
    if (y2 < y1) y1 = y2 = (y1 + y2) / 2;
  } else {
    const double o = PenOffset(rule.PenWidth);
    x1 = left + o, y1 = top + o, x2 = right + o, y2 = bottom + o;
  }
  const double sx = device.W > 0 ? (x2 - x1) / device.W : 0, sy = device.H > 0 ? (y2 - y1) / device.H : 0;
  return Transformed(figure, TXform{sx, 0, 0, sy, x1 - device.X * sx, y1 - device.Y * sy});
}

canvas::TPath OnDevicePoints(const canvas::TPath& figure, const canvas::TRect& visible) {
  return TOnDevicePoints(visible).Of(figure);
}

canvas::TPath OnePixelOutline(const canvas::TPath& lines, const canvas::TRect& visible, std::span<const double> dashes) {
  TOnePixelLines pixels(visible, dashes);
  pixels.Add(lines);
  return pixels.Take();
}

}  // namespace metafile
