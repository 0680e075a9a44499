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
struct TKVSystemRecord;

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

  // ---- the note-input marker ----
  // Mode 1: a dash at the hovered line or space with the ledger lines that
  // lead to it (a square around the hovered string on tablature); modes
  // 2-16: a dotted arrow from the mouse to what an element would attach
  // to. Writes HitLine (the pitch line) and, when it changes, gives the
  // letter hint and sounds a dragged note's new pitch. Nothing in mode 0.
  void DrawInputMarker();

  // ---- the slur being drawn ----
  // The inner control points of a curve over Span, from its start and from
  // its end: shape 0 bulges up, any other down, by the logarithm of the
  // span's width.
  struct TSlurControls {
    canvas::TPoint C1, C2;
  };
  static TSlurControls CalcSlurCurve(const canvas::TRect& Span, uint8_t Shape);
  // From the drag's start to the hovered column, one piece per system when
  // the column lies on a later system.
  void DrawSlurFeedback();

  // ---- the record being dragged ----
  // Writes the drag into DragRecord's pending adjustment (and, for marks
  // that snap, the snap result) and, with Update, repaints where the
  // record was and where it now is; a bar line shows the staff it would
  // reach, a slur dragged by its start the note it starts at.
  void DrawDragFeedback();

protected:
  // Repaints R (client pixels) at the next paint.
  virtual void Invalidate(const canvas::TRect& R);

  TKVWindow& View;
  canvas::TCanvas& Canvas;
  bool Update;

private:
  void DrawRubberBand();
  TKVDisplayItem* FindNearest(const TKVMeasureRecord& R, bool Rests) const;
  // Client y of a layout y on page Page.
  int32_t ClientY(int32_t Y, int32_t Page) const;
  void DrawNoteMarker(int32_t X, int32_t Y0, int32_t Spacing, int32_t Line, int32_t ClefShift);
  // The connector of modes 2-16 from the mouse; false when it has no target.
  bool DrawTargetConnector(int32_t ColumnX);
  // The end x of TargetMeasure, when one is set, for modes 6, 14 and 15.
  bool TargetMeasureX(int32_t& X) const;
  void PlayHoveredPitch();
  void DrawSlurPiece(canvas::TPoint A, canvas::TPoint B);
  // The next system in page order, on this page or the next; nil after the
  // last.
  TKVSystemRecord* NextSystem(const TKVSystemRecord& System) const;

  // The drag feedback by record type and item kind.
  struct TArea;
  void DragItem(TKVDisplayItem& D);
  void DrawBarLineExtension(const TKVDisplayItem& D);
  void DragStem(TKVDisplayItem& D);
  void DragBeamGroup(TKVDisplayItem& D);
  int32_t EndSnap(const TKVDisplayItem& D, int32_t Right);
  int32_t MeasureSnap(const TKVDisplayItem& D, int32_t Right);
  void StaffSnap(TKVDisplayItem& D);
  void DragBoxGrip(TKVDisplayItem& D, const canvas::TRect& R);
  void DragLineEnd(TKVDisplayItem& D, const canvas::TRect& R);
  void DragRadialPoint(TKVDisplayItem& D, const canvas::TRect& R);
  void DragSlur(TKVDisplayItem& D);
  // From where the button went down to the mouse.
  canvas::TPoint DragDelta() const;
  // R of the dragged record in client pixels, on the cursor's page.
  canvas::TRect ClientRect(const TKVDisplayItem& D, const canvas::TRect& R) const;
  // A page object's own rectangle (a line's two ends), in client pixels.
  canvas::TRect ObjectRect(const TKVDisplayItem& D, bool Ends) const;
  canvas::TPoint ObjectOrigin(const TKVDisplayItem& D) const;
  // The common pattern: the area at the current adjustment repainted, the
  // offset mode set (Code 0 leaves it) and the new shift written, the area
  // at the new adjustment repainted; repainting only with Update.
  template <class TAreaOf>
  void Adjust(TKVDisplayItem& D, uint8_t Code, canvas::TPoint Shift, TAreaOf AreaOf);
};

}  // namespace render
