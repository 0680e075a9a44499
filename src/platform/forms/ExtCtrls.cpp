#include "platform/forms/ExtCtrls.h"

#include <algorithm>

namespace forms {

TPanel::TPanel(TComponent* owner) : TCustomControl(owner) {
  ControlStyle = csCaptureMouse | csClickEvents;
  SetBounds(0, 0, 185, 41);
}

void TPanel::SetBevelOuter(TBevelCut bevel) {
  FBevelOuter = bevel;
  Invalidate();
}

void TPanel::Paint() {
  canvas::TCanvas& c = Canvas();
  const TRect r = ClientRect();
  FillSolid(c, r, Color());
  if (FBevelOuter == bvRaised) Frame3D(c, r, canvas::clBtnHighlight, canvas::clBtnShadow);
  if (FBevelOuter == bvLowered) Frame3D(c, r, canvas::clBtnShadow, canvas::clBtnHighlight);
  if (!IsEnabled()) c.Font.Color = canvas::clGrayText;
  DrawText(c, Caption(), {r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom - 2}, Alignment, true);
}

TGroupBox::TGroupBox(TComponent* owner) : TCustomControl(owner) {
  ControlStyle = csCaptureMouse | csClickEvents;
  SetBounds(0, 0, 185, 105);
}

void TGroupBox::Paint() {
  canvas::TCanvas& c = Canvas();
  const TRect r = ClientRect();
  FillSolid(c, r, Color());
  const canvas::TSize text = TextSize(c, Caption().empty() ? " " : Caption());
  // The etched frame: a shadow line with a highlight line inside it.
  const int top = text.Cy / 2;
  Frame3D(c, {r.Left, top, r.Right - 1, r.Bottom - 1}, canvas::clBtnShadow, canvas::clBtnShadow);
  Frame3D(c, {r.Left + 1, top + 1, r.Right, r.Bottom}, canvas::clBtnHighlight, canvas::clBtnHighlight);
  if (Caption().empty()) return;
  int mnemonic;
  const int width = c.TextWidth(StripMnemonic(Caption(), mnemonic));
  FillSolid(c, {6, 0, 6 + width + 4, text.Cy}, Color());
  if (!IsEnabled()) c.Font.Color = canvas::clGrayText;
  DrawText(c, Caption(), {8, 0, 8 + width, text.Cy}, taLeftJustify, true);
}

TImage::TImage(TComponent* owner) : TGraphicControl(owner) { SetBounds(0, 0, 105, 105); }

void TImage::SetPicture(const canvas::TBitmap& picture) {
  FPicture = picture;
  Invalidate();
}

void TImage::Paint() {
  if (FPicture.Empty()) return;
  canvas::TCanvas& c = Canvas();
  if (Stretch) {
    c.StretchDraw(ClientRect(), FPicture);
    return;
  }
  const int x = Center ? (Width() - FPicture.Width()) / 2 : 0, y = Center ? (Height() - FPicture.Height()) / 2 : 0;
  c.Draw(x, y, FPicture);
}

TShape::TShape(TComponent* owner) : TGraphicControl(owner) { SetBounds(0, 0, 65, 65); }

void TShape::Paint() {
  canvas::TCanvas& c = Canvas();
  c.Pen = Pen;
  c.Brush = Brush;
  // The outline stays inside the control whatever the pen's width.
  const int x = Pen.Width / 2, extent = Pen.Width == 0 ? 0 : 1 - Pen.Width;
  const TRect r{x, x, x + Width() + extent, x + Height() + extent};
  switch (Shape) {
    case stRectangle: c.Rectangle(r); break;
    case stRoundRect: c.RoundRect(r, std::min(Width(), Height()) / 4, std::min(Width(), Height()) / 4); break;
    case stEllipse: c.Ellipse(r); break;
  }
}

}  // namespace forms
