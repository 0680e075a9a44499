#pragma once
// A device-independent bitmap: 1, 4, 8, 24 or 32 bits per pixel, a palette
// for the first three, rows stored bottom-up, each padded to 32 bits. It is
// what a BMP file holds, what the GIF decoder writes into, and it turns into
// the canvas's ARGB bitmap for drawing.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/canvas/Bitmap.h"

namespace canvas {

struct TRgbQuad {
  std::uint8_t Blue = 0, Green = 0, Red = 0, Reserved = 0;
  bool operator==(const TRgbQuad&) const = default;
};

class TDib {
public:
  TDib() = default;
  // A zeroed bitmap; raises EInvalidGraphic for another depth, a negative
  // size, more pixels than TBitmap::kMaxPixels or an image over 32 bits of bytes.
  TDib(int width, int height, int bitsPerPixel);

  static std::size_t Stride(int width, int bitsPerPixel) {
    return (std::size_t(width) * std::size_t(bitsPerPixel) + 31) / 32 * 4;
  }
  // Whether Bytes hold Height rows of Width pixels of Bits each.
  static bool RowsFit(std::int64_t width, std::int64_t height, int bitsPerPixel, std::size_t bytes) {
    const std::uint64_t stride = (std::uint64_t(width) * std::uint64_t(bitsPerPixel) + 31) / 32 * 4;
    return stride == 0 || bytes / stride >= std::uint64_t(height);
  }

  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  int BitsPerPixel() const { return FBits; }
  bool Empty() const { return FWidth == 0 || FHeight == 0; }
  std::size_t RowStride() const { return Stride(FWidth, FBits); }
  // Image row y (0 = top) within the bottom-up pixel block.
  std::uint8_t* Row(int y) { return FPixels.data() + std::size_t(FHeight - 1 - y) * RowStride(); }
  const std::uint8_t* Row(int y) const { return FPixels.data() + std::size_t(FHeight - 1 - y) * RowStride(); }
  std::vector<std::uint8_t>& Pixels() { return FPixels; }
  const std::vector<std::uint8_t>& Pixels() const { return FPixels; }
  // 2^bits entries up to 8 bits per pixel, none above.
  std::vector<TRgbQuad> Palette;

  // The palette index at a place (depths up to 8), the colour for any depth.
  unsigned IndexAt(int x, int y) const;
  TColor ColorAt(int x, int y) const;

  // The ARGB picture; pixels of TransparentIndex (when >= 0, palettes only)
  // become clear, every other pixel stays opaque whatever its colour.
  TBitmap ToBitmap(int transparentIndex = -1) const;

  // A BMP file image: "BM" file header, the 40-byte info header, palette, rows.
  std::vector<std::uint8_t> SaveToBmp() const;
  // Reads a BMP file image: the OS/2 1.x core header, the info header of 40
  // bytes or any longer one (OS/2 2.x, Windows versions 2 to 5); 1, 4, 8,
  // 16, 24 or 32 bits per pixel, bottom-up or top-down; uncompressed, bit
  // fields (16 bits become 24, 32 bits keep alpha when a mask gives it) or
  // RLE8/RLE4. Raises EInvalidGraphic for anything else.
  static TDib LoadFromBmp(const std::vector<std::uint8_t>& data);
  // Reads a header, masks, palette and rows at Data (a packed DIB, as an
  // icon entry, a clipboard or a metafile record holds them); IconEntry halves
  // the height and leaves the AND mask after the rows, whose offset is
  // returned in MaskOffset.
  static TDib LoadPacked(const std::uint8_t* data, std::size_t size, bool iconEntry, std::size_t* maskOffset = nullptr);
  // Whether the rows carry alpha (32 bits with an alpha mask).
  bool HasAlpha = false;

private:
  int FWidth = 0, FHeight = 0, FBits = 0;
  std::vector<std::uint8_t> FPixels;
};

// What the header of a packed DIB says, in the info header's terms whatever
// its kind, and where its palette and rows start in the block.
struct TDibHeader {
  std::size_t Size = 0;                // of the header itself
  std::int64_t Width = 0, Height = 0;  // as stored: a negative height is top-down
  int Bits = 0;
  std::uint32_t Compression = 0, Used = 0;
  std::size_t EntrySize = 4;  // of a palette entry
  // The alpha mask of a header from version 3 on, or after an info header
  // with alpha bit fields; 0 where there is none.
  std::uint32_t AlphaMask = 0;
  // After the header and the masks that follow a header too short to hold
  // them; after the colours the header lists (2^Bits up to 8 bits when it
  // lists none), which may lie past the block's end.
  std::size_t PaletteAt = 0, RowsAt = 0;
};
// The header at Data: the OS/2 1.x core header, the info header or a longer
// one inside Size bytes; none for anything else.
std::optional<TDibHeader> ReadDibHeader(const std::uint8_t* data, std::size_t size);

// The largest image of an icon file (BMP or PNG entry); the AND mask of a
// BMP entry makes its pixels clear.
TBitmap DecodeIcon(const std::vector<std::uint8_t>& data);

}  // namespace canvas
