#pragma once
// A canvas straight on a control's pixels in its form's window, for drawing
// outside a paint (the cursor and the exclusive-or overlays): the origin at
// the control's top-left corner, clipped to the control, and the control's
// rectangle shown on the screen when the canvas goes. Without a form there
// is nothing to draw on and Canvas() is nil.

#include <memory>

namespace canvas {
class TCanvas;
}
namespace forms {
class TControl;
}

class TKVWindowCanvas {
public:
  explicit TKVWindowCanvas(forms::TControl* Control);
  ~TKVWindowCanvas();
  TKVWindowCanvas(const TKVWindowCanvas&) = delete;
  TKVWindowCanvas& operator=(const TKVWindowCanvas&) = delete;

  canvas::TCanvas* Canvas() const { return FCanvas.get(); }

private:
  forms::TControl* FControl = nullptr;
  std::unique_ptr<canvas::TCanvas> FCanvas;
};
