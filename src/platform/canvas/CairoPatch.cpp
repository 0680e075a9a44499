// Pixels read from the surface, worked out one by one and written back
// where the clip allows: the raster operations, mix modes and gradients,
// which Cairo's operators cannot give bit for bit.

#include <algorithm>
#include <cmath>

#include "platform/canvas/CairoState.h"

namespace canvas {

bool ReadPatch(TCairoCanvas::TImpl& s, const TRect& area, TPatch& patch) {
  double x1, y1, x2, y2;
  cairo_clip_extents(s.Cr, &x1, &y1, &x2, &y2);  // device pixels between calls
  const TRect a{std::max({area.Left, 0, int(std::floor(x1))}), std::max({area.Top, 0, int(std::floor(y1))}),
                std::min({area.Right, s.Width, int(std::ceil(x2))}), std::min({area.Bottom, s.Height, int(std::ceil(y2))})};
  if (a.Left >= a.Right || a.Top >= a.Bottom) return false;
  patch.Area = a;
  patch.Pixels.SetSize(a.Width(), a.Height());
  cairo_surface_flush(s.Surface);
  const unsigned char* pixels = cairo_image_surface_get_data(s.Surface);
  for (int y = a.Top; y < a.Bottom; ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(pixels + std::ptrdiff_t(y) * s.Stride);
    std::copy(row + a.Left, row + a.Right, patch.Pixels.Pixels() + std::size_t(y - a.Top) * std::size_t(a.Width()));
  }
  return true;
}

namespace {

// How much of each pixel of Area (device pixels) the clip leaves, 0 to 255.
cairo_surface_t* ClipCoverage(TCairoCanvas::TImpl& s, const TRect& a) {
  cairo_surface_t* coverage = cairo_image_surface_create(CAIRO_FORMAT_A8, a.Width(), a.Height());
  cairo_t* cr = s.Cr;
  cairo_save(cr);
  cairo_identity_matrix(cr);
  cairo_new_path(cr);
  cairo_rectangle(cr, a.Left, a.Top, a.Width(), a.Height());
  cairo_clip(cr);  // the group below is no larger than the patch
  cairo_push_group_with_content(cr, CAIRO_CONTENT_ALPHA);
  cairo_set_source_rgba(cr, 0, 0, 0, 1);
  cairo_paint(cr);
  cairo_pattern_t* group = cairo_pop_group(cr);
  cairo_restore(cr);
  cairo_t* m = cairo_create(coverage);
  cairo_translate(m, -a.Left, -a.Top);
  cairo_set_source(m, group);
  cairo_paint(m);
  cairo_destroy(m);
  cairo_pattern_destroy(group);
  cairo_surface_flush(coverage);
  return coverage;
}

}  // namespace

void WritePatch(TCairoCanvas::TImpl& s, const TPatch& patch) {
  // A pixel changes wholly or not at all: where at least half of it lies
  // inside the clip, as an aliased clip would have it; blending the edge
  // would spoil the bit-by-bit results (exclusive-or twice must restore).
  const TRect& a = patch.Area;
  cairo_surface_t* coverage = ClipCoverage(s, a);
  const unsigned char* inside = cairo_image_surface_get_data(coverage);
  const int coverageStride = cairo_image_surface_get_stride(coverage);
  cairo_surface_flush(s.Surface);
  unsigned char* pixels = cairo_image_surface_get_data(s.Surface);
  for (int y = a.Top; y < a.Bottom; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(pixels + std::ptrdiff_t(y) * s.Stride);
    const std::uint32_t* from = patch.Pixels.Pixels() + std::size_t(y - a.Top) * std::size_t(a.Width());
    const unsigned char* in = inside + std::ptrdiff_t(y - a.Top) * coverageStride;
    for (int x = a.Left; x < a.Right; ++x)
      if (in[x - a.Left] >= 128) row[x] = from[x - a.Left];
  }
  cairo_surface_mark_dirty_rectangle(s.Surface, a.Left, a.Top, a.Width(), a.Height());
  cairo_surface_destroy(coverage);
}

std::uint32_t RasterOp(std::uint32_t code, std::uint32_t p, std::uint32_t s, std::uint32_t d) {
  std::uint32_t result = 0;
  for (int i = 0; i < 8; ++i)
    if (code >> (16 + i) & 1) result |= (i & 4 ? p : ~p) & (i & 2 ? s : ~s) & (i & 1 ? d : ~d);
  return 0xFF000000u | (result & 0xFFFFFF);
}

}  // namespace canvas
