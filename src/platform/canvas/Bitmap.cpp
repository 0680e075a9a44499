#include "platform/canvas/Bitmap.h"

#include <cairo.h>

#include <cstring>
#include <fstream>
#include <iterator>

#include "base/Strings.h"
#include "platform/canvas/CairoCanvas.h"
#include "platform/canvas/CairoState.h"

namespace canvas {

TColor ColorOfPixel(std::uint32_t p) {
  unsigned a = p >> 24;
  if (a == 0) return clBlack;
  auto channel = [a](unsigned v) { return int(a == 255 ? v : (v * 255 + a / 2) / a); };
  return RGB(channel(p >> 16 & 255), channel(p >> 8 & 255), channel(p & 255));
}

TBitmap::TBitmap(int width, int height, TColor fill) { SetSize(width, height, fill); }

TBitmap::TBitmap(const TBitmap& other)
    : Transparent(other.Transparent), TransparentColor(other.TransparentColor), FWidth(other.FWidth),
      FHeight(other.FHeight), FPixels(other.FPixels) {}

TBitmap& TBitmap::operator=(const TBitmap& other) {
  if (this == &other) return *this;
  FCanvas.reset();
  FWidth = other.FWidth;
  FHeight = other.FHeight;
  FPixels = other.FPixels;
  Transparent = other.Transparent;
  TransparentColor = other.TransparentColor;
  return *this;
}

TBitmap::~TBitmap() = default;

void TBitmap::SetSize(int width, int height, TColor fill) {
  FCanvas.reset();
  FWidth = std::max(width, 0);
  FHeight = std::max(height, 0);
  FPixels.assign(size_t(FWidth) * size_t(FHeight), PixelOf(ColorToRGB(fill)));
}

TCanvas& TBitmap::Canvas() {
  if (!FCanvas) FCanvas = std::make_unique<TCairoCanvas>(FPixels.data(), FWidth, FHeight, FWidth * 4);
  return *FCanvas;
}

TColor TBitmap::ColorAt(int x, int y) const {
  if (x < 0 || y < 0 || x >= FWidth || y >= FHeight) return clNone;
  return ColorOfPixel(Pixel(x, y));
}

TBitmap TBitmap::LoadFromFile(const std::string& fileName) {
  std::ifstream in(fileName, std::ios::binary);
  if (!in) throw EFOpenError(fileName, "No such file or directory");
  in.seekg(0, std::ios::end);
  std::streamoff size = in.tellg();
  // A picture file is compressed: more than 4 bytes per allowed pixel is no picture.
  if (size < 0 || size > kMaxPixels * 4) throw EInvalidGraphic("Picture is too large: " + fileName);
  in.seekg(0);
  std::vector<std::uint8_t> data(static_cast<size_t>(size));
  in.read(reinterpret_cast<char*>(data.data()), size);
  if (!in) throw EReadError();
  return LoadFromMemory(data);
}

TBitmap TBitmap::LoadFromMemory(const std::vector<std::uint8_t>& data) {
  static const std::uint8_t png[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  if (data.size() >= 8 && std::memcmp(data.data(), png, 8) == 0) return DecodePng(data);
  if (data.size() >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF) return DecodeJpeg(data);
  throw EInvalidGraphic("Picture data is neither a PNG nor a JPEG image");
}

namespace {

struct TPngSource {
  const std::vector<std::uint8_t>* Data;
  size_t Pos;
};

cairo_status_t ReadPng(void* closure, unsigned char* out, unsigned int length) {
  auto* s = static_cast<TPngSource*>(closure);
  if (s->Data->size() - s->Pos < length) return CAIRO_STATUS_READ_ERROR;
  std::memcpy(out, s->Data->data() + s->Pos, length);
  s->Pos += length;
  return CAIRO_STATUS_SUCCESS;
}

cairo_status_t WritePng(void* closure, const unsigned char* data, unsigned int length) {
  auto* out = static_cast<std::ofstream*>(closure);
  out->write(reinterpret_cast<const char*>(data), length);
  return *out ? CAIRO_STATUS_SUCCESS : CAIRO_STATUS_WRITE_ERROR;
}

std::uint32_t BigEndian32(const std::uint8_t* p) {
  return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

}  // namespace

TBitmap DecodePng(const std::vector<std::uint8_t>& data) {
  // The header chunk comes first: refuse huge sizes before anything is allocated.
  if (data.size() < 33 || std::memcmp(data.data() + 12, "IHDR", 4) != 0)
    throw EInvalidGraphic("PNG image is not valid");
  std::int64_t w = BigEndian32(data.data() + 16), h = BigEndian32(data.data() + 20);
  // Each side is checked alone first: two 32-bit sides overflow a 64-bit product.
  if (w > TBitmap::kMaxPixels || h > TBitmap::kMaxPixels || w * h > TBitmap::kMaxPixels) throw EInvalidGraphic(Format("Picture is too large: %lld x %lld pixels", (long long)w, (long long)h));
  // Deflate packs at most 1032 bytes into one, and every row holds a filter
  // byte and at least one bit per pixel: shorter data cannot fill the rows.
  if (w * h > 0 && std::int64_t(data.size()) * 1032 < h * (1 + (w + 7) / 8))
    throw EInvalidGraphic("PNG image is not valid");
  TPngSource source{&data, 0};
  cairo_surface_t* s = cairo_image_surface_create_from_png_stream(ReadPng, &source);
  if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(s);
    throw EInvalidGraphic("PNG image is not valid");
  }
  cairo_surface_t* argb = s;
  if (cairo_image_surface_get_format(s) != CAIRO_FORMAT_ARGB32) {
    argb = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, cairo_image_surface_get_width(s),
                                      cairo_image_surface_get_height(s));
    cairo_t* cr = cairo_create(argb);
    cairo_set_source_surface(cr, s, 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_destroy(s);
  }
  cairo_surface_flush(argb);
  TBitmap b(cairo_image_surface_get_width(argb), cairo_image_surface_get_height(argb));
  const unsigned char* src = cairo_image_surface_get_data(argb);
  int stride = cairo_image_surface_get_stride(argb);
  for (int y = 0; y < b.Height(); ++y)
    std::memcpy(b.Pixels() + size_t(y) * size_t(b.Width()), src + size_t(y) * size_t(stride), size_t(b.Width()) * 4);
  cairo_surface_destroy(argb);
  return b;
}

void TBitmap::SaveToPngFile(const std::string& fileName) const {
  std::ofstream out(fileName, std::ios::binary);
  if (!out) throw EFCreateError(fileName, "cannot create the file");
  const cairo_status_t status = cairo_surface_write_to_png_stream(TSourceSurface(*this).Get(), WritePng, &out);
  out.close();
  if (status != CAIRO_STATUS_SUCCESS || !out) throw EWriteError();
}

}  // namespace canvas
