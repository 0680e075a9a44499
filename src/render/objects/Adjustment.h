#pragma once
// The pending adjustment of a dragged record (its offset mode with the move
// (Dx, Dy) in pixels) applied to a box: 1 moves the whole box, 2-9 move a
// corner or an edge, clockwise from the top-left corner; other codes leave
// it.

#include <cstdint>

#include "platform/canvas/Graphics.h"

namespace render {

inline void AdjustBox(canvas::TRect& R, uint8_t Code, int32_t Dx, int32_t Dy) {
  switch (Code) {
    case 1: R = {R.Left + Dx, R.Top + Dy, R.Right + Dx, R.Bottom + Dy}; break;
    case 2: R.Left += Dx, R.Top += Dy; break;
    case 3: R.Top += Dy; break;
    case 4: R.Right += Dx, R.Top += Dy; break;
    case 5: R.Right += Dx; break;
    case 6: R.Right += Dx, R.Bottom += Dy; break;
    case 7: R.Bottom += Dy; break;
    case 8: R.Left += Dx, R.Bottom += Dy; break;
    case 9: R.Left += Dx; break;
    default: break;
  }
}

inline canvas::TPoint Moved(canvas::TPoint P, int32_t Dx, int32_t Dy) { return {P.X + Dx, P.Y + Dy}; }

}  // namespace render
