// Smooth calls in a mix mode: the brush, then the pen, drawn aliased into a
// scratch picture of their own, and each pixel they cover combined with the
// surface's by the mode's bits, as the platform's binary raster operations
// combine them.

#include <algorithm>
#include <cmath>

#include "platform/canvas/CairoState.h"

namespace canvas {

namespace {

// The mix mode as a ternary raster operation that leaves the source out:
// bit (4 pen + 2 source + pixel) of the code is bit (2 pen + pixel) of the mode's table.
std::uint32_t TernaryCode(TMixMode mix) {
  const unsigned table = mix >= mmBlack && mix <= mmWhite ? unsigned(mix) - 1 : unsigned(mmCopyPen) - 1;
  std::uint32_t code = 0;
  for (unsigned i = 0; i < 8; ++i)
    if (table >> ((i >> 2 & 1) * 2 + (i & 1)) & 1) code |= 1u << i;
  return code << 16;
}

// Device pixels the figure may touch: what its pen's stroke or its fill
// covers, and a pixel more for the aliased edges.
TRect Reach(TCairoCanvas::TImpl& s, const TPath& path, const TSmoothPen* pen) {
  cairo_t* cr = s.Cr;
  cairo_save(cr);
  cairo_identity_matrix(cr);
  cairo_translate(cr, s.Origin.X, s.Origin.Y);
  cairo_new_path(cr);
  AppendPath(cr, path);
  double x1, y1, x2, y2;
  if (pen) {
    SetSmoothPen(cr, *pen);
    cairo_stroke_extents(cr, &x1, &y1, &x2, &y2);
  } else {
    cairo_fill_extents(cr, &x1, &y1, &x2, &y2);
  }
  cairo_user_to_device(cr, &x1, &y1);
  cairo_user_to_device(cr, &x2, &y2);
  cairo_new_path(cr);
  cairo_restore(cr);
  auto whole = [](double v) { return int(std::clamp(v, -1e7, 1e7)); };
  return {whole(std::floor(x1 - 1)), whole(std::floor(y1 - 1)), whole(std::ceil(x2 + 1)), whole(std::ceil(y2 + 1))};
}

void MixLayer(TCairoCanvas::TImpl& s, const TPath& path, const TSmoothPen* pen, const TSmoothBrush* brush,
              std::uint32_t code) {
  TPatch patch;
  if (!ReadPatch(s, Reach(s, path, pen), patch)) return;
  const TRect& a = patch.Area;
  // The layer starts clear: only what the figure covers takes part.
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, a.Width(), a.Height());
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) return cairo_surface_destroy(surface);
  cairo_t* cr = cairo_create(surface);
  cairo_translate(cr, s.Origin.X - a.Left, s.Origin.Y - a.Top);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  AppendPath(cr, path);
  // Hatches and textures keep their phase on the device (user space plus the origin).
  if (brush) FillSmoothBrush(cr, *brush, s.Origin);
  if (pen) StrokeSmoothPen(cr, *pen);
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  const unsigned char* cover = cairo_image_surface_get_data(surface);
  const std::size_t stride = std::size_t(cairo_image_surface_get_stride(surface));
  std::uint32_t* out = patch.Pixels.Pixels();
  for (int y = 0; y < a.Height(); ++y) {
    const std::uint32_t* in = reinterpret_cast<const std::uint32_t*>(cover + std::size_t(y) * stride);
    for (int x = 0; x < a.Width(); ++x, ++out)
      if (in[x] >> 24 >= 128) *out = RasterOp(code, in[x], 0, *out);
  }
  cairo_surface_destroy(surface);
  WritePatch(s, patch);
}

}  // namespace

void MixPath(TCairoCanvas::TImpl& s, const TPath& path, const TSmoothPen* pen, const TSmoothBrush* brush, TMixMode mix) {
  const std::uint32_t code = TernaryCode(mix);
  if (brush) MixLayer(s, path, nullptr, brush, code);
  if (pen) MixLayer(s, path, pen, nullptr, code);
}

}  // namespace canvas
