#pragma once
// A surface to paint on, with the state objects (pen, brush, font) that
// persist between calls, as the program's painting code expects of a canvas.
//
// GDI family (integer geometry, aliased): a fill covers Left..Right-1 and
// Top..Bottom-1; LineTo and Polyline leave out their last pixel; pen width 0
// or 1 is one pixel; dashed styles apply to one-pixel pens only; psClear
// draws no outline; polygons fill even-odd. Arc, Pie and Chord run counter-
// clockwise from the start radial to the end radial; equal radials give the
// whole ellipse. The pen mode pmXor applies to every GDI-family call.
// Smooth family (float geometry, anti-aliased while Smoothing is on) takes
// its pen and brush per call, like the GDI+ flat calls.
// Text is laid out by the text layer's font engine (whole-pixel advances, no
// kerning), so TextWidth is what TextOut draws; fonts named like a music
// font draw the music-font service's glyphs for each byte code.

#include <cstdint>
#include <span>
#include <string_view>

#include "platform/canvas/Graphics.h"

namespace canvas {

class TBitmap;

class TCanvas {
public:
  virtual ~TCanvas() = default;

  TPen Pen;
  TBrush Brush;
  TFont Font;
  TTextAlign TextAlign = taTop;
  bool Smoothing = true;  // smooth family: anti-aliasing on (GDI+ mode 4) or off (0)
  TCopyMode CopyMode = cmSrcCopy;  // BitBlt, StretchBlt and MaskBlt; the pattern is Brush.Color
  // Smooth family: other than mmCopyPen, pens and brushes are drawn aliased
  // and combined with the pixels bit by bit (the clip still holds).
  TMixMode SmoothMix = mmCopyPen;

  // Device state: nested saves, a clip that only shrinks until restored,
  // and the viewport origin (device position of logical 0,0).
  virtual void Save() = 0;
  virtual void Restore() = 0;  // the most recent Save; nothing when none is open
  virtual void IntersectClipRect(const TRect& r) = 0;
  // The clip narrowed to the inside of a figure (by its fill mode).
  virtual void IntersectClipPath(const TPath& path) = 0;
  virtual TRect ClipRect() const = 0;  // logical bounds of what may still be drawn
  virtual void SetOrigin(TPoint device) = 0;
  virtual TPoint Origin() const = 0;
  virtual TSize Size() const = 0;  // device pixels

  // GDI family.
  void MoveTo(int x, int y) { PenPos = {x, y}; }
  virtual void LineTo(int x, int y) = 0;
  virtual void Polyline(std::span<const TPoint> points) = 0;
  virtual void Polygon(std::span<const TPoint> points) = 0;
  virtual void PolyBezier(std::span<const TPoint> points) = 0;  // 1 + 3n points
  virtual void Rectangle(const TRect& r) = 0;
  virtual void FillRect(const TRect& r) = 0;   // brush only
  virtual void FrameRect(const TRect& r) = 0;  // one-pixel frame in the brush colour
  virtual void Ellipse(const TRect& r) = 0;
  virtual void RoundRect(const TRect& r, int cornerW, int cornerH) = 0;
  virtual void Arc(const TRect& box, TPoint start, TPoint end) = 0;
  virtual void Pie(const TRect& box, TPoint start, TPoint end) = 0;
  virtual void Chord(const TRect& box, TPoint start, TPoint end) = 0;
  virtual void SetPixel(int x, int y, TColor color) = 0;
  virtual TColor GetPixel(int x, int y) = 0;  // clNone outside the surface
  TPoint PenPos;

  // Text in Font at (x, y): the cell's top-left corner or, with taBaseline,
  // its baseline; rotated about that point by Font.Orientation. With a
  // brush other than bsClear the cell is filled with the brush colour first.
  virtual void TextOut(int x, int y, std::u16string_view text) = 0;
  // 8-bit text: bytes in Font.Charset, or glyph codes of a symbol or music font.
  virtual void TextOutA(int x, int y, std::string_view bytes) = 0;
  virtual TSize TextExtent(std::u16string_view text) = 0;  // unrotated width, cell height
  virtual int TextWidthA(std::string_view bytes) = 0;
  virtual text::TTextMetric GetTextMetrics() = 0;
  int TextWidth(std::u16string_view text) { return TextExtent(text).Cx; }
  int TextHeight(std::u16string_view text) { return TextExtent(text).Cy; }

  // The staff brace of the music font, ink heightPx high and about widthPx
  // wide (0: the usual proportions), its left end at x, centred on yCentre,
  // in Font.Color.
  virtual void MusicBrace(int x, int yCentre, int heightPx, int widthPx) = 0;

  // Smooth family (GDI+ equivalents). Null pen: no outline; null brush: no fill.
  virtual void SmoothPath(const TPath& path, const TSmoothPen* pen, const TSmoothBrush* brush) = 0;
  void SmoothLine(TPointF a, TPointF b, const TSmoothPen& pen);
  void SmoothPolyline(std::span<const TPointF> points, const TSmoothPen& pen);
  void SmoothBezier(TPointF p0, TPointF c1, TPointF c2, TPointF p3, const TSmoothPen& pen);
  void SmoothPolygon(std::span<const TPointF> points, const TSmoothPen* pen, const TSmoothBrush* brush);
  void SmoothRect(const TRectF& r, const TSmoothPen* pen, const TSmoothBrush* brush);
  void SmoothEllipse(const TRectF& r, const TSmoothPen* pen, const TSmoothBrush* brush);
  // Sweep 0 draws nothing; angles as in TPath.
  void SmoothArc(const TRectF& box, double startDeg, double sweepDeg, const TSmoothPen& pen);
  void SmoothPie(const TRectF& box, double startDeg, double sweepDeg, const TSmoothPen* pen,
                 const TSmoothBrush* brush);

  // Pictures and off-screen bitmaps. Draw honours the bitmap's transparent
  // colour and alpha; BitBlt and StretchBlt combine pixels by CopyMode
  // (cmSrcCopy: copied unchanged).
  virtual void Draw(int x, int y, const TBitmap& picture) = 0;
  virtual void StretchDraw(const TRect& dest, const TBitmap& picture) = 0;
  virtual void BitBlt(int x, int y, int w, int h, const TBitmap& source, int sourceX, int sourceY) = 0;
  virtual void StretchBlt(const TRect& dest, const TBitmap& source, const TRect& sourceRect) = 0;
  // Like StretchBlt, with a picture the size of the source beside it: where
  // its pixel is white CopyMode combines the pixels, elsewhere Background.
  virtual void MaskBlt(const TRect& dest, const TBitmap& source, const TRect& sourceRect, const TBitmap& mask,
                       TCopyMode background) = 0;
  // The source rectangle (premultiplied pixels) times ConstantAlpha / 255,
  // over what the destination holds.
  virtual void AlphaBlend(const TRect& dest, const TBitmap& source, const TRect& sourceRect,
                          std::uint8_t constantAlpha) = 0;
  // The source rectangle copied without its pixels of colour Key.
  virtual void TransparentBlt(const TRect& dest, const TBitmap& source, const TRect& sourceRect, TColor key) = 0;
  // The source rectangle onto the parallelogram of its upper-left,
  // upper-right and lower-left corners; with a mask (a picture the size of
  // the source) only where the mask is white.
  virtual void PlgBlt(std::span<const TPointF, 3> corners, const TBitmap& source, const TRect& sourceRect,
                      const TBitmap* mask) = 0;

  // Gradients as the platform paints them, aliased and opaque: a
  // rectangle between two corners whose colour runs from left to right (or
  // top to bottom) from one corner's to the other's, and a triangle whose
  // pixels mix its corners' colours by their distance from each. A pixel
  // takes the colour of its upper-left corner; the right and bottom edges
  // are left out, as in every fill of the GDI family.
  virtual void GradientRect(const TGradientVertex& a, const TGradientVertex& b, bool vertical) = 0;
  virtual void GradientTriangle(const TGradientVertex& a, const TGradientVertex& b, const TGradientVertex& c) = 0;
};

}  // namespace canvas
