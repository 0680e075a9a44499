#include "platform/forms/ControlPaint.h"

#include "base/Utf8.h"

namespace forms {

using canvas::TRect;

canvas::TSize TextSize(canvas::TCanvas& canvas, const std::string& text) {
  return canvas.TextExtent(Utf8ToUtf16(text));
}

std::u16string StripMnemonic(const std::string& text, int& mnemonicIndex) {
  mnemonicIndex = -1;
  const std::u16string wide = Utf8ToUtf16(text);
  std::u16string out;
  for (size_t i = 0; i < wide.size(); ++i) {
    if (wide[i] == u'&' && i + 1 < wide.size()) {
      ++i;
      if (wide[i] != u'&' && mnemonicIndex < 0) mnemonicIndex = int(out.size());
    }
    out += wide[i];
  }
  return out;
}

void DrawText(canvas::TCanvas& canvas, const std::string& text, const TRect& r, TAlignment align, bool mnemonics) {
  int mnemonic = -1;
  const std::u16string wide = mnemonics ? StripMnemonic(text, mnemonic) : Utf8ToUtf16(text);
  const canvas::TSize size = canvas.TextExtent(wide);
  int x = r.Left;
  if (align == taRightJustify) x = r.Right - size.Cx;
  if (align == taCenter) x = r.Left + (r.Width() - size.Cx) / 2;
  const int y = r.Top + (r.Height() - size.Cy) / 2;
  canvas.Save();
  canvas.IntersectClipRect(r);
  const canvas::TBrushStyle brush = canvas.Brush.Style;
  canvas.Brush.Style = canvas::bsClear;
  canvas.TextOut(x, y, wide);
  if (mnemonic >= 0) {
    const int left = x + canvas.TextWidth(wide.substr(0, size_t(mnemonic)));
    const int width = canvas.TextWidth(wide.substr(size_t(mnemonic), 1));
    const int base = y + canvas.GetTextMetrics().Ascent + 1;
    canvas.Pen.Color = canvas.Font.Color;
    canvas.Pen.Style = canvas::psSolid;
    canvas.MoveTo(left, base);
    canvas.LineTo(left + width, base);
  }
  canvas.Brush.Style = brush;
  canvas.Restore();
}

void Frame3D(canvas::TCanvas& canvas, const TRect& r, canvas::TColor topLeft, canvas::TColor bottomRight) {
  FillSolid(canvas, {r.Left, r.Top, r.Right - 1, r.Top + 1}, topLeft);
  FillSolid(canvas, {r.Left, r.Top, r.Left + 1, r.Bottom - 1}, topLeft);
  FillSolid(canvas, {r.Left, r.Bottom - 1, r.Right, r.Bottom}, bottomRight);
  FillSolid(canvas, {r.Right - 1, r.Top, r.Right, r.Bottom}, bottomRight);
}

void DrawEdge(canvas::TCanvas& canvas, const TRect& r, bool raised) {
  const TRect inner{r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
  if (raised) {
    Frame3D(canvas, r, canvas::clBtnHighlight, canvas::cl3DDkShadow);
    Frame3D(canvas, inner, canvas::cl3DLight, canvas::clBtnShadow);
  } else {
    Frame3D(canvas, r, canvas::clBtnShadow, canvas::clBtnHighlight);
    Frame3D(canvas, inner, canvas::cl3DDkShadow, canvas::cl3DLight);
  }
}

void FillSolid(canvas::TCanvas& canvas, const TRect& r, canvas::TColor color) {
  const canvas::TBrush saved = canvas.Brush;
  canvas.Brush = {color, canvas::bsSolid};
  canvas.FillRect(r);
  canvas.Brush = saved;
}

}  // namespace forms
