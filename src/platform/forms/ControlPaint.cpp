#include "platform/forms/ControlPaint.h"

#include <algorithm>
#include <array>

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

char32_t FoldedLetter(char32_t c) {
  if ((c >= U'a' && c <= U'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7) || (c >= 0x430 && c <= 0x44F)) return c - 0x20;
  if (c >= 0x450 && c <= 0x45F) return c - 0x50;
  return c;
}

char32_t MnemonicLetter(const std::string& caption) {
  int index = -1;
  const std::u16string text = StripMnemonic(caption, index);
  return index < 0 ? 0 : FoldedLetter(text[size_t(index)]);
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

namespace {

// A small filled triangle pointing away from the centre of R, towards Kind's side.
std::array<canvas::TPoint, 3> Arrow(const TRect& r, TFrameControl kind) {
  const int cx = (r.Left + r.Right) / 2, cy = (r.Top + r.Bottom) / 2;
  const int s = std::max(2, std::min(r.Width(), r.Height()) / 5);
  switch (kind) {
    case fcScrollUp: return {{{cx - s, cy + s / 2}, {cx + s, cy + s / 2}, {cx, cy - s / 2 - 1}}};
    case fcScrollDown: return {{{cx - s, cy - s / 2}, {cx + s, cy - s / 2}, {cx, cy + s / 2 + 1}}};
    case fcScrollLeft: return {{{cx + s / 2, cy - s}, {cx + s / 2, cy + s}, {cx - s / 2 - 1, cy}}};
    default: return {{{cx - s / 2, cy - s}, {cx - s / 2, cy + s}, {cx + s / 2 + 1, cy}}};
  }
}

void FillArrow(canvas::TCanvas& canvas, std::array<canvas::TPoint, 3> arrow, int shift, canvas::TColor color) {
  for (canvas::TPoint& p : arrow) p.X += shift, p.Y += shift;
  canvas.Pen = {color, 1};
  canvas.Brush = {color, canvas::bsSolid};
  canvas.Polygon(arrow);
}

}  // namespace

void DrawFrameControl(canvas::TCanvas& canvas, const TRect& r, TFrameControl kind, unsigned state) {
  const bool pushed = state & fcsPushed;
  FillSolid(canvas, r, canvas::clBtnFace);
  if (state & fcsFlat)
    Frame3D(canvas, r, canvas::clBtnShadow, canvas::clBtnShadow);
  else
    DrawEdge(canvas, r, !pushed);
  if (kind == fcButtonPush) return;
  const canvas::TPen pen = canvas.Pen;
  const canvas::TBrush brush = canvas.Brush;
  const std::array<canvas::TPoint, 3> arrow = Arrow(r, kind);
  const int shift = pushed ? 1 : 0;
  if (state & fcsInactive) {
    FillArrow(canvas, arrow, shift + 1, canvas::clBtnHighlight);
    FillArrow(canvas, arrow, shift, canvas::clBtnShadow);
  } else {
    FillArrow(canvas, arrow, shift, canvas::clBtnText);
  }
  canvas.Pen = pen;
  canvas.Brush = brush;
}

}  // namespace forms
