#pragma once
// Other programs' pictures of a metafile, to hold ours against: Inkscape's
// import of either kind, exported at the size asked for; libwmf's wmf2svg
// drawn by rsvg-convert for Windows metafiles (its own reader of the
// records); and the pixel comparison of two pictures with a tolerance.

#include <optional>
#include <string>

#include "platform/canvas/Bitmap.h"

namespace test_metafile {

// The file drawn by Inkscape at Width x Height on white; none when it is
// not installed or fails.
std::optional<canvas::TBitmap> RenderWithInkscape(const std::string& file, int width, int height);
// An enhanced metafile drawn by emf2svg-conv and rsvg-convert; none when missing.
std::optional<canvas::TBitmap> RenderWithEmf2svg(const std::string& file, int width, int height);
// A Windows metafile drawn by wmf2svg and rsvg-convert; none when missing.
std::optional<canvas::TBitmap> RenderWithLibwmf(const std::string& file, int width, int height);

struct TPixelDifference {
  double DifferentShare = 0;  // share of pixels whose colour differs by more than the threshold
  double InkShare = 0;        // share of pixels not white in either picture
  int Compared = 0;
};
// Pixels whose channels differ by more than Threshold (0..255) in any channel,
// counting a pixel as matched when the other picture has the same colour
// within Reach pixels around it (anti-aliasing and font placement move
// edges by a pixel or two), or there a mix of two pixels side by side, or
// their ink together (a sharp one-pixel line against the same line smoothed
// over two half-lit pixels).
// Each picture's blocks of Block x Block pixels as one pixel of their mean
// colour: patterns compared by what they cover, not by their phase.
canvas::TBitmap BlockMeans(const canvas::TBitmap& picture, int block);
// Where Marks is given it becomes a picture of the differing pixels (red).
TPixelDifference Compare(const canvas::TBitmap& ours, const canvas::TBitmap& theirs, int threshold, int reach,
                         canvas::TBitmap* marks = nullptr);

// <build folder>/metafile-pictures/<Name>.png, for people to look at.
std::string ReviewPath(const std::string& name);

}  // namespace test_metafile
