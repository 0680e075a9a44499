#include <cairo.h>

#include <algorithm>
#include <cmath>

#include "platform/canvas/Bitmap.h"
#include "platform/canvas/CairoState.h"

namespace canvas {

namespace {

// A surface of the picture's size, clear but for Part (inside it), where
// the picture's pixels stand except those of colour Key. A clear surface
// costs little, and the picture keeps its place, so that scaling picks the
// same pixels as from the picture itself.
cairo_surface_t* WithoutColor(const TBitmap& b, TColor key, const TRect& part) {
  cairo_surface_t* keyed = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, b.Width(), b.Height());
  if (cairo_surface_status(keyed) != CAIRO_STATUS_SUCCESS) return keyed;
  const std::uint32_t keyPixel = PixelOf(ColorToRGB(key));
  unsigned char* pixels = cairo_image_surface_get_data(keyed);
  const std::size_t stride = std::size_t(cairo_image_surface_get_stride(keyed));
  for (int y = part.Top; y < part.Bottom; ++y) {
    const std::uint32_t* row = b.Pixels() + std::size_t(y) * std::size_t(b.Width());
    auto* out = reinterpret_cast<std::uint32_t*>(pixels + std::size_t(y) * stride);
    for (int x = part.Left; x < part.Right; ++x) out[x] = row[x] == keyPixel ? 0 : row[x];
  }
  cairo_surface_mark_dirty(keyed);
  return keyed;
}

bool White(std::uint32_t pixel) { return (pixel & 0xFFFFFF) == 0xFFFFFF; }

// Paints a source rectangle onto a destination rectangle, scaled, with the
// context's clip and operator, times Alpha; (dx, dy) moves the destination.
void PaintScaled(cairo_t* cr, cairo_surface_t* surface, const TRect& dest, const TRect& src, double dx, double dy,
                 double alpha = 1) {
  cairo_rectangle(cr, std::min(dest.Left, dest.Right) + dx, std::min(dest.Top, dest.Bottom) + dy,
                  std::abs(dest.Width()), std::abs(dest.Height()));
  cairo_clip(cr);
  cairo_translate(cr, dest.Left + dx, dest.Top + dy);
  cairo_scale(cr, double(dest.Width()) / src.Width(), double(dest.Height()) / src.Height());
  cairo_set_source_surface(cr, surface, -src.Left, -src.Top);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
  cairo_paint_with_alpha(cr, alpha);
}

bool Drawable(const TBitmap& source, const TRect& dest, const TRect& src) {
  return !source.Empty() && src.Width() != 0 && src.Height() != 0 && dest.Width() != 0 && dest.Height() != 0;
}

// Copies a source rectangle onto a destination rectangle, scaled.
void Blit(TCairoCanvas::TImpl& s, cairo_surface_t* surface, const TRect& dest, const TRect& src, cairo_operator_t op,
          double alpha = 1) {
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) return;
  TOp drawing(s);
  cairo_t* cr = drawing.Cr();
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  cairo_set_operator(cr, op);
  PaintScaled(cr, surface, dest, src, 0, 0, alpha);
}

void Blit(TCairoCanvas::TImpl& s, const TBitmap& source, const TRect& dest, const TRect& src, cairo_operator_t op,
          double alpha = 1) {
  if (Drawable(source, dest, src)) Blit(s, TSourceSurface(source).Get(), dest, src, op, alpha);
}

// Copies a source rectangle without the pixels of colour Key (and a pixel
// around it, which scaling may reach at its edges).
void KeyedBlit(TCairoCanvas::TImpl& s, const TBitmap& source, const TRect& dest, const TRect& src, TColor key) {
  if (!Drawable(source, dest, src)) return;
  const TRect n = src.Normalized();
  const TRect part{std::clamp(n.Left - 1, 0, source.Width()), std::clamp(n.Top - 1, 0, source.Height()),
                   std::clamp(n.Right + 1, 0, source.Width()), std::clamp(n.Bottom + 1, 0, source.Height())};
  cairo_surface_t* keyed = WithoutColor(source, key, part);
  Blit(s, keyed, dest, src, CAIRO_OPERATOR_OVER);
  cairo_surface_destroy(keyed);
}

// The source rectangle scaled onto the patch's pixels as the destination
// rectangle places it.
TBitmap ScaledOnto(const TBitmap& source, const TRect& dest, const TRect& src, TPoint origin, const TRect& area) {
  TBitmap scaled(area.Width(), area.Height(), clBlack);
  TSourceSurface from(source), into(scaled);
  cairo_t* cr = cairo_create(into.Get());
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  PaintScaled(cr, from.Get(), dest, src, origin.X - area.Left, origin.Y - area.Top);
  cairo_destroy(cr);
  cairo_surface_flush(into.Get());
  return scaled;
}

// A copy by a raster operation other than plain copying: the source is
// scaled over the destination's pixels and combined with them bit by bit,
// by Mode where the mask (when there is one) is white and by Background
// elsewhere.
void RopBlit(TCairoCanvas::TImpl& s, const TBitmap& source, const TRect& dest, const TRect& src, TCopyMode mode,
             TColor pattern, const TBitmap* mask = nullptr, TCopyMode background = 0) {
  if (!Drawable(source, dest, src)) return;
  TPatch patch;
  if (!ReadPatch(s, dest.Normalized().Moved(s.Origin), patch)) return;
  const TBitmap scaled = ScaledOnto(source, dest, src, s.Origin, patch.Area);
  const TBitmap scaledMask = mask ? ScaledOnto(*mask, dest, src, s.Origin, patch.Area) : TBitmap();
  const std::uint32_t p = PixelOf(ColorToRGB(pattern));
  std::uint32_t* out = patch.Pixels.Pixels();
  for (std::size_t i = 0, n = std::size_t(patch.Area.Width()) * std::size_t(patch.Area.Height()); i < n; ++i)
    out[i] = RasterOp(!mask || White(scaledMask.Pixels()[i]) ? mode : background, p, scaled.Pixels()[i], out[i]);
  WritePatch(s, patch);
}

}  // namespace

void TCairoCanvas::Draw(int x, int y, const TBitmap& picture) {
  StretchDraw({x, y, x + picture.Width(), y + picture.Height()}, picture);
}

void TCairoCanvas::StretchDraw(const TRect& dest, const TBitmap& picture) {
  TRect all{0, 0, picture.Width(), picture.Height()};
  if (picture.Transparent && !picture.Empty())
    KeyedBlit(*FImpl, picture, dest, all,
              picture.TransparentColor == clNone ? picture.ColorAt(0, picture.Height() - 1) : picture.TransparentColor);
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

void TCairoCanvas::MaskBlt(const TRect& dest, const TBitmap& source, const TRect& sourceRect, const TBitmap& mask,
                           TCopyMode background) {
  if (mask.Width() != source.Width() || mask.Height() != source.Height()) return;
  RopBlit(*FImpl, source, dest, sourceRect, CopyMode, Brush.Color, &mask, background);
}

void TCairoCanvas::AlphaBlend(const TRect& dest, const TBitmap& source, const TRect& sourceRect,
                              std::uint8_t constantAlpha) {
  Blit(*FImpl, source, dest, sourceRect, CAIRO_OPERATOR_OVER, constantAlpha / 255.0);
}

void TCairoCanvas::TransparentBlt(const TRect& dest, const TBitmap& source, const TRect& sourceRect, TColor key) {
  KeyedBlit(*FImpl, source, dest, sourceRect, key);
}

void TCairoCanvas::PlgBlt(std::span<const TPointF, 3> c, const TBitmap& source, const TRect& src, const TBitmap* mask) {
  if (source.Empty() || src.Width() <= 0 || src.Height() <= 0) return;
  if (mask && (mask->Width() != source.Width() || mask->Height() != source.Height())) return;
  // Source pixel (u, v) lands at c0 + (u - left) / w (c1 - c0) + (v - top) / h (c2 - c0).
  cairo_matrix_t m;
  const double w = src.Width(), h = src.Height();
  m.xx = (c[1].X - c[0].X) / w, m.yx = (c[1].Y - c[0].Y) / w;
  m.xy = (c[2].X - c[0].X) / h, m.yy = (c[2].Y - c[0].Y) / h;
  m.x0 = c[0].X - m.xx * src.Left - m.xy * src.Top, m.y0 = c[0].Y - m.yx * src.Left - m.yy * src.Top;
  // A flat or unmeasurable parallelogram covers nothing (and Cairo refuses such a matrix for good).
  const double det = m.xx * m.yy - m.xy * m.yx;
  for (double v : {m.xx, m.yx, m.xy, m.yy, m.x0, m.y0})
    if (!std::isfinite(v) || std::fabs(v) > 1e7) return;
  if (!std::isfinite(det) || std::fabs(det) < 1e-6) return;
  TBitmap masked;
  if (mask) {
    masked = source;
    for (std::size_t i = 0, n = std::size_t(source.Width()) * std::size_t(source.Height()); i < n; ++i)
      if (!White(mask->Pixels()[i])) masked.Pixels()[i] = 0;
  }
  TSourceSurface surface(mask ? static_cast<const TBitmap&>(masked) : source);
  TOp drawing(*FImpl);
  cairo_t* cr = drawing.Cr();
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  cairo_transform(cr, &m);
  cairo_rectangle(cr, src.Left, src.Top, w, h);
  cairo_clip(cr);
  cairo_set_source_surface(cr, surface.Get(), 0, 0);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
  cairo_paint(cr);
}

}  // namespace canvas
