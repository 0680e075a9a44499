#include "platform/metafile/Player.h"

#include <algorithm>
#include <cmath>

#include "platform/metafile/Figures.h"
#include "platform/metafile/PixelGrid.h"

namespace metafile {

namespace {

// The figure that covers everything except another one (with the
// alternate rule), for clips that take an area away.
canvas::TPath Outside(const canvas::TPath& figure) {
  constexpr double kFar = 1e7;
  canvas::TPath out;
  const canvas::TPointF corners[] = {{-kFar, -kFar}, {kFar, -kFar}, {kFar, kFar}, {-kFar, kFar}};
  AddPoly(out, corners, true);
  for (const canvas::TPathCommand& c : figure.Commands()) {
    switch (c.Kind) {
      case canvas::TPathCommand::Move: out.MoveTo(c.P[0]); break;
      case canvas::TPathCommand::Line: out.LineTo(c.P[0]); break;
      case canvas::TPathCommand::Bezier: out.BezierTo(c.P[0], c.P[1], c.P[2]); break;
      case canvas::TPathCommand::Arc: out.ArcTo(c.Box, c.Start, c.Sweep); break;
      case canvas::TPathCommand::Close: out.Close(); break;
    }
  }
  out.FillMode = canvas::fmAlternate;
  return out;
}

// Extents scaled past all measure map everything onto one point: nothing shows.
TXform Measured(const TXform& x) {
  for (double v : {x.M11, x.M12, x.M21, x.M22, x.Dx, x.Dy})
    if (!std::isfinite(v) || std::fabs(v) > 1e9) return TXform{0, 0, 0, 0, 0, 0};
  return x;
}

canvas::TPath Moved(const canvas::TPath& figure, double dx, double dy) {
  return Transformed(figure, TXform{1, 0, 0, 1, dx, dy});
}

}  // namespace

TPlayer::TPlayer(canvas::TCanvas& canvas, const THeader& header, const canvas::TRect& dest, TBitmapCache& bitmaps)
    : FCanvas(canvas), FHeader(header), FBitmaps(bitmaps), FObjects(header.Objects) {
  const double sx = dest.Width() / header.FrameWidth, sy = dest.Height() / header.FrameHeight;
  FFrame = {sx, 0, 0, sy, dest.Left - header.FrameLeft * sx, dest.Top - header.FrameTop * sy};
  FDc.Page.UnitsPerMmX = header.UnitsPerMmX, FDc.Page.UnitsPerMmY = header.UnitsPerMmY;
  if (header.Kind == TKind::Wmf) {
    // A Windows metafile's window maps onto the whole frame until it sets a viewport of its own.
    TPageMapping& p = FDc.Page;
    p.Mode = U_MM_ANISOTROPIC;
    p.WinOrgX = p.VpOrgX = header.FrameLeft, p.WinOrgY = p.VpOrgY = header.FrameTop;
    p.WinExtX = p.VpExtX = header.FrameWidth, p.WinExtY = p.VpExtY = header.FrameHeight;
  }
  FCanvas.Save();
  FCanvas.IntersectClipRect(dest);
  FCanvas.Save();  // the metafile's own clip, replaced as it changes
}

TPlayer::~TPlayer() {
  FCanvas.Restore();
  FCanvas.Restore();
}

TPlayResult TPlayer::Play(std::span<const std::uint8_t> bytes) {
  TRecordWalk walk(FHeader.Kind, bytes, FHeader.FirstRecord);
  TRecord r;
  while (!FResult.Damage && walk.Next(r)) {
    FRecordOffset = r.Offset;
    const bool known = FHeader.Kind == TKind::Wmf ? PlayWmfRecord(*this, r) : PlayEmfRecord(*this, r);
    if (!known) Skip();
  }
  if (!FResult.Damage) FResult.Damage = walk.Damage();
  FResult.Records = walk.Count();
  return FResult;
}

TXform TPlayer::ToCanvas() const { return Measured(FDc.World.Then(FDc.Page.Xform()).Then(FFrame)); }

TXform TPlayer::DeviceToCanvas() const { return Measured(FFrame); }

bool TPlayer::ArcsClockwise() const {
  const TXform x = ToCanvas();
  const bool flipped = x.M11 * x.M22 - x.M12 * x.M21 < 0;
  return (FDc.ArcDirection == U_AD_CLOCKWISE) != flipped;
}

canvas::TSmoothPen TPlayer::CanvasPen() const {
  const TLogPen& p = FDc.Pen;
  canvas::TSmoothPen pen;
  pen.Color = canvas::ArgbOf(p.Color);
  // Whole device pixels, as the device context draws a pen; wider than a
  // million, a pen covers any canvas all the same.
  constexpr double kWidest = 1 << 20;
  pen.Width = p.Cosmetic || p.Width <= 0 ? 1 : std::clamp(std::round(p.Width * ToCanvas().Scale()), 1.0, kWidest);
  // Wide pens of the plain kind draw solid, as the device context draws them.
  const bool dashes = pen.Width == 1 || (p.Style & U_PS_GEOMETRIC);
  switch (p.Style & U_PS_STYLE_MASK) {
    case U_PS_DASH: pen.Dash = dashes ? canvas::dsDash : canvas::dsSolid; break;
    case U_PS_DOT: pen.Dash = dashes ? canvas::dsDot : canvas::dsSolid; break;
    case U_PS_DASHDOT: pen.Dash = dashes ? canvas::dsDashDot : canvas::dsSolid; break;
    case U_PS_DASHDOTDOT: pen.Dash = dashes ? canvas::dsDashDotDot : canvas::dsSolid; break;
    default: break;
  }
  const std::uint32_t cap = p.Style & U_PS_ENDCAP_MASK, join = p.Style & U_PS_JOIN_MASK;
  pen.Cap = cap == U_PS_ENDCAP_FLAT ? canvas::lcFlat : cap == U_PS_ENDCAP_SQUARE ? canvas::lcSquare : canvas::lcRound;
  pen.Join = join == U_PS_JOIN_MITER ? canvas::ljMiter : join == U_PS_JOIN_BEVEL ? canvas::ljBevel : canvas::ljRound;
  if (pen.Width == 1) pen.Cap = canvas::lcFlat, pen.Join = canvas::ljMiter;
  return pen;
}

bool TPlayer::OnePixelPen(std::span<const double>& dashes) const {
  const TLogPen& p = FDc.Pen;
  const std::uint32_t style = p.Style & U_PS_STYLE_MASK;
  dashes = {};
  if (style == U_PS_SOLID || style == U_PS_INSIDEFRAME) return true;
  // A geometric pen keeps its dashes in proportion to its width.
  if (p.Style & U_PS_GEOMETRIC || style > U_PS_DASHDOTDOT) return false;
  dashes = canvas::CosmeticDashes(canvas::TPenStyle(style));
  return true;
}

canvas::TSmoothBrush TPlayer::CanvasBrush(const TLogBrush& b) const {
  canvas::TSmoothBrush brush;
  brush.Color = canvas::ArgbOf(b.Color);
  if (b.Style == U_BS_HATCHED) {
    brush.Hatch = canvas::THatchStyle(std::min<std::uint32_t>(b.Hatch, 5));
    brush.Back = FDc.BkMode == U_OPAQUE ? canvas::ArgbOf(FDc.BkColor) : 0;
  } else if ((b.Style == U_BS_PATTERN || b.Style == U_BS_DIBPATTERN || b.Style == U_BS_DIBPATTERNPT) && b.Pattern) {
    brush.Texture = b.Pattern.get();
  }
  return brush;
}

namespace {

bool Paints(const TLogBrush& b) {
  return b.Style == U_BS_SOLID || b.Style == U_BS_HATCHED || (b.Style != U_BS_NULL && b.Pattern);
}

}  // namespace

void TPlayer::Draw(const canvas::TPath& figure, bool stroke, bool fill) {
  canvas::TPath onCanvas = Transformed(figure, ToCanvas());
  if (FInPath) return AppendToPath(onCanvas);
  Paint(onCanvas, stroke, fill);
}

void TPlayer::DrawInBox(const canvas::TPath& figure, const canvas::TRectF& box, bool stroke, bool fill) {
  const TXform x = ToCanvas();
  const canvas::TPath onCanvas = Transformed(figure, x);
  if (FInPath) return AppendToPath(onCanvas);
  // Turned by a world transform, the box is no box on the device: the
  // figure is drawn by its points, as any other.
  const double slant = std::max(std::fabs(x.M12) + std::fabs(x.M21), std::fabs(x.M11) + std::fabs(x.M22));
  const double upright = std::min(std::fabs(x.M12) + std::fabs(x.M21), std::fabs(x.M11) + std::fabs(x.M22));
  if (upright > 1e-9 * slant) return Paint(onCanvas, stroke, fill);
  const canvas::TPointF a = x.Apply(box.X, box.Y), b = x.Apply(box.X + box.W, box.Y + box.H);
  const canvas::TRectF device = Box(a.X, a.Y, b.X, b.Y);
  Paint(onCanvas, stroke, fill, &device);
}

void TPlayer::Paint(const canvas::TPath& figure, bool stroke, bool fill, const canvas::TRectF* deviceBox) {
  const bool pen = stroke && (FDc.Pen.Style & U_PS_STYLE_MASK) != U_PS_NULL;
  const bool brush = fill && Paints(FDc.Brush);
  if ((!pen && !brush) || figure.Commands().empty()) return;
  const canvas::TSmoothPen p = CanvasPen();
  const int width = pen ? int(p.Width) : 0;
  const bool insideFrame = (FDc.Pen.Style & U_PS_STYLE_MASK) == U_PS_INSIDEFRAME;
  // A fill without outline keeps its points as they fall: rounded, a
  // curved or slanted edge would only turn jagged under the smoothing.
  canvas::TPath path = deviceBox ? FitToPixels(figure, *deviceBox, {FHeader.Kind == TKind::Emf, width, insideFrame})
                       : pen     ? OnPixelGrid(figure, PenOffset(width))
                                 : figure;
  path.FillMode = FDc.PolyFillMode == U_WINDING ? canvas::fmWinding : canvas::fmAlternate;
  const canvas::TSmoothBrush b = CanvasBrush(FDc.Brush);
  std::span<const double> dashes;
  if (!pen || width > 1 || !OnePixelPen(dashes)) return SmoothPath(path, pen ? &p : nullptr, brush ? &b : nullptr, true);
  // A one-pixel pen: the pixels the platform's line drawing lights, in the
  // pen's colour, round a fill of the pixels whose centres lie inside (a
  // smoothed edge would show past the outline's steps).
  PrepareCanvas();
  const canvas::TRect visible = FCanvas.ClipRect();
  const canvas::TPath lines = OnDevicePoints(path, visible);
  if (brush) {
    const bool smoothing = FCanvas.Smoothing;
    FCanvas.Smoothing = false;
    SmoothPath(lines, nullptr, &b, true);
    FCanvas.Smoothing = smoothing;
  }
  canvas::TSmoothBrush ink;
  ink.Color = p.Color;
  SmoothPath(OnePixelOutline(lines, visible, dashes), nullptr, &ink, true);
}

void TPlayer::Fill(const canvas::TPath& canvasFigure, const TLogBrush& brush, bool mixed) {
  if (brush.Style == U_BS_NULL) return;
  const canvas::TSmoothBrush b = CanvasBrush(brush);
  SmoothPath(canvasFigure, nullptr, &b, mixed);
}

void TPlayer::SmoothPath(const canvas::TPath& figure, const canvas::TSmoothPen* pen, const canvas::TSmoothBrush* brush,
                         bool mixed) {
  const canvas::TMixMode mix = mixed ? FDc.Rop2 : canvas::mmCopyPen;
  if (mix == canvas::mmNop) return;  // leaves every pixel as it is
  PrepareCanvas();
  const canvas::TMixMode saved = FCanvas.SmoothMix;
  FCanvas.SmoothMix = mix;
  FCanvas.SmoothPath(figure, pen, brush);
  FCanvas.SmoothMix = saved;
}

bool TPlayer::SetRop2(std::uint32_t mode) {
  if (mode < canvas::mmBlack || mode > canvas::mmWhite) return false;
  FDc.Rop2 = canvas::TMixMode(mode);
  return true;
}

void TPlayer::BeginPath() {
  FInPath = true;
  FPath = {};
  FFigureOpen = false;
}

void TPlayer::AbortPath() {
  FInPath = false;
  FPath = {};
  FFigureOpen = false;
}

void TPlayer::CloseFigure() {
  if (FInPath && FFigureOpen) FPath.Close(), FFigureOpen = false;
}

void TPlayer::AppendToPath(const canvas::TPath& f) {
  // A figure that starts where the open one stands goes on with it.
  for (const canvas::TPathCommand& c : f.Commands()) {
    switch (c.Kind) {
      case canvas::TPathCommand::Move:
        if (FFigureOpen && c.P[0] == FPathLast) break;
        FPath.MoveTo(c.P[0]), FFigureOpen = true, FPathLast = c.P[0];
        break;
      case canvas::TPathCommand::Line: FPath.LineTo(c.P[0]), FPathLast = c.P[0]; break;
      case canvas::TPathCommand::Bezier: FPath.BezierTo(c.P[0], c.P[1], c.P[2]), FPathLast = c.P[2]; break;
      case canvas::TPathCommand::Close: FPath.Close(), FFigureOpen = false; break;
      case canvas::TPathCommand::Arc: break;
    }
  }
}

void TPlayer::DrawPath(bool stroke, bool fill) {
  if (fill) CloseFigure();  // filling closes the open figure, for its outline too
  canvas::TPath path = std::move(FPath);
  AbortPath();
  Paint(path, stroke, fill);
}

void TPlayer::ClipToPath(TClipCombine mode) {
  canvas::TPath path = std::move(FPath);
  AbortPath();
  path.FillMode = FDc.PolyFillMode == U_WINDING ? canvas::fmWinding : canvas::fmAlternate;
  CombineClip(&path, mode);
}

void TPlayer::CombineClip(const canvas::TPath* figure, TClipCombine mode) {
  TClip& clip = FDc.Clip;
  if (mode == TClipCombine::Copy && !figure) {
    clip = nullptr;
    return;
  }
  if (!figure) return;
  if (mode == TClipCombine::Or && !clip) return;  // everything, and more, is everything
  if (mode == TClipCombine::Or || mode == TClipCombine::Xor) return Skip();
  const TClip parent = mode == TClipCombine::Copy ? nullptr : clip;
  const int depth = parent ? parent->Depth + 1 : 1;
  if (depth > kMaxClipDepth) return Skip();
  clip = std::make_shared<const TClipNode>(
      TClipNode{parent, mode == TClipCombine::Diff ? Outside(*figure) : *figure, depth});
}

void TPlayer::OffsetClip(double dx, double dy) {
  std::vector<const TClipNode*> chain;
  for (const TClipNode* n = FDc.Clip.get(); n; n = n->Parent.get()) chain.push_back(n);
  TClip moved;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it)
    moved = std::make_shared<const TClipNode>(TClipNode{moved, Moved((*it)->Figure, dx, dy), (*it)->Depth});
  FDc.Clip = moved;
}

void TPlayer::PrepareCanvas() {
  if (FClipApplied && FAppliedClip == FDc.Clip) return;
  FCanvas.Restore();
  FCanvas.Save();
  std::vector<const TClipNode*> chain;
  for (const TClipNode* n = FDc.Clip.get(); n; n = n->Parent.get()) chain.push_back(n);
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) FCanvas.IntersectClipPath((*it)->Figure);
  FAppliedClip = FDc.Clip;
  FClipApplied = true;
}

void TPlayer::SaveDc() {
  if (FSaved.size() >= kMaxSavedStates) return Skip();
  FSaved.push_back(FDc);
}

void TPlayer::RestoreDc(std::int32_t which) {
  // Negative: that many states back; positive: the state of that SaveDC.
  const std::int64_t depth = std::int64_t(FSaved.size());
  const std::int64_t keep = which < 0 ? depth + which : std::int64_t(which) - 1;
  if (which == 0 || keep < 0 || keep >= depth) return Skip();
  FDc = std::move(FSaved[std::size_t(keep)]);
  FSaved.resize(std::size_t(keep));
}

}  // namespace metafile
