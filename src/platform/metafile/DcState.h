#pragma once
// The drawing state of a metafile's device context as its records change
// it: the objects they create (pens, brushes, fonts, regions) and the state
// that SaveDC keeps and RestoreDC brings back.

#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "platform/canvas/Bitmap.h"
#include "platform/metafile/Transform.h"

namespace metafile {

// Pen styles, end caps, joins and type, as the records give them.
enum : std::uint32_t {
  PS_SOLID = 0, PS_DASH = 1, PS_DOT = 2, PS_DASHDOT = 3, PS_DASHDOTDOT = 4, PS_NULL = 5, PS_INSIDEFRAME = 6,
  PS_STYLE_MASK = 0xF, PS_ENDCAP_SQUARE = 0x100, PS_ENDCAP_FLAT = 0x200, PS_ENDCAP_MASK = 0xF00,
  PS_JOIN_BEVEL = 0x1000, PS_JOIN_MITER = 0x2000, PS_JOIN_MASK = 0xF000, PS_GEOMETRIC = 0x10000
};
enum : std::uint32_t { BS_SOLID = 0, BS_NULL = 1, BS_HATCHED = 2, BS_PATTERN = 3, BS_DIBPATTERN = 5, BS_DIBPATTERNPT = 6 };

struct TLogPen {
  std::uint32_t Style = PS_SOLID;
  double Width = 0;  // logical units; 0 = one device pixel
  canvas::TColor Color = canvas::clBlack;
  bool Cosmetic = true;  // one device pixel, whatever the transform
};

struct TLogBrush {
  std::uint32_t Style = BS_SOLID;
  canvas::TColor Color = canvas::clWhite;
  std::uint32_t Hatch = 0;
  std::shared_ptr<const canvas::TBitmap> Pattern;  // pattern brushes
};

struct TLogFont {
  double Height = 0, Width = 0;  // logical units; a negative height is the em, a positive one the cell
  int Escapement = 0;            // tenths of a degree, counter-clockwise
  int Weight = 400;
  bool Italic = false, Underline = false, StrikeOut = false;
  int Charset = 0;
  std::string Face;  // UTF-8
};

// A region: rectangles in logical units (or device units, Device set).
struct TRegion {
  std::vector<canvas::TRectF> Rects;
  bool Device = false;
};

using TGdiObject = std::variant<std::monostate, TLogPen, TLogBrush, TLogFont, TRegion>;

// The clip: a chain of figures the drawing is narrowed to, in the canvas's
// coordinates; none = the whole picture.
struct TClipNode {
  std::shared_ptr<const TClipNode> Parent;
  canvas::TPath Figure;
  int Depth = 1;
};
using TClip = std::shared_ptr<const TClipNode>;

enum : std::uint32_t { TRANSPARENT = 1, OPAQUE = 2 };
enum : std::uint32_t { ALTERNATE = 1, WINDING = 2 };
enum : std::uint32_t {
  TA_UPDATECP = 1, TA_RIGHT = 2, TA_CENTER = 6, TA_HORIZONTAL = 6, TA_BOTTOM = 8, TA_BASELINE = 24, TA_VERTICAL = 24
};
enum : std::uint32_t { AD_COUNTERCLOCKWISE = 1, AD_CLOCKWISE = 2 };
// Binary raster operations of pens and brushes (numbered as canvas::TMixMode).
enum : std::uint32_t { R2_BLACK = 1, R2_NOP = 11, R2_COPYPEN = 13, R2_WHITE = 16 };

struct TDcState {
  TPageMapping Page;
  TXform World;
  TLogPen Pen;
  TLogBrush Brush;
  TLogFont Font;
  canvas::TColor TextColor = canvas::clBlack, BkColor = canvas::clWhite;
  std::uint32_t BkMode = OPAQUE, PolyFillMode = ALTERNATE, TextAlign = 0, ArcDirection = AD_COUNTERCLOCKWISE;
  std::uint32_t Rop2 = R2_COPYPEN;  // how pens and brushes combine with what is drawn
  double CharExtra = 0;  // logical units between characters
  canvas::TPointF Position;  // current position, logical
  TClip Clip;
};

}  // namespace metafile
