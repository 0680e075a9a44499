#pragma once
// The drawing vocabulary of the program: colours, points, rectangles, pens,
// brushes and fonts, in the terms its painting code uses (GDI integer
// geometry with exclusive right and bottom edges; GDI+-style float geometry
// for the smooth calls).

#include <algorithm>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/text/TextMeasurer.h"

namespace canvas {

class TBitmap;

// 0x00BBGGRR; the high byte marks system colours (0x80000000 | index) and
// clNone.
using TColor = std::uint32_t;
constexpr TColor clBlack = 0x000000, clWhite = 0xFFFFFF, clRed = 0x0000FF, clLime = 0x00FF00, clBlue = 0xFF0000,
                 clGray = 0x808080, clSilver = 0xC0C0C0, clYellow = 0x00FFFF, clNavy = 0x800000;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clScrollBar = 0x80000000, clBackground = 0x80000001, clActiveCaption = 0x80000002,
                 clInactiveCaption = 0x80000003, clMenu = 0x80000004, clWindow = 0x80000005,
                 clWindowFrame = 0x80000006, clMenuText = 0x80000007, clWindowText = 0x80000008,
                 clCaptionText = 0x80000009, clActiveBorder = 0x8000000A, clInactiveBorder = 0x8000000B,
                 clAppWorkSpace = 0x8000000C, clHighlight = 0x8000000D, clHighlightText = 0x8000000E,
                 clBtnFace = 0x8000000F, clBtnShadow = 0x80000010, clGrayText = 0x80000011,
                 clBtnText = 0x80000012, clInactiveCaptionText = 0x80000013, clBtnHighlight = 0x80000014,
                 cl3DDkShadow = 0x80000015, cl3DLight = 0x80000016, clInfoText = 0x80000017, clInfoBk = 0x80000018;

// A system colour from the fixed classic table (the program draws the plain,
// unthemed look); any other colour unchanged, clNone as white.
TColor ColorToRGB(TColor color);
constexpr std::uint8_t GetRValue(TColor c) { return std::uint8_t(c); }
constexpr std::uint8_t GetGValue(TColor c) { return std::uint8_t(c >> 8); }
constexpr std::uint8_t GetBValue(TColor c) { return std::uint8_t(c >> 16); }
constexpr TColor RGB(int r, int g, int b) { return TColor(r & 255) | TColor(g & 255) << 8 | TColor(b & 255) << 16; }

// 0xAARRGGBB, the colours of the smooth calls.
using TArgb = std::uint32_t;
constexpr TArgb ArgbOf(TColor c, std::uint8_t alpha = 255) {
  return TArgb(alpha) << 24 | TArgb(GetRValue(c)) << 16 | TArgb(GetGValue(c)) << 8 | GetBValue(c);
}

struct TPoint {
  int X = 0, Y = 0;
  bool operator==(const TPoint&) const = default;
};
struct TSize {
  int Cx = 0, Cy = 0;
  bool operator==(const TSize&) const = default;
};
struct TRect {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  // The same rectangle with its left edge left of its right and its top above its bottom.
  TRect Normalized() const {
    return {std::min(Left, Right), std::min(Top, Bottom), std::max(Left, Right), std::max(Top, Bottom)};
  }
  TRect Moved(TPoint by) const { return {Left + by.X, Top + by.Y, Right + by.X, Bottom + by.Y}; }
  bool operator==(const TRect&) const = default;
};
struct TPointF {
  double X = 0, Y = 0;
  bool operator==(const TPointF&) const = default;
};
struct TRectF {
  double X = 0, Y = 0, W = 0, H = 0;
  bool operator==(const TRectF&) const = default;
};

enum TPenStyle : std::uint8_t { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
// Lengths in pixels, on and off in turn, of the dashes of a one-pixel pen
// of Style as the platform draws them; empty for the styles without dashes.
std::span<const double> CosmeticDashes(TPenStyle style);
// pmXor inverts what it covers when the colour is white, so that drawing a
// figure twice restores the pixels (overlays drawn straight on a window).
enum TPenMode : std::uint8_t { pmCopy, pmXor };
enum TBrushStyle : std::uint8_t {
  bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross
};
// Reference point of text output: the top-left corner of the text cell, or
// its left end on the baseline.
enum TTextAlign : std::uint8_t { taTop, taBaseline };
// Raster operation of the bitmap copies: a ternary code of the pattern (the
// brush colour), the source and the destination pixels, bit by bit.
using TCopyMode = std::uint32_t;
constexpr TCopyMode cmBlackness = 0x00000042, cmDstInvert = 0x00550009, cmMergeCopy = 0x00C000CA,
                    cmMergePaint = 0x00BB0226, cmNotSrcCopy = 0x00330008, cmNotSrcErase = 0x001100A6,
                    cmPatCopy = 0x00F00021, cmPatInvert = 0x005A0049, cmPatPaint = 0x00FB0A09,
                    cmSrcAnd = 0x008800C6, cmSrcCopy = 0x00CC0020, cmSrcErase = 0x00440328,
                    cmSrcInvert = 0x00660046, cmSrcPaint = 0x00EE0086, cmWhiteness = 0x00FF0062;
// How the pen and brush colours of the smooth calls combine with the
// pixels they cover, bit by bit, numbered as the platform's binary raster
// operations are: bit (2 * pen + pixel) of (mode - 1) is the result.
enum TMixMode : std::uint8_t {
  mmBlack = 1, mmNotMergePen, mmMaskNotPen, mmNotCopyPen, mmMaskPenNot, mmNot, mmXorPen, mmNotMaskPen, mmMaskPen,
  mmNotXorPen, mmNop, mmMergeNotPen, mmCopyPen, mmMergePenNot, mmMergePen, mmWhite
};
// A corner of a gradient: device pixel (x, y) of the canvas's logical
// space and its colour with 16 bits a channel, as the gradient calls of the
// platform take them.
struct TGradientVertex {
  int X = 0, Y = 0;
  std::uint16_t Red = 0, Green = 0, Blue = 0;
};
enum TFontQuality : std::uint8_t {
  fqDefault = 0, fqDraft = 1, fqProof = 2, fqNonAntialiased = 3, fqAntialiased = 4, fqClearType = 5
};

struct TPen {
  TColor Color = clBlack;
  int Width = 1;  // 0 and 1 are one device pixel
  TPenStyle Style = psSolid;
  TPenMode Mode = pmCopy;
  bool operator==(const TPen&) const = default;
};

// Hatched brushes draw their lines in Color; the gaps stay transparent.
struct TBrush {
  TColor Color = clWhite;
  TBrushStyle Style = bsSolid;
  bool operator==(const TBrush&) const = default;
};

struct TFont {
  std::string Name = "Arial";
  // GDI height: negative = pixel em, positive = cell height (ascent + descent).
  int Height = -11;
  unsigned Style = 0;  // text::TFontStyleBits
  TColor Color = clBlack;
  int Charset = 1;      // text::TCharset
  int Orientation = 0;  // escapement in tenths of a degree, counter-clockwise
  int Width = 0;        // average character width in pixels; 0 = the design's
  TFontQuality Quality = fqDefault;
  int PixelsPerInch = 96;

  // Point size: Height = -MulDiv(size, PixelsPerInch, 72).
  void SetSize(int size);
  int Size() const;
  bool operator==(const TFont&) const = default;
};

// Pens and brushes of the smooth (anti-aliased) calls. Dashes scale with the
// pen width; width 0 is a one-pixel hairline.
enum TDashStyle : std::uint8_t { dsSolid, dsDash, dsDot, dsDashDot, dsDashDotDot };
enum THatchStyle : std::int8_t {
  hsNone = -1, hsHorizontal, hsVertical, hsForwardDiagonal, hsBackwardDiagonal, hsCross, hsDiagonalCross
};
enum TLineCap : std::uint8_t { lcFlat, lcSquare, lcRound };
enum TLineJoin : std::uint8_t { ljMiter, ljBevel, ljRound };
struct TSmoothPen {
  TArgb Color = 0xFF000000;
  double Width = 1;
  TDashStyle Dash = dsSolid;
  TLineCap Cap = lcFlat;
  TLineJoin Join = ljMiter;
  bool operator==(const TSmoothPen&) const = default;
};
struct TSmoothBrush {
  TArgb Color = 0xFF000000;
  THatchStyle Hatch = hsNone;  // hsNone: solid
  TArgb Back = 0xFFFFFFFF;     // behind a hatch
  const TBitmap* Texture = nullptr;  // a texture brush: the picture tiled from device pixel (0, 0)
  bool operator==(const TSmoothBrush&) const = default;
};

// A figure of the smooth calls: lines, cubic Béziers and elliptic arcs.
// Angles are in degrees, clockwise on the page (y downwards), from the
// positive x axis. Its fill mode says which points are inside where
// figures cross: an odd number of crossings (alternate) or a non-zero
// winding number.
enum TFillMode : std::uint8_t { fmAlternate, fmWinding };
struct TPathCommand {
  enum TKind : std::uint8_t { Move, Line, Bezier, Arc, Close } Kind;
  TPointF P[3];         // Move/Line: P[0]; Bezier: control 1, control 2, end
  TRectF Box;           // Arc: the ellipse's bounding box
  double Start = 0, Sweep = 0;  // Arc
};
class TPath {
public:
  TPath& MoveTo(TPointF p);
  TPath& LineTo(TPointF p);
  TPath& BezierTo(TPointF c1, TPointF c2, TPointF end);
  TPath& ArcTo(const TRectF& box, double startDeg, double sweepDeg);
  TPath& Close();
  const std::vector<TPathCommand>& Commands() const { return FCommands; }
  TFillMode FillMode = fmAlternate;

private:
  std::vector<TPathCommand> FCommands;
};

}  // namespace canvas
