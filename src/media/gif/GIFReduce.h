#pragma once
// Colour reduction of bitmaps for GIF frames: a bitmap of any depth becomes
// one of 1, 4, 8 or 24 bits per pixel. The 8-bit reductions take the 24-bit
// pixels and build a 256-entry palette by one of six modes (see
// ReduceGIFColors in GIFImage.h).

#include <cstdint>

#include "platform/canvas/Dib.h"

namespace gif {

// The component masks the popularity quantiser ended with: it drops the
// lowest remaining bit of one component whenever more than 2049 colours
// remain (blue, red, green, blue, ...).
struct TColorMasks {
  std::uint8_t Red = 0xFF, Green = 0xFF, Blue = 0xFF;
};

// Source at Bits per pixel by Mode; raises "Bitmap image is not valid" for
// an empty source and "Not Implemented" for another depth or mode. A source
// that already has the depth comes back unchanged unless Mode is 5.
canvas::TDib ReduceColors(const canvas::TDib& source, int bits, int mode);

// The popularity quantiser alone: an 8-bit image of the most used colours of
// Source; Masks (when given) receives the masks it ended with.
canvas::TDib QuantizeByPopularity(const canvas::TDib& source, TColorMasks* masks = nullptr);

}  // namespace gif
