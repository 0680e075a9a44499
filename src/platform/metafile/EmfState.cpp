// Enhanced-metafile records that change the device context's state: the
// page mapping, the world transform, modes and colours, saved states, and
// comments (which may carry EMF+ records).

#include "base/LittleEndian.h"
#include "platform/metafile/EmfRecord.h"

namespace metafile {

namespace {

constexpr std::uint32_t kEmfPlusIdent = 0x2B464D45;  // "EMF+"
constexpr std::uint16_t kEmfPlusHeader = 0x4001;
constexpr std::uint32_t kMwtSet = 4;  // ModifyWorldTransform's setting mode, which libuemf does not name

TXform XformOf(const U_XFORM& x) { return {x.eM11, x.eM12, x.eM21, x.eM22, x.eDx, x.eDy}; }

// EMF+ records inside a comment. A dual file draws the same picture with
// the plain records around them; a file of EMF+ records only cannot be
// drawn here, and each of its records counts as skipped.
void Comment(TEmfRecord& e, bool& dual) {
  const auto* c = e.As<U_EMRCOMMENT>(12);
  if (!c || c->cbData < 4 || !e.Holds(12, c->cbData, 1) || le::load32(e.At(12)) != kEmfPlusIdent) return;
  std::size_t at = 16;
  const std::size_t end = 12 + std::size_t(c->cbData);
  while (end - at >= 12) {
    const std::uint16_t type = le::load16(e.At(at)), flags = le::load16(e.At(at + 2));
    const std::uint32_t size = le::load32(e.At(at + 4));
    if (size < 12 || size > end - at) break;
    if (type == kEmfPlusHeader) dual = flags & 1;
    if (!dual) e.P.Skip();
    at += size;
  }
}

}  // namespace

bool EmfStateRecord(TEmfRecord& e) {
  TDcState& dc = e.P.Dc();
  TPageMapping& m = dc.Page;
  const std::uint8_t* d = e.R.Data;
  auto u32 = [&](std::size_t at) { return e.R.Size >= at + 4 ? le::load32(d + at) : 0u; };
  auto i32 = [&](std::size_t at) { return double(std::int32_t(u32(at))); };
  switch (e.R.Type) {
    case U_EMR_HEADER: case U_EMR_EOF: return true;
    case U_EMR_SETWINDOWEXTEX: m.WinExtX = i32(8), m.WinExtY = i32(12); return true;
    case U_EMR_SETWINDOWORGEX: m.WinOrgX = i32(8), m.WinOrgY = i32(12); return true;
    case U_EMR_SETVIEWPORTEXTEX: m.VpExtX = i32(8), m.VpExtY = i32(12); return true;
    case U_EMR_SETVIEWPORTORGEX: m.VpOrgX = i32(8), m.VpOrgY = i32(12); return true;
    case U_EMR_SCALEVIEWPORTEXTEX:
      if (i32(12) != 0 && i32(20) != 0) m.VpExtX = m.VpExtX * i32(8) / i32(12), m.VpExtY = m.VpExtY * i32(16) / i32(20);
      return true;
    case U_EMR_SCALEWINDOWEXTEX:
      if (i32(12) != 0 && i32(20) != 0) m.WinExtX = m.WinExtX * i32(8) / i32(12), m.WinExtY = m.WinExtY * i32(16) / i32(20);
      return true;
    case U_EMR_SETMAPMODE:
      if (u32(8) >= U_MM_TEXT && u32(8) <= U_MM_ANISOTROPIC) m.Mode = u32(8);
      return true;
    case U_EMR_SETWORLDTRANSFORM:
      if (auto* r = e.As<U_EMRSETWORLDTRANSFORM>(); r && XformOf(r->xform).Valid()) dc.World = XformOf(r->xform);
      else e.P.Skip();
      return true;
    case U_EMR_MODIFYWORLDTRANSFORM: {
      const auto* r = e.As<U_EMRMODIFYWORLDTRANSFORM>();
      const TXform x = r ? XformOf(r->xform) : TXform{};
      TXform next = dc.World;
      if (r && r->iMode == U_MWT_IDENTITY) next = {};
      else if (r && r->iMode == U_MWT_LEFTMULTIPLY) next = x.Then(dc.World);
      else if (r && r->iMode == U_MWT_RIGHTMULTIPLY) next = dc.World.Then(x);
      else if (r && r->iMode == kMwtSet) next = x;
      if (next.Valid()) dc.World = next;
      else e.P.Skip();
      return true;
    }
    case U_EMR_SETBKMODE: dc.BkMode = u32(8); return true;
    case U_EMR_SETPOLYFILLMODE: dc.PolyFillMode = u32(8); return true;
    case U_EMR_SETTEXTALIGN: dc.TextAlign = u32(8); return true;
    case U_EMR_SETTEXTCOLOR: dc.TextColor = u32(8) & 0xFFFFFF; return true;
    case U_EMR_SETBKCOLOR: dc.BkColor = u32(8) & 0xFFFFFF; return true;
    case U_EMR_SETARCDIRECTION: dc.ArcDirection = u32(8); return true;
    case U_EMR_MOVETOEX: dc.Position = {i32(8), i32(12)}; return true;
    case U_EMR_SAVEDC: e.P.SaveDc(); return true;
    case U_EMR_RESTOREDC: e.P.RestoreDc(std::int32_t(u32(8))); return true;
    case U_EMR_COMMENT: Comment(e, e.P.EmfPlusDual); return true;
    case U_EMR_SETROP2:
      if (!e.P.SetRop2(u32(8))) e.P.Skip();
      return true;
    // Modes of stretching, colour matching, font mapping and layout, the
    // brush origin, the miter limit and the palettes: nothing a picture on
    // this canvas shows.
    case U_EMR_SETSTRETCHBLTMODE: case U_EMR_SETCOLORADJUSTMENT: case U_EMR_SETMAPPERFLAGS:
    case U_EMR_SETBRUSHORGEX: case U_EMR_SETMITERLIMIT: case U_EMR_SETICMMODE: case U_EMR_SETLAYOUT:
    case U_EMR_SELECTPALETTE: case U_EMR_SETPALETTEENTRIES: case U_EMR_RESIZEPALETTE: case U_EMR_REALIZEPALETTE:
    case U_EMR_SETMETARGN: case U_EMR_SETTEXTJUSTIFICATION:
      return true;
    default: return false;
  }
}

}  // namespace metafile
