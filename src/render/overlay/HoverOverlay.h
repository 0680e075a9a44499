#pragma once
// The hover and drag overlay of a shown view, drawn straight on its window
// in inverting strokes: the rubber band of a page object or slur being
// drawn, the feedback of a dragged record, or the note-input marker. One
// object serves one call of the view's DrawHoverOverlay; drawing the same
// state twice leaves the window as it was, so the view calls it in pairs.
// What it shows is set by an editing host (Window.h); the marker writes the
// hovered pitch line and the drag feedback the dragged record's pending
// adjustment and snap results.

#include <cstdint>

#include "platform/canvas/Canvas.h"

class TKVWindow;
struct TKVDisplayItem;
struct TKVMeasureRecord;

namespace render {

class THoverOverlay {
public:
  // Update: the drag feedback repaints what the dragged record covered and
  // covers now.
  THoverOverlay(TKVWindow& View, canvas::TCanvas& Canvas, bool Update);
  virtual ~THoverOverlay() = default;

  // Nothing unless HoverShown; then the rubber band of DrawKind, else the
  // drag feedback of DragHandle, else the input marker.
  void Draw();

  // ---- geometry of the connectors and searches ----
  // A dotted line from the anchor rectangle B to the item rectangle A with
  // an arrow head at A: from B's top or bottom edge when A lies above or
  // below it, else from its top-left, top-right or bottom-left corner.
  void DrawOverlayConnector(const canvas::TRect& A, const canvas::TRect& B);
  // The note (or note or rest) of R whose centre is nearest the mouse,
  // counted in layout units on R's page; nil when none is.
  TKVDisplayItem* FindNearestNote(const TKVMeasureRecord& R) const;
  TKVDisplayItem* FindNearestNoteOrRest(const TKVMeasureRecord& R) const;

protected:
  // Repaints R (client pixels) at the next paint.
  virtual void Invalidate(const canvas::TRect& R);

  TKVWindow& View;
  canvas::TCanvas& Canvas;
  bool Update;

private:
  void DrawRubberBand();
  TKVDisplayItem* FindNearest(const TKVMeasureRecord& R, bool Rests) const;
};

}  // namespace render
