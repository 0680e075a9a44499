#include "platform/forms/Controls.h"

#include <algorithm>

#include "platform/canvas/CairoCanvas.h"
#include "platform/forms/ActnList.h"
#include "platform/forms/Forms.h"

namespace forms {

TControl::TControl(TComponent* owner) : TComponent(owner) {}

TControl::~TControl() {
  delete FActionLink;
  FActionLink = nullptr;
  if (FParent) FParent->RemoveControl(this);
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == FParent) return;
  if (FParent) FParent->RemoveControl(this);
  if (parent) parent->InsertControl(this);
}

TCustomForm* TControl::ParentForm() const {
  const TControl* c = this;
  while (c->FParent) c = c->FParent;
  return dynamic_cast<TCustomForm*>(const_cast<TControl*>(c));
}

void TControl::SetBounds(int left, int top, int width, int height) {
  width = std::max(0, width);
  height = std::max(0, height);
  if (left == FLeft && top == FTop && width == FWidth && height == FHeight) return;
  const bool resized = width != FWidth || height != FHeight;
  Invalidate();
  FLeft = left;
  FTop = top;
  FWidth = width;
  FHeight = height;
  Invalidate();
  if (FAlign != alNone) RequestAlign();
  if (resized) Resize();
}

void TControl::Resize() {
  if (OnResize) OnResize(this);
}

TPoint TControl::WindowOrigin() const {
  TPoint p{FLeft, FTop};
  if (FParent) {
    const TPoint o = FParent->WindowOrigin();
    p.X += o.X;
    p.Y += o.Y;
  }
  return p;
}

TPoint TControl::ClientToScreen(TPoint p) const {
  const TCustomForm* form = ParentForm();
  if (!form) return p;
  const TPoint o = WindowOrigin();
  return {p.X + o.X + form->Left(), p.Y + o.Y + form->Top()};
}

TPoint TControl::ScreenToClient(TPoint p) const {
  const TPoint zero = ClientToScreen({0, 0});
  return {p.X - zero.X, p.Y - zero.Y};
}

void TControl::SetAlign(TAlign align) {
  if (align == FAlign) return;
  FAlign = align;
  RequestAlign();
}

void TControl::RequestAlign() {
  if (FParent) FParent->AlignControls();
}

void TControl::SetVisible(bool visible) {
  if (visible == FVisible) return;
  if (!visible) Invalidate();
  FVisible = visible;
  if (visible) Invalidate();
  if (!visible)
    if (TCustomForm* form = ParentForm(); form && form != this) form->ControlHidden(this);
  if (FAlign != alNone) RequestAlign();
}

bool TControl::Showing() const { return FVisible && FParent && FParent->Showing(); }

void TControl::SetEnabled(bool enabled) {
  if (enabled == FEnabled) return;
  FEnabled = enabled;
  if (!enabled)
    if (TCustomForm* form = ParentForm(); form && form != this) form->ControlHidden(this);
  EnabledChanged();
}

bool TControl::IsEnabled() const {
  for (const TControl* c = this; c; c = c->FParent)
    if (!c->FEnabled) return false;
  return true;
}

void TControl::SetText(const std::string& text) {
  if (text == FText) return;
  FText = text;
  TextChanged();
}

void TControl::SetColor(TColor color) {
  if (color == FColor) return;
  FColor = color;
  Invalidate();
}

void TControl::SetFont(const canvas::TFont& font) {
  FParentFont = false;
  if (font == FFont) return;
  FFont = font;
  FontChanged();
  if (auto* w = dynamic_cast<TWinControl*>(this))
    for (TControl* c : w->FControls) c->ParentFontChanged();
}

void TControl::SetParentFont(bool parentFont) {
  FParentFont = parentFont;
  if (parentFont) ParentFontChanged();
}

void TControl::ParentFontChanged() {
  if (!FParentFont || !FParent) return;
  SetFont(FParent->FFont);
  FParentFont = true;
}

TBasicAction* TControl::Action() const { return FActionLink ? FActionLink->Action() : nullptr; }

void TControl::SetAction(TBasicAction* action) {
  if (!action) {
    delete FActionLink;
    FActionLink = nullptr;
    return;
  }
  if (!FActionLink) FActionLink = CreateActionLink();
  FActionLink->SetAction(action);
  FActionLink->OnChange = [this](TObject* sender) { ActionChange(static_cast<TBasicAction*>(sender), false); };
  ActionChange(action, action->IsLoading());
  action->FreeNotification(this);
}

TControlActionLink* TControl::CreateActionLink() { return new TControlActionLink(this); }

void TControl::ActionChange(TBasicAction* sender, bool checkDefaults) {
  auto* action = dynamic_cast<TCustomAction*>(sender);
  if (!action) return;
  if (!checkDefaults || Caption().empty() || Caption() == Name()) SetCaption(action->Caption());
  if (!checkDefaults || FEnabled) SetEnabled(action->Enabled());
  if (!checkDefaults || FHint.empty()) SetHint(action->Hint());
  if (!checkDefaults || FVisible) SetVisible(action->Visible());
}

void TControl::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == TOperation::opRemove && FActionLink && component == FActionLink->Action()) SetAction(nullptr);
}

void TControl::SetCursor(window::TCursor cursor) {
  if (cursor == FCursor) return;
  FCursor = cursor;
  if (TCustomForm* form = ParentForm()) form->ControlCursorChanged(this);
}

void TControl::Invalidate() {
  TCustomForm* form = ParentForm();
  if (!form || !Showing()) return;
  if (form == this) {
    form->InvalidateWindowRect({0, 0, FWidth, FHeight});
    return;
  }
  const TPoint o = WindowOrigin();
  form->InvalidateWindowRect({o.X, o.Y, o.X + FWidth, o.Y + FHeight});
}

void TControl::Repaint() {
  Invalidate();
  if (TCustomForm* form = ParentForm()) form->Window().Update();
}

void TControl::BringToFront() {
  if (!FParent) return;
  auto& list = FParent->FControls;
  std::erase(list, this);
  list.push_back(this);
  Invalidate();
}

void TControl::SendToBack() {
  if (!FParent) return;
  auto& list = FParent->FControls;
  std::erase(list, this);
  list.insert(list.begin(), this);
  Invalidate();
}

canvas::TCanvas& TControl::Canvas() {
  if (FCanvas) return *FCanvas;
  static canvas::TCairoCanvas measuring(1, 1);
  measuring.Font = FFont;
  return measuring;
}

void TControl::PaintControl(canvas::TCanvas& canvas) {
  canvas.Pen = {};
  canvas.Brush = {};
  canvas.Brush.Color = FColor;
  canvas.Font = FFont;
  canvas.TextAlign = canvas::taTop;
  canvas.PenPos = {};
  FCanvas = &canvas;
  Paint();
  FCanvas = nullptr;
}

bool TControl::MouseCaptured() const {
  const TCustomForm* form = ParentForm();
  return form && form->CaptureControl() == this;
}

void TControl::Click() {
  if (OnClick)
    OnClick(this);
  else if (FActionLink)
    FActionLink->Execute(this);
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
  if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}

bool TControl::MouseWheel(TShiftState shift, int wheelDelta, TPoint pos) {
  (void)shift;
  (void)wheelDelta;
  (void)pos;
  return false;
}

void TControl::MouseEnter() {
  if (OnMouseEnter) OnMouseEnter(this);
}

void TControl::MouseLeave() {
  if (OnMouseLeave) OnMouseLeave(this);
}

void TControl::DefineProperties(TPropertyList& props) {
  TComponent::DefineProperties(props);
  props.String("Caption", this, &TControl::Caption, &TControl::SetCaption);
  props.String("Text", this, &TControl::Text, &TControl::SetText);
  props.String("Hint", this, &TControl::Hint, &TControl::SetHint);
  props.Boolean("ShowHint", this, &TControl::ShowHint, &TControl::SetShowHint);
  props.Boolean("Visible", this, &TControl::Visible, &TControl::SetVisible);
  props.Boolean("Enabled", this, &TControl::Enabled, &TControl::SetEnabled);
  props.Integer("Left", this, &TControl::Left, &TControl::SetLeft);
  props.Integer("Top", this, &TControl::Top, &TControl::SetTop);
  props.Integer("Width", this, &TControl::Width, &TControl::SetWidth);
  props.Integer("Height", this, &TControl::Height, &TControl::SetHeight);
  props.Integer("Color", this, &TControl::Color, &TControl::SetColor);
  props.Font("Font", this, &TControl::Font, &TControl::SetFont);
}

}  // namespace forms
