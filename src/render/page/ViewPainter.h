#pragma once
// The paint of a visible score view: every visible page composed in an
// off-screen image, the uncovered parts in the control's colour, the image
// copied onto the control in one block with the exclusive-or overlays taken
// off and put back around the copy, then the rulers and page buttons.

#include "platform/canvas/Bitmap.h"
#include "player/ScoreRenderer.h"

class TKVWindow;

namespace render {

class TKVViewPainter : public TKVScoreRenderer {
public:
  explicit TKVViewPainter(TKVWindow& View);

  void Paint() override;
  void ShowCursor(bool Show) override;
  void DrawHoverOverlay(bool Update) override;
  void CalcRuleMarkers() override;
  void DrawSelectionOverlay(bool MoveAll);
  // Both rulers inside Area (the client area of the scroll bars' side),
  // each page's part clipped to its strip unless NoClip; Reserved has no
  // effect.
  void DrawRule(canvas::TCanvas& Canvas, bool NoClip, const canvas::TRect& Area, int Reserved);
  // The page-button bar left of the horizontal scroll bar, in the plain
  // look (no visual styles exist to theme it).
  void DrawPageButtons(canvas::TCanvas& Canvas);
  // The image of the view rectangle (client pixels): the visible pages and
  // the control's colour where none is; Paint copies it onto the control.
  canvas::TBitmap ComposePages(const canvas::TRect& ViewRect);

protected:
  // One page's content at the paint scale, the canvas's origin at its top
  // left corner.
  virtual void DrawPageContent(int32_t PageIndex, canvas::TCanvas& Canvas, int32_t Scale, canvas::TPoint Origin);

  TKVWindow& View;

private:
  struct TPaintState;
  // The hook of a ruler marker: markers are not drawn.
  void DrawRuleMarker(canvas::TColor Color, bool Active, int Kind);
  void DrawPage(TPaintState& State, int32_t PageIndex);
  void DrawSpreadPage(TPaintState& State, int32_t PageIndex, bool OuterSide);
};

// Makes every view with a control that is made from now on paint through
// the renderer.
void RegisterScoreRenderer();

}  // namespace render
