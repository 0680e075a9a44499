#include "platform/canvas/DibRows.h"

#include <algorithm>
#include <bit>

#include "base/LittleEndian.h"

namespace canvas {

namespace {

// One mask's channel widened or narrowed to 8 bits: a narrow field's bits
// repeated (so that a full field of 1, 5 or 6 bits is 255, as other readers
// have it), a wide field's top 8 bits.
class TField {
public:
  explicit TField(std::uint32_t mask)
      : FMask(mask), FShift(mask ? std::countr_zero(mask) : 0), FWidth(mask ? std::popcount(mask) : 0) {}
  std::uint8_t Of(std::uint32_t pixel) const {
    std::uint32_t v = (pixel & FMask) >> FShift;
    if (FWidth == 0) return 0;
    if (FWidth >= 8) return std::uint8_t(v >> (FWidth - 8));
    std::uint32_t out = 0;
    for (int at = 8 - FWidth; at > -FWidth; at -= FWidth) out |= at >= 0 ? v << at : v >> -at;
    return std::uint8_t(out);
  }

private:
  std::uint32_t FMask;
  int FShift, FWidth;
};

}  // namespace

bool ValidBitFields(const TBitFields& fields, int bits) {
  std::uint32_t seen = 0, outside = bits >= 32 ? 0 : ~((std::uint32_t(1) << bits) - 1);
  for (int i = 0; i < 4; ++i) {
    std::uint32_t mask = fields.Mask[i];
    if (mask == 0) {
      if (i < 3) return false;
      continue;
    }
    std::uint32_t run = mask >> std::countr_zero(mask);
    if ((run & (run + 1)) != 0 || (mask & seen) != 0 || (mask & outside) != 0) return false;
    seen |= mask;
  }
  return true;
}

void ReadBitFieldRows(TDib& dib, const std::uint8_t* rows, int bits, const TBitFields& fields, bool topDown) {
  const TField red(fields.Mask[0]), green(fields.Mask[1]), blue(fields.Mask[2]), alpha(fields.Mask[3]);
  const bool withAlpha = dib.BitsPerPixel() == 32 && fields.Mask[3] != 0;
  const std::size_t in = std::size_t(bits / 8), out = std::size_t(dib.BitsPerPixel() / 8);
  const std::size_t stride = TDib::Stride(dib.Width(), bits);
  for (int y = 0; y < dib.Height(); ++y) {
    const std::uint8_t* source = rows + std::size_t(y) * stride;
    std::uint8_t* p = dib.Row(topDown ? y : dib.Height() - 1 - y);
    for (int x = 0; x < dib.Width(); ++x, source += in, p += out) {
      std::uint32_t pixel = bits == 16 ? le::load16(source) : le::load32(source);
      p[0] = blue.Of(pixel), p[1] = green.Of(pixel), p[2] = red.Of(pixel);
      if (out == 4) p[3] = withAlpha ? alpha.Of(pixel) : 0;
    }
  }
}

// The platform decodes RLE into a new bitmap whose pixels start at zero, so
// what a delta, an early end of line or the end of the bitmap skips keeps
// palette index 0. Pixels a run or an absolute block puts past the row's end
// are dropped rather than wrapped into the next row; a stream cut short keeps
// every pixel decoded before the cut.
void ReadRleRows(TDib& dib, const std::uint8_t* data, std::size_t size, bool nibbles) {
  const std::int64_t width = dib.Width(), height = dib.Height();
  const std::size_t stride = dib.RowStride();
  std::int64_t x = 0, y = 0;  // y counts rows from the bottom, as the stream does
  // Puts an index at column At (within the row) of the current row.
  auto put = [&](std::int64_t at, unsigned index) {
    std::uint8_t* row = dib.Pixels().data() + std::size_t(y) * stride;
    if (!nibbles)
      row[at] = std::uint8_t(index);
    else if (at % 2)
      row[at / 2] = std::uint8_t((row[at / 2] & 0xF0) | index);
    else
      row[at / 2] = std::uint8_t((row[at / 2] & 0x0F) | index << 4);
  };
  auto room = [&](unsigned count) { return std::clamp<std::int64_t>(width - x, 0, count); };
  std::size_t i = 0;
  while (i + 1 < size && y < height) {
    const unsigned count = data[i], value = data[i + 1];
    i += 2;
    if (count > 0) {  // a run of one index, or of two alternating nibbles
      for (std::int64_t k = 0, n = room(count); k < n; ++k) put(x + k, nibbles ? (k % 2 ? value & 15 : value >> 4) : value);
      x += count;
    } else if (value == 0) {  // end of line
      x = 0;
      ++y;
    } else if (value == 1) {  // end of bitmap
      break;
    } else if (value == 2) {  // delta: right and up
      if (i + 1 >= size) break;
      x += data[i], y += data[i + 1];
      i += 2;
    } else {  // an absolute block of Value indices, its bytes padded to a word
      const std::size_t bytes = nibbles ? (value + 1) / 2 : value, there = size - i;
      for (std::int64_t k = 0, n = room(value); k < n && std::size_t(nibbles ? k / 2 : k) < there; ++k) {
        unsigned b = data[i + std::size_t(nibbles ? k / 2 : k)];
        put(x + k, nibbles ? (k % 2 ? b & 15 : b >> 4) : b);
      }
      x += value;
      i += bytes + bytes % 2;
    }
  }
}

}  // namespace canvas
