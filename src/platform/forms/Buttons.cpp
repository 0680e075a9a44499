#include "platform/forms/Buttons.h"

#include "platform/forms/ControlPaint.h"
#include "platform/forms/ImgList.h"

namespace forms {

TButton::TButton(TComponent* owner) : TWinControl(owner) {
  SetTabStop(true);
  SetBounds(0, 0, 75, 25);
}

void TButton::Click() {
  if (ModalResult != mrNone)
    if (TCustomForm* form = ParentForm()) form->SetModalResult(ModalResult);
  TWinControl::Click();
}

void TButton::Paint() {
  canvas::TCanvas& c = Canvas();
  const TRect r = ClientRect();
  FillSolid(c, r, Color());
  TRect inner = r;
  // The default button, and the focused one, get a black outline.
  if (Focused() || Default) {
    c.Brush.Color = canvas::clBlack;
    c.FrameRect(r);
    inner = {r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
  }
  if (FDown) {
    c.Brush.Color = canvas::clBtnShadow;
    c.FrameRect(inner);
  } else {
    DrawEdge(c, inner, true);
  }
  const int shift = FDown ? 1 : 0;
  c.Font.Color = IsEnabled() ? Font().Color : canvas::clGrayText;
  PaintContent(c, {inner.Left + 2 + shift, inner.Top + 2 + shift, inner.Right - 2 + shift, inner.Bottom - 2 + shift});
  if (Focused()) {
    c.Pen = {canvas::clBlack, 1, canvas::psDot};
    c.Brush.Style = canvas::bsClear;
    c.Rectangle({inner.Left + 3, inner.Top + 3, inner.Right - 3, inner.Bottom - 3});
  }
}

void TButton::PaintContent(canvas::TCanvas& canvas, const TRect& r) { DrawText(canvas, Caption(), r, taCenter, true); }

void TButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == window::mbLeft) {
    FDown = true;
    Invalidate();
  }
  TWinControl::MouseDown(button, shift, x, y);
}

void TButton::MouseMove(TShiftState shift, int x, int y) {
  if (MouseCaptured()) {
    const bool inside = x >= 0 && y >= 0 && x < Width() && y < Height();
    if (inside != FDown) {
      FDown = inside;
      Invalidate();
    }
  }
  TWinControl::MouseMove(shift, x, y);
}

void TButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == window::mbLeft && FDown) {
    FDown = false;
    Invalidate();
  }
  TWinControl::MouseUp(button, shift, x, y);
}

void TButton::KeyDown(int& key, TShiftState shift) {
  TWinControl::KeyDown(key, shift);
  if (key == window::VK_SPACE) {
    FSpaceDown = FDown = true;
    Invalidate();
  } else if (key == window::VK_RETURN) {
    Click();
  }
}

void TButton::KeyUp(int& key, TShiftState shift) {
  TWinControl::KeyUp(key, shift);
  if (key == window::VK_SPACE && FSpaceDown) {
    FSpaceDown = FDown = false;
    Invalidate();
    Click();
  }
}

bool TButton::DialogKey(int key) {
  if (!((key == window::VK_RETURN && Default) || (key == window::VK_ESCAPE && Cancel))) return false;
  Click();
  return true;
}

bool TButton::DialogChar(char32_t letter) {
  if (letter == 0 || MnemonicLetter(Caption()) != letter) return false;
  Click();
  return true;
}

void TButton::FocusChanged(bool focused) {
  if (!focused) FSpaceDown = FDown = false;
  TWinControl::FocusChanged(focused);
}

void TBitBtn::PaintContent(canvas::TCanvas& canvas, const TRect& r) {
  const bool fromList = Images && ImageIndex >= 0 && ImageIndex < Images->Count();
  const int gw = fromList ? Images->Width() : Glyph.Width();
  const int gh = fromList ? Images->Height() : Glyph.Height();
  if (gw == 0) {
    TButton::PaintContent(canvas, r);
    return;
  }
  int mnemonic;
  const int tw = Caption().empty() ? 0 : canvas.TextWidth(StripMnemonic(Caption(), mnemonic));
  const int total = gw + (tw ? Spacing + tw : 0);
  const int x = r.Left + (r.Width() - total) / 2, y = r.Top + (r.Height() - gh) / 2;
  if (fromList)
    Images->Draw(canvas, x, y, ImageIndex, IsEnabled());
  else
    canvas.Draw(x, y, Glyph);
  if (tw) DrawText(canvas, Caption(), {x + gw + Spacing, r.Top, r.Right, r.Bottom}, taLeftJustify, true);
}

}  // namespace forms
