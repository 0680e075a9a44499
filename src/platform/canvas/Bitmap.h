#pragma once
// An off-screen bitmap: 32-bit ARGB pixels (premultiplied alpha, native
// byte order) with a canvas that paints into them. Pictures read from PNG
// and JPEG files come as bitmaps too.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/Exceptions.h"
#include "platform/canvas/Canvas.h"

namespace canvas {

// A picture file or buffer that is not a readable PNG or JPEG image.
class EInvalidGraphic : public Exception { using Exception::Exception; };

class TBitmap {
public:
  // Largest picture read from a file, in pixels: guards against damaged or
  // hostile headers asking for gigabytes.
  static constexpr std::int64_t kMaxPixels = 64 * 1024 * 1024;

  TBitmap() = default;
  TBitmap(int width, int height, TColor fill = clWhite);
  TBitmap(const TBitmap& other);
  TBitmap& operator=(const TBitmap& other);
  ~TBitmap();

  // New size; the content is refilled and the canvas starts afresh.
  void SetSize(int width, int height, TColor fill = clWhite);
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  bool Empty() const { return FWidth == 0 || FHeight == 0; }

  // The canvas drawing into this bitmap (created on first use).
  TCanvas& Canvas();

  // Raw pixels, row after row, Width() pixels per row.
  const std::uint32_t* Pixels() const { return FPixels.data(); }
  std::uint32_t* Pixels() { return FPixels.data(); }
  std::uint32_t Pixel(int x, int y) const { return FPixels[size_t(y) * size_t(FWidth) + size_t(x)]; }
  TColor ColorAt(int x, int y) const;  // un-premultiplied colour; clNone outside

  // Drawn by TCanvas::Draw without the pixels of TransparentColor
  // (clNone: the bottom-left pixel's colour).
  bool Transparent = false;
  TColor TransparentColor = clNone;

  // Reads a PNG or JPEG picture (the kind is taken from the data).
  static TBitmap LoadFromFile(const std::string& fileName);
  static TBitmap LoadFromMemory(const std::vector<std::uint8_t>& data);
  void SaveToPngFile(const std::string& fileName) const;

private:
  int FWidth = 0, FHeight = 0;
  std::vector<std::uint32_t> FPixels;
  std::unique_ptr<TCanvas> FCanvas;
};

// Pixel of a colour (opaque) and back.
constexpr std::uint32_t PixelOf(TColor c) {
  return 0xFF000000u | std::uint32_t(GetRValue(c)) << 16 | std::uint32_t(GetGValue(c)) << 8 | GetBValue(c);
}
TColor ColorOfPixel(std::uint32_t pixel);  // un-premultiplies

// Decoders behind LoadFromMemory.
TBitmap DecodePng(const std::vector<std::uint8_t>& data);
TBitmap DecodeJpeg(const std::vector<std::uint8_t>& data);

}  // namespace canvas
