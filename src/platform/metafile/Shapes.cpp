#include "platform/metafile/Shapes.h"

#include <cmath>

namespace metafile {

using canvas::TPointF;

void MoveTo(TPlayer& p, TPointF to) { p.Dc().Position = to; }

void LineTo(TPlayer& p, TPointF to) {
  canvas::TPath path;
  path.MoveTo(p.Dc().Position).LineTo(to);
  p.Draw(path, true, false);
  p.Dc().Position = to;
}

void Polyline(TPlayer& p, std::span<const TPointF> points, bool fromCurrent) {
  if (points.empty()) return;
  canvas::TPath path;
  if (fromCurrent) path.MoveTo(p.Dc().Position);
  for (std::size_t i = 0; i < points.size(); ++i) {
    if (i == 0 && !fromCurrent) path.MoveTo(points[i]);
    else path.LineTo(points[i]);
  }
  p.Draw(path, true, false);
  if (fromCurrent) p.Dc().Position = points.back();
}

void Polygon(TPlayer& p, std::span<const TPointF> points) {
  if (points.size() < 2) return;
  canvas::TPath path;
  AddPoly(path, points, true);
  p.Draw(path, true, true);
}

void PolyPolygon(TPlayer& p, std::span<const TPointF> points, std::span<const std::uint32_t> counts, bool closed) {
  canvas::TPath path;
  std::size_t at = 0;
  for (std::uint32_t n : counts) {
    if (n > points.size() - at) break;
    AddPoly(path, points.subspan(at, n), closed);
    at += n;
  }
  p.Draw(path, true, closed);
}

void Beziers(TPlayer& p, std::span<const TPointF> points, bool fromCurrent) {
  canvas::TPath path;
  if (fromCurrent) {
    path.MoveTo(p.Dc().Position);
    AddBezierCurves(path, points);
    if (points.size() >= 3) p.Dc().Position = points[points.size() / 3 * 3 - 1];
  } else {
    AddBeziers(path, points);
  }
  p.Draw(path, true, false);
}

void Rectangle(TPlayer& p, const canvas::TRectF& box) {
  canvas::TPath path;
  AddRectangle(path, box);
  p.DrawInBox(path, box, true, true);
}

void RoundRect(TPlayer& p, const canvas::TRectF& box, double cornerW, double cornerH) {
  canvas::TPath path;
  AddRoundRect(path, box, cornerW, cornerH);
  p.DrawInBox(path, box, true, true);
}

void Ellipse(TPlayer& p, const canvas::TRectF& box) {
  canvas::TPath path;
  AddEllipse(path, box);
  p.DrawInBox(path, box, true, true);
}

void ArcFigure(TPlayer& p, const canvas::TRectF& box, TPointF start, TPointF end, TArcKind kind) {
  canvas::TPath path;
  AddArc(path, box, start, end, p.ArcsClockwise(), kind);
  p.DrawInBox(path, box, true, kind != TArcKind::Open);
}

void ArcTo(TPlayer& p, const canvas::TRectF& box, TPointF start, TPointF end) {
  canvas::TPath path;
  path.MoveTo(p.Dc().Position);
  AddArc(path, box, start, end, p.ArcsClockwise(), TArcKind::Open, true);
  p.Draw(path, true, false);
  p.Dc().Position = ArcEnd(box, end);
}

void AngleArc(TPlayer& p, TPointF centre, double radius, double startDeg, double sweepDeg) {
  // Angles that are no number draw nothing and leave the position where it is.
  if (!std::isfinite(startDeg) || !std::isfinite(sweepDeg)) return p.Skip();
  canvas::TPath path;
  path.MoveTo(p.Dc().Position);
  const TPointF end = AddAngleArc(path, centre, radius, startDeg, sweepDeg);
  p.Draw(path, true, false);
  p.Dc().Position = end;
}

void SetPixel(TPlayer& p, TPointF at, canvas::TColor color) {
  if (p.InPath()) return;
  const TPointF c = p.ToCanvas().Apply(at.X, at.Y);
  canvas::TPath dot;
  AddRectangle(dot, {std::round(c.X), std::round(c.Y), 1, 1});
  p.Fill(dot, TLogBrush{U_BS_SOLID, color, 0, nullptr});
}

void SelectObject(TPlayer& p, const TGdiObject& object) {
  TDcState& dc = p.Dc();
  if (auto* pen = std::get_if<TLogPen>(&object)) dc.Pen = *pen;
  else if (auto* brush = std::get_if<TLogBrush>(&object)) dc.Brush = *brush;
  else if (auto* font = std::get_if<TLogFont>(&object)) dc.Font = *font;
  else if (auto* region = std::get_if<TRegion>(&object)) {
    const canvas::TPath figure = RegionFigure(p, *region);
    p.CombineClip(&figure, TClipCombine::Copy);
  }
}

canvas::TPath RegionFigure(TPlayer& p, const TRegion& region) {
  const TXform x = region.Device ? p.DeviceToCanvas() : p.ToCanvas();
  canvas::TPath logical;
  for (const canvas::TRectF& r : region.Rects) AddRectangle(logical, r);
  canvas::TPath figure = Transformed(logical, x);
  figure.FillMode = canvas::fmWinding;
  return figure;
}

void ClipToRect(TPlayer& p, const canvas::TRectF& logical, TClipCombine mode) {
  const canvas::TPath figure = RectPath(logical, p.ToCanvas());
  p.CombineClip(&figure, mode);
}

}  // namespace metafile
