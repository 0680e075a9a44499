#pragma once
// The coordinate spaces of a metafile: the world transform, the page
// mapping (map mode, window and viewport) from logical units to the
// reference device, and the frame that maps the reference device onto the
// rectangle the picture is drawn into.

#include <uemf.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "platform/canvas/Graphics.h"

namespace metafile {

// x' = x M11 + y M21 + Dx, y' = x M12 + y M22 + Dy (the metafile's XFORM).
struct TXform {
  double M11 = 1, M12 = 0, M21 = 0, M22 = 1, Dx = 0, Dy = 0;
  canvas::TPointF Apply(double x, double y) const { return {x * M11 + y * M21 + Dx, x * M12 + y * M22 + Dy}; }
  // This transform, then Next.
  TXform Then(const TXform& next) const;
  // How much a length grows, on average over the two axes; along x; along y.
  double Scale() const;
  double ScaleX() const;
  double ScaleY() const;
  // Angle of the transformed x axis, counter-clockwise on the page (y downwards), in degrees.
  double AngleDegrees() const;
  bool Valid() const;  // finite and not degenerate
};

// A canvas coordinate as a whole pixel; past ten million pixels either way
// (no canvas is that large) it stays there.
inline int WholePixel(double v) { return int(std::lround(std::clamp(v, -1e7, 1e7))); }

// Window and viewport: page space to reference device units.
struct TPageMapping {
  std::uint32_t Mode = U_MM_TEXT;
  double WinOrgX = 0, WinOrgY = 0, WinExtX = 1, WinExtY = 1;
  double VpOrgX = 0, VpOrgY = 0, VpExtX = 1, VpExtY = 1;
  // Reference device units per millimetre, for the metric and English modes.
  double UnitsPerMmX = 96 / 25.4, UnitsPerMmY = 96 / 25.4;
  TXform Xform() const;
};

}  // namespace metafile
