// Enhanced-metafile records that create, select and delete objects; an
// index with the high bit set selects one of the stock objects.

#include "base/Utf8.h"
#include "platform/metafile/Bitmaps.h"
#include "platform/metafile/EmfRecord.h"
#include "platform/metafile/Shapes.h"

namespace metafile {

namespace {

constexpr std::uint32_t kStock = 0x80000000;

// The stock objects: white, light grey, grey, dark grey, black and null
// brushes; white, black and null pens; fonts; the DC brush and pen.
bool SelectStock(TPlayer& p, std::uint32_t index) {
  TDcState& dc = p.Dc();
  static const canvas::TColor greys[] = {canvas::clWhite, 0xC0C0C0, 0x808080, 0x404040, canvas::clBlack};
  const std::uint32_t n = index & ~kStock;
  if (n <= 4) dc.Brush = {U_BS_SOLID, greys[n], 0, nullptr};
  else if (n == 5) dc.Brush = {U_BS_NULL, canvas::clBlack, 0, nullptr};
  else if (n == 6 || n == 7) dc.Pen = {U_PS_SOLID, 0, n == 6 ? canvas::clWhite : canvas::clBlack, true};
  else if (n == 8) dc.Pen = {U_PS_NULL, 0, canvas::clBlack, true};
  else if ((n >= 10 && n <= 14) || n == 16 || n == 17) dc.Font = {};
  else if (n == 18) dc.Brush = {U_BS_SOLID, canvas::clWhite, 0, nullptr};
  else if (n == 19) dc.Pen = {U_PS_SOLID, 0, canvas::clBlack, true};
  else return n == 15;  // the default palette
  return true;
}

void Put(TEmfRecord& e, std::uint32_t index, TGdiObject object) {
  if (!e.P.Objects().Put(index, std::move(object))) e.P.Skip();
}

std::shared_ptr<const canvas::TBitmap> Pattern(TEmfRecord& e, std::uint32_t offBmi, std::uint32_t cbBmi,
                                               std::uint32_t offBits, std::uint32_t cbBits) {
  if (!e.Holds(offBmi, cbBmi, 1) || !e.Holds(offBits, cbBits, 1)) return e.P.Skip(), nullptr;
  return DibPicture(e.P, {e.At(offBmi), cbBmi, e.At(offBits), cbBits});
}

}  // namespace

bool EmfObjectRecord(TEmfRecord& e) {
  switch (e.R.Type) {
    case U_EMR_CREATEPEN: {
      const auto* r = e.As<U_EMRCREATEPEN>();
      if (!r) return e.P.Skip(), true;
      const TLogPen pen{r->lopn.lopnStyle, double(r->lopn.lopnWidth.x), ColorOf(r->lopn.lopnColor), r->lopn.lopnWidth.x == 0};
      return Put(e, r->ihPen, pen), true;
    }
    case U_EMR_EXTCREATEPEN: {
      const auto* r = e.As<U_EMREXTCREATEPEN>(offsetof(U_EMREXTCREATEPEN, elp.elpNumEntries));
      if (!r) return e.P.Skip(), true;
      const U_EXTLOGPEN& l = r->elp;
      const bool geometric = l.elpPenStyle & U_PS_GEOMETRIC;
      const TLogPen pen{l.elpPenStyle, double(l.elpWidth), ColorOf(l.elpColor), !geometric || l.elpWidth == 0};
      return Put(e, r->ihPen, pen), true;
    }
    case U_EMR_CREATEBRUSHINDIRECT: {
      const auto* r = e.As<U_EMRCREATEBRUSHINDIRECT>();
      if (!r) return e.P.Skip(), true;
      TLogBrush brush{r->lb.lbStyle, ColorOf(r->lb.lbColor), r->lb.lbHatch, nullptr};
      if (brush.Style != U_BS_NULL && brush.Style != U_BS_HATCHED) brush.Style = U_BS_SOLID;
      return Put(e, r->ihBrush, brush), true;
    }
    case U_EMR_CREATEDIBPATTERNBRUSHPT:
    case U_EMR_CREATEMONOBRUSH: {
      const auto* r = e.As<U_EMRCREATEDIBPATTERNBRUSHPT>();
      if (!r) return e.P.Skip(), true;
      TLogBrush brush{U_BS_SOLID, canvas::clBlack, 0, Pattern(e, r->offBmi, r->cbBmi, r->offBits, r->cbBits)};
      if (brush.Pattern) brush.Style = U_BS_DIBPATTERNPT;
      return Put(e, r->ihBrush, brush), true;
    }
    case U_EMR_EXTCREATEFONTINDIRECTW: {
      const auto* r = e.As<U_EMREXTCREATEFONTINDIRECTW>(8 + 4 + sizeof(U_LOGFONT));
      if (!r) return e.P.Skip(), true;
      const U_LOGFONT& l = r->elfw.elfLogFont;
      TLogFont font{double(l.lfHeight), double(l.lfWidth), int(l.lfEscapement), int(l.lfWeight), l.lfItalic != 0,
                    l.lfUnderline != 0, l.lfStrikeOut != 0, l.lfCharSet, ""};
      std::u16string face;
      for (std::size_t i = 0; i < U_LF_FACESIZE && l.lfFaceName[i]; ++i) face += char16_t(l.lfFaceName[i]);
      font.Face = Utf16ToUtf8(face);
      return Put(e, r->ihFont, font), true;
    }
    case U_EMR_CREATEPALETTE: {
      const auto* r = e.As<U_EMRSELECTPALETTE>();
      if (r) Put(e, r->ihPal, std::monostate{});
      return true;
    }
    case U_EMR_SELECTOBJECT: {
      const auto* r = e.As<U_EMRSELECTOBJECT>();
      if (!r) return e.P.Skip(), true;
      if (r->ihObject & kStock) {
        if (!SelectStock(e.P, r->ihObject)) e.P.Skip();
      } else if (const TGdiObject* o = e.P.Objects().Get(r->ihObject)) {
        SelectObject(e.P, *o);
      } else {
        e.P.Skip();
      }
      return true;
    }
    case U_EMR_DELETEOBJECT: {
      const auto* r = e.As<U_EMRDELETEOBJECT>();
      if (!r || !e.P.Objects().Remove(r->ihObject)) e.P.Skip();
      return true;
    }
    default: return false;
  }
}

}  // namespace metafile
