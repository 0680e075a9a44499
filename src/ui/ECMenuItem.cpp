// The item as a component: its properties and what each change repaints,
// the child list, deferred updates and the action link.
#include "ui/ECMenuItem.h"

#include <algorithm>

#include "base/Strings.h"
#include "ui/ClientInvalidate.h"
#include "ui/ECMenu.h"

using canvas::TRect;

namespace {

bool IsEmpty(const TRect& r) { return r.Left >= r.Right || r.Top >= r.Bottom; }

}  // namespace

// ---- Action link.

template class forms::TClientActionLink<TECMenuItem>;

bool TECMenuItemLink::IsCheckedLinked() {
  return TActionLink::IsCheckedLinked() && Client()->Checked() == CustomAction()->Checked();
}
void TECMenuItemLink::SetChecked(bool value) {
  if (!IsCheckedLinked()) return;
  Client()->FActionUpdating = true;
  Client()->SetChecked(value);
  Client()->FActionUpdating = false;
}

// ---- Life.

TECMenuItem::TECMenuItem(forms::TComponent* owner) : forms::TComponent(owner) {}

TECMenuItem::~TECMenuItem() {
  FDestroying = true;
  TECMenuHover& hover = MenuHover();
  if (hover.HoverCandidate == this) hover.HoverCandidate = nullptr;
  if (hover.LeaveOwner == this) hover.LeaveOwner = nullptr;
  if (FMenu && FMenu->FHoverOpened == this) FMenu->FHoverOpened = nullptr;
  Clear();
  if (TECSubMenu* dropDown = DropDown()) {
    dropDown->FItem = nullptr;
    dropDown->FClosing = true;
    dropDown->Release();
  }
  FSubMenu = nullptr;
  if (FParent) FParent->Remove(this);
  delete FActionLink;
  FActionLink = nullptr;
}

// ---- Property groups.

void TECMenuItem::ItemChanged() {
  if (FParent && FParent->FSubMenu) {
    FParent->UpdateLayout();
    FParent->Repaint();
  }
}

void TECMenuItem::StripChanged() {
  if (FParent && FParent->FParent && FParent->FParent->FSubMenu) FParent->FParent->InvalidateWindowRect(FParent->FItemRect);
}

void TECMenuItem::ContainerChanged() {
  if (!FSubMenu) return;
  UpdateLayout();
  Repaint();
}

void TECMenuItem::SetChecked(bool value) {
  if (value == FChecked) return;
  FChecked = value;
  if (FParent) FParent->Repaint();
}

void TECMenuItem::SetHide(bool value) {
  if (value == FHide) return;
  FHide = value;
  if (!FParent) return;
  FParent->UpdateLayout();
  FParent->Repaint();
}

void TECMenuItem::SetEnabled(bool value) {
  if (value == FEnabled) return;
  FEnabled = value;
  if (FParent) FParent->Repaint();
  InvalidateItem();
}

void TECMenuItem::SetColor(canvas::TColor value) {
  if (value == FColor) return;
  FColor = value;
  if (FParent && FParent->FSubMenu) FParent->Repaint();
}

void TECMenuItem::SetPanelColor(canvas::TColor value) {
  if (value == FPanelColor) return;
  FPanelColor = value;
  Repaint();
}

void TECMenuItem::SetMargin(int value) {
  if (value == FMargin) return;
  FMargin = value;
  UpdateLayout();
  Repaint();
}

void TECMenuItem::SetMenuArrow(bool value) {
  if (value == FMenuArrow) return;
  FMenuArrow = value;
  if (FSubMenu) Repaint();
}

void TECMenuItem::SetPicture(const canvas::TBitmap& value) {
  FPicture = value;
  ContainerChanged();
}

void TECMenuItem::SetControl(forms::TControl* control) {
  if (control == FControl) return;
  if (FControl) RemoveFreeNotification(FControl);
  FControl = control;
  if (FControl) FreeNotification(FControl);
  ItemChanged();
}

void TECMenuItem::SetAction(forms::TBasicAction* action) {
  if (!action) {
    delete FActionLink;
    FActionLink = nullptr;
    return;
  }
  if (!FActionLink) FActionLink = new TECMenuItemLink(this);
  FActionLink->SetAction(action);
  FActionLink->OnChange = [this](TObject* sender) { ActionChange(static_cast<forms::TBasicAction*>(sender), false); };
  ActionChange(action, action->IsLoading());
  action->FreeNotification(this);
}

// An empty OnClick of a bound item stands for the action's OnExecute: the
// click runs the action through the link.
void TECMenuItem::ActionChange(forms::TBasicAction* action, bool checkDefaults) {
  auto* a = dynamic_cast<forms::TCustomAction*>(action);
  if (!a) return;
  if (!checkDefaults || FCaption.empty() || FCaption == Name()) SetCaption(a->Caption());
  if (!checkDefaults || !FChecked) SetChecked(a->Checked());
  if (!checkDefaults || FEnabled) SetEnabled(a->Enabled());
  if (!checkDefaults || FHint.empty()) SetHint(a->Hint());
  if (!checkDefaults || FVisible) SetVisible(a->Visible());
  if (!checkDefaults || !OnClick) OnClick = nullptr;
}

bool TECMenuItem::HasClickHandler() const {
  const forms::TBasicAction* action = Action();
  return OnClick || (action && action->OnExecute);
}

void TECMenuItem::Notification(forms::TComponent* component, forms::TOperation operation) {
  forms::TComponent::Notification(component, operation);
  if (operation != forms::TOperation::opRemove) return;
  if (FActionLink && component == FActionLink->Action()) SetAction(nullptr);
  if (component == FControl) {
    FControl = nullptr;
    ItemChanged();
  }
}

// ---- What the item is.

TECSubMenu* TECMenuItem::DropDown() const { return dynamic_cast<TECSubMenu*>(FSubMenu); }

bool TECMenuItem::Shown() const {
  if (!FVisible) return false;
  if (!FHide) return true;
  return FParent && !FParent->FHideMode;
}

bool TECMenuItem::Selectable() const {
  return Shown() && FEnabled && FKind != ikSeparator && FKind != ikSpace;
}

bool TECMenuItem::HasVisibleItems() const {
  return std::any_of(FItems.begin(), FItems.end(), [](const TECMenuItem* c) { return c->Shown(); });
}

int TECMenuItem::StateImage() const {
  const forms::TCustomImageList* images = FMenu ? FMenu->Images() : nullptr;
  if (!images) return -1;
  int index = FImage;
  const bool hot = FState == stHot || FState == stHotArrow, pressed = FState >= stPressed;
  if (!FEnabled && FDisableImage >= 0)
    index = FDisableImage;
  else if (FKind == ikCheckBox && FChecked && FState != stNormal && FPressImage >= 0)
    index = FPressImage;
  else if (hot && FOverImage >= 0)
    index = FOverImage;
  else if (pressed && FPressImage >= 0)
    index = FPressImage;
  return index >= 0 && index < images->Count() ? index : -1;
}

int TECMenuItem::ScrollPos() const {
  const TECSubMenu* dropDown = DropDown();
  return dropDown && dropDown->ScrollBar()->Visible() ? dropDown->ScrollBar()->Position() : 0;
}

// ---- Child list.

TECMenuItem* TECMenuItem::Items(int index) const {
  return index >= 0 && index < Count() ? FItems[size_t(index)] : nullptr;
}

int TECMenuItem::GetIndex() const {
  if (!FParent) return -1;
  const auto& list = FParent->FItems;
  return int(std::find(list.begin(), list.end(), this) - list.begin());
}

void TECMenuItem::SetIndex(int index) {
  if (!FParent || index < 0 || index >= FParent->Count()) return;
  auto& list = FParent->FItems;
  list.erase(list.begin() + GetIndex());
  list.insert(list.begin() + index, this);
  FParent->UpdateLayout();
  FParent->Repaint();
}

void TECMenuItem::SetMenuOfTree(TECMenu* menu) {
  FMenu = menu;
  for (TECMenuItem* c : FItems) c->SetMenuOfTree(menu);
}

void TECMenuItem::InsertChild(int index, TECMenuItem* item) {
  if (item->FParent) item->FParent->Remove(item);
  FItems.insert(FItems.begin() + std::clamp(index, 0, Count()), item);
  item->FParent = this;
  item->SetMenuOfTree(FMenu);
  UpdateLayout();
  Repaint();
}

void TECMenuItem::Add(TECMenuItem* item) {
  if (item && item != this) InsertChild(Count(), item);
}

TECMenuItem* TECMenuItem::InsertItem(int index, const std::string& caption) {
  auto* item = new TECMenuItem(this);
  item->FCaption = caption;
  InsertChild(index, item);
  return item;
}

void TECMenuItem::Delete(int index) { delete Items(index); }

void TECMenuItem::Remove(TECMenuItem* item) {
  auto it = std::find(FItems.begin(), FItems.end(), item);
  if (it == FItems.end()) return;
  if (item->FSubMenu) item->CloseSubMenu();
  FItems.erase(it);
  if (FSelected == item) FSelected = nullptr;
  if (FOpened == item) FOpened = nullptr;
  item->FParent = nullptr;
  item->SetMenuOfTree(nullptr);
  if (FDestroying) return;
  UpdateLayout();
  Repaint();
}

void TECMenuItem::Clear() {
  while (!FItems.empty()) delete FItems.back();
}

TECMenuItem* TECMenuItem::Find(const std::string& text) const {
  for (TECMenuItem* c : FItems)
    if (SameText(c->Name(), text) || SameText(c->FCaption, text)) return c;
  return nullptr;
}

void TECMenuItem::Assign(const TECMenuItem& source) {
  BeginUpdate();
  SetCaption(source.FCaption);
  SetImage(source.FImage);
  SetOverImage(source.FOverImage);
  SetPressImage(source.FPressImage);
  SetDisableImage(source.FDisableImage);
  SetKind(source.FKind);
  SetOrientation(source.FOrientation);
  SetStyle(source.FStyle);
  SetVisible(source.FVisible);
  SetEnabled(source.FEnabled);
  SetHide(source.FHide);
  SetMargin(source.FMargin);
  SetColor(source.FColor);
  SetPanelColor(source.FPanelColor);
  SetFont(source.FFont);
  SetShortCutFont(source.FShortCutFont);
  Clear();
  for (const TECMenuItem* child : source.FItems) {
    auto* copy = new TECMenuItem(this);
    copy->Assign(*child);
    Add(copy);
  }
  EndUpdate();
  UpdateLayout();
}

// ---- Deferred updates and invalidation.

void TECMenuItem::EndUpdate() {
  if (FUpdateCount == 0 || --FUpdateCount > 0) return;
  const bool layout = FPendingFirst >= 0;
  const int first = FPendingFirst, last = FPendingLast;
  FPendingFirst = FPendingLast = -1;
  if (layout) UpdateLayout(first, last);
  // Nothing recorded (the first value included) means the whole window.
  TRect r = IsEmpty(FPendingRect) ? ClientRectangle() : FPendingRect;
  FPendingRect = {1000, 1000, 0, 0};
  InvalidateWindowRect(r);
}

TRect TECMenuItem::ClientRectangle() const {
  // The window's whole client area: a layout that shrank must clear what
  // its last children covered.
  if (FSubMenu) return FSubMenu->ClientRect();
  return {FMargin, FMargin, FContentRect.Right - FMargin, FContentRect.Bottom - FMargin};
}

void TECMenuItem::Repaint() { InvalidateWindowRect(ClientRectangle()); }

void TECMenuItem::InvalidateWindowRect(TRect r) {
  if (IsEmpty(r)) return;
  if (FUpdateCount > 0) {
    FPendingRect = IsEmpty(FPendingRect) ? r
                                         : TRect{std::min(FPendingRect.Left, r.Left), std::min(FPendingRect.Top, r.Top),
                                                 std::max(FPendingRect.Right, r.Right),
                                                 std::max(FPendingRect.Bottom, r.Bottom)};
    return;
  }
  if (!FSubMenu) return;
  const int scroll = ScrollPos();
  InvalidateClientRect(*FSubMenu, {r.Left, r.Top - scroll, r.Right, r.Bottom - scroll});
}

void TECMenuItem::SetState(uint8_t state) {
  if (state == FState) return;
  FState = state;
  InvalidateItem();
}

void TECMenuItem::InvalidateItem() {
  if (!FParent || !FParent->FSubMenu) return;
  // A transparent item waits for the window's next paint; the others show at once.
  if (FTransparent || FParent->FUpdateCount > 0) {
    FParent->InvalidateWindowRect(FItemRect);
    return;
  }
  const int scroll = FParent->ScrollPos();
  RedrawClientRect(*FParent->FSubMenu, {FItemRect.Left, FItemRect.Top - scroll, FItemRect.Right, FItemRect.Bottom - scroll});
}

// ---- Published properties.

void TECMenuItem::DefineProperties(forms::TPropertyList& props) {
  forms::TComponent::DefineProperties(props);
  using T = TECMenuItem;
  auto integer = [&](const char* name, auto get, auto set) { props.Integer(name, this, get, set); };
  auto boolean = [&](const char* name, auto get, auto set) { props.Boolean(name, this, get, set); };
  props.String("Caption", this, &T::Caption, &T::SetCaption);
  props.String("ShortCutText", this, &T::ShortCutText, &T::SetShortCutText);
  boolean("Checked", &T::Checked, &T::SetChecked);
  integer("Image", &T::Image, &T::SetImage);
  integer("OverImage", &T::OverImage, &T::SetOverImage);
  integer("PressImage", &T::PressImage, &T::SetPressImage);
  integer("DisableImage", &T::DisableImage, &T::SetDisableImage);
  integer("Height", &T::Height, &T::SetHeight);
  integer("MenuHeight", &T::MenuHeight, &T::SetMenuHeight);
  integer("ButtonHeight", &T::ButtonHeight, &T::SetButtonHeight);
  integer("ButtonWidth", &T::ButtonWidth, &T::SetButtonWidth);
  boolean("Transparent", &T::Transparent, &T::SetTransparent);
  integer("Offset", &T::Offset, &T::SetOffset);
  boolean("Visible", &T::Visible, &T::SetVisible);
  boolean("ShowHint", &T::ShowHint, &T::SetShowHint);
  boolean("Hide", &T::Hide, &T::SetHide);
  boolean("Flat", &T::Flat, &T::SetFlat);
  integer("TextOffset", &T::TextOffset, &T::SetTextOffset);
  integer("Color", &T::Color, &T::SetColor);
  integer("PanelColor", &T::PanelColor, &T::SetPanelColor);
  props.Font("Font", this, &T::Font, &T::SetFont);
  props.Font("ShortCutFont", this, &T::ShortCutFont, &T::SetShortCutFont);
  integer("Margin", &T::Margin, &T::SetMargin);
  boolean("AutoMenu", &T::AutoMenu, &T::SetAutoMenu);
  boolean("MenuArrow", &T::MenuArrow, &T::SetMenuArrow);
  props.Object("Action", forms::TPropKind::pkComponent, [this]() -> TObject* { return Action(); });
  props.Object("Control", forms::TPropKind::pkComponent, [this]() -> TObject* { return FControl; });
}
