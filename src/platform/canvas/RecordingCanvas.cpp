#include "platform/canvas/RecordingCanvas.h"

#include <algorithm>
#include <cmath>

#include "platform/canvas/Bitmap.h"

namespace canvas {

namespace {

std::vector<double> RectArgs(const TRect& r) { return {double(r.Left), double(r.Top), double(r.Right), double(r.Bottom)}; }

std::vector<double> ArcArgs(const TRect& r, TPoint a, TPoint b) {
  std::vector<double> args = RectArgs(r);
  args.insert(args.end(), {double(a.X), double(a.Y), double(b.X), double(b.Y)});
  return args;
}

}  // namespace

TRecordingCanvas::TRecordingCanvas(int width, int height) : FSize{width, height}, FClip{0, 0, width, height} {}

std::vector<std::string> TRecordingCanvas::Names() const {
  std::vector<std::string> names;
  for (const TCanvasCall& c : Calls) names.push_back(c.Name);
  return names;
}

TCanvasCall& TRecordingCanvas::Add(const char* name, std::vector<double> args) {
  TCanvasCall c;
  c.Name = name;
  c.Args = std::move(args);
  c.Pen = Pen;
  c.Brush = Brush;
  c.Font = Font;
  c.TextAlign = TextAlign;
  c.Smoothing = Smoothing;
  c.CopyMode = CopyMode;
  c.SmoothMix = SmoothMix;
  Calls.push_back(std::move(c));
  return Calls.back();
}

void TRecordingCanvas::AddPoints(const char* name, std::span<const TPoint> points) {
  std::vector<double> args;
  for (const TPoint& p : points) args.insert(args.end(), {double(p.X), double(p.Y)});
  Add(name, std::move(args));
}

text::TFontSpec TRecordingCanvas::CurrentFontSpec() const { return {Font.Name, Font.Size(), Font.Style}; }

void TRecordingCanvas::Save() {
  FSaved.push_back({FOrigin, FClip});
  Add("Save", {});
}

void TRecordingCanvas::Restore() {
  if (!FSaved.empty()) {
    FOrigin = FSaved.back().Origin;
    FClip = FSaved.back().Clip;
    FSaved.pop_back();
  }
  Add("Restore", {});
}

void TRecordingCanvas::IntersectClipRect(const TRect& r) {
  NarrowClip(r);
  Add("IntersectClipRect", RectArgs(r));
}

void TRecordingCanvas::NarrowClip(const TRect& r) {
  const TRect d = r.Normalized().Moved(FOrigin);
  FClip = {std::max(FClip.Left, d.Left), std::max(FClip.Top, d.Top), std::min(FClip.Right, d.Right),
           std::min(FClip.Bottom, d.Bottom)};
  if (FClip.Right < FClip.Left || FClip.Bottom < FClip.Top) FClip = {0, 0, 0, 0};
}

void TRecordingCanvas::IntersectClipPath(const TPath& path) {
  // The clip kept here is the figure's bounding box; an empty figure clips all.
  double l = 1e300, t = 1e300, r = -1e300, b = -1e300;
  auto take = [&](TPointF p) { l = std::min(l, p.X), t = std::min(t, p.Y), r = std::max(r, p.X), b = std::max(b, p.Y); };
  for (const TPathCommand& c : path.Commands()) {
    if (c.Kind == TPathCommand::Arc) take({c.Box.X, c.Box.Y}), take({c.Box.X + c.Box.W, c.Box.Y + c.Box.H});
    if (c.Kind == TPathCommand::Move || c.Kind == TPathCommand::Line) take(c.P[0]);
    if (c.Kind == TPathCommand::Bezier) take(c.P[0]), take(c.P[1]), take(c.P[2]);
  }
  TRect box = l > r ? TRect{} : TRect{int(std::floor(l)), int(std::floor(t)), int(std::ceil(r)), int(std::ceil(b))};
  NarrowClip(box);
  TCanvasCall& c = Add("IntersectClipPath", {});
  c.Path = path.Commands();
  c.FillMode = path.FillMode;
}

TRect TRecordingCanvas::ClipRect() const {
  return {FClip.Left - FOrigin.X, FClip.Top - FOrigin.Y, FClip.Right - FOrigin.X, FClip.Bottom - FOrigin.Y};
}

void TRecordingCanvas::SetOrigin(TPoint device) {
  FOrigin = device;
  Add("SetOrigin", {double(device.X), double(device.Y)});
}

void TRecordingCanvas::LineTo(int x, int y) {
  Add("LineTo", {double(PenPos.X), double(PenPos.Y), double(x), double(y)});
  PenPos = {x, y};
}

void TRecordingCanvas::Polyline(std::span<const TPoint> points) { AddPoints("Polyline", points); }
void TRecordingCanvas::Polygon(std::span<const TPoint> points) { AddPoints("Polygon", points); }
void TRecordingCanvas::PolyBezier(std::span<const TPoint> points) { AddPoints("PolyBezier", points); }
void TRecordingCanvas::Rectangle(const TRect& r) { Add("Rectangle", RectArgs(r)); }
void TRecordingCanvas::FillRect(const TRect& r) { Add("FillRect", RectArgs(r)); }
void TRecordingCanvas::FrameRect(const TRect& r) { Add("FrameRect", RectArgs(r)); }
void TRecordingCanvas::Ellipse(const TRect& r) { Add("Ellipse", RectArgs(r)); }

void TRecordingCanvas::RoundRect(const TRect& r, int cornerW, int cornerH) {
  std::vector<double> args = RectArgs(r);
  args.insert(args.end(), {double(cornerW), double(cornerH)});
  Add("RoundRect", std::move(args));
}

void TRecordingCanvas::Arc(const TRect& box, TPoint start, TPoint end) { Add("Arc", ArcArgs(box, start, end)); }
void TRecordingCanvas::Pie(const TRect& box, TPoint start, TPoint end) { Add("Pie", ArcArgs(box, start, end)); }
void TRecordingCanvas::Chord(const TRect& box, TPoint start, TPoint end) { Add("Chord", ArcArgs(box, start, end)); }

void TRecordingCanvas::SetPixel(int x, int y, TColor color) { Add("SetPixel", {double(x), double(y), double(color)}); }
TColor TRecordingCanvas::GetPixel(int, int) { return clNone; }

void TRecordingCanvas::TextOut(int x, int y, std::u16string_view text) {
  Add("TextOut", {double(x), double(y)}).Text = std::u16string(text);
}

void TRecordingCanvas::TextOutA(int x, int y, std::string_view bytes) {
  Add("TextOutA", {double(x), double(y)}).Text = std::u16string(bytes.begin(), bytes.end());
}

TSize TRecordingCanvas::TextExtent(std::u16string_view text) {
  text::TTextMeasurer& m = text::CurrentMeasurer();
  return {m.TextWidthW(CurrentFontSpec(), std::u16string(text)), m.TextHeight(CurrentFontSpec())};
}

int TRecordingCanvas::TextWidthA(std::string_view bytes) {
  return text::CurrentMeasurer().TextWidth(CurrentFontSpec(), std::string(bytes));
}

text::TTextMetric TRecordingCanvas::GetTextMetrics() { return text::CurrentMeasurer().GetTextMetrics(CurrentFontSpec()); }

void TRecordingCanvas::MusicBrace(int x, int yCentre, int heightPx, int widthPx) {
  Add("MusicBrace", {double(x), double(yCentre), double(heightPx), double(widthPx)});
}

void TRecordingCanvas::SmoothPath(const TPath& path, const TSmoothPen* pen, const TSmoothBrush* brush) {
  TCanvasCall& c = Add("SmoothPath", {});
  c.Path = path.Commands();
  c.FillMode = path.FillMode;
  if (pen) c.SmoothPen = *pen;
  if (brush) c.SmoothBrush = *brush;
}

void TRecordingCanvas::Draw(int x, int y, const TBitmap& picture) {
  Add("Draw", {double(x), double(y), double(picture.Width()), double(picture.Height())});
}

void TRecordingCanvas::StretchDraw(const TRect& dest, const TBitmap& picture) {
  std::vector<double> args = RectArgs(dest);
  args.insert(args.end(), {double(picture.Width()), double(picture.Height())});
  Add("StretchDraw", std::move(args));
}

void TRecordingCanvas::BitBlt(int x, int y, int w, int h, const TBitmap&, int sourceX, int sourceY) {
  Add("BitBlt", {double(x), double(y), double(w), double(h), double(sourceX), double(sourceY)});
}

void TRecordingCanvas::StretchBlt(const TRect& dest, const TBitmap&, const TRect& sourceRect) {
  std::vector<double> args = RectArgs(dest);
  std::vector<double> src = RectArgs(sourceRect);
  args.insert(args.end(), src.begin(), src.end());
  Add("StretchBlt", std::move(args));
}

void TRecordingCanvas::MaskBlt(const TRect& dest, const TBitmap& source, const TRect& sourceRect, const TBitmap&,
                               TCopyMode background) {
  StretchBlt(dest, source, sourceRect);
  Calls.back().Name = "MaskBlt";
  Calls.back().Args.push_back(double(background));
}

void TRecordingCanvas::AlphaBlend(const TRect& dest, const TBitmap& source, const TRect& sourceRect,
                                  std::uint8_t constantAlpha) {
  StretchBlt(dest, source, sourceRect);
  Calls.back().Name = "AlphaBlend";
  Calls.back().Args.push_back(constantAlpha);
}

void TRecordingCanvas::TransparentBlt(const TRect& dest, const TBitmap& source, const TRect& sourceRect, TColor key) {
  StretchBlt(dest, source, sourceRect);
  Calls.back().Name = "TransparentBlt";
  Calls.back().Args.push_back(double(key));
}

void TRecordingCanvas::PlgBlt(std::span<const TPointF, 3> corners, const TBitmap&, const TRect& sourceRect,
                              const TBitmap* mask) {
  std::vector<double> args;
  for (const TPointF& p : corners) args.insert(args.end(), {p.X, p.Y});
  std::vector<double> src = RectArgs(sourceRect);
  args.insert(args.end(), src.begin(), src.end());
  args.push_back(mask ? 1 : 0);
  Add("PlgBlt", std::move(args));
}

void TRecordingCanvas::GradientRect(const TGradientVertex& a, const TGradientVertex& b, bool vertical) {
  Add("GradientRect", {double(a.X), double(a.Y), double(b.X), double(b.Y), vertical ? 1.0 : 0.0});
}

void TRecordingCanvas::GradientTriangle(const TGradientVertex& a, const TGradientVertex& b, const TGradientVertex& c) {
  Add("GradientTriangle", {double(a.X), double(a.Y), double(b.X), double(b.Y), double(c.X), double(c.Y)});
}

}  // namespace canvas
