#include "platform/forms/Label.h"

namespace forms {

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner) {
  ControlStyle = csClickEvents | csCaptureMouse;
  SetBounds(0, 0, 65, 13);
  AdjustSize();
}

void TLabel::SetAlignment(TAlignment alignment) {
  FAlignment = alignment;
  Invalidate();
}

void TLabel::SetAutoSize(bool autoSize) {
  FAutoSize = autoSize;
  AdjustSize();
}

void TLabel::SetTransparent(bool transparent) {
  FTransparent = transparent;
  Invalidate();
}

void TLabel::AdjustSize() {
  if (!FAutoSize) return;
  int mnemonic;
  const canvas::TSize size = Canvas().TextExtent(StripMnemonic(Caption().empty() ? " " : Caption(), mnemonic));
  SetBounds(Left(), Top(), Caption().empty() ? 0 : size.Cx, size.Cy);
}

void TLabel::TextChanged() {
  AdjustSize();
  Invalidate();
}

void TLabel::FontChanged() {
  AdjustSize();
  Invalidate();
}

void TLabel::Paint() {
  canvas::TCanvas& c = Canvas();
  if (!FTransparent) FillSolid(c, ClientRect(), Color());
  if (!IsEnabled()) c.Font.Color = canvas::clGrayText;
  DrawText(c, Caption(), ClientRect(), FAlignment, true);
}

}  // namespace forms
