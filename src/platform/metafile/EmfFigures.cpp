// Enhanced-metafile records that draw figures, build paths and set the
// clip. Point arrays come in 32-bit and 16-bit forms.

#include "platform/metafile/EmfRecord.h"
#include "platform/metafile/Shapes.h"

namespace metafile {

namespace {

using canvas::TPointF;

canvas::TRectF BoxOf(const U_RECTL& r) { return Box(r.left, r.top, r.right, r.bottom); }

TClipCombine CombineOf(std::uint32_t mode) {
  switch (mode) {
    case U_RGN_AND: return TClipCombine::And;
    case U_RGN_OR: return TClipCombine::Or;
    case U_RGN_XOR: return TClipCombine::Xor;
    case U_RGN_DIFF: return TClipCombine::Diff;
    default: return TClipCombine::Copy;
  }
}

// Count points at Offset, 32-bit (8 bytes) or 16-bit (4 bytes) each.
std::vector<TPointF> Points(TEmfRecord& e, std::size_t offset, std::uint64_t count, bool small) {
  std::vector<TPointF> points;
  if (!e.Holds(offset, count, small ? 4 : 8)) {
    e.P.Damage("a figure's point count runs past its record");
    return points;
  }
  points.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    if (small) {
      const auto* p = reinterpret_cast<const U_POINT16*>(e.At(offset + 4 * i));
      points.push_back({double(p->x), double(p->y)});
    } else {
      points.push_back(PointOf(*reinterpret_cast<const U_POINTL*>(e.At(offset + 8 * i))));
    }
  }
  return points;
}

// Polyline, polygon and Bézier records: bounds, count, points.
void PolyRecord(TEmfRecord& e, bool small) {
  if (e.R.Size < 28) return e.P.Skip();
  const std::uint32_t count = *reinterpret_cast<const std::uint32_t*>(e.At(24));
  const std::vector<TPointF> points = Points(e, 28, count, small);
  if (points.size() != count) return;
  switch (small ? e.R.Type - (U_EMR_POLYBEZIER16 - U_EMR_POLYBEZIER) : e.R.Type) {
    case U_EMR_POLYBEZIER: return Beziers(e.P, points, false);
    case U_EMR_POLYGON: return Polygon(e.P, points);
    case U_EMR_POLYLINE: return Polyline(e.P, points, false);
    case U_EMR_POLYBEZIERTO: return Beziers(e.P, points, true);
    case U_EMR_POLYLINETO: return Polyline(e.P, points, true);
    default: return e.P.Skip();
  }
}

// Poly-polylines and poly-polygons: bounds, figure count, point count, the
// figures' counts, then the points.
void PolyPolyRecord(TEmfRecord& e, bool small, bool polygon) {
  if (e.R.Size < 32) return e.P.Skip();
  const std::uint32_t figures = *reinterpret_cast<const std::uint32_t*>(e.At(24));
  const std::uint32_t total = *reinterpret_cast<const std::uint32_t*>(e.At(28));
  if (!e.Holds(32, figures, 4)) return e.P.Damage("a figure's point count runs past its record");
  std::vector<std::uint32_t> counts(figures);
  std::uint64_t sum = 0;
  for (std::size_t i = 0; i < figures; ++i) sum += counts[i] = *reinterpret_cast<const std::uint32_t*>(e.At(32 + 4 * i));
  if (sum != total) return e.P.Damage("a figure's point count runs past its record");
  const std::vector<TPointF> points = Points(e, 32 + 4 * std::size_t(figures), total, small);
  if (points.size() != total) return;
  PolyPolygon(e.P, points, counts, polygon);
}

// PolyDraw: points with a type each (move, line, Bézier, close).
void PolyDrawRecord(TEmfRecord& e, bool small) {
  if (e.R.Size < 28) return e.P.Skip();
  const std::uint32_t count = *reinterpret_cast<const std::uint32_t*>(e.At(24));
  const std::vector<TPointF> points = Points(e, 28, count, small);
  if (points.size() != count) return;
  const std::size_t types = 28 + std::size_t(count) * (small ? 4 : 8);
  if (!e.Holds(types, count, 1)) return e.P.Damage("a figure's point count runs past its record");
  canvas::TPath path;
  path.MoveTo(e.P.Dc().Position);
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t t = *e.At(types + i);
    if ((t & ~U_PT_CLOSEFIGURE) == U_PT_MOVETO) path.MoveTo(points[i]);
    else if ((t & ~U_PT_CLOSEFIGURE) == U_PT_BEZIERTO && i + 2 < count) path.BezierTo(points[i], points[i + 1], points[i + 2]), i += 2;
    else path.LineTo(points[i]);
    if (*e.At(types + i) & U_PT_CLOSEFIGURE) path.Close();
  }
  e.P.Draw(path, true, false);
  if (count) e.P.Dc().Position = points.back();
}

TRegion RegionOf(TEmfRecord& e, std::size_t offset, std::uint32_t bytes, bool device) {
  TRegion region;
  region.Device = device;
  if (bytes < 32 || !e.Holds(offset, bytes, 1)) return region;
  const auto* header = reinterpret_cast<const U_RGNDATAHEADER*>(e.At(offset));
  const std::uint64_t count = std::min<std::uint64_t>(header->nCount, (bytes - 32) / 16);
  for (std::size_t i = 0; i < count; ++i) region.Rects.push_back(BoxOf(*reinterpret_cast<const U_RECTL*>(e.At(offset + 32 + 16 * i))));
  return region;
}

}  // namespace

bool EmfFigureRecord(TEmfRecord& e) {
  TPlayer& p = e.P;
  switch (e.R.Type) {
    case U_EMR_POLYBEZIER: case U_EMR_POLYGON: case U_EMR_POLYLINE: case U_EMR_POLYBEZIERTO: case U_EMR_POLYLINETO:
      return PolyRecord(e, false), true;
    case U_EMR_POLYBEZIER16: case U_EMR_POLYGON16: case U_EMR_POLYLINE16: case U_EMR_POLYBEZIERTO16:
    case U_EMR_POLYLINETO16:
      return PolyRecord(e, true), true;
    case U_EMR_POLYPOLYLINE: return PolyPolyRecord(e, false, false), true;
    case U_EMR_POLYPOLYGON: return PolyPolyRecord(e, false, true), true;
    case U_EMR_POLYPOLYLINE16: return PolyPolyRecord(e, true, false), true;
    case U_EMR_POLYPOLYGON16: return PolyPolyRecord(e, true, true), true;
    case U_EMR_POLYDRAW: return PolyDrawRecord(e, false), true;
    case U_EMR_POLYDRAW16: return PolyDrawRecord(e, true), true;
    case U_EMR_LINETO:
      if (auto* r = e.As<U_EMRLINETO>()) LineTo(p, PointOf(r->ptl));
      return true;
    case U_EMR_RECTANGLE:
      if (auto* r = e.As<U_EMRRECTANGLE>()) Rectangle(p, BoxOf(r->rclBox));
      return true;
    case U_EMR_ELLIPSE:
      if (auto* r = e.As<U_EMRELLIPSE>()) Ellipse(p, BoxOf(r->rclBox));
      return true;
    case U_EMR_ROUNDRECT:
      if (auto* r = e.As<U_EMRROUNDRECT>()) RoundRect(p, BoxOf(r->rclBox), r->szlCorner.cx, r->szlCorner.cy);
      return true;
    case U_EMR_ARC: case U_EMR_CHORD: case U_EMR_PIE: {
      const auto* r = e.As<U_EMRARC>();
      if (!r) return true;
      const TArcKind kind = e.R.Type == U_EMR_ARC ? TArcKind::Open : e.R.Type == U_EMR_CHORD ? TArcKind::Chord : TArcKind::Pie;
      ArcFigure(p, BoxOf(r->rclBox), PointOf(r->ptlStart), PointOf(r->ptlEnd), kind);
      return true;
    }
    case U_EMR_ARCTO:
      if (auto* r = e.As<U_EMRARCTO>()) ArcTo(p, BoxOf(r->rclBox), PointOf(r->ptlStart), PointOf(r->ptlEnd));
      return true;
    case U_EMR_ANGLEARC:
      if (auto* r = e.As<U_EMRANGLEARC>()) AngleArc(p, PointOf(r->ptlCenter), r->nRadius, r->eStartAngle, r->eSweepAngle);
      return true;
    case U_EMR_SETPIXELV:
      if (auto* r = e.As<U_EMRSETPIXELV>()) SetPixel(p, PointOf(r->ptlPixel), ColorOf(r->crColor));
      return true;
    case U_EMR_FILLRGN: case U_EMR_PAINTRGN: {
      const auto* r = e.As<U_EMRINVERTRGN>();
      if (!r) return p.Skip(), true;
      const bool fill = e.R.Type == U_EMR_FILLRGN;
      const std::size_t offset = fill ? 32 : 28;
      const TGdiObject* o = fill && e.R.Size >= 32 ? p.Objects().Get(*reinterpret_cast<const std::uint32_t*>(e.At(28))) : nullptr;
      const TLogBrush* brush = fill ? (o ? std::get_if<TLogBrush>(o) : nullptr) : &p.Dc().Brush;
      if (!brush) return p.Skip(), true;
      if (!p.InPath()) p.Fill(RegionFigure(p, RegionOf(e, offset, r->cbRgnData, false)), *brush, true);
      return true;
    }
    default: return false;
  }
}

bool EmfPathOrClipRecord(TEmfRecord& e) {
  TPlayer& p = e.P;
  switch (e.R.Type) {
    case U_EMR_BEGINPATH: p.BeginPath(); return true;
    case U_EMR_ENDPATH: p.EndPath(); return true;
    case U_EMR_ABORTPATH: p.AbortPath(); return true;
    case U_EMR_CLOSEFIGURE: p.CloseFigure(); return true;
    case U_EMR_FILLPATH: p.DrawPath(false, true); return true;
    case U_EMR_STROKEPATH: p.DrawPath(true, false); return true;
    case U_EMR_STROKEANDFILLPATH: p.DrawPath(true, true); return true;
    // The path stays made of the same curves: Cairo draws them as finely as flattened ones.
    case U_EMR_FLATTENPATH: case U_EMR_WIDENPATH: return true;
    case U_EMR_SELECTCLIPPATH:
      if (auto* r = e.As<U_EMRSELECTCLIPPATH>()) p.ClipToPath(CombineOf(r->iMode));
      return true;
    case U_EMR_INTERSECTCLIPRECT: case U_EMR_EXCLUDECLIPRECT:
      if (auto* r = e.As<U_EMREXCLUDECLIPRECT>())
        ClipToRect(p, BoxOf(r->rclClip), e.R.Type == U_EMR_INTERSECTCLIPRECT ? TClipCombine::And : TClipCombine::Diff);
      return true;
    case U_EMR_OFFSETCLIPRGN:
      if (auto* r = e.As<U_EMROFFSETCLIPRGN>()) {
        const TXform x = p.DeviceToCanvas();  // the clip region lives in device units
        p.OffsetClip(r->ptlOffset.x * x.M11, r->ptlOffset.y * x.M22);
      }
      return true;
    case U_EMR_EXTSELECTCLIPRGN: {
      const auto* r = e.As<U_EMREXTSELECTCLIPRGN>(16);
      if (!r) return p.Skip(), true;
      if (r->cbRgnData == 0) {
        if (r->iMode == U_RGN_COPY) p.CombineClip(nullptr, TClipCombine::Copy);
        return true;
      }
      const canvas::TPath figure = RegionFigure(p, RegionOf(e, 16, r->cbRgnData, true));
      p.CombineClip(&figure, CombineOf(r->iMode));
      return true;
    }
    default: return false;
  }
}

}  // namespace metafile
