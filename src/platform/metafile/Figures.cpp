#include "platform/metafile/Figures.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace metafile {

namespace {

using canvas::TPointF;
constexpr double kPi = std::numbers::pi;

bool HasPoint(const canvas::TPath& path) { return !path.Commands().empty(); }

// The elliptic arc from parameter angle t0 over dt as Bézier curves of at
// most a quarter turn each; the path must already stand at its start.
void AppendEllipticArc(canvas::TPath& path, double cx, double cy, double rx, double ry, double t0, double dt) {
  const int pieces = std::max(1, int(std::ceil(std::fabs(dt) / (kPi / 2) - 1e-9)));
  const double step = dt / pieces, k = 4.0 / 3.0 * std::tan(step / 4);
  for (int i = 0; i < pieces; ++i) {
    const double a = t0 + i * step, b = a + step;
    const TPointF p0{cx + rx * std::cos(a), cy + ry * std::sin(a)}, p3{cx + rx * std::cos(b), cy + ry * std::sin(b)};
    path.BezierTo({p0.X - k * rx * std::sin(a), p0.Y + k * ry * std::cos(a)},
                  {p3.X + k * rx * std::sin(b), p3.Y - k * ry * std::cos(b)}, p3);
  }
}

struct TEllipse {
  double Cx, Cy, Rx, Ry;
  explicit TEllipse(const canvas::TRectF& b) : Cx(b.X + b.W / 2), Cy(b.Y + b.H / 2), Rx(b.W / 2), Ry(b.H / 2) {}
  double Angle(TPointF p) const {
    return std::atan2((p.Y - Cy) / std::max(Ry, 1e-9), (p.X - Cx) / std::max(Rx, 1e-9));
  }
  TPointF At(double t) const { return {Cx + Rx * std::cos(t), Cy + Ry * std::sin(t)}; }
};

}  // namespace

canvas::TRectF Box(double x1, double y1, double x2, double y2) {
  return {std::min(x1, x2), std::min(y1, y2), std::fabs(x2 - x1), std::fabs(y2 - y1)};
}

void AddPoly(canvas::TPath& path, std::span<const TPointF> points, bool close) {
  if (points.empty()) return;
  path.MoveTo(points[0]);
  for (std::size_t i = 1; i < points.size(); ++i) path.LineTo(points[i]);
  if (close) path.Close();
}

void AddBeziers(canvas::TPath& path, std::span<const TPointF> points) {
  if (points.empty()) return;
  path.MoveTo(points[0]);
  AddBezierCurves(path, points.subspan(1));
}

void AddBezierCurves(canvas::TPath& path, std::span<const TPointF> points) {
  for (std::size_t i = 0; i + 2 < points.size(); i += 3) path.BezierTo(points[i], points[i + 1], points[i + 2]);
}

void AddRectangle(canvas::TPath& path, const canvas::TRectF& b) {
  const TPointF corners[] = {{b.X, b.Y}, {b.X + b.W, b.Y}, {b.X + b.W, b.Y + b.H}, {b.X, b.Y + b.H}};
  AddPoly(path, corners, true);
}

void AddRoundRect(canvas::TPath& path, const canvas::TRectF& b, double cornerW, double cornerH) {
  const double rx = std::min(std::fabs(cornerW) / 2, b.W / 2), ry = std::min(std::fabs(cornerH) / 2, b.H / 2);
  if (rx <= 0 || ry <= 0) return AddRectangle(path, b);
  const double l = b.X, t = b.Y, r = b.X + b.W, bt = b.Y + b.H;
  path.MoveTo({r - rx, t});
  AppendEllipticArc(path, r - rx, t + ry, rx, ry, -kPi / 2, kPi / 2);
  path.LineTo({r, bt - ry});
  AppendEllipticArc(path, r - rx, bt - ry, rx, ry, 0, kPi / 2);
  path.LineTo({l + rx, bt});
  AppendEllipticArc(path, l + rx, bt - ry, rx, ry, kPi / 2, kPi / 2);
  path.LineTo({l, t + ry});
  AppendEllipticArc(path, l + rx, t + ry, rx, ry, kPi, kPi / 2);
  path.Close();
}

void AddEllipse(canvas::TPath& path, const canvas::TRectF& b) {
  const TEllipse e(b);
  path.MoveTo(e.At(0));
  AppendEllipticArc(path, e.Cx, e.Cy, e.Rx, e.Ry, 0, 2 * kPi);
  path.Close();
}

void AddArc(canvas::TPath& path, const canvas::TRectF& box, TPointF start, TPointF end, bool clockwise, TArcKind kind,
            bool withLine) {
  const TEllipse e(box);
  const double t0 = e.Angle(start);
  double dt = e.Angle(end) - t0;
  // With y downwards a growing angle turns clockwise on the device.
  if (clockwise)
    while (dt <= 1e-12) dt += 2 * kPi;
  else
    while (dt >= -1e-12) dt -= 2 * kPi;
  if (kind == TArcKind::Pie) path.MoveTo({e.Cx, e.Cy}), path.LineTo(e.At(t0));
  else if (withLine && HasPoint(path)) path.LineTo(e.At(t0));
  else path.MoveTo(e.At(t0));
  AppendEllipticArc(path, e.Cx, e.Cy, e.Rx, e.Ry, t0, dt);
  if (kind != TArcKind::Open) path.Close();
}

TPointF ArcEnd(const canvas::TRectF& box, TPointF end) {
  const TEllipse e(box);
  return e.At(e.Angle(end));
}

TPointF AddAngleArc(canvas::TPath& path, TPointF centre, double radius, double startDeg, double sweepDeg) {
  const double t0 = -startDeg * kPi / 180, dt = -std::clamp(sweepDeg, -3600.0, 3600.0) * kPi / 180;
  const TPointF from{centre.X + radius * std::cos(t0), centre.Y + radius * std::sin(t0)};
  if (HasPoint(path)) path.LineTo(from);
  else path.MoveTo(from);
  AppendEllipticArc(path, centre.X, centre.Y, radius, radius, t0, dt);
  return {centre.X + radius * std::cos(t0 + dt), centre.Y + radius * std::sin(t0 + dt)};
}

canvas::TPath Transformed(const canvas::TPath& path, const TXform& x) {
  return Mapped(path, [&x](TPointF p) { return x.Apply(p.X, p.Y); });
}

canvas::TPath RectPath(const canvas::TRectF& box, const TXform& x) {
  canvas::TPath path;
  AddRectangle(path, box);
  return Transformed(path, x);
}

canvas::TPath Mapped(const canvas::TPath& path, const std::function<TPointF(TPointF)>& map) {
  canvas::TPath out;
  out.FillMode = path.FillMode;
  for (const canvas::TPathCommand& c : path.Commands()) {
    switch (c.Kind) {
      case canvas::TPathCommand::Move: out.MoveTo(map(c.P[0])); break;
      case canvas::TPathCommand::Line: out.LineTo(map(c.P[0])); break;
      case canvas::TPathCommand::Bezier: out.BezierTo(map(c.P[0]), map(c.P[1]), map(c.P[2])); break;
      case canvas::TPathCommand::Close: out.Close(); break;
      case canvas::TPathCommand::Arc: break;  // figures here are built without arcs
    }
  }
  return out;
}

}  // namespace metafile
