#include "render/overlay/SelectionOverlay.h"

#include "base/Saturate.h"
#include "player/PlayTime.h"
#include "player/ViewControl.h"
#include "player/Window.h"
#include "render/overlay/OverlayRecords.h"
#include "render/overlay/XorDrawing.h"
#include "score/layout/ItemFields.h"
#include "score/layout/page/PagePlaces.h"
#include "score/model/ItemKinds.h"
#include "score/model/Note.h"

namespace render {

TSelectionOverlay::TSelectionOverlay(TKVWindow& AView, canvas::TCanvas& ACanvas)
    : View(AView),
      Canvas(ACanvas),
      DragOffset{Saturate32(int64_t(View.DragRect.Right) - View.DragRect.Left),
                 Saturate32(int64_t(View.DragRect.Bottom) - View.DragRect.Top)} {}

void TSelectionOverlay::Invalidate(const canvas::TRect& R) {
  if (View.Control()) View.Control()->InvalidateRect(R, true);
}

void TSelectionOverlay::Draw(bool MoveAll) {
  const TKVDisplayItem* focused = View.FocusedRecord;
  if (!View.MoveFeedback || View.DragLocked || !View.Dragging || !IsDragInRange(View.DragRect)) return;
  if (focused && focused->Item && focused->Item->Kind() == ItemKind::Note) return;
  TXorDrawing xorPen(Canvas, View.GetViewRect());
  if (MoveAll)
    for (const auto& group : View.SelectionGroups)
      for (const auto& records : group.Measures)
        for (TKVDisplayItem* R : records)
          if (IsShownRecord(View, R)) Move(*R, true, true);
  // The selected records follow on every call; only the editing side's own
  // call repaints, so that a paint never asks for the next one.
  for (TKVDisplayItem* R : View.SelectedRecords)
    if (IsShownRecord(View, R)) Move(*R, false, MoveAll);
  for (const auto& group : View.SelectionGroups)
    for (const auto& records : group.Measures)
      for (TKVDisplayItem* R : records)
        if (IsShownRecord(View, R)) DrawAnchorConnector(*R);
  for (TKVDisplayItem* R : View.SelectedRecords)
    if (IsShownRecord(View, R)) DrawAnchorConnector(*R);
}

canvas::TRect TSelectionOverlay::RecordBox(const TKVDisplayItem& R) const {
  return View.ScoreRectToClient(&R, LayoutRect(R.Bounds), RecordPage(View, R));
}

canvas::TRect TSelectionOverlay::MovedBox(const TKVDisplayItem& R, int32_t DX, int32_t DY, bool ByKind) const {
  const canvas::TRect r = Inflated(RecordBox(R), View.Zoom() * 8 / 100);
  const uint8_t kind = ByKind && R.Item ? R.Item->Kind() : 0;
  if (kind == ItemKind::Volta) return Offset(r, 0, DY);
  if (kind == ItemKind::Clef || kind == ItemKind::KeySignature) return Offset(r, DX, 0);
  return Offset(r, DX, DY);
}

// Where the record was drawn and where it is drawn from now on; the new
// area of a volta, clef or key of a selection group has its left edge
// moved by the horizontal offset once more.
void TSelectionOverlay::Move(TKVDisplayItem& R, bool ByKind, bool Repaint) {
  if (Repaint) Invalidate(MovedBox(R, R.Shift.X, R.Shift.Y, ByKind));
  R.Placement |= 1;
  R.Shift.X = DragOffset.X, R.Shift.Y = DragOffset.Y;
  canvas::TRect moved = MovedBox(R, DragOffset.X, DragOffset.Y, ByKind);
  const uint8_t kind = ByKind && R.Item ? R.Item->Kind() : 0;
  if (kind == ItemKind::Volta || kind == ItemKind::Clef || kind == ItemKind::KeySignature)
    moved.Left = Saturate32(int64_t(moved.Left) + DragOffset.X);
  if (Repaint) Invalidate(moved);
}

void TSelectionOverlay::Route(const canvas::TRect& A, const canvas::TRect& B, bool FromLeftEdge) {
  auto m = [](int32_t a, int32_t b) { return int32_t((int64_t(a) + b) / 2); };
  const int32_t middle = FromLeftEdge ? B.Left : m(B.Left, B.Right);
  canvas::TPoint s{middle, B.Bottom}, e{A.Left, m(A.Top, A.Bottom)};
  if (A.Bottom < B.Top)
    s = {middle, B.Top}, e = {A.Left, A.Bottom};
  else if (A.Top > B.Bottom)
    s = {middle, B.Bottom}, e = {A.Left, A.Top};
  else if (A.Left < B.Left)
    s = {B.Left, m(B.Top, B.Bottom)};
  else if (A.Left > B.Right)
    s = {B.Right, m(B.Top, B.Bottom)};
  else if (B.Top > m(B.Top, B.Bottom))
    s = {middle, B.Top};
  Canvas.MoveTo(s.X, s.Y);
  Canvas.LineTo(e.X, e.Y);
  DrawXorArrowHead(Canvas, e, s);
}

TKVDisplayItem* TSelectionOverlay::FindNoteRecord(const TKVMeasureRecord& R, const TKVItem& Mark, int32_t Column) {
  const TKVPart* part = ItemPart(&Mark);
  const uint8_t voice = ItemStaffVoice(&Mark);
  auto isNote = [&](const TKVDisplayItem* d) {
    const auto* note = d && d->RecordType == DisplayRecordType::Item ? ItemCast<const TKVNote>(d->Item) : nullptr;
    return note && note->Kind() == ItemKind::Note && note->StaffVoice() == voice && note->Position() == Column &&
           ItemPart(note) == part;
  };
  int32_t i = 0;
  while (i < R.DisplayCount && !isNote(R.GetDisplay(i))) ++i;
  if (i >= R.DisplayCount) return nullptr;
  while (isNote(R.GetDisplay(i + 1)) && static_cast<const TKVNote*>(R.GetDisplay(i + 1)->Item)->Flag(2)) ++i;
  return R.GetDisplay(i);
}

const TKVMeasureRecord* TSelectionOverlay::FindMeasureAtTick(const TKVMeasureRecord& R, int64_t Tick, int32_t& Offset) {
  const TKVPiece* piece = R.System ? R.System->Piece : nullptr;
  for (int64_t i = R.ColumnIndex; const TKVMeasureRecord* M = LaidOutRecord(piece, i); ++i)
    if (Tick >= M->StartTick && Tick < int64_t(M->StartTick) + M->Length) {
      Offset = int32_t(Tick - M->StartTick);
      return M;
    }
  return nullptr;
}

}  // namespace render
