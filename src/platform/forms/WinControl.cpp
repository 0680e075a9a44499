#include <algorithm>

#include "platform/forms/Controls.h"
#include "platform/forms/Forms.h"

namespace forms {

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() { DestroyChildren(); }

void TWinControl::DestroyChildren() {
  // The children go with their container, whoever owns them.
  while (!FControls.empty()) delete FControls.back();
}

TControl* TWinControl::Controls(int index) const {
  if (index < 0 || index >= ControlCount()) throw EListError(index);
  return FControls[size_t(index)];
}

void TWinControl::InsertControl(TControl* control) {
  if (control->FParent == this) return;
  if (control->FParent) control->FParent->RemoveControl(control);
  FControls.push_back(control);
  control->FParent = this;
  if (auto* w = dynamic_cast<TWinControl*>(control)) FTabList.push_back(w);
  control->ParentFontChanged();
  if (control->FAlign != alNone) AlignControls();
  control->Invalidate();
}

void TWinControl::RemoveControl(TControl* control) {
  if (control->FParent != this) return;
  control->Invalidate();
  if (TCustomForm* form = ParentForm()) form->ControlHidden(control);
  std::erase(FControls, control);
  // The control may be in its destructor: compare addresses only.
  std::erase_if(FTabList, [control](TWinControl* w) { return static_cast<TControl*>(w) == control; });
  control->FParent = nullptr;
  if (control->FAlign != alNone) AlignControls();
}

TControl* TWinControl::ControlAtPos(TPoint p) const {
  for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
    TControl* c = *it;
    if (c->FVisible && p.X >= c->FLeft && p.X < c->FLeft + c->FWidth && p.Y >= c->FTop && p.Y < c->FTop + c->FHeight)
      return c;
  }
  return nullptr;
}

bool TWinControl::ContainsControl(const TControl* control) const {
  for (const TControl* c = control; c; c = c->FParent)
    if (c == this) return true;
  return false;
}

int TWinControl::TabOrder() const {
  if (!FParent) return -1;
  const auto& list = FParent->FTabList;
  return int(std::find(list.begin(), list.end(), this) - list.begin());
}

void TWinControl::SetTabOrder(int order) {
  if (!FParent) return;
  auto& list = FParent->FTabList;
  std::erase(list, this);
  list.insert(list.begin() + std::clamp(order, 0, int(list.size())), this);
}

bool TWinControl::CanFocus() const {
  const TCustomForm* form = ParentForm();
  return form && form != this && Showing() && IsEnabled();
}

void TWinControl::SetFocus() {
  TCustomForm* form = ParentForm();
  if (!form || !CanFocus()) return;
  form->SetActiveControl(this);
  if (form->Showing() && !form->Active()) form->Window().Activate();
}

bool TWinControl::Focused() const {
  const TCustomForm* form = ParentForm();
  return form && form->Active() && form->ActiveControl() == this;
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
  TControl::SetBounds(left, top, width, height);
  AlignControls();
}

void TWinControl::AlignControls() {
  if (FAligning) return;
  FAligning = true;
  const TRect client = ClientRect();
  // Anchored children follow a change of the client size, not its first setting.
  const int dx = client.Width() - FClientWidth, dy = client.Height() - FClientHeight;
  if ((dx || dy) && FClientWidth > 0 && FClientHeight > 0) {
    for (TControl* c : FControls) {
      if (c->FAlign != alNone) continue;
      TRect r = c->BoundsRect();
      if (c->FAnchors & akRight) {
        if (!(c->FAnchors & akLeft)) r.Left += dx;
        r.Right += dx;
      }
      if (c->FAnchors & akBottom) {
        if (!(c->FAnchors & akTop)) r.Top += dy;
        r.Bottom += dy;
      }
      c->SetBounds(r.Left, r.Top, r.Width(), r.Height());
    }
  }
  FClientWidth = client.Width();
  FClientHeight = client.Height();

  // Top, bottom, left and right bands in turn, each in the order of the
  // children's positions; the client one takes what is left.
  TRect rest = client;
  auto place = [&](TAlign align) {
    std::vector<TControl*> band;
    for (TControl* c : FControls)
      if (c->FVisible && c->FAlign == align) band.push_back(c);
    std::stable_sort(band.begin(), band.end(), [align](TControl* a, TControl* b) {
      switch (align) {
        case alTop: return a->FTop < b->FTop;
        case alBottom: return a->FTop + a->FHeight > b->FTop + b->FHeight;
        case alLeft: return a->FLeft < b->FLeft;
        case alRight: return a->FLeft + a->FWidth > b->FLeft + b->FWidth;
        default: return false;
      }
    });
    for (TControl* c : band) {
      switch (align) {
        case alTop:
          c->SetBounds(rest.Left, rest.Top, rest.Width(), c->FHeight);
          rest.Top += c->FHeight;
          break;
        case alBottom:
          c->SetBounds(rest.Left, rest.Bottom - c->FHeight, rest.Width(), c->FHeight);
          rest.Bottom -= c->FHeight;
          break;
        case alLeft:
          c->SetBounds(rest.Left, rest.Top, c->FWidth, rest.Height());
          rest.Left += c->FWidth;
          break;
        case alRight:
          c->SetBounds(rest.Right - c->FWidth, rest.Top, c->FWidth, rest.Height());
          rest.Right -= c->FWidth;
          break;
        default:
          c->SetBounds(rest.Left, rest.Top, rest.Width(), rest.Height());
          break;
      }
    }
  };
  for (TAlign a : {alTop, alBottom, alLeft, alRight, alClient}) place(a);
  FAligning = false;
}

void TWinControl::PaintChildren(canvas::TCanvas& canvas) {
  const TRect clip = canvas.ClipRect();
  const TPoint origin = canvas.Origin();
  for (TControl* c : std::vector<TControl*>(FControls)) {
    if (!c->FVisible || c->FWidth <= 0 || c->FHeight <= 0) continue;
    const TRect r = c->BoundsRect();
    if (r.Right <= clip.Left || r.Left >= clip.Right || r.Bottom <= clip.Top || r.Top >= clip.Bottom) continue;
    canvas.Save();
    canvas.SetOrigin({origin.X + r.Left, origin.Y + r.Top});
    canvas.IntersectClipRect({0, 0, r.Width(), r.Height()});
    c->PaintControl(canvas);
    if (auto* w = dynamic_cast<TWinControl*>(c)) w->PaintChildren(canvas);
    canvas.Restore();
  }
}

void TWinControl::KeyDown(int& key, TShiftState shift) {
  if (OnKeyDown) OnKeyDown(this, key, shift);
}

void TWinControl::KeyUp(int& key, TShiftState shift) {
  if (OnKeyUp) OnKeyUp(this, key, shift);
}

void TWinControl::KeyPress(char32_t& key) {
  if (OnKeyPress) OnKeyPress(this, key);
}

void TWinControl::DoEnter() {
  if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
  if (OnExit) OnExit(this);
}

void TWinControl::DefineProperties(TPropertyList& props) {
  TControl::DefineProperties(props);
  props.Boolean("TabStop", this, &TWinControl::TabStop, &TWinControl::SetTabStop);
  props.Integer("TabOrder", this, &TWinControl::TabOrder, &TWinControl::SetTabOrder);
}

}  // namespace forms
