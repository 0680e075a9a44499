#pragma once
// What painting needs of a visible score view beyond the player's view: the
// control's canvas and geometry, its scroll position and screen resolution,
// the paper and cursor it draws itself, and a canvas straight on its window
// for the exclusive-or overlays. A visible view implements it beside
// TKVWindow; the renderer is made only for such views.

#include <memory>

#include "platform/canvas/Canvas.h"

namespace render {

class TKVPaintHost {
public:
  virtual ~TKVPaintHost() = default;
  virtual canvas::TCanvas& ControlCanvas() = 0;
  virtual canvas::TRect ClientRect() = 0;
  virtual canvas::TRect GetViewRect() = 0;      // inside the rulers and scroll bars
  virtual canvas::TRect GetClientAreaRect() = 0; // without the scroll bars
  virtual canvas::TColor Color() = 0;
  virtual canvas::TPoint ScrollPosition() = 0;  // horizontal and vertical
  virtual int ScreenPixelsPerInch() = 0;
  virtual void DrawPageBackground(canvas::TCanvas& Canvas) = 0;
  virtual void DrawCursor(canvas::TCanvas& Canvas, bool Show) = 0;
  // A canvas on the window itself, released when freed; nil while the view
  // has no window to draw on.
  virtual std::unique_ptr<canvas::TCanvas> WindowCanvas() = 0;
};

}  // namespace render
