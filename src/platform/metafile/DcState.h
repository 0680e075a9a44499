#pragma once
// The drawing state of a metafile's device context as its records change
// it: the objects they create (pens, brushes, fonts, regions) and the state
// that SaveDC keeps and RestoreDC brings back.

#include <uemf.h>

#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "platform/canvas/Bitmap.h"
#include "platform/metafile/Transform.h"

namespace metafile {

// A colour as the records give it.
inline canvas::TColor ColorOf(const U_COLORREF& c) { return canvas::RGB(c.Red, c.Green, c.Blue); }

struct TLogPen {
  std::uint32_t Style = U_PS_SOLID;
  double Width = 0;  // logical units; 0 = one device pixel
  canvas::TColor Color = canvas::clBlack;
  bool Cosmetic = true;  // one device pixel, whatever the transform
};

struct TLogBrush {
  std::uint32_t Style = U_BS_SOLID;
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

struct TDcState {
  TPageMapping Page;
  TXform World;
  TLogPen Pen;
  TLogBrush Brush;
  TLogFont Font;
  canvas::TColor TextColor = canvas::clBlack, BkColor = canvas::clWhite;
  std::uint32_t BkMode = U_OPAQUE, PolyFillMode = U_ALTERNATE, TextAlign = 0, ArcDirection = U_AD_COUNTERCLOCKWISE;
  canvas::TMixMode Rop2 = canvas::mmCopyPen;  // how pens and brushes combine with what is drawn
  double CharExtra = 0;  // logical units between characters
  canvas::TPointF Position;  // current position, logical
  TClip Clip;
};

}  // namespace metafile
