// The records of Windows metafiles. libuemf decodes each record's fields
// (in the file they stand in reverse order) after checking its fixed size;
// where a record carries a count or a string, its length is checked against
// the record here first.

#include <uemf.h>
#include <uwmf.h>

#include <cstring>

#include "base/LittleEndian.h"
#include "platform/metafile/Bitmaps.h"
#include "platform/metafile/Shapes.h"
#include "platform/metafile/Text.h"

namespace metafile {

namespace {

using canvas::TPointF;

canvas::TRectF BoxOf(const U_RECT16& r) { return Box(r.left, r.top, r.right, r.bottom); }
TPointF PointOf(const U_POINT16& p) { return {double(p.x), double(p.y)}; }

class TWmfRecord {
public:
  TWmfRecord(TPlayer& player, const TRecord& r)
      : P(player), C(reinterpret_cast<const char*>(r.Data)), End(C + r.Size), Offset(r.Offset) {}
  // Whether N bytes from At lie inside the record; damage when not.
  bool Inside(const char* at, std::size_t n, const char* what) {
    if (at >= C && at <= End && n <= std::size_t(End - at)) return true;
    P.Damage(what);
    return false;
  }
  std::vector<TPointF> Points(const char* at, std::size_t n) {
    std::vector<TPointF> points(n);
    const auto* b = reinterpret_cast<const std::uint8_t*>(at);
    for (std::size_t i = 0; i < n; ++i)
      points[i] = {double(std::int16_t(le::load16(b + 4 * i))), double(std::int16_t(le::load16(b + 4 * i + 2)))};
    return points;
  }
  // A record that libuemf refuses to decode: shorter than its fields.
  void Refused() { P.Damage("a record's contents run past the record"); }
  const char* Params() const { return C + 6; }
  std::size_t ParamBytes() const { return std::size_t(End - C) - 6; }

  TPlayer& P;
  const char* C;
  const char* End;
  std::size_t Offset;
};

constexpr const char* kPointsPastRecord = "a figure's point count runs past its record";
constexpr const char* kTextPastRecord = "a text's length runs past its record";

void Poly(TWmfRecord& w, bool polygon) {
  uint16_t n = 0;
  const char* data = nullptr;
  if (!(polygon ? U_WMRPOLYGON_get(w.C, &n, &data) : U_WMRPOLYLINE_get(w.C, &n, &data))) return w.Refused();
  if (!w.Inside(data, std::size_t(n) * 4, kPointsPastRecord)) return;
  const std::vector<TPointF> points = w.Points(data, n);
  if (polygon) Polygon(w.P, points);
  else Polyline(w.P, points, false);
}

void PolyPoly(TWmfRecord& w) {
  if (!w.Inside(w.Params(), 2, kPointsPastRecord)) return;
  const std::uint16_t polys = le::load16(reinterpret_cast<const std::uint8_t*>(w.Params()));
  if (!w.Inside(w.Params() + 2, std::size_t(polys) * 2, kPointsPastRecord)) return;
  std::vector<std::uint32_t> counts(polys);
  std::size_t total = 0;
  for (std::size_t i = 0; i < polys; ++i)
    total += counts[i] = le::load16(reinterpret_cast<const std::uint8_t*>(w.Params()) + 2 + 2 * i);
  const char* data = w.Params() + 2 + 2 * std::size_t(polys);
  if (!w.Inside(data, total * 4, kPointsPastRecord)) return;
  PolyPolygon(w.P, w.Points(data, total), counts, true);
}

void CreatePen(TWmfRecord& w) {
  U_PEN pen{};
  TLogPen p;
  if (U_WMRCREATEPENINDIRECT_get(w.C, &pen)) {
    p.Style = pen.Style;
    p.Width = pen.Widthw[0];
    p.Cosmetic = pen.Widthw[0] == 0;
    p.Color = ColorOf(pen.Color);
  }
  if (!w.P.Objects().AddAtLowest(p)) w.P.Skip();
}

void CreateBrush(TWmfRecord& w) {
  const char* data = nullptr;
  TLogBrush b;
  if (U_WMRCREATEBRUSHINDIRECT_get(w.C, &data) && w.Inside(data, 8, "a brush runs past its record")) {
    const auto* d = reinterpret_cast<const std::uint8_t*>(data);
    b.Style = le::load16(d), b.Color = le::load32(d + 2) & 0xFFFFFF, b.Hatch = le::load16(d + 6);
    if (b.Style != U_BS_NULL && b.Style != U_BS_HATCHED) b.Style = U_BS_SOLID;  // no pattern comes with this record
  }
  if (!w.P.Objects().AddAtLowest(b)) w.P.Skip();
}

void CreateFont(TWmfRecord& w) {
  const char* data = nullptr;
  TLogFont f;
  if (U_WMRCREATEFONTINDIRECT_get(w.C, &data) && w.Inside(data, U_SIZE_FONT_CORE, "a font runs past its record")) {
    U_FONT font{};
    std::memcpy(&font, data, U_SIZE_FONT_CORE);
    f.Height = font.Height, f.Width = font.Width, f.Escapement = font.Escapement, f.Weight = font.Weight;
    f.Italic = font.Italic, f.Underline = font.Underline, f.StrikeOut = font.StrikeOut, f.Charset = font.CharSet;
    const char* face = data + U_SIZE_FONT_CORE;
    f.Face = FaceFromBytes(face, std::min<std::size_t>(32, std::size_t(w.End - face)));
  }
  if (!w.P.Objects().AddAtLowest(f)) w.P.Skip();
}

void CreateDibBrush(TWmfRecord& w) {
  uint16_t style = 0, usage = 0;
  const char *bm16 = nullptr, *dib = nullptr;
  TLogBrush b;
  if (U_WMRDIBCREATEPATTERNBRUSH_get(w.C, &style, &usage, &bm16, &dib) && dib && dib >= w.C && dib < w.End) {
    const auto* d = reinterpret_cast<const std::uint8_t*>(dib);
    if (auto picture = DibPicture(w.P, PackedDib(d, std::size_t(w.End - dib)))) b.Style = U_BS_DIBPATTERN, b.Pattern = picture;
  }
  if (!w.P.Objects().AddAtLowest(b)) w.P.Skip();
}

void CreateRegion(TWmfRecord& w) {
  TRegion region;
  const auto* d = reinterpret_cast<const std::uint8_t*>(w.Params());
  // Header: two unused words, type, size, scan count, longest scan, bounds; then the scans.
  if (w.Inside(w.Params(), 22, "a region runs past its record")) {
    std::size_t at = 22;
    const std::uint16_t scans = le::load16(d + 10);
    for (std::uint16_t s = 0; s < scans; ++s) {
      if (!w.Inside(w.Params() + at, 6, "a region runs past its record")) break;
      const std::uint16_t count = le::load16(d + at);
      const double top = std::int16_t(le::load16(d + at + 2)), bottom = std::int16_t(le::load16(d + at + 4));
      if (!w.Inside(w.Params() + at + 6, std::size_t(count) * 2 + 2, "a region runs past its record")) break;
      for (std::size_t i = 0; i + 1 < count; i += 2) {
        const double left = std::int16_t(le::load16(d + at + 6 + 2 * i)), right = std::int16_t(le::load16(d + at + 8 + 2 * i));
        region.Rects.push_back(Box(left, top, right, bottom));
      }
      at += 6 + std::size_t(count) * 2 + 2;
    }
  }
  if (!w.P.Objects().AddAtLowest(region)) w.P.Skip();
}

void Select(TWmfRecord& w) {
  uint16_t index = 0;
  const TGdiObject* object = U_WMRSELECTOBJECT_get(w.C, &index) ? w.P.Objects().Get(index) : nullptr;
  if (!object) return w.P.Skip();
  SelectObject(w.P, *object);
}

void TextOutRecord(TWmfRecord& w) {
  if (!w.Inside(w.Params(), 2, kTextPastRecord)) return;
  const std::uint16_t length = le::load16(reinterpret_cast<const std::uint8_t*>(w.Params()));
  if (!w.Inside(w.Params() + 2, (std::size_t(length) + 1) / 2 * 2 + 4, kTextPastRecord)) return;
  U_POINT16 at{};
  int16_t n = 0;
  const char* text = nullptr;
  if (!U_WMRTEXTOUT_get(w.C, &at, &n, &text)) return w.Refused();
  TTextRun run;
  run.At = PointOf(at);
  run.Bytes.assign(text, length);
  DrawText(w.P, run);
}

void ExtTextOutRecord(TWmfRecord& w) {
  if (!w.Inside(w.Params(), 8, kTextPastRecord)) return;
  const auto* d = reinterpret_cast<const std::uint8_t*>(w.Params());
  const std::uint16_t length = le::load16(d + 4), options = le::load16(d + 6);
  const std::size_t rect = options & (U_ETO_OPAQUE | U_ETO_CLIPPED) ? 8 : 0;
  const std::size_t padded = (std::size_t(length) + 1) / 2 * 2;
  if (!w.Inside(w.Params() + 8 + rect, padded, kTextPastRecord)) return;
  U_POINT16 at{};
  int16_t n = 0;
  uint16_t opts = 0;
  const char* text = nullptr;
  const int16_t* dx = nullptr;
  U_RECT16 box{};
  if (!U_WMREXTTEXTOUT_get(w.C, &at, &n, &opts, &text, &dx, &box)) return w.Refused();
  TTextRun run;
  run.At = PointOf(at);
  run.Bytes.assign(text, length);
  run.Options = options;
  if (rect) run.Rect = BoxOf(box);
  // The spacing array is there only when the record has room for it.
  const char* spacing = w.Params() + 8 + rect + padded;
  if (std::size_t(w.End - spacing) >= std::size_t(length) * 2) {
    const auto* s = reinterpret_cast<const std::uint8_t*>(spacing);
    for (std::size_t i = 0; i < length; ++i) run.Dx.push_back(std::int16_t(le::load16(s + 2 * i)));
  }
  DrawText(w.P, run);
}

void DibBlit(TWmfRecord& w, const TBlit& blit, const char* dib) {
  if (!dib || dib < w.C || dib >= w.End) return PatternBlit(w.P, blit);
  const auto* d = reinterpret_cast<const std::uint8_t*>(dib);
  if (auto picture = DibPicture(w.P, PackedDib(d, std::size_t(w.End - dib)))) DrawBitmap(w.P, *picture, blit);
}

void Blits(TWmfRecord& w, std::uint32_t function) {
  U_POINT16 dst{}, cdst{}, src{}, csrc{};
  uint32_t rop = 0;
  uint16_t usage = 0, scans = 0, start = 0;
  const char* dib = nullptr;
  switch (function) {
    case 0x061D:  // PatBlt
      if (!U_WMRPATBLT_get(w.C, &dst, &cdst, &rop)) return w.Refused();
      return PatternBlit(w.P, {double(dst.x), double(dst.y), double(cdst.x), double(cdst.y), 0, 0, 0, 0, false, rop});
    case 0x0940:  // DibBitBlt
      if (!U_WMRDIBBITBLT_get(w.C, &dst, &cdst, &src, &rop, &dib)) return w.Refused();
      return DibBlit(w, {double(dst.x), double(dst.y), double(cdst.x), double(cdst.y), double(src.x), double(src.y),
                         double(cdst.x), double(cdst.y), false, rop}, dib);
    case 0x0B41:  // DibStretchBlt
      if (!U_WMRDIBSTRETCHBLT_get(w.C, &dst, &cdst, &src, &csrc, &rop, &dib)) return w.Refused();
      return DibBlit(w, {double(dst.x), double(dst.y), double(cdst.x), double(cdst.y), double(src.x), double(src.y),
                         double(csrc.x), double(csrc.y), false, rop}, dib);
    case 0x0F43:  // StretchDIBits
      if (!U_WMRSTRETCHDIB_get(w.C, &dst, &cdst, &src, &csrc, &usage, &rop, &dib)) return w.Refused();
      return DibBlit(w, {double(dst.x), double(dst.y), double(cdst.x), double(cdst.y), double(src.x), double(src.y),
                         double(csrc.x), double(csrc.y), true, rop}, dib);
    case 0x0D33:  // SetDIBitsToDevice
      if (!U_WMRSETDIBTODEV_get(w.C, &dst, &cdst, &src, &usage, &scans, &start, &dib)) return w.Refused();
      return DibBlit(w, {double(dst.x), double(dst.y), double(cdst.x), double(cdst.y), double(src.x), double(src.y),
                         double(cdst.x), double(cdst.y), true, canvas::cmSrcCopy}, dib);
    default: return w.P.Skip();
  }
}

void Region(TWmfRecord& w, std::uint32_t function) {
  uint16_t region = 0, brush = 0;
  if (function == 0x0228 ? !U_WMRFILLREGION_get(w.C, &region, &brush) : !U_WMRPAINTREGION_get(w.C, &region))
    return w.P.Skip();
  const auto* r = w.P.Objects().Get(region);
  const auto* b = function == 0x0228 ? w.P.Objects().Get(brush) : nullptr;
  const TRegion* shape = r ? std::get_if<TRegion>(r) : nullptr;
  const TLogBrush* fill = function == 0x0228 ? (b ? std::get_if<TLogBrush>(b) : nullptr) : &w.P.Dc().Brush;
  if (!shape || !fill) return w.P.Skip();
  if (!w.P.InPath()) w.P.Fill(RegionFigure(w.P, *shape), *fill, true);
}

bool Mapping(TWmfRecord& w, std::uint32_t function) {
  TPageMapping& m = w.P.Dc().Page;
  U_POINT16 a{}, b{};
  switch (function) {
    case 0x020B: if (U_WMRSETWINDOWORG_get(w.C, &a)) m.WinOrgX = a.x, m.WinOrgY = a.y; return true;
    case 0x020C: if (U_WMRSETWINDOWEXT_get(w.C, &a)) m.WinExtX = a.x, m.WinExtY = a.y; return true;
    case 0x020D: if (U_WMRSETVIEWPORTORG_get(w.C, &a)) m.VpOrgX = a.x, m.VpOrgY = a.y; return true;
    case 0x020E: if (U_WMRSETVIEWPORTEXT_get(w.C, &a)) m.VpExtX = a.x, m.VpExtY = a.y; return true;
    case 0x020F: if (U_WMROFFSETWINDOWORG_get(w.C, &a)) m.WinOrgX += a.x, m.WinOrgY += a.y; return true;
    case 0x0211: if (U_WMROFFSETVIEWPORTORG_get(w.C, &a)) m.VpOrgX += a.x, m.VpOrgY += a.y; return true;
    case 0x0400:
      if (U_WMRSCALEWINDOWEXT_get(w.C, &a, &b) && a.x && a.y) m.WinExtX = m.WinExtX * b.x / a.x, m.WinExtY = m.WinExtY * b.y / a.y;
      return true;
    case 0x0412:
      if (U_WMRSCALEVIEWPORTEXT_get(w.C, &a, &b) && a.x && a.y) m.VpExtX = m.VpExtX * b.x / a.x, m.VpExtY = m.VpExtY * b.y / a.y;
      return true;
    case 0x0103: {
      uint16_t mode = 0;
      if (U_WMRSETMAPMODE_get(w.C, &mode) && mode >= U_MM_TEXT && mode <= U_MM_ANISOTROPIC) m.Mode = mode;
      return true;
    }
    default: return false;
  }
}

bool StateRecord(TWmfRecord& w, std::uint32_t function) {
  TDcState& dc = w.P.Dc();
  uint16_t v = 0;
  U_COLORREF color{};
  switch (function) {
    case 0x0201: if (U_WMRSETBKCOLOR_get(w.C, &color)) dc.BkColor = ColorOf(color); return true;
    case 0x0209: if (U_WMRSETTEXTCOLOR_get(w.C, &color)) dc.TextColor = ColorOf(color); return true;
    case 0x0102: if (U_WMRSETBKMODE_get(w.C, &v)) dc.BkMode = v; return true;
    case 0x0106: if (U_WMRSETPOLYFILLMODE_get(w.C, &v)) dc.PolyFillMode = v; return true;
    case 0x012E: if (U_WMRSETTEXTALIGN_get(w.C, &v)) dc.TextAlign = v; return true;
    case 0x0108: if (U_WMRSETTEXTCHAREXTRA_get(w.C, &v)) dc.CharExtra = std::int16_t(v); return true;
    case 0x001E: w.P.SaveDc(); return true;
    case 0x0104:
      if (!U_WMRSETROP2_get(w.C, &v) || !w.P.SetRop2(v)) w.P.Skip();
      return true;
    case 0x0127: {
      int16_t which = 0;
      if (U_WMRRESTOREDC_get(w.C, &which)) w.P.RestoreDc(which);
      return true;
    }
    // Stretching, font mapping, justification, layout, palettes and escapes
    // (comments): nothing a picture on this canvas shows.
    case 0x0105: case 0x0107: case 0x020A: case 0x0231: case 0x0149: case 0x0626:
    case 0x0234: case 0x0035: case 0x0037: case 0x0139: case 0x0436:
      return true;
    default: return false;
  }
}

bool Clip(TWmfRecord& w, std::uint32_t function) {
  U_RECT16 r{};
  U_POINT16 offset{};
  uint16_t region = 0;
  switch (function) {
    case 0x0416: if (U_WMRINTERSECTCLIPRECT_get(w.C, &r)) ClipToRect(w.P, BoxOf(r), TClipCombine::And); return true;
    case 0x0415: if (U_WMREXCLUDECLIPRECT_get(w.C, &r)) ClipToRect(w.P, BoxOf(r), TClipCombine::Diff); return true;
    case 0x0220:
      if (U_WMROFFSETCLIPRGN_get(w.C, &offset)) {
        const TXform x = w.P.ToCanvas();
        w.P.OffsetClip(offset.x * x.M11 + offset.y * x.M21, offset.x * x.M12 + offset.y * x.M22);
      }
      return true;
    case 0x012C: {
      if (!U_WMRSELECTCLIPREGION_get(w.C, &region)) return true;
      const TGdiObject* o = w.P.Objects().Get(region);
      if (o && std::holds_alternative<TRegion>(*o)) SelectObject(w.P, *o);
      else w.P.CombineClip(nullptr, TClipCombine::Copy);  // no region: no clip
      return true;
    }
    default: return false;
  }
}

bool Shape(TWmfRecord& w, std::uint32_t function) {
  U_RECT16 r{};
  U_POINT16 a{}, b{};
  int16_t cw = 0, ch = 0;
  TPlayer& p = w.P;
  switch (function) {
    case 0x0213: if (U_WMRLINETO_get(w.C, &a)) LineTo(p, PointOf(a)); return true;
    case 0x0214: if (U_WMRMOVETO_get(w.C, &a)) MoveTo(p, PointOf(a)); return true;
    case 0x041B: if (U_WMRRECTANGLE_get(w.C, &r)) Rectangle(p, BoxOf(r)); return true;
    case 0x0418: if (U_WMRELLIPSE_get(w.C, &r)) Ellipse(p, BoxOf(r)); return true;
    case 0x061C: if (U_WMRROUNDRECT_get(w.C, &cw, &ch, &r)) RoundRect(p, BoxOf(r), cw, ch); return true;
    case 0x0817: if (U_WMRARC_get(w.C, &a, &b, &r)) ArcFigure(p, BoxOf(r), PointOf(a), PointOf(b), TArcKind::Open); return true;
    case 0x081A: if (U_WMRPIE_get(w.C, &a, &b, &r)) ArcFigure(p, BoxOf(r), PointOf(a), PointOf(b), TArcKind::Pie); return true;
    case 0x0830: if (U_WMRCHORD_get(w.C, &a, &b, &r)) ArcFigure(p, BoxOf(r), PointOf(a), PointOf(b), TArcKind::Chord); return true;
    case 0x041F: {
      U_COLORREF color{};
      if (U_WMRSETPIXEL_get(w.C, &color, &a)) SetPixel(p, PointOf(a), ColorOf(color));
      return true;
    }
    case 0x0324: Poly(w, true); return true;
    case 0x0325: Poly(w, false); return true;
    case 0x0538: PolyPoly(w); return true;
    default: return false;
  }
}

}  // namespace

bool PlayWmfRecord(TPlayer& player, const TRecord& record) {
  TWmfRecord w(player, record);
  const std::uint32_t f = record.Type;
  if (f == U_WMR_EOF || Mapping(w, f) || StateRecord(w, f) || Clip(w, f) || Shape(w, f)) return true;
  switch (f) {
    case 0x02FA: CreatePen(w); return true;
    case 0x02FC: CreateBrush(w); return true;
    case 0x02FB: CreateFont(w); return true;
    case 0x0142: CreateDibBrush(w); return true;
    case 0x06FF: CreateRegion(w); return true;
    case 0x00F7:  // a palette takes its place in the table
    case 0x01F9:  // a pattern of the old device-dependent kind: kept as an empty object
      if (!player.Objects().AddAtLowest(std::monostate{})) player.Skip();
      return f == 0x00F7;
    case 0x012D: Select(w); return true;
    case 0x01F0: {
      uint16_t index = 0;
      if (!U_WMRDELETEOBJECT_get(w.C, &index) || !player.Objects().Remove(index)) player.Skip();
      return true;
    }
    case 0x0521: TextOutRecord(w); return true;
    case 0x0A32: ExtTextOutRecord(w); return true;
    case 0x061D: case 0x0940: case 0x0B41: case 0x0F43: case 0x0D33: Blits(w, f); return true;
    case 0x0228: case 0x012B: Region(w, f); return true;
    default: return false;
  }
}

}  // namespace metafile
