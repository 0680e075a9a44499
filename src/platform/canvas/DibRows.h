#pragma once
// The rows of the BMP forms that are not stored as the bitmap keeps them:
// pixels of 16 or 32 bits read through bit fields, and RLE8/RLE4 streams.
// Used by TDib's reader only; the header has been checked before.

#include <cstddef>
#include <cstdint>

#include "platform/canvas/Dib.h"

namespace canvas {

// Red, green, blue and alpha masks; 0 for alpha when the pixels carry none.
struct TBitFields {
  std::uint32_t Mask[4] = {};
};

// Whether each colour mask is one run of bits, within Bits, overlapping no
// other mask (an alpha mask too when present).
bool ValidBitFields(const TBitFields& fields, int bits);

// Fills Dib (24 bits, or 32 with alpha taken from the alpha mask) from rows of
// Bits (16 or 32) per pixel, padded to 32 bits, top row first when TopDown.
void ReadBitFieldRows(TDib& dib, const std::uint8_t* rows, int bits, const TBitFields& fields, bool topDown);

// Decodes a bottom-up RLE stream (RLE4 when Nibbles, else RLE8) into the
// zeroed 4- or 8-bit Dib, as far as the stream goes.
void ReadRleRows(TDib& dib, const std::uint8_t* data, std::size_t size, bool nibbles);

}  // namespace canvas
