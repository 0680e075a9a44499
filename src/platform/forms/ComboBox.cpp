#include "platform/forms/ComboBox.h"

#include <algorithm>
#include <array>

#include "platform/forms/Application.h"
#include "platform/forms/ControlPaint.h"
#include "platform/forms/Forms.h"
#include "platform/forms/ListBox.h"

namespace forms {

namespace {
constexpr int kButton = 17;
}

TComboBox::TComboBox(TComponent* owner) : TWinControl(owner) {
  // No capture: a press on the field and a release on the opened list choose.
  ControlStyle = 0;
  SetTabStop(true);
  SetColor(canvas::clWindow);
  FItems.OnChange = [this](TObject*) { ItemsChanged(); };
  SetBounds(0, 0, 145, 21);
}

TComboBox::~TComboBox() { SetDroppedDown(false); }

void TComboBox::SetItemIndex(int index) {
  if (index < 0 || index >= FItems.Count()) index = -1;
  if (index == FItemIndex) return;
  FItemIndex = index;
  SetText(index >= 0 ? FItems.Strings(index) : std::string());
  Invalidate();
}

void TComboBox::ItemsChanged() {
  if (FItemIndex >= FItems.Count()) SetItemIndex(-1);
  else if (FItemIndex >= 0) SetText(FItems.Strings(FItemIndex));
  if (FList) FList->Items().Assign(FItems);
  Invalidate();
}

void TComboBox::UserSelect(int index) {
  if (index < 0 || index >= FItems.Count() || index == FItemIndex) return;
  SetItemIndex(index);
  if (OnChange) OnChange(this);
}

bool TComboBox::DroppedDown() const { return FPopup != nullptr; }

void TComboBox::SetDroppedDown(bool dropped) {
  if (dropped == DroppedDown()) return;
  if (!dropped) {
    // Freed later: the list may be in the middle of handling a message.
    FPopup->Release();
    FPopup = nullptr;
    FList = nullptr;
    Invalidate();
    return;
  }
  if (!ParentForm() || !Showing()) return;
  if (OnDropDown) OnDropDown(this);
  FPopup = new TPopupWindow(this);
  FList = new TListBox(FPopup);
  FList->SetParent(FPopup);
  FList->SetAlign(alClient);
  FList->SetTabStop(false);
  FList->HotTrack = true;
  FList->Items().Assign(FItems);
  const int rows = std::clamp(FItems.Count(), 1, std::max(1, DropDownCount));
  FPopup->SetBounds(0, 0, Width(), rows * FList->ItemHeight() + 4);
  FList->SetItemIndex(FItemIndex);
  FList->OnMouseUp = [this](TObject*, TMouseButton button, TShiftState, int x, int y) {
    if (button != window::mbLeft) return;
    const int index = FList->ItemAtPos({x, y});
    if (index < 0) return;
    SetDroppedDown(false);
    UserSelect(index);
  };
  // Below the field, or above it when the screen ends first.
  TPoint at = ClientToScreen({0, Height()});
  if (Screen && at.Y + FPopup->Height() > Screen->Height()) at = ClientToScreen({0, -FPopup->Height()});
  FPopup->Popup(at);
  Invalidate();
}

void TComboBox::Paint() {
  canvas::TCanvas& c = Canvas();
  const TRect r = ClientRect();
  FillSolid(c, r, IsEnabled() ? Color() : canvas::clBtnFace);
  DrawEdge(c, r, false);
  const TRect button{r.Right - 2 - kButton, 2, r.Right - 2, r.Bottom - 2};
  FillSolid(c, button, canvas::clBtnFace);
  if (DroppedDown()) {
    c.Brush.Color = canvas::clBtnShadow;
    c.FrameRect(button);
  } else {
    DrawEdge(c, button, true);
  }
  const int cx = (button.Left + button.Right) / 2, cy = (button.Top + button.Bottom) / 2;
  const canvas::TColor ink = IsEnabled() ? canvas::clBtnText : canvas::clGrayText;
  c.Pen = {ink, 1};
  c.Brush = {ink, canvas::bsSolid};
  const std::array<canvas::TPoint, 3> arrow{{{cx - 4, cy - 2}, {cx + 4, cy - 2}, {cx, cy + 2}}};
  c.Polygon(arrow);
  const TRect field{4, 3, button.Left - 2, r.Bottom - 3};
  if (Focused() && !DroppedDown()) FillSolid(c, {field.Left - 1, field.Top, field.Right, field.Bottom}, canvas::clHighlight);
  c.Font.Color = !IsEnabled() ? canvas::clGrayText : Focused() && !DroppedDown() ? canvas::clHighlightText : Font().Color;
  DrawText(c, Text(), field, taLeftJustify);
}

void TComboBox::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TWinControl::MouseDown(button, shift, x, y);
  if (button == window::mbLeft) SetDroppedDown(!DroppedDown());
}

bool TComboBox::WantsKey(int key) {
  return DroppedDown() && (key == window::VK_RETURN || key == window::VK_ESCAPE);
}

void TComboBox::KeyDown(int& key, TShiftState shift) {
  TWinControl::KeyDown(key, shift);
  const int last = FItems.Count() - 1;
  const bool alt = shift & window::ssAlt;
  if (key == window::VK_F1 + 3 || (alt && (key == window::VK_DOWN || key == window::VK_UP))) {
    SetDroppedDown(!DroppedDown());
    return;
  }
  if (DroppedDown()) {
    // The open list's highlight moves; Return takes it, Escape leaves.
    const int hot = FList->ItemIndex();
    if (key == window::VK_UP) FList->SetItemIndex(std::max(0, hot - 1));
    if (key == window::VK_DOWN) FList->SetItemIndex(std::min(last, hot + 1));
    if (key == window::VK_RETURN) {
      SetDroppedDown(false);
      UserSelect(hot);
    }
    if (key == window::VK_ESCAPE) SetDroppedDown(false);
    return;
  }
  switch (key) {
    case window::VK_UP: UserSelect(std::max(0, FItemIndex - 1)); break;
    case window::VK_DOWN: UserSelect(std::min(last, FItemIndex + 1)); break;
    case window::VK_HOME: UserSelect(0); break;
    case window::VK_END: UserSelect(last); break;
    default: break;
  }
}

bool TComboBox::MouseWheel(TShiftState, int wheelDelta, TPoint) {
  if (!DroppedDown()) UserSelect(std::clamp(FItemIndex - wheelDelta / window::WHEEL_DELTA, 0, FItems.Count() - 1));
  return true;
}

void TComboBox::FocusChanged(bool focused) {
  if (!focused) SetDroppedDown(false);
  TWinControl::FocusChanged(focused);
}

void TComboBox::DefineProperties(TPropertyList& props) {
  TWinControl::DefineProperties(props);
  props.Object("Items", TPropKind::pkStrings, [this]() -> TObject* { return &FItems; });
  props.Integer("ItemIndex", this, &TComboBox::ItemIndex, &TComboBox::SetItemIndex);
}

}  // namespace forms
