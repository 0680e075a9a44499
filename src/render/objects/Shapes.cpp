// Shape objects of a page: lines with triangle, dot or diamond ends,
// rectangles and ellipses filled solid or hatched, and arcs, pies and
// chords, anti-aliased except the chord, which takes the canvas's own
// figure. Arcs have no colour or width of their own: they take the view's
// current shape settings.

#include <cmath>
#include <numbers>
#include <optional>

#include "player/Window.h"
#include "render/page/PageDrawer.h"
#include "render/page/ScaledMath.h"
#include "score/model/ElementBlocks.h"
#include "score/model/Item.h"
#include "score/model/ItemKinds.h"

namespace render {

namespace {

using canvas::TPoint;
using canvas::TPointF;

// A shape's pen style byte: 0-4 dashes, 5 no outline at all, 6 (inside
// frame) and any other value solid.
std::optional<canvas::TSmoothPen> ShapePen(canvas::TColor Color, double Width, uint8_t Style) {
  if (Style == canvas::psClear) return std::nullopt;
  const auto dash = Style <= canvas::psDashDotDot ? canvas::TDashStyle(Style) : canvas::dsSolid;
  return canvas::TSmoothPen{canvas::ArgbOf(Color), Width, dash};
}

// A shape's brush style byte: 0 solid, 1 and any value past 7 no fill, 2-7
// the six hatches in Color over opaque white.
std::optional<canvas::TSmoothBrush> ShapeBrush(canvas::TColor Color, uint8_t Style) {
  if (Style == canvas::bsClear || Style > canvas::bsDiagCross) return std::nullopt;
  const auto hatch = Style == canvas::bsSolid ? canvas::hsNone : canvas::THatchStyle(Style - canvas::bsHorizontal);
  return canvas::TSmoothBrush{canvas::ArgbOf(Color), hatch, 0xFFFFFFFF};
}

template <class T>
const T* Ptr(const std::optional<T>& Value) {
  return Value ? &*Value : nullptr;
}

canvas::TRectF RectF(const canvas::TRect& R) {
  return {double(R.Left), double(R.Top), double(R.Right) - R.Left, double(R.Bottom) - R.Top};
}

int32_t Round(double Value) { return ClampCoordinate(std::llrint(Value)); }

// Angle of P seen from M, in whole degrees clockwise on the page from the
// positive x axis (0 up to 360).
int32_t DirectionDegrees(TPoint P, TPoint M) {
  const double dx = double(P.X) - M.X, dy = double(P.Y) - M.Y;
  if (dx == 0) return dy < 0 ? 270 : 90;
  int32_t g = Round(std::atan(dy / dx) * 180 / std::numbers::pi);
  if (dx < 0)
    g += 180;
  else if (dy < 0)
    g += 360;
  return g;
}

}  // namespace

void TKVPageDrawer::DrawLineObject(const TKVItem& Line, TPoint A, TPoint B) {
  const TByteBlock& data = Line.Data();
  const uint8_t arrows = data.u8(LineBlock::Arrows), w = data.u8(LineBlock::LineWidth);
  const canvas::TColor color = data.u32(LineBlock::LineColor);
  const auto pen = ShapePen(color, double(w * ScaleProduct / 10000), data.u8(LineBlock::PenStyle));
  if (arrows == 0) {
    if (pen) Canvas.SmoothLine({double(A.X), double(A.Y)}, {double(B.X), double(B.Y)}, *pen);
    return;
  }
  // (sx cos a, sy sin a) points from A towards B.
  const double dx = double(A.X) - B.X, dy = double(A.Y) - B.Y;
  const double a = dx == 0 ? std::numbers::pi / 2 : std::fabs(std::atan(dy / dx));
  const int sx = dx > 0 ? -1 : 1, sy = dy > 0 ? -1 : 1;
  const double c = std::cos(a), s = std::sin(a);
  // The ends grow with the line's own width.
  const int32_t a1 = UnitWidth(1) + w, a2 = UnitWidth(2) + w, a3 = UnitWidth(3) + w, a4 = 2 * a1;
  const int32_t a6 = UnitWidth(6) + 2 * w, a7 = UnitWidth(7) + 2 * w;
  // An offset along (forward) and across the line, from an end: added at
  // the start, taken away at the end.
  auto at = [&](TPoint End, int Sign, double Along, double Across) {
    return TPoint{ClampCoordinate(int64_t(End.X) + Sign * sx * int64_t(Round(Along))),
                  ClampCoordinate(int64_t(End.Y) + Sign * sy * int64_t(Round(Across)))};
  };
  // The stroke stops short of a styled end, so that a wide pen does not
  // reach past its head.
  const TPoint from = (arrows >> 4) ? at(A, 1, a2 * c, a2 * s) : A;
  const TPoint to = (arrows & 15) ? at(B, -1, a2 * c, a2 * s) : B;
  if (pen) Canvas.SmoothLine({double(from.X), double(from.Y)}, {double(to.X), double(to.Y)}, *pen);

  const canvas::TSmoothBrush brush{canvas::ArgbOf(color)};
  auto end = [&](uint8_t Style, TPoint P, int Sign) {
    auto point = [&](TPoint Q) { return TPointF{double(Q.X), double(Q.Y)}; };
    switch (Style) {
      case 1: {
        const TPointF head[] = {point(P), point(at(P, Sign, a6 * c + a2 * s, a6 * s - a2 * c)),
                                point(at(P, Sign, a6 * c - a2 * s, a6 * s + a2 * c))};
        Canvas.SmoothPolygon(head, nullptr, &brush);
        break;
      }
      case 2: {
        const TPoint p1 = at(P, Sign, -a1 * s, -a1 * c), p2 = at(P, Sign, a4 * c + a1 * s, a4 * s + a1 * c);
        Canvas.SmoothEllipse({double(std::min(p1.X, p2.X)), double(std::min(p1.Y, p2.Y)),
                              std::fabs(double(p2.X) - p1.X), std::fabs(double(p2.Y) - p1.Y)},
                             nullptr, &brush);
        break;
      }
      case 3: {
        const TPointF head[] = {point(P), point(at(P, Sign, a3 * c + a2 * s, a3 * s - a2 * c)),
                                point(at(P, Sign, a7 * c, a7 * s)),
                                point(at(P, Sign, a3 * c - a2 * s, a3 * s + a2 * c))};
        Canvas.SmoothPolygon(head, nullptr, &brush);
        break;
      }
      default: break;  // no end, or a style without a shape
    }
  };
  end(arrows >> 4, A, 1);
  end(arrows & 15, B, -1);
}

void TKVPageDrawer::DrawBoxObject(const TKVItem& Box, const canvas::TRect& R) {
  const TByteBlock& data = Box.Data();
  const auto brush = ShapeBrush(data.u32(RectangleBlock::FillColor), data.u8(RectangleBlock::BrushStyle));
  const auto pen = ShapePen(data.u32(RectangleBlock::LineColor),
                            double(data.u8(RectangleBlock::LineWidth) * ScaleProduct / 10000),
                            data.u8(RectangleBlock::PenStyle));
  if (Box.Kind() == ItemKind::Ellipse)
    Canvas.SmoothEllipse(RectF(R), Ptr(pen), Ptr(brush));
  else
    Canvas.SmoothRect(RectF(R), Ptr(pen), Ptr(brush));
}

void TKVPageDrawer::DrawArcObject(const TKVItem& Arc, const TKVObjectPlacement& Placement) {
  const TByteBlock& data = Arc.Data();
  const uint8_t penStyle = data.u8(ArcBlock::PenStyle), brushStyle = data.u8(ArcBlock::BrushStyle);
  const canvas::TRect& R = Placement.Box;
  if (Arc.Kind() == ItemKind::ArcChord) {
    // The chord is the canvas's figure: equal radials close the whole
    // ellipse.
    Canvas.Pen.Color = View.ObjectPenColor;
    Canvas.Brush.Color = View.ObjectFillColor;
    Canvas.Pen.Width = View.ObjectPenWidth == 0 ? UnitWidth(1)
                                                : ClampCoordinate(int64_t(View.ObjectPenWidth) * XScale / 100);
    Canvas.Pen.Style = penStyle <= canvas::psInsideFrame ? canvas::TPenStyle(penStyle) : canvas::psSolid;
    Canvas.Brush.Style = brushStyle <= canvas::bsDiagCross ? canvas::TBrushStyle(brushStyle) : canvas::bsClear;
    Canvas.Chord(R, Placement.Start, Placement.End);
    Canvas.Pen.Style = canvas::psSolid;
    return;
  }
  // Clockwise from the end point's direction to the start point's: the
  // canvas figure's counter-clockwise run seen from the other end.
  const TPoint m{int32_t((int64_t(R.Left) + R.Right) / 2), int32_t((int64_t(R.Top) + R.Bottom) / 2)};
  const int32_t start = DirectionDegrees(Placement.End, m), to = DirectionDegrees(Placement.Start, m);
  const int32_t sweep = to - start + (start > to ? 360 : 0);
  const auto pen = ShapePen(View.ObjectPenColor, double(int64_t(View.ObjectPenWidth) * ScaleProduct / 10000), penStyle);
  if (Arc.Kind() == ItemKind::Pie) {
    const auto brush = ShapeBrush(View.ObjectFillColor, brushStyle);
    Canvas.SmoothPie(RectF(R), start, sweep, Ptr(pen), Ptr(brush));
  } else if (pen) {
    Canvas.SmoothArc(RectF(R), start, sweep, *pen);
  }
}

}  // namespace render
