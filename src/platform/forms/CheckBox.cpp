#include "platform/forms/CheckBox.h"

#include <array>

#include "platform/forms/ControlPaint.h"

namespace forms {

namespace {
constexpr int kBox = 13;
}  // namespace

class TCheckBoxActionLink : public TControlActionLink {
public:
  explicit TCheckBoxActionLink(TCheckBox* client) : TControlActionLink(client), FBox(client) {}
  bool IsCheckedLinked() override {
    return TControlActionLink::IsCheckedLinked() &&
           FBox->Checked() == CustomAction()->Checked();
  }
  void SetChecked(bool value) override {
    if (IsCheckedLinked()) FBox->SetCheckedQuietly(value);
  }

private:
  TCheckBox* FBox;
};

TCheckBox::TCheckBox(TComponent* owner) : TWinControl(owner) {
  SetTabStop(true);
  SetBounds(0, 0, 97, 17);
}

void TCheckBox::SetChecked(bool checked) {
  if (checked == FChecked) return;
  FChecked = checked;
  Invalidate();
  if (!FClicksDisabled) Click();
}

void TCheckBox::SetCheckedQuietly(bool checked) {
  FClicksDisabled = true;
  SetChecked(checked);
  FClicksDisabled = false;
}

void TCheckBox::KeyPress(char32_t& key) {
  TWinControl::KeyPress(key);
  if (key == U' ') SetChecked(!FChecked);
}

void TCheckBox::ActionChange(TBasicAction* sender, bool checkDefaults) {
  TWinControl::ActionChange(sender, checkDefaults);
  if (auto* action = dynamic_cast<TCustomAction*>(sender); action && (!checkDefaults || !FChecked))
    SetCheckedQuietly(action->Checked());
}

TControlActionLink* TCheckBox::CreateActionLink() { return new TCheckBoxActionLink(this); }

void TCheckBox::Paint() {
  canvas::TCanvas& c = Canvas();
  const TRect r = ClientRect();
  FillSolid(c, r, Color());
  const int top = (r.Height() - kBox) / 2;
  const TRect box{0, top, kBox, top + kBox};
  DrawEdge(c, box, false);
  FillSolid(c, {2, top + 2, kBox - 2, top + kBox - 2}, IsEnabled() ? canvas::clWindow : canvas::clBtnFace);
  if (FChecked) {
    // The tick: three rows thick, from the left middle down and up to the right.
    c.Pen = {IsEnabled() ? canvas::clWindowText : canvas::clGrayText, 1};
    for (int d = 0; d < 3; ++d) {
      const std::array<canvas::TPoint, 3> tick{{{3, top + 5 + d}, {5, top + 7 + d}, {10, top + 2 + d}}};
      c.Polyline(tick);
    }
  }
  c.Font.Color = IsEnabled() ? Font().Color : canvas::clGrayText;
  const TRect text{kBox + 4, 0, r.Right, r.Bottom};
  DrawText(c, Caption(), text, taLeftJustify, true);
  if (Focused()) {
    int mnemonic;
    const int w = c.TextWidth(StripMnemonic(Caption(), mnemonic));
    c.Pen = {canvas::clBlack, 1, canvas::psDot};
    c.Brush.Style = canvas::bsClear;
    c.Rectangle({text.Left - 1, 0, std::min(r.Right, text.Left + w + 2), r.Bottom});
  }
}

void TCheckBox::DefineProperties(TPropertyList& props) {
  TWinControl::DefineProperties(props);
  props.Boolean("Checked", this, &TCheckBox::Checked, &TCheckBox::SetChecked);
}

}  // namespace forms
