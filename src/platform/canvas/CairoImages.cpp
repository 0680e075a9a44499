#include <cairo.h>

#include "platform/canvas/Bitmap.h"
#include "platform/canvas/CairoState.h"

namespace canvas {

namespace {

// A Cairo view of a bitmap's pixels (read only).
class TSourceSurface {
public:
  explicit TSourceSurface(const TBitmap& b)
      : FSurface(cairo_image_surface_create_for_data(
            reinterpret_cast<unsigned char*>(const_cast<std::uint32_t*>(b.Pixels())), CAIRO_FORMAT_ARGB32, b.Width(),
            b.Height(), b.Width() * 4)) {}
  ~TSourceSurface() { cairo_surface_destroy(FSurface); }
  TSourceSurface(const TSourceSurface&) = delete;
  TSourceSurface& operator=(const TSourceSurface&) = delete;
  cairo_surface_t* Get() const { return FSurface; }

private:
  cairo_surface_t* FSurface;
};

// The picture without its transparent colour (those pixels become clear).
TBitmap WithoutTransparentColor(const TBitmap& b) {
  TBitmap copy(b);
  TColor key = b.TransparentColor == clNone ? b.ColorAt(0, b.Height() - 1) : ColorToRGB(b.TransparentColor);
  std::uint32_t keyPixel = PixelOf(key);
  std::uint32_t* p = copy.Pixels();
  for (size_t i = 0, n = size_t(b.Width()) * size_t(b.Height()); i < n; ++i)
    if (p[i] == keyPixel) p[i] = 0;
  return copy;
}

// Copies a source rectangle onto a destination rectangle, scaled.
void Blit(TCairoCanvas::TImpl& s, const TBitmap& source, const TRect& dest, const TRect& src, cairo_operator_t op) {
  if (source.Empty() || src.Width() == 0 || src.Height() == 0 || dest.Width() == 0 || dest.Height() == 0) return;
  TSourceSurface surface(source);
  TOp drawing(s);
  cairo_t* cr = drawing.Cr();
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  cairo_rectangle(cr, std::min(dest.Left, dest.Right), std::min(dest.Top, dest.Bottom), std::abs(dest.Width()),
                  std::abs(dest.Height()));
  cairo_clip(cr);
  cairo_translate(cr, dest.Left, dest.Top);
  cairo_scale(cr, double(dest.Width()) / src.Width(), double(dest.Height()) / src.Height());
  cairo_set_source_surface(cr, surface.Get(), -src.Left, -src.Top);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
  cairo_set_operator(cr, op);
  cairo_paint(cr);
}

}  // namespace

void TCairoCanvas::Draw(int x, int y, const TBitmap& picture) {
  StretchDraw({x, y, x + picture.Width(), y + picture.Height()}, picture);
}

void TCairoCanvas::StretchDraw(const TRect& dest, const TBitmap& picture) {
  TRect all{0, 0, picture.Width(), picture.Height()};
  if (picture.Transparent && !picture.Empty())
    Blit(*FImpl, WithoutTransparentColor(picture), dest, all, CAIRO_OPERATOR_OVER);
  else
    Blit(*FImpl, picture, dest, all, CAIRO_OPERATOR_OVER);
}

void TCairoCanvas::BitBlt(int x, int y, int w, int h, const TBitmap& source, int sourceX, int sourceY) {
  Blit(*FImpl, source, {x, y, x + w, y + h}, {sourceX, sourceY, sourceX + w, sourceY + h}, CAIRO_OPERATOR_SOURCE);
}

void TCairoCanvas::StretchBlt(const TRect& dest, const TBitmap& source, const TRect& sourceRect) {
  Blit(*FImpl, source, dest, sourceRect, CAIRO_OPERATOR_SOURCE);
}

}  // namespace canvas
