// Enhanced-metafile records that fill gradients and copy bitmaps other than
// by a raster operation alone: blended by alpha, without a key colour,
// through a mask, or onto a parallelogram. libuemf checks only part of
// these records; every count, offset and index is checked here against the
// record before it is read.

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "base/LittleEndian.h"
#include "platform/metafile/Bitmaps.h"
#include "platform/metafile/EmfRecord.h"

namespace metafile {

namespace {

constexpr std::uint32_t kSrcOver = 0;  // the blend's one operation, which libuemf does not name
constexpr const char* kGradientPastRecord = "a gradient's counts run past its record";

canvas::TGradientVertex CanvasVertex(const TXform& x, const U_TRIVERTEX& v) {
  const canvas::TPointF p = x.Apply(v.x, v.y);
  return {WholePixel(p.X), WholePixel(p.Y), v.Red, v.Green, v.Blue};
}

// GradientFill: bounds, vertex count, object count, mode; the vertices,
// then two (rectangles) or three (triangles) vertex indices an object.
// The vertices' alpha is not drawn: the device's gradients are opaque.
void GradientFill(TEmfRecord& e) {
  const auto* r = e.As<U_EMRGRADIENTFILL>();
  if (!r || r->ulMode > U_GRADIENT_FILL_TRIANGLE) return e.P.Skip();
  const std::size_t corners = r->ulMode == U_GRADIENT_FILL_TRIANGLE ? 3 : 2;
  const std::size_t meshAt = sizeof(U_EMRGRADIENTFILL) + std::size_t(r->nTriVert) * sizeof(U_TRIVERTEX);
  if (!e.Holds(sizeof(U_EMRGRADIENTFILL), r->nTriVert, sizeof(U_TRIVERTEX)) || !e.Holds(meshAt, r->nGradObj, 4 * corners))
    return e.P.Damage(kGradientPastRecord);
  if (e.P.InPath()) return;
  const TXform x = e.P.ToCanvas();
  std::vector<canvas::TGradientVertex> vertices;
  vertices.reserve(r->nTriVert);
  for (std::size_t i = 0; i < r->nTriVert; ++i) {
    U_TRIVERTEX v;
    std::memcpy(&v, e.At(sizeof(U_EMRGRADIENTFILL) + i * sizeof(U_TRIVERTEX)), sizeof v);
    vertices.push_back(CanvasVertex(x, v));
  }
  e.P.PrepareCanvas();
  canvas::TCanvas& c = e.P.Canvas();
  bool outside = false;
  for (std::size_t i = 0; i < r->nGradObj; ++i) {
    std::uint32_t index[3] = {};
    for (std::size_t k = 0; k < corners; ++k) index[k] = le::load32(e.At(meshAt + 4 * (corners * i + k)));
    if (std::any_of(index, index + corners, [&](std::uint32_t n) { return n >= vertices.size(); })) {
      outside = true;
      continue;
    }
    if (corners == 3) c.GradientTriangle(vertices[index[0]], vertices[index[1]], vertices[index[2]]);
    else c.GradientRect(vertices[index[0]], vertices[index[1]], r->ulMode == U_GRADIENT_FILL_RECT_V);
  }
  if (outside) e.P.Skip();  // objects naming vertices the record does not have
}

// AlphaBlend and TransparentBlt, alike in layout: destination, source, the
// bitmap and the source's size. Alpha reads the bitmap's own alpha.
template <class TBlitRecord, class TPaint>
void SizedBlit(TEmfRecord& e, const TBlitRecord* r, bool alpha, TPaint paint) {
  if (!r || r->cbBmiSrc == 0) return e.P.Skip();
  TDibBytes dib;
  if (!RecordDib(e, r->offBmiSrc, r->cbBmiSrc, r->offBitsSrc, r->cbBitsSrc, dib)) return;
  const auto picture = alpha ? AlphaPicture(e.P, dib) : DibPicture(e.P, dib);
  const TBlit b{double(r->Dest.x), double(r->Dest.y), double(r->cDest.x), double(r->cDest.y), double(r->Src.x),
                double(r->Src.y), double(r->cSrc.x), double(r->cSrc.y), false, 0};
  canvas::TRect dest, source;
  if (!picture || !Placement(e.P, *picture, b, dest, source)) return;
  e.P.PrepareCanvas();
  paint(e.P.Canvas(), *picture, dest, source);
}

// AlphaBlend: the source times the constant alpha, with its own
// (premultiplied) alpha when the format says so, over what is drawn.
void AlphaBlend(TEmfRecord& e) {
  const auto* r = e.As<U_EMRALPHABLEND>();
  if (r && r->Blend.Operation != kSrcOver) return e.P.Skip();
  SizedBlit(e, r, r && r->Blend.Op & U_AC_SRC_ALPHA,
            [&](canvas::TCanvas& c, const canvas::TBitmap& picture, const canvas::TRect& dest, const canvas::TRect& source) {
              c.AlphaBlend(dest, picture, source, r->Blend.Global);
            });
}

// TransparentBlt: the source without the pixels of one colour.
void TransparentBlt(TEmfRecord& e) {
  const auto* r = e.As<U_EMRTRANSPARENTBLT>();
  SizedBlit(e, r, false,
            [&](canvas::TCanvas& c, const canvas::TBitmap& picture, const canvas::TRect& dest, const canvas::TRect& source) {
              c.TransparentBlt(dest, picture, source, r->TColor & 0xFFFFFF);
            });
}

// The mask of MaskBlt and PlgBlt, a pixel for each pixel of the source:
// the mask's pixel (dx, dy) away, black where the mask ends.
canvas::TBitmap AlignedMask(const canvas::TBitmap& mask, const canvas::TBitmap& source, std::int64_t dx, std::int64_t dy) {
  canvas::TBitmap aligned(source.Width(), source.Height(), canvas::clBlack);
  const std::int64_t from = std::max<std::int64_t>(0, -dx), to = std::min<std::int64_t>(source.Width(), mask.Width() - dx);
  if (from >= to) return aligned;
  for (int y = 0; y < source.Height(); ++y) {
    const std::int64_t my = y + dy;
    if (my < 0 || my >= mask.Height()) continue;
    std::memcpy(aligned.Pixels() + std::size_t(y) * std::size_t(source.Width()) + std::size_t(from),
                mask.Pixels() + std::size_t(my) * std::size_t(mask.Width()) + std::size_t(from + dx),
                std::size_t(to - from) * sizeof(std::uint32_t));
  }
  return aligned;
}

// The record's mask, placed over its source and kept beside the record's
// bitmaps (slot 2, after the source's 0 and the mask's own 1); none when
// the record has no mask or its mask cannot be read (damage or a skip says so).
std::shared_ptr<const canvas::TBitmap> RecordMask(TEmfRecord& e, const canvas::TBitmap& source, const U_POINTL& src,
                                                  const U_POINTL& at, std::uint32_t offBmi, std::uint32_t cbBmi,
                                                  std::uint32_t offBits, std::uint32_t cbBits) {
  TBitmapCache& cache = e.P.Bitmaps();
  const std::size_t key = e.P.RecordOffset() + 2;
  if (auto it = cache.find(key); it != cache.end()) return it->second;
  TDibBytes dib;
  if (cbBmi == 0 || !RecordDib(e, offBmi, cbBmi, offBits, cbBits, dib)) return nullptr;
  const auto mask = DibPicture(e.P, dib, 1);
  if (!mask) return nullptr;
  auto aligned = std::make_shared<const canvas::TBitmap>(
      AlignedMask(*mask, source, std::int64_t(at.x) - src.x, std::int64_t(at.y) - src.y));
  cache[key] = aligned;
  return aligned;
}

// MaskBlt: a raster operation of four, the foreground one where the mask
// is white, the background one (the high byte) elsewhere.
void MaskBlt(TEmfRecord& e) {
  const auto* r = e.As<U_EMRMASKBLT>();
  if (!r) return e.P.Skip();
  const std::uint32_t foreground = r->dwRop & 0x00FFFFFF, background = r->dwRop >> 8 & 0x00FF0000;
  TBlit b{double(r->Dest.x), double(r->Dest.y), double(r->cDest.x), double(r->cDest.y), double(r->Src.x),
          double(r->Src.y), double(r->cDest.x), double(r->cDest.y), false, foreground};
  if (r->cbBmiSrc == 0) return r->cbBmiMask == 0 ? PatternBlit(e.P, b) : e.P.Skip();
  TDibBytes dib;
  if (!RecordDib(e, r->offBmiSrc, r->cbBmiSrc, r->offBitsSrc, r->cbBitsSrc, dib)) return;
  const auto picture = DibPicture(e.P, dib);
  if (!picture) return;
  const auto mask = RecordMask(e, *picture, r->Src, r->Mask, r->offBmiMask, r->cbBmiMask, r->offBitsMask, r->cbBitsMask);
  if (r->cbBmiMask != 0 && !mask) return;  // damaged, or a mask the reader does not take
  DrawBitmap(e.P, *picture, b, mask.get(), background);
}

// PlgBlt: the source onto the parallelogram of three corners (the fourth
// follows), where the mask is white when there is one.
void PlgBlt(TEmfRecord& e) {
  const auto* r = e.As<U_EMRPLGBLT>();
  if (!r || r->cbBmiSrc == 0) return e.P.Skip();
  TDibBytes dib;
  if (!RecordDib(e, r->offBmiSrc, r->cbBmiSrc, r->offBitsSrc, r->cbBitsSrc, dib)) return;
  const auto picture = DibPicture(e.P, dib);
  if (!picture || e.P.InPath()) return;
  const auto mask = RecordMask(e, *picture, r->Src, r->Mask, r->offBmiMask, r->cbBmiMask, r->offBitsMask, r->cbBitsMask);
  if (r->cbBmiMask != 0 && !mask) return;
  const TXform x = e.P.ToCanvas();
  const canvas::TPointF corners[3] = {x.Apply(r->aptlDst[0].x, r->aptlDst[0].y), x.Apply(r->aptlDst[1].x, r->aptlDst[1].y),
                                      x.Apply(r->aptlDst[2].x, r->aptlDst[2].y)};
  const std::int64_t right = std::int64_t(r->Src.x) + r->cSrc.x, bottom = std::int64_t(r->Src.y) + r->cSrc.y;
  if (right > INT32_MAX || bottom > INT32_MAX || right < INT32_MIN || bottom < INT32_MIN) return e.P.Skip();
  e.P.PrepareCanvas();
  e.P.Canvas().PlgBlt(corners, *picture, {r->Src.x, r->Src.y, int(right), int(bottom)}, mask.get());
}

}  // namespace

bool EmfBlendRecord(TEmfRecord& e) {
  switch (e.R.Type) {
    case U_EMR_GRADIENTFILL: return GradientFill(e), true;
    case U_EMR_ALPHABLEND: return AlphaBlend(e), true;
    case U_EMR_TRANSPARENTBLT: return TransparentBlt(e), true;
    case U_EMR_MASKBLT: return MaskBlt(e), true;
    case U_EMR_PLGBLT: return PlgBlt(e), true;
    default: return false;
  }
}

}  // namespace metafile
