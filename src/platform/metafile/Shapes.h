#pragma once
// The drawing operations both kinds of metafile share, in logical units:
// the record handlers decode their fields and call these.

#include <span>
#include <vector>

#include "platform/metafile/Figures.h"
#include "platform/metafile/Player.h"

namespace metafile {

void MoveTo(TPlayer& p, canvas::TPointF to);
void LineTo(TPlayer& p, canvas::TPointF to);
// Polyline, polygon, Bézier curves; the "To" forms start at the current
// position and leave it at their last point.
void Polyline(TPlayer& p, std::span<const canvas::TPointF> points, bool fromCurrent);
void Polygon(TPlayer& p, std::span<const canvas::TPointF> points);
void PolyPolygon(TPlayer& p, std::span<const canvas::TPointF> points, std::span<const std::uint32_t> counts, bool closed);
void Beziers(TPlayer& p, std::span<const canvas::TPointF> points, bool fromCurrent);
void Rectangle(TPlayer& p, const canvas::TRectF& box);
void RoundRect(TPlayer& p, const canvas::TRectF& box, double cornerW, double cornerH);
void Ellipse(TPlayer& p, const canvas::TRectF& box);
void ArcFigure(TPlayer& p, const canvas::TRectF& box, canvas::TPointF start, canvas::TPointF end, TArcKind kind);
void ArcTo(TPlayer& p, const canvas::TRectF& box, canvas::TPointF start, canvas::TPointF end);
void AngleArc(TPlayer& p, canvas::TPointF centre, double radius, double startDeg, double sweepDeg);
void SetPixel(TPlayer& p, canvas::TPointF at, canvas::TColor color);

// Makes an object the current pen, brush or font (a region selects the clip).
void SelectObject(TPlayer& p, const TGdiObject& object);
canvas::TPath RegionFigure(TPlayer& p, const TRegion& region);
void ClipToRect(TPlayer& p, const canvas::TRectF& logical, TClipCombine mode);

}  // namespace metafile
