// Tuplets: the count (or the ratio n:m) centred over or under the group,
// and a bracket along the group's slope, broken around the number, with a
// hook at each end.

#include <cmath>
#include <string>

#include "player/Window.h"
#include "render/notation/ItemTests.h"
#include "render/page/PageDrawer.h"
#include "render/page/ScaledMath.h"
#include "score/layout/LayoutServices.h"
#include "score/model/Mark.h"
#include "score/model/Score.h"
#include "score/model/ScoreRoutines.h"

namespace render {

namespace {

constexpr uint8_t kNumberOnly = 0x01, kRatio = 0x02, kHooksUp = 0x10, kMarksOnly = 0x80;

}  // namespace

void TKVPageDrawer::DrawTuplet(TKVMark& Mark) {
  TKVDisplayItem& record = *CurrentRecord;
  if (VoiceHidden(Mark.Voice)) return;
  PlaceItemRect(record.Bounds2);
  canvas::TRect ends = ItemRect;
  // A drag of the end's grip changes its height only.
  if ((record.Placement & 0x0F) == 3) ends.Bottom += record.Shift.Y;
  const int64_t L = ends.Left, T = ends.Top, R = ends.Right, B = ends.Bottom;

  if (!(Mark.Flags() & kMarksOnly)) {
    const int64_t u = ItemUnit(1), u4 = ItemUnit(4);
    // Greyed by the mark's own staff and voice, and its staff's part and
    // piece; a record on no staff line keeps its colour.
    const bool atCursor = !record.StaffLine || ((Mark.StaffVoice() >> 4) == View.CursorStaff() &&
                                                OnCursorVoice(Mark.StaffVoice()) && OnCursorPart(record) &&
                                                OnCursorPiece(record));
    const canvas::TColor colour = RuleColor(atCursor, Mark.Color());
    // A bracket of no width has no slope: it lies level.
    const double k = R != L ? double(T - B) / double(R - L) : 0;
    const int64_t e4 = R != L ? (B - T) * u4 / (L - R) : 0;
    auto height = [&](int64_t d) { return ClampCoordinate(T - std::llrint(double(d) * k)); };

    Canvas.Font.Name = TextFontName(*Score, 6, Mark.Text1());
    SetSymbolFontSize7();
    Canvas.Font.Style = Mark.TextStyle();
    Canvas.Font.Color = colour;
    std::string text = std::to_string(Mark.Variant());
    if (Mark.Flags() & kRatio) text += ":" + std::to_string(TupletNormalCount(Mark.Variant()));
    const int64_t W = Canvas.TextWidthA(text) + ItemUnit(2), mid = (R - L) / 2;
    const int64_t g0 = mid - W / 2, g1 = mid + W / 2;
    Canvas.Brush.Style = canvas::bsClear;
    Canvas.TextOutA(ClampCoordinate(L + g0 + u), ClampCoordinate(height(g0) - 4 * u - e4), text);

    if (!(Mark.Flags() & kNumberOnly)) {
      const int64_t v = Score->Drawing.TupletLineWidth;
      const double width = v != 0 ? double(RoundDiv(v * ScaleProduct * record.SizePercent, 8000000)) : double(u);
      const canvas::TSmoothPen pen{canvas::ArgbOf(colour), width};
      const int64_t hook = Mark.Flags() & kHooksUp ? -u4 : u4;
      auto at = [](int64_t X, int64_t Y) { return canvas::TPointF{double(ClampCoordinate(X)), double(ClampCoordinate(Y))}; };
      const canvas::TPointF left[] = {at(L, T + hook), at(L, T), at(L + g0, height(g0))};
      const canvas::TPointF right[] = {at(R, B + hook), at(R, B), at(L + g1, height(g1))};
      Canvas.SmoothPolyline(left, pen);
      Canvas.SmoothPolyline(right, pen);
    }
  }
  if (IsItemSelected(record)) {
    DrawSelectionHandle({ends.Right - UnitWidth(3), ends.Bottom});
    PlaceItemRect(record.Bounds);
    DrawSelectionCorners(ItemRect);
  }
}

}  // namespace render
