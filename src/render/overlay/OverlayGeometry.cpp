// The connector of the drag feedback and the nearest-record searches of the
// input marker.

#include <cstdlib>

#include "player/Window.h"
#include "render/overlay/HoverOverlay.h"
#include "render/overlay/XorDrawing.h"
#include "score/layout/page/PageRecords.h"
#include "score/model/Item.h"
#include "score/model/ItemKinds.h"

namespace render {

void THoverOverlay::DrawOverlayConnector(const canvas::TRect& A, const canvas::TRect& B) {
  canvas::TPoint tail{B.Left, B.Bottom}, tip{A.Left, A.Top};
  if (A.Bottom < B.Top)
    tail = {B.Left, B.Top}, tip = {A.Left, A.Bottom};
  else if (A.Top > B.Bottom)
    tail = {B.Left, B.Bottom};
  else if (A.Left < B.Left)
    tail = {B.Left, B.Top};
  else if (A.Left > B.Right)
    tail = {B.Right, B.Top};
  Canvas.MoveTo(tail.X, tail.Y);
  Canvas.LineTo(tip.X, tip.Y);
  DrawXorArrowHead(Canvas, tip, tail);
}

TKVDisplayItem* THoverOverlay::FindNearestNote(const TKVMeasureRecord& R) const { return FindNearest(R, false); }

TKVDisplayItem* THoverOverlay::FindNearestNoteOrRest(const TKVMeasureRecord& R) const { return FindNearest(R, true); }

TKVDisplayItem* THoverOverlay::FindNearest(const TKVMeasureRecord& R, bool Rests) const {
  const int32_t page = R.System && R.System->Page ? R.System->Page->PageIndex : -1;
  const canvas::TPoint p = View.ClientToScore({View.DragRect.Right, View.DragRect.Bottom}, page);
  int64_t best = 100000;
  TKVDisplayItem* found = nullptr;
  for (int32_t i = 0; i < R.DisplayCount; ++i) {
    TKVDisplayItem* d = R.GetDisplay(i);
    if (!d || d->RecordType != DisplayRecordType::Item || !d->Item) continue;
    const uint8_t kind = d->Item->Kind();
    if (kind != ItemKind::Note && !(Rests && kind == ItemKind::Rest)) continue;
    const int64_t cx = (int64_t(d->Bounds.Left) + d->Bounds.Width) / 2, cy = (int64_t(d->Bounds.Top) + d->Bounds.Bottom) / 2;
    const int64_t distance = std::llabs(p.X - cx) + std::llabs(p.Y - cy);
    if (distance < best) best = distance, found = d;
  }
  return found;
}

}  // namespace render
