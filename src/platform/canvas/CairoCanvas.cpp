#include "platform/canvas/CairoCanvas.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "platform/canvas/Bitmap.h"
#include "platform/canvas/CairoState.h"

namespace canvas {

namespace {

constexpr double kPi = std::numbers::pi;

void SetCosmeticDash(cairo_t* cr, TPenStyle style) {
  const std::span<const double> dashes = CosmeticDashes(style);
  cairo_set_dash(cr, dashes.data(), int(dashes.size()), 0);
}

int PenWidth(const TPen& pen) { return std::max(1, pen.Width); }

// Offset that puts strokes of odd width on pixel centres.
double PenOffset(const TPen& pen) { return PenWidth(pen) % 2 ? 0.5 : 0.0; }

// The path through Points in the pen's mode and on its pixel grid: joined
// by lines, or by cubic Bezier segments (three points each) with Curves.
void TracePoints(cairo_t* cr, std::span<const TPoint> points, const TPen& pen, bool curves) {
  SetGdiMode(cr, pen.Mode);
  const double o = PenOffset(pen);
  cairo_move_to(cr, points[0].X + o, points[0].Y + o);
  if (!curves) {
    for (size_t i = 1; i < points.size(); ++i) cairo_line_to(cr, points[i].X + o, points[i].Y + o);
    return;
  }
  for (size_t i = 1; i + 2 < points.size(); i += 3)
    cairo_curve_to(cr, points[i].X + o, points[i].Y + o, points[i + 1].X + o, points[i + 1].Y + o,
                   points[i + 2].X + o, points[i + 2].Y + o);
}

// Cairo's difference operator inverts a channel exactly where the colour's
// channel is 0 or 255; a colour with any other channel needs the bitwise
// exclusive-or, or drawing it twice would not give the pixels back.
bool NeedsBitwiseXor(cairo_t* cr, TColor color) {
  if (cairo_get_operator(cr) != CAIRO_OPERATOR_DIFFERENCE) return false;
  const TColor c = ColorToRGB(color);
  for (int channel : {GetRValue(c), GetGValue(c), GetBValue(c)})
    if (channel != 0 && channel != 255) return true;
  return false;
}

// Exclusive-or of Color into the pixels that the current path covers,
// stroked or filled (aliased, inside the clip); the path stays.
void XorPath(TCairoCanvas::TImpl& s, TColor color, bool stroke) {
  cairo_t* cr = s.Cr;
  double x1, y1, x2, y2;
  if (stroke)
    cairo_stroke_extents(cr, &x1, &y1, &x2, &y2);
  else
    cairo_fill_extents(cr, &x1, &y1, &x2, &y2);
  cairo_user_to_device(cr, &x1, &y1);
  cairo_user_to_device(cr, &x2, &y2);
  cairo_matrix_t matrix;
  cairo_get_matrix(cr, &matrix);
  cairo_path_t* path = cairo_copy_path(cr);
  // The patch works in device pixels and paints the clip plainly; reading the clip takes the path.
  cairo_save(cr);
  cairo_identity_matrix(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
  auto whole = [](double v) { return int(std::clamp(v, -1e7, 1e7)); };
  TPatch patch;
  if (ReadPatch(s, {whole(std::floor(x1)), whole(std::floor(y1)), whole(std::ceil(x2)), whole(std::ceil(y2))}, patch)) {
    const TRect& a = patch.Area;
    cairo_surface_t* mask = cairo_image_surface_create(CAIRO_FORMAT_A8, a.Width(), a.Height());
    cairo_t* m = cairo_create(mask);
    matrix.x0 -= a.Left;
    matrix.y0 -= a.Top;
    cairo_set_matrix(m, &matrix);
    cairo_append_path(m, path);
    cairo_set_antialias(m, CAIRO_ANTIALIAS_NONE);
    cairo_set_fill_rule(m, cairo_get_fill_rule(cr));
    if (stroke) {
      cairo_set_line_width(m, cairo_get_line_width(cr));
      cairo_set_line_cap(m, cairo_get_line_cap(cr));
      cairo_set_line_join(m, cairo_get_line_join(cr));
      std::vector<double> dashes(size_t(cairo_get_dash_count(cr)));
      double offset = 0;
      cairo_get_dash(cr, dashes.data(), &offset);
      cairo_set_dash(m, dashes.data(), int(dashes.size()), offset);
      cairo_stroke(m);
    } else {
      cairo_fill(m);
    }
    cairo_destroy(m);
    cairo_surface_flush(mask);
    const std::uint32_t bits = PixelOf(ColorToRGB(color)) & 0xFFFFFF;
    const unsigned char* coverage = cairo_image_surface_get_data(mask);
    const int maskStride = cairo_image_surface_get_stride(mask);
    std::uint32_t* out = patch.Pixels.Pixels();
    for (int y = 0; y < a.Height(); ++y)
      for (int x = 0; x < a.Width(); ++x, ++out)
        if (coverage[std::ptrdiff_t(y) * maskStride + x] >= 128) *out ^= bits;
    cairo_surface_destroy(mask);
    WritePatch(s, patch);
  }
  cairo_restore(cr);
  cairo_new_path(cr);
  cairo_append_path(cr, path);
  cairo_path_destroy(path);
}

// Strokes the current path with the canvas pen (nothing for psClear).
void StrokeWithPen(TCairoCanvas::TImpl& s, const TPen& pen) {
  cairo_t* cr = s.Cr;
  if (pen.Style == psClear) {
    cairo_new_path(cr);
    return;
  }
  int w = PenWidth(pen);
  cairo_set_line_width(cr, w);
  if (w == 1) {
    SetCosmeticDash(cr, pen.Style);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
  } else {
    cairo_set_dash(cr, nullptr, 0, 0);  // wide pens draw solid
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  }
  if (NeedsBitwiseXor(cr, pen.Color)) {
    XorPath(s, pen.Color, true);
    cairo_new_path(cr);
    return;
  }
  SetSourceColor(cr, pen.Color);
  cairo_stroke(cr);
}

// Fills the current path with a GDI brush and keeps the path.
void FillWithBrush(TCairoCanvas::TImpl& s, const TBrush& brush) {
  cairo_t* cr = s.Cr;
  if (brush.Style == bsClear) return;
  SetSourceColor(cr, brush.Color);
  if (brush.Style == bsSolid && NeedsBitwiseXor(cr, brush.Color))
    XorPath(s, brush.Color, false);
  else if (brush.Style == bsSolid)
    cairo_fill_preserve(cr);
  else
    MaskHatch(cr, brush.Style, s.Origin);
}

// A path around the ellipse inscribed in a box (continuous coordinates).
void EllipsePath(cairo_t* cr, double cx, double cy, double rx, double ry, double a1, double a2, bool negative) {
  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  cairo_scale(cr, std::max(rx, 1e-6), std::max(ry, 1e-6));
  if (negative)
    cairo_arc_negative(cr, 0, 0, 1, a1, a2);
  else
    cairo_arc(cr, 0, 0, 1, a1, a2);
  cairo_restore(cr);
}

struct TEllipseGeometry {
  double Cx, Cy, Rx, Ry;
};

TEllipseGeometry OutlineEllipse(const TRect& box, const TPen& pen) {
  TRect r = box.Normalized();
  double inset = pen.Style == psInsideFrame ? PenWidth(pen) / 2.0 : 0.5;
  return {(r.Left + r.Right) / 2.0, (r.Top + r.Bottom) / 2.0, (r.Right - r.Left) / 2.0 - inset,
          (r.Bottom - r.Top) / 2.0 - inset};
}

// Parameter angle of a radial through a point, on the ellipse's own scale.
double RadialAngle(const TEllipseGeometry& e, TPoint p) {
  return std::atan2((p.Y - e.Cy) / std::max(e.Ry, 1e-6), (p.X - e.Cx) / std::max(e.Rx, 1e-6));
}

enum class TArcKind { Open, Pie, Chord };

// Parameter angle of a geometric angle (degrees, clockwise) on an ellipse.
double ParameterAngle(double deg, double rx, double ry) {
  double a = deg * kPi / 180;
  return std::atan2(std::sin(a) * std::max(rx, 1e-9), std::cos(a) * std::max(ry, 1e-9));
}

void AppendSmoothArc(cairo_t* cr, const TPathCommand& c) {
  double rx = c.Box.W / 2, ry = c.Box.H / 2;
  double t0 = ParameterAngle(c.Start, rx, ry);
  double t1;
  if (std::fabs(c.Sweep) >= 360) {
    t1 = t0 + (c.Sweep > 0 ? 2 * kPi : -2 * kPi);
  } else {
    double d = ParameterAngle(c.Start + c.Sweep, rx, ry) - t0;
    if (c.Sweep > 0)
      while (d <= 0) d += 2 * kPi;
    else
      while (d >= 0) d -= 2 * kPi;
    t1 = t0 + d;
  }
  EllipsePath(cr, c.Box.X + rx, c.Box.Y + ry, rx, ry, t0, t1, c.Sweep < 0);
}

void SetSmoothDash(cairo_t* cr, TDashStyle dash, double width) {
  static const double d[] = {3, 1}, o[] = {1, 1}, dd[] = {3, 1, 1, 1}, ddd[] = {3, 1, 1, 1, 1, 1};
  const double* pattern = nullptr;
  int n = 0;
  switch (dash) {
    case dsDash: pattern = d, n = 2; break;
    case dsDot: pattern = o, n = 2; break;
    case dsDashDot: pattern = dd, n = 4; break;
    case dsDashDotDot: pattern = ddd, n = 6; break;
    case dsSolid: break;
  }
  double scaled[6];
  for (int i = 0; i < n; ++i) scaled[i] = pattern[i] * width;
  cairo_set_dash(cr, n ? scaled : nullptr, n, 0);
}

}  // namespace

// ---- construction and device state -------------------------------------

TCairoCanvas::TCairoCanvas(std::uint32_t* pixels, int width, int height, int strideBytes)
    : FImpl(std::make_unique<TImpl>()) {
  FImpl->Width = std::max(width, 0);
  FImpl->Height = std::max(height, 0);
  FImpl->Stride = strideBytes;
  FImpl->Surface = cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(pixels), CAIRO_FORMAT_ARGB32,
                                                       FImpl->Width, FImpl->Height, strideBytes);
  FImpl->Cr = cairo_create(FImpl->Surface);
}

TCairoCanvas::TCairoCanvas(int width, int height, TColor fill) : FImpl(std::make_unique<TImpl>()) {
  FImpl->Width = std::max(width, 0);
  FImpl->Height = std::max(height, 0);
  FImpl->Stride = FImpl->Width * 4;
  FImpl->Own.assign(size_t(FImpl->Width) * size_t(FImpl->Height), PixelOf(ColorToRGB(fill)));
  FImpl->Surface = cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(FImpl->Own.data()),
                                                       CAIRO_FORMAT_ARGB32, FImpl->Width, FImpl->Height, FImpl->Stride);
  FImpl->Cr = cairo_create(FImpl->Surface);
}

TCairoCanvas::~TCairoCanvas() {
  cairo_destroy(FImpl->Cr);
  cairo_surface_finish(FImpl->Surface);
  cairo_surface_destroy(FImpl->Surface);
}

const std::uint32_t* TCairoCanvas::Pixels() const {
  return reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(FImpl->Surface));
}
int TCairoCanvas::StrideBytes() const { return FImpl->Stride; }

TOp::TOp(TCairoCanvas::TImpl& s) : FS(s) {
  cairo_surface_mark_dirty(s.Surface);  // the owner may have written the pixels
  cairo_save(s.Cr);
  cairo_identity_matrix(s.Cr);
  cairo_translate(s.Cr, s.Origin.X, s.Origin.Y);
  cairo_new_path(s.Cr);
}

TOp::~TOp() {
  cairo_restore(FS.Cr);
  cairo_surface_flush(FS.Surface);
}

void SetSourceColor(cairo_t* cr, TColor color) {
  TColor c = ColorToRGB(color);
  cairo_set_source_rgb(cr, GetRValue(c) / 255.0, GetGValue(c) / 255.0, GetBValue(c) / 255.0);
}

void SetSourceArgb(cairo_t* cr, TArgb c) {
  cairo_set_source_rgba(cr, (c >> 16 & 255) / 255.0, (c >> 8 & 255) / 255.0, (c & 255) / 255.0, (c >> 24) / 255.0);
}

void SetGdiMode(cairo_t* cr, TPenMode mode) {
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  cairo_set_operator(cr, mode == pmXor ? CAIRO_OPERATOR_DIFFERENCE : CAIRO_OPERATOR_OVER);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
}

void MaskHatch(cairo_t* cr, int brushStyle, TPoint origin) {
  // 8 x 8 hatch cells; the mask is opaque where a hatch line runs.
  static cairo_surface_t* cells[6] = {};
  int index = std::clamp(brushStyle - bsHorizontal, 0, 5);
  if (!cells[index]) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_A8, 8, 8);
    unsigned char* d = cairo_image_surface_get_data(s);
    int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) {
        bool h = y == 0, v = x == 0, f = x == y, b = x + y == 7;
        bool on[6] = {h, v, f, b, h || v, f || b};
        d[y * stride + x] = on[index] ? 255 : 0;
      }
    cairo_surface_mark_dirty(s);
    cells[index] = s;  // kept for the life of the process
  }
  cairo_save(cr);
  cairo_clip_preserve(cr);
  cairo_pattern_t* p = cairo_pattern_create_for_surface(cells[index]);
  cairo_pattern_set_extend(p, CAIRO_EXTEND_REPEAT);
  cairo_pattern_set_filter(p, CAIRO_FILTER_NEAREST);
  cairo_matrix_t m;
  cairo_matrix_init_translate(&m, origin.X, origin.Y);  // pattern space = device space
  cairo_pattern_set_matrix(p, &m);
  cairo_mask(cr, p);
  cairo_pattern_destroy(p);
  cairo_restore(cr);
}

void TCairoCanvas::Save() {
  cairo_save(FImpl->Cr);
  FImpl->SavedOrigins.push_back(FImpl->Origin);
}

void TCairoCanvas::Restore() {
  if (FImpl->SavedOrigins.empty()) return;
  cairo_restore(FImpl->Cr);
  FImpl->Origin = FImpl->SavedOrigins.back();
  FImpl->SavedOrigins.pop_back();
}

void TCairoCanvas::IntersectClipRect(const TRect& r) {
  TRect n = r.Normalized();
  cairo_t* cr = FImpl->Cr;
  cairo_identity_matrix(cr);
  cairo_translate(cr, FImpl->Origin.X, FImpl->Origin.Y);
  cairo_new_path(cr);
  cairo_rectangle(cr, n.Left, n.Top, n.Right - n.Left, n.Bottom - n.Top);
  cairo_clip(cr);
  cairo_identity_matrix(cr);  // between calls the context maps device pixels
}

TRect TCairoCanvas::ClipRect() const {
  double x1, y1, x2, y2;
  cairo_clip_extents(FImpl->Cr, &x1, &y1, &x2, &y2);  // device pixels
  TPoint o = FImpl->Origin;
  return {int(std::floor(x1)) - o.X, int(std::floor(y1)) - o.Y, int(std::ceil(x2)) - o.X, int(std::ceil(y2)) - o.Y};
}

void TCairoCanvas::SetOrigin(TPoint device) { FImpl->Origin = device; }
TPoint TCairoCanvas::Origin() const { return FImpl->Origin; }
TSize TCairoCanvas::Size() const { return {FImpl->Width, FImpl->Height}; }

// ---- GDI family ---------------------------------------------------------

void TCairoCanvas::LineTo(int x, int y) {
  TPoint points[2] = {PenPos, {x, y}};
  Polyline(points);
  PenPos = {x, y};
}

void TCairoCanvas::Polyline(std::span<const TPoint> points) {
  if (points.size() < 2) return;
  TOp op(*FImpl);
  TracePoints(op.Cr(), points, Pen, false);
  StrokeWithPen(*FImpl, Pen);
}

void TCairoCanvas::PolyBezier(std::span<const TPoint> points) {
  if (points.size() < 4) return;
  TOp op(*FImpl);
  TracePoints(op.Cr(), points, Pen, true);
  StrokeWithPen(*FImpl, Pen);
}

void TCairoCanvas::Polygon(std::span<const TPoint> points) {
  if (points.size() < 2) return;
  TOp op(*FImpl);
  cairo_t* cr = op.Cr();
  TracePoints(cr, points, Pen, false);
  cairo_close_path(cr);
  FillWithBrush(*FImpl, Brush);
  StrokeWithPen(*FImpl, Pen);
}

void TCairoCanvas::Rectangle(const TRect& box) {
  TRect r = box.Normalized();
  TOp op(*FImpl);
  cairo_t* cr = op.Cr();
  SetGdiMode(cr, Pen.Mode);
  // The interior leaves out the right column and bottom row, which the
  // outline covers (or, with psClear, nothing does).
  cairo_rectangle(cr, r.Left, r.Top, std::max(r.Width() - 1, 0), std::max(r.Height() - 1, 0));
  FillWithBrush(*FImpl, Brush);
  cairo_new_path(cr);
  int w = PenWidth(Pen);
  double inset = Pen.Style == psInsideFrame ? w / 2.0 : 0.5;
  cairo_rectangle(cr, r.Left + inset, r.Top + inset, std::max(r.Width() - 2 * inset, 0.0),
                  std::max(r.Height() - 2 * inset, 0.0));
  StrokeWithPen(*FImpl, Pen);
}

void TCairoCanvas::FillRect(const TRect& box) {
  TRect r = box.Normalized();
  TOp op(*FImpl);
  cairo_t* cr = op.Cr();
  SetGdiMode(cr, pmCopy);
  cairo_rectangle(cr, r.Left, r.Top, r.Width(), r.Height());
  FillWithBrush(*FImpl, Brush);
}

void TCairoCanvas::FrameRect(const TRect& box) {
  TRect r = box.Normalized();
  if (r.Width() <= 0 || r.Height() <= 0) return;
  TOp op(*FImpl);
  cairo_t* cr = op.Cr();
  SetGdiMode(cr, pmCopy);
  cairo_rectangle(cr, r.Left, r.Top, r.Width(), r.Height());
  cairo_rectangle(cr, r.Left + 1, r.Top + 1, std::max(r.Width() - 2, 0), std::max(r.Height() - 2, 0));
  SetSourceColor(cr, Brush.Color);
  cairo_fill(cr);
}

void TCairoCanvas::Ellipse(const TRect& box) {
  TEllipseGeometry e = OutlineEllipse(box, Pen);
  if (e.Rx < 0 || e.Ry < 0) return;
  TOp op(*FImpl);
  cairo_t* cr = op.Cr();
  SetGdiMode(cr, Pen.Mode);
  EllipsePath(cr, e.Cx, e.Cy, e.Rx, e.Ry, 0, 2 * kPi, false);
  cairo_close_path(cr);
  FillWithBrush(*FImpl, Brush);
  StrokeWithPen(*FImpl, Pen);
}

void TCairoCanvas::RoundRect(const TRect& box, int cornerW, int cornerH) {
  TRect r = box.Normalized();
  double l = r.Left + 0.5, t = r.Top + 0.5, rr = r.Right - 0.5, b = r.Bottom - 0.5;
  double rx = std::min(std::abs(cornerW) / 2.0, (rr - l) / 2), ry = std::min(std::abs(cornerH) / 2.0, (b - t) / 2);
  if (rr < l || b < t) return;
  TOp op(*FImpl);
  cairo_t* cr = op.Cr();
  SetGdiMode(cr, Pen.Mode);
  EllipsePath(cr, rr - rx, t + ry, rx, ry, -kPi / 2, 0, false);
  EllipsePath(cr, rr - rx, b - ry, rx, ry, 0, kPi / 2, false);
  EllipsePath(cr, l + rx, b - ry, rx, ry, kPi / 2, kPi, false);
  EllipsePath(cr, l + rx, t + ry, rx, ry, kPi, 3 * kPi / 2, false);
  cairo_close_path(cr);
  FillWithBrush(*FImpl, Brush);
  StrokeWithPen(*FImpl, Pen);
}

namespace {

void ArcFigure(TCairoCanvas::TImpl& s, TCanvas& c, const TRect& box, TPoint start, TPoint end, TArcKind kind) {
  TEllipseGeometry e = OutlineEllipse(box, c.Pen);
  if (e.Rx < 0 || e.Ry < 0) return;
  double a1 = RadialAngle(e, start), a2 = RadialAngle(e, end);
  bool whole = a1 == a2;
  // Counter-clockwise on the screen is decreasing angle with y downwards.
  if (a2 >= a1) a2 -= 2 * kPi;
  TOp op(s);
  cairo_t* cr = op.Cr();
  SetGdiMode(cr, c.Pen.Mode);
  if (kind == TArcKind::Pie) cairo_move_to(cr, e.Cx, e.Cy);
  if (whole && kind == TArcKind::Open) {
    EllipsePath(cr, e.Cx, e.Cy, e.Rx, e.Ry, 0, 2 * kPi, false);  // exactly as Ellipse draws it
    cairo_close_path(cr);
  } else {
    EllipsePath(cr, e.Cx, e.Cy, e.Rx, e.Ry, a1, a2, true);
  }
  if (kind != TArcKind::Open) {
    cairo_close_path(cr);
    FillWithBrush(s, c.Brush);
  }
  StrokeWithPen(s, c.Pen);
}

}  // namespace

void TCairoCanvas::Arc(const TRect& box, TPoint start, TPoint end) {
  ArcFigure(*FImpl, *this, box, start, end, TArcKind::Open);
}
void TCairoCanvas::Pie(const TRect& box, TPoint start, TPoint end) {
  ArcFigure(*FImpl, *this, box, start, end, TArcKind::Pie);
}
void TCairoCanvas::Chord(const TRect& box, TPoint start, TPoint end) {
  ArcFigure(*FImpl, *this, box, start, end, TArcKind::Chord);
}

void TCairoCanvas::SetPixel(int x, int y, TColor color) {
  TOp op(*FImpl);
  cairo_t* cr = op.Cr();
  SetGdiMode(cr, pmCopy);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  SetSourceColor(cr, color);
  cairo_rectangle(cr, x, y, 1, 1);
  cairo_fill(cr);
}

TColor TCairoCanvas::GetPixel(int x, int y) {
  int dx = x + FImpl->Origin.X, dy = y + FImpl->Origin.Y;
  if (dx < 0 || dy < 0 || dx >= FImpl->Width || dy >= FImpl->Height) return clNone;
  cairo_surface_flush(FImpl->Surface);
  const unsigned char* row = cairo_image_surface_get_data(FImpl->Surface) + size_t(dy) * size_t(FImpl->Stride);
  return ColorOfPixel(reinterpret_cast<const std::uint32_t*>(row)[dx]);
}

// ---- smooth family ------------------------------------------------------

namespace {

// Fills the current path with the picture tiled from device pixel (0, 0).
void FillWithTexture(cairo_t* cr, const TBitmap& texture, TPoint origin) {
  if (texture.Empty()) return;
  const TSourceSurface s(texture);
  cairo_pattern_t* p = cairo_pattern_create_for_surface(s.Get());
  cairo_pattern_set_extend(p, CAIRO_EXTEND_REPEAT);
  cairo_pattern_set_filter(p, CAIRO_FILTER_NEAREST);
  cairo_matrix_t m;
  cairo_matrix_init_translate(&m, origin.X, origin.Y);
  cairo_pattern_set_matrix(p, &m);
  cairo_set_source(cr, p);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(p);
}

cairo_line_cap_t CairoCap(TLineCap cap) {
  return cap == lcRound ? CAIRO_LINE_CAP_ROUND : cap == lcSquare ? CAIRO_LINE_CAP_SQUARE : CAIRO_LINE_CAP_BUTT;
}

cairo_line_join_t CairoJoin(TLineJoin join) {
  return join == ljRound ? CAIRO_LINE_JOIN_ROUND : join == ljBevel ? CAIRO_LINE_JOIN_BEVEL : CAIRO_LINE_JOIN_MITER;
}

}  // namespace

void AppendPath(cairo_t* cr, const TPath& path) {
  cairo_set_fill_rule(cr, path.FillMode == fmWinding ? CAIRO_FILL_RULE_WINDING : CAIRO_FILL_RULE_EVEN_ODD);
  for (const TPathCommand& c : path.Commands()) {
    switch (c.Kind) {
      case TPathCommand::Move: cairo_move_to(cr, c.P[0].X, c.P[0].Y); break;
      case TPathCommand::Line: cairo_line_to(cr, c.P[0].X, c.P[0].Y); break;
      case TPathCommand::Bezier:
        cairo_curve_to(cr, c.P[0].X, c.P[0].Y, c.P[1].X, c.P[1].Y, c.P[2].X, c.P[2].Y);
        break;
      case TPathCommand::Arc: AppendSmoothArc(cr, c); break;
      case TPathCommand::Close: cairo_close_path(cr); break;
    }
  }
}

void FillSmoothBrush(cairo_t* cr, const TSmoothBrush& brush, TPoint origin) {
  if (brush.Texture) {
    FillWithTexture(cr, *brush.Texture, origin);
  } else if (brush.Hatch == hsNone) {
    SetSourceArgb(cr, brush.Color);
    cairo_fill_preserve(cr);
  } else {
    SetSourceArgb(cr, brush.Back);
    cairo_fill_preserve(cr);
    SetSourceArgb(cr, brush.Color);
    MaskHatch(cr, int(brush.Hatch) + int(bsHorizontal), origin);
  }
}

void SetSmoothPen(cairo_t* cr, const TSmoothPen& pen) {
  double w = pen.Width > 0 ? pen.Width : 1;
  cairo_set_line_width(cr, w);
  cairo_set_line_cap(cr, CairoCap(pen.Cap));
  cairo_set_line_join(cr, CairoJoin(pen.Join));
  SetSmoothDash(cr, pen.Dash, w);
}

void StrokeSmoothPen(cairo_t* cr, const TSmoothPen& pen) {
  SetSmoothPen(cr, pen);
  SetSourceArgb(cr, pen.Color);
  cairo_stroke_preserve(cr);
}

void TCairoCanvas::IntersectClipPath(const TPath& path) {
  cairo_t* cr = FImpl->Cr;
  cairo_identity_matrix(cr);
  cairo_translate(cr, FImpl->Origin.X, FImpl->Origin.Y);
  cairo_new_path(cr);
  AppendPath(cr, path);
  cairo_clip(cr);  // an empty figure leaves nothing to draw on
  cairo_identity_matrix(cr);
}

void TCairoCanvas::SmoothPath(const TPath& path, const TSmoothPen* pen, const TSmoothBrush* brush) {
  if (path.Commands().empty() || (!pen && !brush)) return;
  if (SmoothMix != mmCopyPen) return MixPath(*FImpl, path, pen, brush, SmoothMix);
  TOp op(*FImpl);
  cairo_t* cr = op.Cr();
  cairo_set_antialias(cr, Smoothing ? CAIRO_ANTIALIAS_GRAY : CAIRO_ANTIALIAS_NONE);
  AppendPath(cr, path);
  if (brush) FillSmoothBrush(cr, *brush, FImpl->Origin);
  if (pen) StrokeSmoothPen(cr, *pen);
  cairo_new_path(cr);
}

}  // namespace canvas
