#include "platform/canvas/Canvas.h"

namespace canvas {

// The smooth shapes are paths, so a canvas implements one call for all.

void TCanvas::SmoothLine(TPointF a, TPointF b, const TSmoothPen& pen) {
  SmoothPath(TPath().MoveTo(a).LineTo(b), &pen, nullptr);
}

void TCanvas::SmoothPolyline(std::span<const TPointF> points, const TSmoothPen& pen) {
  if (points.size() < 2) return;
  TPath path;
  path.MoveTo(points[0]);
  for (size_t i = 1; i < points.size(); ++i) path.LineTo(points[i]);
  SmoothPath(path, &pen, nullptr);
}

void TCanvas::SmoothBezier(TPointF p0, TPointF c1, TPointF c2, TPointF p3, const TSmoothPen& pen) {
  SmoothPath(TPath().MoveTo(p0).BezierTo(c1, c2, p3), &pen, nullptr);
}

void TCanvas::SmoothPolygon(std::span<const TPointF> points, const TSmoothPen* pen, const TSmoothBrush* brush) {
  if (points.size() < 2) return;
  TPath path;
  path.MoveTo(points[0]);
  for (size_t i = 1; i < points.size(); ++i) path.LineTo(points[i]);
  SmoothPath(path.Close(), pen, brush);
}

void TCanvas::SmoothRect(const TRectF& r, const TSmoothPen* pen, const TSmoothBrush* brush) {
  TPath path;
  path.MoveTo({r.X, r.Y}).LineTo({r.X + r.W, r.Y}).LineTo({r.X + r.W, r.Y + r.H}).LineTo({r.X, r.Y + r.H});
  SmoothPath(path.Close(), pen, brush);
}

void TCanvas::SmoothEllipse(const TRectF& r, const TSmoothPen* pen, const TSmoothBrush* brush) {
  SmoothPath(TPath().ArcTo(r, 0, 360).Close(), pen, brush);
}

void TCanvas::SmoothArc(const TRectF& box, double startDeg, double sweepDeg, const TSmoothPen& pen) {
  if (sweepDeg == 0) return;
  SmoothPath(TPath().ArcTo(box, startDeg, sweepDeg), &pen, nullptr);
}

void TCanvas::SmoothPie(const TRectF& box, double startDeg, double sweepDeg, const TSmoothPen* pen,
                        const TSmoothBrush* brush) {
  if (sweepDeg == 0) return;
  TPointF centre{box.X + box.W / 2, box.Y + box.H / 2};
  SmoothPath(TPath().MoveTo(centre).ArcTo(box, startDeg, sweepDeg).Close(), pen, brush);
}

}  // namespace canvas
