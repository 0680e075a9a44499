#pragma once
// How every overlay draws on the view's window: a one-pixel white pen that
// inverts what it covers, so that the same figure drawn twice leaves the
// pixels as they were; and the outlined arrow heads of its connectors.

#include "platform/canvas/Canvas.h"

namespace render {

// While it lives: the canvas clipped to Clip, the pen white, inverting,
// dotted and one pixel wide, the brush clear. The canvas's state comes back
// and its brush is solid again however the drawing ends.
class TXorDrawing {
public:
  TXorDrawing(canvas::TCanvas& Canvas, const canvas::TRect& Clip);
  ~TXorDrawing();
  TXorDrawing(const TXorDrawing&) = delete;
  TXorDrawing& operator=(const TXorDrawing&) = delete;

private:
  canvas::TCanvas& FCanvas;
};

// An outlined head at Tip of a line that comes from Tail: six pixels long,
// one to either side at its base, in the canvas's pen. Leaves the pen solid.
void DrawXorArrowHead(canvas::TCanvas& Canvas, canvas::TPoint Tip, canvas::TPoint Tail);

}  // namespace render
