// Geometry that notation branches share with the page objects: pending
// adjustments of a record's box, arrow heads, the one-half sign,
// staff-relative rectangles and point rotations.

#include <cmath>
#include <numbers>

#include "render/objects/Adjustment.h"
#include "render/page/PageDrawer.h"
#include "render/page/ScaledMath.h"
#include "score/layout/page/PageRecords.h"

namespace render {

void TKVPageDrawer::GetAnchorOffset() {
  if (CurrentRecord) AdjustBox(ItemRect, CurrentRecord->Placement & 0x0F, CurrentRecord->Shift.X, CurrentRecord->Shift.Y);
}

void TKVPageDrawer::DrawArrowHead(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t Extra) {
  const double dx = double(X2) - X1 + Extra, dy = double(Y2) - Y1;
  const double a = dx == 0 ? std::numbers::pi / 2 : std::fabs(std::atan(dy / dx));
  const int sx = dx > 0 ? -1 : 1, sy = dy > 0 ? -1 : 1;  // the base lies back toward the start
  const double h = double(ScaleProduct / 10000), l = double(5 * ScaleProduct / 10000);
  const double c = std::cos(a), s = std::sin(a);
  auto at = [&](double ox, double oy) {
    return canvas::TPoint{ClampCoordinate(X2 + sx * std::llrint(ox)), ClampCoordinate(Y2 + sy * std::llrint(oy))};
  };
  const canvas::TPoint head[] = {{X2, Y2}, at(l * c + h * s, l * s - h * c), at(l * c - h * s, l * s + h * c)};
  Canvas.Polygon(head);
}

void TKVPageDrawer::DrawHalfFraction(int32_t X, int32_t Y) {
  const int32_t u2 = UnitWidth(2), u4 = UnitWidth(4);
  Canvas.Brush.Style = canvas::bsClear;
  Canvas.TextOut(X - u4, Y - u4, u"1");
  Canvas.Pen.Width = UnitWidth(0.5);
  Canvas.MoveTo(X - u2, Y + u2);
  Canvas.LineTo(X + u2, Y - u2);
  Canvas.Pen.Width = UnitWidth(1);
  Canvas.TextOut(X, Y, u"2");
  Canvas.Brush.Style = canvas::bsSolid;
}

canvas::TRect TKVPageDrawer::ScaleStaffItemRect(const TKVLayoutRect& Rect) const {
  canvas::TRect result;
  const TKVStaffLineRecord* line = CurrentRecord ? CurrentRecord->StaffLine : nullptr;
  const bool relative = CurrentRecord && (CurrentRecord->DrawFlags & DisplayDrawFlag::StaffRelativeY);
  if (!relative || !line || line->LineSpacing == 0) {
    ScaleItemRect(Rect, result);
    return result;
  }
  // y in the staff's own spacing: the reference spacing the record was
  // laid out with (layout units) becomes the spacing as drawn (pixels).
  const int64_t drawn = line->DrawnLineSpacing, reference = line->LineSpacing;
  const int32_t origin = ScaleUnits(line->Top, YScale);
  result.Left = ScaleUnits(Rect.Left, XScale);
  result.Right = ScaleUnits(Rect.Width, XScale);
  result.Top = ClampCoordinate(RoundDiv(drawn * Rect.Top, reference) + origin);
  result.Bottom = ClampCoordinate(RoundDiv(drawn * Rect.Bottom, reference) + origin);
  return result;
}

canvas::TPoint TKVPageDrawer::RotatePointCounterClockwise(canvas::TPoint Point, double Cos, double Sin) {
  return {ClampCoordinate(std::llrint(Point.X * Cos + Point.Y * Sin)),
          ClampCoordinate(std::llrint(-Point.X * Sin + Point.Y * Cos))};
}

canvas::TPoint TKVPageDrawer::RotatePointClockwise(canvas::TPoint Point, double Cos, double Sin) {
  return {ClampCoordinate(std::llrint(Point.X * Cos - Point.Y * Sin)),
          ClampCoordinate(std::llrint(Point.X * Sin + Point.Y * Cos))};
}

}  // namespace render
