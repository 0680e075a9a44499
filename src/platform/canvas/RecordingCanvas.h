#pragma once
// A canvas that draws nothing and keeps a list of the calls made on it, each
// with a copy of the pen, brush and font in force, so that tests can check
// what painting code asked for. Text is measured by the installed text
// measurer (the deterministic fake unless a test installs another).

#include <optional>
#include <string>
#include <vector>

#include "platform/canvas/Canvas.h"

namespace canvas {

struct TCanvasCall {
  std::string Name;           // the call: "Rectangle", "TextOut", "SmoothPath", ...
  std::vector<double> Args;   // its numbers in the order of its parameters
  std::u16string Text;        // text of the text calls (8-bit text byte by byte)
  TPen Pen;
  TBrush Brush;
  TFont Font;
  TTextAlign TextAlign = taTop;
  bool Smoothing = true;
  TCopyMode CopyMode = cmSrcCopy;
  TMixMode SmoothMix = mmCopyPen;
  std::vector<TPathCommand> Path;  // SmoothPath, IntersectClipPath
  TFillMode FillMode = fmAlternate;
  std::optional<TSmoothPen> SmoothPen;
  std::optional<TSmoothBrush> SmoothBrush;
};

class TRecordingCanvas : public TCanvas {
public:
  explicit TRecordingCanvas(int width = 1024, int height = 768);

  std::vector<TCanvasCall> Calls;
  // Names of the calls in order, for compact comparisons.
  std::vector<std::string> Names() const;

  void Save() override;
  void Restore() override;
  void IntersectClipRect(const TRect& r) override;
  void IntersectClipPath(const TPath& path) override;
  TRect ClipRect() const override;
  void SetOrigin(TPoint device) override;
  TPoint Origin() const override { return FOrigin; }
  TSize Size() const override { return FSize; }

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

private:
  TCanvasCall& Add(const char* name, std::vector<double> args);
  void AddPoints(const char* name, std::span<const TPoint> points);
  text::TFontSpec CurrentFontSpec() const;
  void NarrowClip(const TRect& logical);

  TSize FSize;
  TPoint FOrigin;
  TRect FClip;  // device pixels
  struct TSaved {
    TPoint Origin;
    TRect Clip;
  };
  std::vector<TSaved> FSaved;
};

}  // namespace canvas
