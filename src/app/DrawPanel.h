#pragma once
// A panel that the program draws on outside painting: what is drawn on its
// surface stays there (a bitmap the size of the client area) and is shown
// inside the panel's bevel at every repaint. A change of size starts the
// surface afresh in the panel's colour.

#include "platform/canvas/Bitmap.h"
#include "platform/forms/ExtCtrls.h"

class TDrawPanel : public forms::TPanel {
public:
  using TPanel::TPanel;
  // The surface to draw on; the panel repaints itself afterwards.
  canvas::TCanvas& Surface();
  const canvas::TBitmap& SurfaceBitmap() const { return FSurface; }

protected:
  void Paint() override;

private:
  canvas::TBitmap FSurface;
};
