// The curve of a slur or tie being drawn with the mouse: from where the
// button went down to the column under the mouse, one piece per system
// line when that column lies on a later system.

#include <cmath>
#include <numbers>

#include "base/Saturate.h"
#include "player/PlayTime.h"
#include "player/Window.h"
#include "render/overlay/HoverOverlay.h"
#include "render/overlay/OverlayRecords.h"
#include "score/layout/page/PagePlaces.h"
#include "score/model/DisplayUnits.h"
#include "score/model/Score.h"

namespace render {

namespace {

constexpr uint8_t kStraight = 8;
constexpr uint8_t kLevel = 0x10;

}  // namespace

THoverOverlay::TSlurControls THoverOverlay::CalcSlurCurve(const canvas::TRect& Span, uint8_t Shape) {
  const int64_t dx = int64_t(Span.Right) - Span.Left;
  const int32_t h = dx <= 1 ? 1 : RoundExtended(std::log((long double)dx)), l = dx <= 1 ? 2 : 2 * h;
  const long double a = dx == 0 ? 0 : std::atan((long double)(int64_t(Span.Bottom) - Span.Top) / dx);
  const long double quarter = std::numbers::pi_v<long double> / 4;
  auto round = [](long double V) { return RoundExtended(V); };
  // In window coordinates (y down) the first control point is (L, H) turned
  // by a + pi/4 and the second (-L, H) turned by a - pi/4; the upward curve
  // mirrors both.
  const int32_t side = Shape == 0 ? -1 : 1;
  const long double u1 = quarter + side * a, u2 = -quarter + side * a;
  return {{round(l * std::cos(u1) - h * std::sin(u1)), side * round(l * std::sin(u1) + h * std::cos(u1))},
          {round(-l * std::cos(u2) - h * std::sin(u2)), side * round(-l * std::sin(u2) + h * std::cos(u2))}};
}

void THoverOverlay::DrawSlurPiece(canvas::TPoint A, canvas::TPoint B) {
  if (View.InsertShape == kStraight) {
    const canvas::TPoint line[2] = {A, B};
    return Canvas.Polyline(line);
  }
  const TSlurControls c = CalcSlurCurve({A.X, A.Y, B.X, B.Y}, View.InsertShape);
  const canvas::TPoint curve[4] = {A, {A.X + c.C1.X, A.Y + c.C1.Y}, {B.X + c.C2.X, B.Y + c.C2.Y}, B};
  Canvas.PolyBezier(curve);
}

TKVSystemRecord* THoverOverlay::NextSystem(const TKVSystemRecord& System) const {
  if (TKVSystemRecord* next = SystemAt(System.Page, SystemIndex(System) + 1)) return next;
  for (int32_t p = System.Page->PageIndex + 1; const TKVPageRecord* page = View.PageRecord(p); ++p)
    if (TKVSystemRecord* first = SystemAt(page, 0)) return first;
  return nullptr;
}

void THoverOverlay::DrawSlurFeedback() {
  const THitPlace hit = HitPlace(View);
  if (!hit.Line) return;
  const TKVHitRecord& h = View.Hit;
  const canvas::TRect& d = View.DragRect;
  const int32_t page = View.ActivePage();
  const TKVStaffLineRecord* start = StaffLineAt(View.PageRecord(page), View.GetCursorStaffLine());
  TKVSystemRecord* first = start ? start->System : nullptr;
  if (!first || first->Page != View.PageRecord(page) || SystemIndex(*first) < 0) return;
  const TKVSystemRecord* last = hit.System;
  struct TSaved {
    canvas::TCanvas& C;
    explicit TSaved(canvas::TCanvas& Canvas) : C(Canvas) { C.Save(); }
    ~TSaved() { C.Restore(); }
  } saved(Canvas);
  auto columnX = [this](const TKVMeasureRecord& R, int32_t Tick, int32_t Page) {
    return View.ScoreXToClient(Saturate32(TickX(R, Tick)), Page);
  };

  if (first == last) {
    if (View.InsertShape == kStraight) {
      // A straight slur stops short of both ends.
      const int32_t inset = int32_t(int64_t(View.ScaleSize(8)) * View.Score()->Scale() / 100);
      const TKVMeasureRecord* R = LaidOutRecord(first->Piece, h.Measure);
      const int32_t end = R ? columnX(*R, h.Tick, h.Page) : d.Left - 1;
      if (end < d.Left) return;
      const canvas::TPoint line[2] = {{d.Left + inset, d.Top}, {end - inset, d.Bottom}};
      return Canvas.Polyline(line);
    }
    if (View.InsertFlags & kLevel) {
      const TSlurControls c = CalcSlurCurve({d.Left, d.Top, d.Right, d.Top}, View.InsertShape);
      const canvas::TPoint curve[4] = {
          {d.Left, d.Top}, {d.Left + c.C1.X, d.Top + c.C1.Y}, {d.Right + c.C2.X, d.Bottom + c.C2.Y}, {d.Right, d.Bottom}};
      return Canvas.PolyBezier(curve);
    }
    return DrawSlurPiece({d.Left, d.Top}, {d.Right, d.Bottom});
  }

  // An end before the start has no pieces to draw.
  const int32_t lastPage = last->Page->PageIndex;
  if (lastPage < page || (lastPage == page && SystemIndex(*last) < SystemIndex(*first))) return;
  const int32_t right = View.ScoreXToClient(first->RightX, page);
  if (right < d.Left) return;
  DrawSlurPiece({d.Left, d.Top}, {right, d.Top});
  for (TKVSystemRecord* s = NextSystem(*first); s && s != last; s = NextSystem(*s)) {
    const TKVMeasureRecord* R = MeasureAt(s, 0);
    const TKVStaffLineRecord* line = StaffLineAt(s->Page, s->FirstStaffLine);
    if (!R || !line) continue;
    const int32_t p = s->Page->PageIndex;
    const int32_t y = ClientY(View.InsertShape == 0 || View.InsertShape == kStraight ? line->Top : line->Bottom, p);
    DrawSlurPiece({columnX(*R, 0, p), y}, {View.ScoreXToClient(s->RightX, p), y});
  }
  const TKVMeasureRecord* R = MeasureAt(last, 0);
  if (!R || last->FirstMeasure > h.Measure) return;
  const TKVMeasureRecord* end = MeasureAt(last, h.Measure - last->FirstMeasure);
  if (!end) return;
  DrawSlurPiece({columnX(*R, 0, h.Page), d.Bottom}, {columnX(*end, h.Tick, h.Page), d.Bottom});
}

}  // namespace render
