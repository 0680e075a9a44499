#pragma once
// The canvas font turned by an angle (degrees, counter-clockwise), made as
// the score model describes such a font and selected for a scope: the font
// before comes back however the drawing ends.

#include <cstdint>

#include "platform/canvas/Canvas.h"

namespace render {

class TTurnedFont {
public:
  TTurnedFont(canvas::TCanvas& Canvas, int32_t Angle);
  ~TTurnedFont() { FCanvas.Font = FPrevious; }
  TTurnedFont(const TTurnedFont&) = delete;
  TTurnedFont& operator=(const TTurnedFont&) = delete;

private:
  canvas::TCanvas& FCanvas;
  canvas::TFont FPrevious;
};

// Where a block W wide and H high, turned by Angle degrees (1 to 359)
// about its top-left corner, starts so that it fills the box its turned
// extent makes from that corner.
canvas::TPoint TurnedBlockOffset(int32_t Angle, double W, double H);

}  // namespace render
