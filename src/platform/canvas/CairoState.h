#pragma once
// Internals of TCairoCanvas shared by its source files; never included
// outside this layer.

#include <cairo.h>

#include <string>
#include <vector>

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

void SetSourceColor(cairo_t* cr, TColor color);
void SetSourceArgb(cairo_t* cr, TArgb color);
// The operator of a GDI-family call: inversion (difference with the colour)
// for pmXor, plain painting otherwise; both aliased.
void SetGdiMode(cairo_t* cr, TPenMode mode);
// Paints the hatch lines of a style (2..7 as TBrushStyle, or a THatchStyle
// + 2) inside the current path, aligned to device pixel (0, 0); keeps the path.
void MaskHatch(cairo_t* cr, int brushStyle, TPoint origin);

// A Cairo font face for a font file, cached for the life of the process;
// nullptr when the file cannot be read.
cairo_font_face_t* FontFace(const std::string& file, int index, bool bold, bool italic);

}  // namespace canvas
