// Repeat signs drawn from filled shapes measured in staff spaces and units:
// a group of slanted strokes across the staff, the measure-repeat sign (the
// strokes between two dots), the double slash and the multi-measure rest
// (old-style rest blocks for two to nine measures, else an H-shaped bar)
// with its count above.

#include <string>

#include "render/notation/ItemTests.h"
#include "render/page/PageDrawer.h"
#include "render/page/ScaledMath.h"
#include "score/model/ItemKinds.h"
#include "score/model/Mark.h"

namespace render {

namespace {

namespace K = ItemKind;

canvas::TRect Box(int64_t L, int64_t T, int64_t R, int64_t B) {
  return {ClampCoordinate(L), ClampCoordinate(T), ClampCoordinate(R), ClampCoordinate(B)};
}

// Brush and a one-pixel pen in Color: shapes filled and outlined alike.
void Fill(canvas::TCanvas& C, canvas::TColor Color) {
  C.Brush.Color = Color;
  C.Brush.Style = canvas::bsSolid;
  C.Pen.Color = Color;
  C.Pen.Width = 1;
  C.Pen.Style = canvas::psSolid;
}

// Count + 1 strokes rising to the right across two spaces, from X at the
// staff's middle Y, four units apart; returns the x after the last.
int64_t DrawStrokes(TKVPageDrawer& D, int64_t X, int64_t Y, int64_t Spacing, int Count) {
  const int64_t u4 = D.ItemUnit(4), u12 = D.ItemUnit(12), half = D.ItemUnit(1.5);
  for (int i = 0; i <= Count; ++i, X += u4) {
    const canvas::TPoint stroke[] = {{ClampCoordinate(X), ClampCoordinate(Y + Spacing)},
                                     {ClampCoordinate(X + half), ClampCoordinate(Y + Spacing)},
                                     {ClampCoordinate(X + u12 + half), ClampCoordinate(Y - Spacing)},
                                     {ClampCoordinate(X + u12), ClampCoordinate(Y - Spacing)}};
    D.Canvas.Polygon(stroke);
  }
  return X;
}

void DrawStrokeSign(TKVPageDrawer& D, const TKVMark& Mark) {
  TKVDisplayItem& record = *D.CurrentRecord;
  const bool measureRepeat = Mark.Kind() == K::MeasureRepeat;
  if (!measureRepeat && VoiceHidden(Mark.Voice)) return;
  const int64_t sp = record.StaffLine->DrawnLineSpacing;
  D.LineSpacing = int32_t(sp);
  D.PlaceItemRect(record.Bounds);
  const canvas::TRect& r = D.ItemRect;
  const canvas::TColor color = measureRepeat ? D.MarkColor(Mark, true)
                                             : D.RuleColor(D.VoiceItemAtCursor(Mark, record), Mark.Color());
  Fill(D.Canvas, color);
  const int64_t u2 = D.ItemUnit(2), u3 = D.ItemUnit(3), u6 = D.ItemUnit(6), u7 = D.ItemUnit(7);
  int64_t x = r.Left;
  const int64_t y = (int64_t(r.Top) + r.Bottom) / 2;
  if (measureRepeat) D.Canvas.Ellipse(Box(x + u2, y - u6, x + D.ItemUnit(6), y - u2));
  x = DrawStrokes(D, x, y, sp, Mark.Variant());
  if (measureRepeat) D.Canvas.Ellipse(Box(x + u3, y + u2, x + u7, y + u6));
  if (D.IsItemSelected(record)) D.DrawSelectionCorners(r);
}

// Two thick parallel bars slanting up to the right, filled black.
void DrawDoubleSlash(TKVPageDrawer& D) {
  TKVDisplayItem& record = *D.CurrentRecord;
  D.PlaceItemRect(record.Bounds);
  const canvas::TRect& r = D.ItemRect;
  const double u = D.ItemUnit(1), t = 3 * u, s = D.ItemUnit(8), L = r.Left, T = r.Top, R = r.Right;
  const canvas::TSmoothBrush black{canvas::ArgbOf(canvas::clBlack)};
  for (const double drop : {0.0, t + u}) {
    const canvas::TPointF bar[] = {{L, T + s + drop}, {R, T + drop}, {R, T + t + drop}, {L, T + s + t + drop}};
    D.Canvas.SmoothPolygon(bar, nullptr, &black);
  }
  if (D.IsItemSelected(record)) D.DrawSelectionCorners(r);
}

void DrawMultiMeasureRest(TKVPageDrawer& D, const TKVMark& Mark) {
  TKVDisplayItem& record = *D.CurrentRecord;
  const TKVStaffLineRecord& line = *record.StaffLine;
  if (!(line.Flags & 1)) return;
  const int64_t sp = line.DrawnLineSpacing, h = sp / 2;
  D.LineSpacing = int32_t(sp);
  const canvas::TColor color = D.MarkColor(Mark, true);
  canvas::TCanvas& c = D.Canvas;
  Fill(c, color);
  c.Font.Color = color;
  D.PlaceItemRect(record.Bounds2);
  const int64_t L = D.ItemRect.Left, T = D.ItemRect.Top, R = D.ItemRect.Right, B = D.ItemRect.Bottom;
  const uint16_t count = Mark.Value();
  // Old-style rest blocks: a two-measure block fills a space, a
  // four-measure block two; counts between combine them.
  switch (count) {
    case 2: c.FillRect(Box(L, B - sp, R, B)); break;
    case 3: c.FillRect(Box(L, B - sp, L + h, B)), c.FillRect(Box(L + sp, B - sp, R, B - h)); break;
    case 4: c.FillRect(Box(L, B - 2 * sp, R, B)); break;
    case 5: c.FillRect(Box(L, B - 2 * sp, L + h, B)), c.FillRect(Box(L + sp, B - 2 * sp, R, B - sp - h)); break;
    case 6: c.FillRect(Box(L, B - 2 * sp, L + h, B)), c.FillRect(Box(L + sp, B - 2 * sp, R, B - sp)); break;
    case 7:
      c.FillRect(Box(L, B - 2 * sp, L + h, B)), c.FillRect(Box(L + sp, B - 2 * sp, L + sp + h, B - sp));
      c.FillRect(Box(L + 2 * sp, B - 2 * sp, R, B - sp - h));
      break;
    case 8: c.FillRect(Box(L, B - 2 * sp, L + h, B)), c.FillRect(Box(L + sp, B - 2 * sp, R, B)); break;
    case 9:
      c.FillRect(Box(L, B - 2 * sp, L + h, B)), c.FillRect(Box(L + sp, B - 2 * sp, L + sp + h, B));
      c.FillRect(Box(L + 2 * sp, B - 2 * sp, R, B - sp - h));
      break;
    default: {
      const int64_t u = D.ItemUnit(1);
      c.FillRect(Box(L, T, L + u, B)), c.FillRect(Box(R - u, T, R, B)), c.FillRect(Box(L + u, T + u, R - u, B - u));
      break;
    }
  }
  D.SetMarkTextFont(Mark, 9);
  D.SetSymbolFontSize9();
  c.Brush.Style = canvas::bsClear;
  const std::string text = std::to_string(count);
  // The count's own offset, truncated toward zero like every scaled length.
  const int64_t lift = int64_t(Mark.TextY()) * D.YScale / 100 / 8;
  c.TextOutA(ClampCoordinate((L + R - c.TextWidthA(text)) / 2), ClampCoordinate(T - c.TextHeight(u"A") + lift), text);
  c.Font.Style = 0;
  if (D.IsItemSelected(record)) {
    D.PlaceItemRect(record.Bounds);
    D.DrawSelectionCorners(D.ItemRect);
  }
}

}  // namespace

void TKVPageDrawer::DrawRepeatStrokes(TKVMark& Mark) {
  // Every one of these stands on a staff: without one nothing says where.
  if (!CurrentRecord->StaffLine) return;
  switch (Mark.Kind()) {
    case K::DoubleSlash: DrawDoubleSlash(*this); break;
    case K::MultiMeasureRest: DrawMultiMeasureRest(*this, Mark); break;
    default: DrawStrokeSign(*this, Mark); break;
  }
}

}  // namespace render
