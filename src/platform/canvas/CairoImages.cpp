#include <cairo.h>

#include <algorithm>
#include <cmath>

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

// Paints a source rectangle onto a destination rectangle, scaled, with the
// context's clip and operator; (dx, dy) moves the destination.
void PaintScaled(cairo_t* cr, cairo_surface_t* surface, const TRect& dest, const TRect& src, double dx, double dy) {
  cairo_rectangle(cr, std::min(dest.Left, dest.Right) + dx, std::min(dest.Top, dest.Bottom) + dy,
                  std::abs(dest.Width()), std::abs(dest.Height()));
  cairo_clip(cr);
  cairo_translate(cr, dest.Left + dx, dest.Top + dy);
  cairo_scale(cr, double(dest.Width()) / src.Width(), double(dest.Height()) / src.Height());
  cairo_set_source_surface(cr, surface, -src.Left, -src.Top);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
  cairo_paint(cr);
}

bool Drawable(const TBitmap& source, const TRect& dest, const TRect& src) {
  return !source.Empty() && src.Width() != 0 && src.Height() != 0 && dest.Width() != 0 && dest.Height() != 0;
}

// Copies a source rectangle onto a destination rectangle, scaled.
void Blit(TCairoCanvas::TImpl& s, const TBitmap& source, const TRect& dest, const TRect& src, cairo_operator_t op) {
  if (!Drawable(source, dest, src)) return;
  TSourceSurface surface(source);
  TOp drawing(s);
  cairo_t* cr = drawing.Cr();
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  cairo_set_operator(cr, op);
  PaintScaled(cr, surface.Get(), dest, src, 0, 0);
}

// One ternary raster operation on the colour bits: bit i of the code is the
// result where (pattern, source, destination) = (i >> 2 & 1, i >> 1 & 1, i & 1).
std::uint32_t RasterOp(std::uint32_t code, std::uint32_t p, std::uint32_t s, std::uint32_t d) {
  std::uint32_t result = 0;
  for (int i = 0; i < 8; ++i)
    if (code >> (16 + i) & 1) result |= (i & 4 ? p : ~p) & (i & 2 ? s : ~s) & (i & 1 ? d : ~d);
  return 0xFF000000u | (result & 0xFFFFFF);
}

// A copy by a raster operation other than plain copying: the source is
// scaled into a scratch image over the destination's pixels, combined with
// them bit by bit and painted back through the clip.
void RopBlit(TCairoCanvas::TImpl& s, const TBitmap& source, const TRect& dest, const TRect& src, TCopyMode mode,
             TColor pattern) {
  if (!Drawable(source, dest, src)) return;
  TRect d{std::min(dest.Left, dest.Right) + s.Origin.X, std::min(dest.Top, dest.Bottom) + s.Origin.Y,
          std::max(dest.Left, dest.Right) + s.Origin.X, std::max(dest.Top, dest.Bottom) + s.Origin.Y};
  double cx1, cy1, cx2, cy2;
  cairo_clip_extents(s.Cr, &cx1, &cy1, &cx2, &cy2);  // device pixels between calls
  d = {std::max({d.Left, 0, int(std::floor(cx1))}), std::max({d.Top, 0, int(std::floor(cy1))}),
       std::min({d.Right, s.Width, int(std::ceil(cx2))}), std::min({d.Bottom, s.Height, int(std::ceil(cy2))})};
  if (d.Left >= d.Right || d.Top >= d.Bottom) return;
  TBitmap scratch(d.Width(), d.Height(), clBlack);
  {
    TSourceSurface from(source), into(scratch);
    cairo_t* cr = cairo_create(into.Get());
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    PaintScaled(cr, from.Get(), dest, src, s.Origin.X - d.Left, s.Origin.Y - d.Top);
    cairo_destroy(cr);
    cairo_surface_flush(into.Get());
  }
  cairo_surface_flush(s.Surface);
  const unsigned char* pixels = cairo_image_surface_get_data(s.Surface);
  const std::uint32_t p = PixelOf(ColorToRGB(pattern));
  for (int y = d.Top; y < d.Bottom; ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(pixels + std::ptrdiff_t(y) * s.Stride);
    std::uint32_t* out = scratch.Pixels() + std::size_t(y - d.Top) * std::size_t(d.Width());
    for (int x = d.Left; x < d.Right; ++x) out[x - d.Left] = RasterOp(mode, p, out[x - d.Left], row[x]);
  }
  TSourceSurface result(scratch);
  TOp drawing(s);
  cairo_t* cr = drawing.Cr();
  cairo_identity_matrix(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_set_source_surface(cr, result.Get(), d.Left, d.Top);
  cairo_rectangle(cr, d.Left, d.Top, d.Width(), d.Height());
  cairo_fill(cr);
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
  StretchBlt({x, y, x + w, y + h}, source, {sourceX, sourceY, sourceX + w, sourceY + h});
}

void TCairoCanvas::StretchBlt(const TRect& dest, const TBitmap& source, const TRect& sourceRect) {
  if (CopyMode == cmSrcCopy)
    Blit(*FImpl, source, dest, sourceRect, CAIRO_OPERATOR_SOURCE);
  else
    RopBlit(*FImpl, source, dest, sourceRect, CopyMode, Brush.Color);
}

}  // namespace canvas
