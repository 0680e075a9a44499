#include "platform/forms/ProgressBar.h"

#include <algorithm>

#include "platform/forms/ControlPaint.h"

namespace forms {

TProgressBar::TProgressBar(TComponent* owner) : TWinControl(owner) { SetBounds(0, 0, 150, 16); }

void TProgressBar::SetRange(int min, int max) {
  FMin = min;
  FMax = std::max(min, max);
  SetPosition(FPosition);
  Invalidate();
}

void TProgressBar::SetPosition(int v) {
  v = std::clamp(v, FMin, FMax);
  if (v == FPosition) return;
  FPosition = v;
  Invalidate();
}

void TProgressBar::Paint() {
  canvas::TCanvas& c = Canvas();
  const TRect r = ClientRect();
  FillSolid(c, r, Color());
  Frame3D(c, r, canvas::clBtnShadow, canvas::clBtnHighlight);
  const int inner = std::max(0, r.Width() - 4);
  const int filled = FMax > FMin ? int(int64_t(inner) * (FPosition - FMin) / (FMax - FMin)) : 0;
  FillSolid(c, {2, 2, 2 + filled, r.Bottom - 2}, canvas::clHighlight);
}

void TProgressBar::DefineProperties(TPropertyList& props) {
  TWinControl::DefineProperties(props);
  props.Integer("Min", this, &TProgressBar::Min, &TProgressBar::SetMin);
  props.Integer("Max", this, &TProgressBar::Max, &TProgressBar::SetMax);
  props.Integer("Position", this, &TProgressBar::Position, &TProgressBar::SetPosition);
}

}  // namespace forms
