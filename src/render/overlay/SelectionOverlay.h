#pragma once
// The overlay of a selection being moved with the mouse: every selected
// record takes the drag offset as its pending adjustment (the next paint
// draws it there), and a dotted arrow runs from each moved item to what it
// would attach to: its measure position, note, staff or owner. Drawn
// straight on the view's window in inverting strokes, so that the view's
// paint calls it in pairs. One object serves one call.

#include <cstdint>

#include "platform/canvas/Canvas.h"

class TKVItem;
class TKVWindow;
struct TKVDisplayItem;
struct TKVMeasureRecord;
struct TKVStaffLineRecord;

namespace render {

class TSelectionOverlay {
public:
  TSelectionOverlay(TKVWindow& View, canvas::TCanvas& Canvas);
  virtual ~TSelectionOverlay() = default;

  // Nothing unless the view asks for move feedback while a drag runs, no
  // lock holds it and the record under the mouse is no note. MoveAll: the
  // editing side's own call, which also moves the records of the selection
  // groups and repaints where the records were and are.
  void Draw(bool MoveAll);

  // The connector of one record from its moved box to its anchor; sets
  // AnchorRecord and AnchorColumn for the kinds anchored at a measure.
  void DrawAnchorConnector(const TKVDisplayItem& R);
  // A dotted line with an arrow head from the item box B to the anchor A
  // (whose x is A.Left): from the middle of B's edge that faces A, or with
  // FromLeftEdge from its left corner, the right one when A lies right.
  void Route(const canvas::TRect& A, const canvas::TRect& B, bool FromLeftEdge);

  // In R, from the first note of Mark's part and voice at Column on: the
  // last of the notes that follow it directly at that column with bit 2 of
  // their flags set. Nil when none.
  static TKVDisplayItem* FindNoteRecord(const TKVMeasureRecord& R, const TKVItem& Mark, int32_t Column);
  // The measure record of R's piece, from R on, whose ticks hold the
  // absolute Tick; nil past the piece's records.
  static const TKVMeasureRecord* FindMeasureAtTick(const TKVMeasureRecord& R, int64_t Tick, int32_t& Offset);

protected:
  // Repaints R (client pixels) at the next paint.
  virtual void Invalidate(const canvas::TRect& R);

private:
  // A record's box in client pixels, moved by the pending shift as the
  // record's kind applies it (171 vertically, 2 and 3 horizontally).
  canvas::TRect MovedBox(const TKVDisplayItem& R, int32_t DX, int32_t DY, bool ByKind) const;
  void Move(TKVDisplayItem& R, bool ByKind, bool Repaint);
  // The anchor's measure and column, hit under the item's left edge when
  // the anchors follow the score.
  const TKVMeasureRecord* AnchorMeasure(const TKVDisplayItem& R, const canvas::TRect& B, int32_t& Column);
  static int32_t MeasurePage(const TKVMeasureRecord& M);
  int32_t ColumnX(const TKVMeasureRecord& M, int64_t Column) const;
  // The band of a staff line in client y, with Left and Right at X.
  canvas::TRect Band(const TKVStaffLineRecord* Line, int32_t X) const;
  canvas::TRect MeasureBox(const TKVMeasureRecord& M) const;
  canvas::TRect RecordBox(const TKVDisplayItem& R) const;
  void DrawRangeEnd(const TKVDisplayItem& R, const TKVMeasureRecord& Anchor, int32_t Column, canvas::TRect B);

  TKVWindow& View;
  canvas::TCanvas& Canvas;
  canvas::TPoint DragOffset;
};

}  // namespace render
