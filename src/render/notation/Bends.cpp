// The string bend of tablature: from the note a bend up (straight or a
// quarter curve) to an arrow head, then by its type a release curving down
// to a second arrow, or a level hold before the release, with one-half
// signs at the arrow tips.

#include <algorithm>

#include "render/page/PageDrawer.h"
#include "score/layout/page/PageRecords.h"
#include "render/page/ScaledMath.h"
#include "score/layout/LayoutServices.h"
#include "score/model/SimpleElements.h"

namespace render {

namespace {

// A quarter of the ellipse centred at (CX, CY) with radii RX and RY, run
// counter-clockwise from the radial through Start to the one through End.
void QuarterArc(canvas::TCanvas& C, int64_t CX, int64_t CY, int64_t RX, int64_t RY, canvas::TPoint Start,
                canvas::TPoint End) {
  const int64_t x1 = CX - RX, x2 = CX + RX, y1 = CY - RY, y2 = CY + RY;
  C.Arc({ClampCoordinate(std::min(x1, x2)), ClampCoordinate(std::min(y1, y2)), ClampCoordinate(std::max(x1, x2)),
         ClampCoordinate(std::max(y1, y2))},
        Start, End);
}

canvas::TPoint P(int64_t X, int64_t Y) { return {ClampCoordinate(X), ClampCoordinate(Y)}; }

}  // namespace

void TKVPageDrawer::DrawBend(TKVItem& Item) {
  auto* bend = dynamic_cast<TKVBend*>(&Item);
  if (!bend) return;
  TKVDisplayItem& record = *CurrentRecord;
  const uint8_t mode = record.Placement & 0x0F;
  const int64_t dx = record.Shift.X;
  PlaceItemRect(record.Bounds2);
  if (mode == 4) ItemRect.Right += record.Shift.X, ItemRect.Top += record.Shift.Y;
  const int64_t L = ItemRect.Left, T = ItemRect.Top, B = ItemRect.Bottom;

  const int64_t p = record.SizePercent;
  const int32_t penWidth = p == 100 ? UnitWidth(0.5) : ClampCoordinate(RoundDiv(ScaleProduct * p, 1500000));
  const int64_t u2 = ItemUnit(2), u6 = ItemUnit(6);
  const canvas::TColor color = RuleColor(InEditVoice(bend->StaffVoice(), record), bend->Color());
  Canvas.Font.Name = TextFontName(*Score, 18, bend->Text1());
  Canvas.Font.Style = bend->FontStyle();
  Canvas.Font.Color = color;
  Canvas.Pen.Color = color;
  Canvas.Pen.Width = penWidth;
  Canvas.Pen.Style = canvas::psSolid;
  Canvas.Brush.Color = color;
  Canvas.Brush.Style = canvas::bsSolid;

  // A segment's length on the page; a pending stretch of the whole bend is
  // shared among its segments.
  auto length = [&](int Index) { return (int64_t(bend->SegmentWidth(Index)) * XScale / 100) >> 3; };
  const uint8_t type = bend->Variant();
  const int64_t share = mode != 4 ? 0 : type >= 4 ? dx / 3 : type >= 2 ? dx / 2 : 0;
  int64_t x1 = L + length(0);
  if (mode == 4) x1 += type >= 4 ? dx - 2 * share : type >= 2 ? dx - share : dx;

  auto line = [&](int64_t X1, int64_t Y1, int64_t X2, int64_t Y2) {
    Canvas.MoveTo(ClampCoordinate(X1), ClampCoordinate(Y1));
    Canvas.LineTo(ClampCoordinate(X2), ClampCoordinate(Y2));
  };
  auto arrow = [&](int64_t X1, int64_t Y1, int64_t X2, int64_t Y2, int64_t Extra) {
    DrawArrowHead(ClampCoordinate(X1), ClampCoordinate(Y1), ClampCoordinate(X2), ClampCoordinate(Y2),
                  ClampCoordinate(Extra));
  };
  auto half = [&](int64_t X, int64_t Y) { DrawHalfFraction(ClampCoordinate(X), ClampCoordinate(Y)); };

  if (type % 2 == 0) {
    line(L, B, x1, T);
    arrow(L, B, x1, T, 0);
  } else {
    QuarterArc(Canvas, L, T, x1 - L, B - T, P(L, B), P(x1, T));
    arrow(L, B, x1, T, 3 * (L - x1) / 4);
  }
  SetSymbolFontSize4();
  if (type <= 1) {
    half(x1, T - u6);
  } else {
    // The release: curving down from the top of the last rise (after a
    // level hold for types 4 and above) to the note's height.
    int64_t top = x1;
    if (type >= 4) {
      top = x1 + length(1) + share;
      line(x1, T, top, T);
    }
    const int64_t end = top + length(type >= 4 ? 2 : 1) + share;
    QuarterArc(Canvas, top, B, end - top, B - T, P(end, B), P(top, T));
    arrow(top, T, end, B, 3 * (top - end) / 4);
    half(end, B + u2);
  }

  if (IsItemSelected(record)) {
    PlaceItemRect(record.Bounds);
    if (mode == 4) ItemRect.Right += record.Shift.X, ItemRect.Top += record.Shift.Y;
    DrawSelectionCorners(ItemRect);
    DrawSelectionHandle({ItemRect.Right, ItemRect.Top});
  }
}

}  // namespace render
