#include "platform/forms/HintWindow.h"

#include "platform/forms/ControlPaint.h"

namespace forms {

THintWindow::THintWindow(TControl* owner) : TPopupWindow(owner) { SetColor(canvas::clInfoBk); }

void THintWindow::ActivateHint(TPoint screen, const std::string& text) {
  SetText(text);
  const canvas::TSize size = TextSize(Canvas(), text);
  SetBounds(screen.X, screen.Y, size.Cx + 8, size.Cy + 4);
  Popup(screen);
}

void THintWindow::Paint() {
  canvas::TCanvas& c = Canvas();
  c.Brush.Color = Color();
  c.FillRect(ClientRect());
  c.Brush.Color = canvas::clBlack;
  c.FrameRect(ClientRect());
  c.Font.Color = canvas::clInfoText;
  DrawText(c, Text(), {4, 2, Width() - 4, Height() - 2}, taLeftJustify);
}

}  // namespace forms
