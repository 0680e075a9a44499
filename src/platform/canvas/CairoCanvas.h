#pragma once
// The canvas on Cairo: over a caller-owned pixel buffer (a window's pixels
// handed over by the window layer) or over an image of its own. Pixels are
// 32-bit ARGB with premultiplied alpha in native byte order; the stride is
// in bytes and a multiple of 4. Every call leaves the pixels written, so the
// owner of the buffer may read them at once.

#include <cstdint>
#include <memory>

#include "platform/canvas/Canvas.h"

namespace canvas {

class TCairoCanvas : public TCanvas {
public:
  TCairoCanvas(std::uint32_t* pixels, int width, int height, int strideBytes);
  TCairoCanvas(int width, int height, TColor fill = clWhite);
  ~TCairoCanvas() override;
  TCairoCanvas(const TCairoCanvas&) = delete;
  TCairoCanvas& operator=(const TCairoCanvas&) = delete;

  const std::uint32_t* Pixels() const;
  int StrideBytes() const;

  void Save() override;
  void Restore() override;
  void IntersectClipRect(const TRect& r) override;
  void IntersectClipPath(const TPath& path) override;
  TRect ClipRect() const override;
  void SetOrigin(TPoint device) override;
  TPoint Origin() const override;
  TSize Size() const override;

  void LineTo(int x, int y) override;
  void Polyline(std::span<const TPoint> points) override;
  void Polygon(std::span<const TPoint> points) override;
  void PolyBezier(std::span<const TPoint> points) override;
  void Rectangle(const TRect& r) override;
  void FillRect(const TRect& r) override;
  void FrameRect(const TRect& r) override;
  void Ellipse(const TRect& r) override;
  void RoundRect(const TRect& r, int cornerW, int cornerH) override;
  void Arc(const TRect& box, TPoint start, TPoint end) override;
  void Pie(const TRect& box, TPoint start, TPoint end) override;
  void Chord(const TRect& box, TPoint start, TPoint end) override;
  void SetPixel(int x, int y, TColor color) override;
  TColor GetPixel(int x, int y) override;

  void TextOut(int x, int y, std::u16string_view text) override;
  void TextOutA(int x, int y, std::string_view bytes) override;
  TSize TextExtent(std::u16string_view text) override;
  int TextWidthA(std::string_view bytes) override;
  text::TTextMetric GetTextMetrics() override;
  void MusicBrace(int x, int yCentre, int heightPx, int widthPx) override;

  void SmoothPath(const TPath& path, const TSmoothPen* pen, const TSmoothBrush* brush) override;

  void Draw(int x, int y, const TBitmap& picture) override;
  void StretchDraw(const TRect& dest, const TBitmap& picture) override;
  void BitBlt(int x, int y, int w, int h, const TBitmap& source, int sourceX, int sourceY) override;
  void StretchBlt(const TRect& dest, const TBitmap& source, const TRect& sourceRect) override;
  void MaskBlt(const TRect& dest, const TBitmap& source, const TRect& sourceRect, const TBitmap& mask,
               TCopyMode background) override;
  void AlphaBlend(const TRect& dest, const TBitmap& source, const TRect& sourceRect, std::uint8_t constantAlpha) override;
  void TransparentBlt(const TRect& dest, const TBitmap& source, const TRect& sourceRect, TColor key) override;
  void PlgBlt(std::span<const TPointF, 3> corners, const TBitmap& source, const TRect& sourceRect,
              const TBitmap* mask) override;
  void GradientRect(const TGradientVertex& a, const TGradientVertex& b, bool vertical) override;
  void GradientTriangle(const TGradientVertex& a, const TGradientVertex& b, const TGradientVertex& c) override;

  struct TImpl;

private:
  std::unique_ptr<TImpl> FImpl;
};

}  // namespace canvas
