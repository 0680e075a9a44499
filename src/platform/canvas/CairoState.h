#pragma once
// Internals of TCairoCanvas shared by its source files; never included
// outside this layer.

#include <cairo.h>

#include <string>
#include <vector>

#include "platform/canvas/Bitmap.h"
#include "platform/canvas/CairoCanvas.h"

namespace canvas {

struct TCairoCanvas::TImpl {
  cairo_surface_t* Surface = nullptr;
  cairo_t* Cr = nullptr;
  std::vector<std::uint32_t> Own;  // the image's pixels when the canvas owns them
  int Width = 0, Height = 0, Stride = 0;
  TPoint Origin;
  std::vector<TPoint> SavedOrigins;
};

// One drawing call: saves the context, sets the logical-to-device mapping
// and, on leaving, restores the context and writes the pixels through.
class TOp {
public:
  explicit TOp(TCairoCanvas::TImpl& s);
  ~TOp();
  TOp(const TOp&) = delete;
  TOp& operator=(const TOp&) = delete;
  cairo_t* Cr() const { return FS.Cr; }

private:
  TCairoCanvas::TImpl& FS;
};

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

void SetSourceColor(cairo_t* cr, TColor color);
void SetSourceArgb(cairo_t* cr, TArgb color);
// The operator of a GDI-family call: inversion (difference with the colour)
// for pmXor, plain painting otherwise; both aliased.
void SetGdiMode(cairo_t* cr, TPenMode mode);
// Paints the hatch lines of a style (2..7 as TBrushStyle, or a THatchStyle
// + 2) inside the current path, aligned to device pixel (0, 0); keeps the path.
void MaskHatch(cairo_t* cr, int brushStyle, TPoint origin);

// Device pixels of the surface as they stand, for the calls that work out
// each pixel themselves: read, changed, then written back where at least
// half of the pixel lies inside the clip (the others keep their values).
struct TPatch {
  TRect Area;  // device pixels, inside the surface and the clip's extents
  TBitmap Pixels;
};
// The pixels of Area (device pixels) that the surface and the clip leave; false when none.
bool ReadPatch(TCairoCanvas::TImpl& s, const TRect& area, TPatch& patch);
void WritePatch(TCairoCanvas::TImpl& s, const TPatch& patch);
// One ternary raster operation on the colour bits: bit i of the code's
// third byte is the result where (pattern, source, destination) =
// (i >> 2 & 1, i >> 1 & 1, i & 1). The result is opaque.
std::uint32_t RasterOp(std::uint32_t code, std::uint32_t pattern, std::uint32_t source, std::uint32_t destination);

// The smooth family's figure as Cairo's current path, with its fill rule;
// its brush filled into and its pen stroked along the path, which stays.
void AppendPath(cairo_t* cr, const TPath& path);
void FillSmoothBrush(cairo_t* cr, const TSmoothBrush& brush, TPoint origin);
void StrokeSmoothPen(cairo_t* cr, const TSmoothPen& pen);
// The pen's width, caps, joins and dashes, as StrokeSmoothPen strokes with them.
void SetSmoothPen(cairo_t* cr, const TSmoothPen& pen);
// A smooth call in a mix mode other than mmCopyPen.
void MixPath(TCairoCanvas::TImpl& s, const TPath& path, const TSmoothPen* pen, const TSmoothBrush* brush, TMixMode mix);

// A Cairo font face for a font file, cached for the life of the process;
// nullptr when the file cannot be read.
cairo_font_face_t* FontFace(const std::string& file, int index, bool bold, bool italic);

}  // namespace canvas
