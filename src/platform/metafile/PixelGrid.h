#pragma once
// Figures on the device's pixel grid, as the device context draws them.
// Its device points are whole pixels and a pen lights pixel (x, y) for the
// point (x, y); on the canvas, where pixel (x, y) spans x..x+1, the outline
// of a pen of odd width therefore runs through pixel centres, and one of
// even width along pixel edges. A pen of one pixel draws as the platform's
// line drawing does: one pixel per step along the longer axis, the last
// point of an open figure left out, a styled pen dashed pixel by pixel.

#include <span>

#include "platform/canvas/Graphics.h"

namespace metafile {

// Half a pixel for a pen of odd width, none for an even one or no pen (0).
double PenOffset(int penWidth);

// Each point rounded to a whole pixel, then moved by Offset on both axes.
canvas::TPath OnPixelGrid(const canvas::TPath& figure, double offset);

// How a figure drawn in a box (rectangle, ellipse, arc...) meets its box.
struct TBoxRule {
  bool RightBottomInclusive = false;  // the box's far edges are device points of the figure
  int PenWidth = 0;                   // pixels; 0: no outline
  bool InsideFrame = false;           // the whole pen stays inside the box
};

// A figure drawn in a box, Device on the canvas, fitted to the box's
// whole pixels: the box's edges rounded to device points, the far ones
// left out (kept, with Inclusive), and the outline on those points, or
// inside them for an inside-frame pen.
canvas::TPath FitToPixels(const canvas::TPath& figure, const canvas::TRectF& device, const TBoxRule& rule);

// The figure as lines through the centres of the pixels of its points
// (curves flattened): the outline a one-pixel pen follows, and the edge of
// the fill inside it.
canvas::TPath OnDevicePoints(const canvas::TPath& figure, const canvas::TRect& visible);
// The pixels a one-pixel pen lights along such lines, as rectangles of runs
// of pixels (winding fill), those within Visible only. Dashes: pixels on
// and off in turn; empty for a solid pen.
canvas::TPath OnePixelOutline(const canvas::TPath& lines, const canvas::TRect& visible, std::span<const double> dashes);

}  // namespace metafile
