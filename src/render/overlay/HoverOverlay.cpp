#include "render/overlay/HoverOverlay.h"

#include "player/ViewControl.h"
#include "player/Window.h"
#include "render/overlay/OverlayRecords.h"
#include "render/overlay/XorDrawing.h"
#include "score/model/ItemKinds.h"

namespace render {

THoverOverlay::THoverOverlay(TKVWindow& AView, canvas::TCanvas& ACanvas, bool AUpdate)
    : View(AView), Canvas(ACanvas), Update(AUpdate) {}

void THoverOverlay::Draw() {
  if (!View.HoverShown || !IsDragInRange(View.DragRect)) return;
  if (View.DrawKind != 0) {
    TXorDrawing xorPen(Canvas, View.GetViewRect());
    return DrawRubberBand();
  }
  if (View.DragHandle != 0) {
    TXorDrawing xorPen(Canvas, View.GetViewRect());
    return DrawDragFeedback();
  }
  if (View.Score() && View.InputMarkerMode != 0) DrawInputMarker();
}

void THoverOverlay::DrawRubberBand() {
  const canvas::TRect& d = View.DragRect;
  // The ordered band gives the radials: the curve runs counter-clockwise
  // from its top-left to its bottom-right corner.
  const canvas::TRect n = View.RectFromAnchor(d.Right, d.Bottom);
  const canvas::TPoint from{n.Left, n.Top}, to{n.Right, n.Bottom};
  switch (View.DrawKind) {
    case ItemKind::OleObject:
    case ItemKind::Text:
    case ItemKind::Rectangle: return Canvas.Rectangle(d);
    case ItemKind::Line: {
      const canvas::TPoint line[2] = {{d.Left, d.Top}, {d.Right, d.Bottom}};
      return Canvas.Polyline(line);
    }
    case ItemKind::Ellipse: return Canvas.Ellipse(d);
    case ItemKind::Arc: return Canvas.Arc(d, from, to);
    case ItemKind::Pie: return Canvas.Pie(d, from, to);
    case ItemKind::ArcChord: return Canvas.Chord(d, from, to);
    case ItemKind::Slur:
      DrawInputMarker();
      return DrawSlurFeedback();
    default: return;
  }
}

int32_t THoverOverlay::ClientY(int32_t Y, int32_t Page) const { return View.ScorePointToClient(nullptr, {0, Y}, Page).Y; }

void THoverOverlay::Invalidate(const canvas::TRect& R) {
  if (View.Control()) View.Control()->InvalidateRect(R, true);
}

}  // namespace render
