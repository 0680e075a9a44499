// Slurs and ties: a cubic Bézier from the start point to the end point
// through two control points offset from them. A solid slur is a filled
// crescent, thicker in its middle than at its ends; other pen styles stroke
// the curve; the straight form is one line. A pending drag moves the whole
// slur, one end with its control point, or one control point alone.

#include <cmath>
#include <numbers>

#include "render/notation/ItemTests.h"
#include "render/page/PageDrawer.h"
#include "render/page/ScaledMath.h"
#include "score/model/Liga.h"

namespace render {

namespace {

constexpr uint8_t kLevel = 0x10;  // both ends keep one height while one is dragged

// The direction of a vector: its slope's angle, a quarter turn when upright.
double Direction(double dx, double dy) { return dx == 0 ? std::numbers::pi / 2 : std::atan(dy / dx); }

// The second edge of the crescent is the curve with its control points moved
// a thickness t further from the chord, on the side where the first control
// point lies; a second control point on the other side moves back instead.
struct TCrescent {
  canvas::TPoint Offset1, Offset2;
};
TCrescent CrescentOffsets(canvas::TPoint P0, canvas::TPoint C1, canvas::TPoint C2, canvas::TPoint P3, int32_t t) {
  const double dx = double(P3.X) - P0.X, dy = double(P3.Y) - P0.Y;
  const double chord = Direction(dx, dy);
  const double reference = dx >= 0 ? chord : dy < 0 ? chord + std::numbers::pi / 2 : -std::numbers::pi / 2 - chord;
  // Whether Q lies strictly on the positive side of the chord; a point on
  // the chord counts as the other side.
  auto positive = [&](canvas::TPoint Q) {
    const double qx = double(Q.X) - P0.X, qy = double(Q.Y) - P0.Y, a = Direction(qx, qy);
    const double rel = qx >= 0 ? a - reference : qy < 0 ? a + std::numbers::pi / 2 - reference
                                                        : std::numbers::pi / 2 - a - reference;
    return rel > 0 && rel < std::numbers::pi;
  };
  const bool first = positive(C1);
  const int32_t s = first ? t : -t, u = positive(C2) == first ? t : -t;
  const double c = std::cos(chord), q = std::sin(chord);
  return {TKVPageDrawer::RotatePointClockwise({-t, s}, c, q), TKVPageDrawer::RotatePointClockwise({u, s}, c, q)};
}

canvas::TPointF F(canvas::TPoint P) { return {double(P.X), double(P.Y)}; }
canvas::TPoint Plus(canvas::TPoint P, canvas::TPoint D) { return {ClampCoordinate(int64_t(P.X) + D.X), ClampCoordinate(int64_t(P.Y) + D.Y)}; }

}  // namespace

void TKVPageDrawer::DrawSlur(TKVLiga& Slur) {
  TKVDisplayItem& record = *CurrentRecord;
  auto* note = dynamic_cast<TKVNote*>(Slur.Owner());
  if (note && VoiceHidden(note->Voice)) return;
  const canvas::TColor colour = RuleColor(!note || VoiceItemAtCursor(*note, record), Slur.Color());
  const uint8_t mode = record.Placement & 0x0F;
  const bool level = (Slur.Flags() & kLevel) != 0, straight = ((Slur.Flags() >> 2) & 3) == 2;
  const canvas::TPoint shift{record.Shift.X, record.Shift.Y};

  // The end points and the control points, each moved as the drag's grip
  // says: a level slur's other end (or control point) follows in height.
  canvas::TRect ends, controls;
  ScaleItemRect(record.Bounds2, ends);
  const TKVLayoutRect& b = record.Bounds2;
  const int64_t S = ScoreScale;
  ScaleItemRect({ClampCoordinate(b.Left + RoundDiv(Slur.Control1X() * S, 100)),
                 ClampCoordinate(b.Top + RoundDiv(Slur.Control1Y() * S, 100)),
                 ClampCoordinate(b.Width + RoundDiv(Slur.Control2X() * S, 100)),
                 ClampCoordinate(b.Bottom + RoundDiv(Slur.Control2Y() * S, 100))},
                controls);
  canvas::TPoint P0{ends.Left, ends.Top}, P3{ends.Right, ends.Bottom};
  canvas::TPoint C1{controls.Left, controls.Top}, C2{controls.Right, controls.Bottom};
  auto raise = [&](canvas::TPoint& P) { P.Y = ClampCoordinate(int64_t(P.Y) + shift.Y); };
  switch (mode) {
    case 1:
      P0 = Plus(P0, shift), P3 = Plus(P3, shift), C1 = Plus(C1, shift), C2 = Plus(C2, shift);
      break;
    case 2:
      P0 = Plus(P0, shift), C1 = Plus(C1, shift);
      if (level) raise(P3), raise(C2);
      break;
    case 4:
      P3 = Plus(P3, shift), C2 = Plus(C2, shift);
      if (level) raise(P0), raise(C1);
      break;
    case 10: C1 = Plus(C1, shift); break;
    case 11: C2 = Plus(C2, shift); break;
    default: break;
  }

  // The clear pen draws nothing; styles past the dashed ones are solid.
  canvas::TDashStyle dash;
  if (DashOf(Slur.PenStyle(), dash)) {
    const int64_t p = record.SizePercent;
    const double width = p == 100 && ScoreScale == 100 ? UnitWidth(0.5) : double(RoundDiv(ScaleProduct * p, 1500000));
    const canvas::TSmoothPen pen{canvas::ArgbOf(colour), width, dash};
    if (straight) {
      Canvas.SmoothLine(F(P0), F(P3), pen);
    } else if (dash != canvas::dsSolid) {
      Canvas.SmoothBezier(F(P0), F(C1), F(C2), F(P3), pen);
    } else {
      const TCrescent offsets = CrescentOffsets(P0, C1, C2, P3, UnitWidth(1.5));
      canvas::TPath path;
      path.MoveTo(F(P0))
          .BezierTo(F(C1), F(C2), F(P3))
          .BezierTo(F(Plus(C2, offsets.Offset2)), F(Plus(C1, offsets.Offset1)), F(P0))
          .Close();
      const canvas::TSmoothBrush brush{canvas::ArgbOf(colour)};
      Canvas.SmoothPath(path, nullptr, &brush);
    }
  }
  if (IsItemSelected(record)) {
    DrawLineHandles({P0.X, P0.Y, P3.X, P3.Y});
    if (!straight) {
      DrawRadiusHandle({P0.X, P0.Y, C1.X, C1.Y});
      DrawRadiusHandle({P3.X, P3.Y, C2.X, C2.Y});
    }
  }
}

}  // namespace render
