// Enhanced-metafile records that write text and copy bitmaps.

#include <cstring>

#include "base/LittleEndian.h"
#include "platform/metafile/Bitmaps.h"
#include "platform/metafile/EmfRecord.h"
#include "platform/metafile/Figures.h"
#include "platform/metafile/Text.h"

namespace metafile {

namespace {

constexpr const char* kTextPastRecord = "a text's length runs past its record";

std::uint32_t U32(TEmfRecord& e, std::size_t at) { return e.R.Size >= at + 4 ? le::load32(e.At(at)) : 0; }
std::int32_t I32(TEmfRecord& e, std::size_t at) { return std::int32_t(U32(e, at)); }

// ExtTextOutA and ExtTextOutW: bounds, graphics mode, scales, then the text
// record: reference point, length, string offset, options, rectangle
// (unless left out), spacing offset.
void ExtTextOut(TEmfRecord& e, bool wide) {
  if (e.R.Size < 60) return e.P.Skip();
  const std::uint32_t count = U32(e, 44), offString = U32(e, 48), options = U32(e, 52);
  const bool rect = !(options & U_ETO_NO_RECT);
  const std::size_t dxAt = rect ? 72 : 56;
  const std::uint32_t offDx = U32(e, dxAt);
  TTextRun run;
  run.At = {double(I32(e, 36)), double(I32(e, 40))};
  run.Options = options;
  run.IsWide = wide;
  if (rect) run.Rect = Box(I32(e, 56), I32(e, 60), I32(e, 64), I32(e, 68));
  if (!e.Holds(offString, count, wide ? 2 : 1)) return e.P.Damage(kTextPastRecord);
  if (wide)
    for (std::size_t i = 0; i < count; ++i) run.Wide += char16_t(le::load16(e.At(offString + 2 * i)));
  else
    run.Bytes.assign(reinterpret_cast<const char*>(e.At(offString)), count);
  // The spacing array: one advance per character, or x and y per character.
  const std::size_t step = options & U_ETO_PDY ? 8 : 4;
  if (offDx && e.Holds(offDx, count, step))
    for (std::size_t i = 0; i < count; ++i) run.Dx.push_back(std::int32_t(le::load32(e.At(offDx + step * i))));
  DrawText(e.P, run);
}

void SmallTextOut(TEmfRecord& e) {
  if (e.R.Size < 36) return e.P.Skip();
  const std::uint32_t count = U32(e, 16), options = U32(e, 20);
  const std::size_t textAt = options & U_ETO_NO_RECT ? 36 : 52;
  const bool small = options & U_ETO_SMALL_CHARS;
  if (!e.Holds(textAt, count, small ? 1 : 2)) return e.P.Damage(kTextPastRecord);
  TTextRun run;
  run.At = {double(I32(e, 8)), double(I32(e, 12))};
  run.Options = options & ~(U_ETO_OPAQUE | U_ETO_CLIPPED);
  run.IsWide = !small;
  if (small)
    run.Bytes.assign(reinterpret_cast<const char*>(e.At(textAt)), count);
  else
    for (std::size_t i = 0; i < count; ++i) run.Wide += char16_t(le::load16(e.At(textAt + 2 * i)));
  DrawText(e.P, run);
}

std::shared_ptr<const canvas::TBitmap> Source(TEmfRecord& e, std::uint32_t offBmi, std::uint32_t cbBmi,
                                              std::uint32_t offBits, std::uint32_t cbBits) {
  TDibBytes dib;
  return RecordDib(e, offBmi, cbBmi, offBits, cbBits, dib) ? DibPicture(e.P, dib) : nullptr;
}

void Blit(TEmfRecord& e, bool stretch) {
  const auto* r = e.As<U_EMRBITBLT>();
  if (!r) return e.P.Skip();
  TBlit b{double(r->Dest.x), double(r->Dest.y), double(r->cDest.x), double(r->cDest.y), double(r->Src.x),
          double(r->Src.y), double(r->cDest.x), double(r->cDest.y), false, r->dwRop};
  if (r->cbBmiSrc == 0) return PatternBlit(e.P, b);
  if (stretch) {
    const auto* s = e.As<U_EMRSTRETCHBLT>();
    if (!s) return e.P.Skip();
    b.SrcW = s->cSrc.x, b.SrcH = s->cSrc.y;
  }
  if (auto picture = Source(e, r->offBmiSrc, r->cbBmiSrc, r->offBitsSrc, r->cbBitsSrc)) DrawBitmap(e.P, *picture, b);
}

void StretchDibits(TEmfRecord& e) {
  const auto* r = e.As<U_EMRSTRETCHDIBITS>();
  if (!r) return e.P.Skip();
  const TBlit b{double(r->Dest.x), double(r->Dest.y), double(r->cDest.x), double(r->cDest.y), double(r->Src.x),
                double(r->Src.y), double(r->cSrc.x), double(r->cSrc.y), true, r->dwRop};
  if (r->cbBmiSrc == 0) return PatternBlit(e.P, b);
  if (auto picture = Source(e, r->offBmiSrc, r->cbBmiSrc, r->offBitsSrc, r->cbBitsSrc)) DrawBitmap(e.P, *picture, b);
}

// SetDIBitsToDevice: its pixels may be a band of the bitmap's scan lines;
// the band is read as a bitmap of its own.
void SetDibitsToDevice(TEmfRecord& e) {
  const auto* r = e.As<U_EMRSETDIBITSTODEVICE>();
  if (!r || r->cbBmiSrc < 16) return e.P.Skip();
  if (!e.Holds(r->offBmiSrc, r->cbBmiSrc, 1) || !e.Holds(r->offBitsSrc, r->cbBitsSrc, 1))
    return e.P.Damage("a bitmap's pixels run past its record");
  std::vector<std::uint8_t> info(e.At(r->offBmiSrc), e.At(r->offBmiSrc) + r->cbBmiSrc);
  const bool core = le::load32(info.data()) == 12;
  std::int64_t height = core ? le::load16(info.data() + 6) : std::int32_t(le::load32(info.data() + 8));
  const std::int64_t band = std::min<std::int64_t>(r->cScans, std::abs(height));
  if (band <= 0) return;
  if (core) le::store16(info.data() + 6, std::uint16_t(band));
  else le::store32(info.data() + 8, std::uint32_t(height < 0 ? -band : band));
  auto picture = DibPicture(e.P, {info.data(), info.size(), e.At(r->offBitsSrc), r->cbBitsSrc});
  if (!picture) return;
  const TBlit b{double(r->Dest.x), double(r->Dest.y), double(r->cSrc.x), double(r->cSrc.y), double(r->Src.x),
                double(r->Src.y) - double(r->iStartScan), double(r->cSrc.x), double(r->cSrc.y), true, canvas::cmSrcCopy};
  DrawBitmap(e.P, *picture, b);
}

}  // namespace

bool RecordDib(TEmfRecord& e, std::uint32_t offBmi, std::uint32_t cbBmi, std::uint32_t offBits, std::uint32_t cbBits,
               TDibBytes& dib) {
  if (!e.Holds(offBmi, cbBmi, 1) || !e.Holds(offBits, cbBits, 1)) {
    e.P.Damage("a bitmap's pixels run past its record");
    return false;
  }
  dib = {e.At(offBmi), cbBmi, e.At(offBits), cbBits};
  return true;
}

bool EmfTextRecord(TEmfRecord& e) {
  switch (e.R.Type) {
    case U_EMR_EXTTEXTOUTA: return ExtTextOut(e, false), true;
    case U_EMR_EXTTEXTOUTW: return ExtTextOut(e, true), true;
    case U_EMR_SMALLTEXTOUT: return SmallTextOut(e), true;
    default: return false;
  }
}

bool EmfBitmapRecord(TEmfRecord& e) {
  switch (e.R.Type) {
    case U_EMR_BITBLT: return Blit(e, false), true;
    case U_EMR_STRETCHBLT: return Blit(e, true), true;
    case U_EMR_STRETCHDIBITS: return StretchDibits(e), true;
    case U_EMR_SETDIBITSTODEVICE: return SetDibitsToDevice(e), true;
    default: return false;
  }
}

bool PlayEmfRecord(TPlayer& player, const TRecord& record) {
  TEmfRecord e(player, record);
  return EmfStateRecord(e) || EmfObjectRecord(e) || EmfFigureRecord(e) || EmfPathOrClipRecord(e) ||
         EmfTextRecord(e) || EmfBitmapRecord(e) || EmfBlendRecord(e);
}

}  // namespace metafile
