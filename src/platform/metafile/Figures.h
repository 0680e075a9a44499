#pragma once
// The figures of the drawing records as paths of lines and cubic Béziers
// in logical units, and their transformation onto the canvas. Arcs, chords
// and pies follow the device context's rules: the ellipse inscribed in the
// box, from the radial through the start point to the radial through the
// end point (both the same: the whole ellipse), counter-clockwise on the
// device unless drawn clockwise.

#include <functional>
#include <span>

#include "platform/canvas/Graphics.h"
#include "platform/metafile/Transform.h"

namespace metafile {

enum class TArcKind { Open, Chord, Pie };

void AddPoly(canvas::TPath& path, std::span<const canvas::TPointF> points, bool close);
// Start, then three points per curve.
void AddBeziers(canvas::TPath& path, std::span<const canvas::TPointF> points);
// Three points per curve, from the path's last point.
void AddBezierCurves(canvas::TPath& path, std::span<const canvas::TPointF> points);
void AddRectangle(canvas::TPath& path, const canvas::TRectF& box);
void AddRoundRect(canvas::TPath& path, const canvas::TRectF& box, double cornerW, double cornerH);
void AddEllipse(canvas::TPath& path, const canvas::TRectF& box);
// Clockwise on the device when Clockwise; WithLine starts with a line from
// the path's last point (ArcTo) instead of a new figure.
void AddArc(canvas::TPath& path, const canvas::TRectF& box, canvas::TPointF start, canvas::TPointF end, bool clockwise,
            TArcKind kind, bool withLine = false);
// The arc's end point on the ellipse (where ArcTo leaves the current position).
canvas::TPointF ArcEnd(const canvas::TRectF& box, canvas::TPointF end);
// An arc of a circle: centre, radius, start angle and sweep in degrees
// (finite; the sweep is taken to ten turns at most), counter-clockwise in
// logical space (AngleArc), after a line from the last point. Returns the
// arc's end point.
canvas::TPointF AddAngleArc(canvas::TPath& path, canvas::TPointF centre, double radius, double startDeg, double sweepDeg);

// A box from two corners in any order.
canvas::TRectF Box(double x1, double y1, double x2, double y2);
canvas::TPath Transformed(const canvas::TPath& path, const TXform& xform);
// A box's rectangle put through the transform.
canvas::TPath RectPath(const canvas::TRectF& box, const TXform& xform);
// Each point of the path (ends and control points) put through Map.
canvas::TPath Mapped(const canvas::TPath& path, const std::function<canvas::TPointF(canvas::TPointF)>& map);

}  // namespace metafile
