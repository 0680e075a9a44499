#include "ui/ECMenu.h"

#include <algorithm>

#include "base/Log.h"
#include "platform/forms/Timer.h"
#include "platform/window/WindowSystem.h"

namespace {

// The shared timer lives while any menu does.
int MenuCount = 0;

}  // namespace

TECMenuHover& MenuHover() {
  static TECMenuHover hover;
  return hover;
}

uint64_t MenuTickCount() {
  return window::TWindowSystem::Exists() ? window::TWindowSystem::Current().GetTickCount() : 0;
}

void StartMenuTimer() {
  if (MenuHover().MenuTimer) MenuHover().MenuTimer->SetEnabled(true);
}

void StopMenuTimer() {
  if (MenuHover().MenuTimer) MenuHover().MenuTimer->SetEnabled(false);
}

// ---- The menu control.

TECMenu::TECMenu(forms::TComponent* owner) : forms::TCustomControl(owner), FItem(new TECMenuItem(nullptr)) {
  ControlStyle |= forms::csCaptureMouse;
  FItem->SetName(Name() + "Item");
  FItem->FMenu = this;
  FItem->FSubMenu = this;
  FImageChangeLink.OnChange = [this](TObject*) { FItem->Repaint(); };
  if (MenuCount++ == 0) {
    TECMenuHover& hover = MenuHover();
    hover.MenuTimer = new forms::TTimer(nullptr);
    hover.MenuTimer->SetEnabled(false);
    hover.MenuTimer->SetInterval(100);
  }
  SetBounds(0, 0, 60, 100);
}

TECMenu::~TECMenu() {
  TECMenuHover& hover = MenuHover();
  if (hover.ActiveMenu == this) {
    hover.ActiveMenu = nullptr;
    hover.MenuTimer->OnTimer = nullptr;
  }
  delete FItem;
  FItem = nullptr;
  if (--MenuCount == 0) {
    delete hover.MenuTimer;
    hover = {};
  }
}

void TECMenu::SetImages(forms::TCustomImageList* images) {
  if (images == FImages) return;
  if (FImages) {
    FImages->UnRegisterChanges(&FImageChangeLink);
    RemoveFreeNotification(FImages);
  }
  FImages = images;
  if (FImages) {
    FImages->RegisterChanges(&FImageChangeLink);
    FreeNotification(FImages);
  }
  FItem->UpdateLayout();
  FItem->Repaint();
}

void TECMenu::SetImaging(bool value) {
  if (value == FImaging) return;
  FImaging = value;
  FItem->Repaint();
}

void TECMenu::SetSavedFocus(forms::TWinControl* control) {
  if (FSavedFocus) RemoveFreeNotification(FSavedFocus);
  FSavedFocus = control == this ? nullptr : control;
  if (FSavedFocus) FreeNotification(FSavedFocus);
}

void TECMenu::RestoreFocus() {
  if (FSavedFocus) FSavedFocus->SetFocus();
}

void TECMenu::CloseOpened() {
  if (FItem->Opened()) FItem->Opened()->CloseSubMenu();
}

void TECMenu::Notification(forms::TComponent* component, forms::TOperation operation) {
  forms::TCustomControl::Notification(component, operation);
  if (operation != forms::TOperation::opRemove) return;
  if (component == FSavedFocus) FSavedFocus = nullptr;
  if (component == FImages) {
    FImages = nullptr;
    if (FItem) FItem->Repaint();
  }
}

void TECMenu::Loaded() {
  forms::TCustomControl::Loaded();
  FItem->UpdateLayout();
}

void TECMenu::Resize() {
  FItem->UpdateLayout();
  forms::TCustomControl::Resize();
}

void TECMenu::Paint() { FItem->PaintWindow(Canvas()); }

void TECMenu::MouseDown(forms::TMouseButton button, forms::TShiftState shift, int x, int y) {
  forms::TCustomControl::MouseDown(button, shift, x, y);
  if (!Focused()) {
    const forms::TCustomForm* form = ParentForm();
    SetSavedFocus(form ? form->ActiveControl() : nullptr);
    SetFocus();
  }
  FItem->MouseDown(button, shift, x, y);
}

void TECMenu::MouseMove(forms::TShiftState shift, int x, int y) {
  forms::TCustomControl::MouseMove(shift, x, y);
  FItem->MouseMove(shift, x, y);
}

void TECMenu::MouseUp(forms::TMouseButton button, forms::TShiftState shift, int x, int y) {
  forms::TCustomControl::MouseUp(button, shift, x, y);
  FItem->MouseUp(button, shift, x, y);
}

void TECMenu::KeyDown(int& key, forms::TShiftState shift) {
  // An open drop-down takes the keys.
  if (key != 0 && FItem->Opened() && FItem->Opened()->DropDown()) {
    FItem->Opened()->DropDown()->ForwardKey(key);
    return;
  }
  forms::TCustomControl::KeyDown(key, shift);
  FItem->KeyDown(key);
  if (key == window::VK_ESCAPE && FSavedFocus) {
    StopMenuTimer();
    CloseOpened();
    FItem->ResetStates();
    FItem->SetSelected(nullptr);
    RestoreFocus();
  }
}

void TECMenu::MouseEnter() {
  forms::TCustomControl::MouseEnter();
  TECMenuHover& hover = MenuHover();
  hover.MenuTimer->OnTimer = [this](TObject*) { TimerTick(); };
  if (hover.ActiveMenu && hover.ActiveMenu != this)
    hover.ActiveMenu->FHoverArmed = hover.ActiveMenu->FItem->HasOpenSubMenu();
  hover.ActiveMenu = this;
}

void TECMenu::MouseLeave() {
  forms::TCustomControl::MouseLeave();
  if (FItem->Opened()) return;
  FItem->SetSelected(nullptr);
  MenuHover().LeaveOwner = nullptr;
}

void TECMenu::CancelMode() {
  if (!FItem->Opened()) return;
  StopMenuTimer();
  CloseOpened();
  FItem->SetSelected(nullptr);
  RestoreFocus();
}

void TECMenu::FocusChanged(bool focused) {
  forms::TCustomControl::FocusChanged(focused);
  if (focused || !FItem->Opened()) return;
  StopMenuTimer();
  CloseOpened();
  // The window lost the keyboard: the saved control is the one to have it
  // when it comes back (taking it now would activate the window again).
  forms::TCustomForm* form = ParentForm();
  if (form && FSavedFocus && !form->Active() && form->ActiveControl() == this) form->SetActiveControl(FSavedFocus);
}

void TECMenu::TimerTick() {
  try {
    TECMenuHover& hover = MenuHover();
    TECMenuItem* candidate = hover.HoverCandidate;
    if (FHoverArmed && candidate) {
      TECMenuItem* parent = candidate->Parent();
      const uint64_t delay = parent && !parent->Parent() ? 0 : uint64_t(FTickInterval);
      if (FHoverDone || !parent || parent->Opened() == candidate) return;
      if (MenuTickCount() - hover.HoverStartTick <= delay) return;
      if (parent->Opened()) parent->Opened()->CloseSubMenu();
      parent->OpenSubMenu();
      FHoverOpened = candidate;
      hover.HoverCandidate = nullptr;
      hover.HoverStartTick = MenuTickCount();
      FHoverDone = true;
    } else if (hover.LeaveOwner && hover.LeaveOwner->Opened()) {
      hover.LeaveOwner->Opened()->CloseSubMenu();
    }
  } catch (...) {
    // A failing drop-down must not stop the timer's loop.
    LogFailure("Menu: a drop-down did not open or close");
  }
}

void TECMenu::DefineProperties(forms::TPropertyList& props) {
  forms::TCustomControl::DefineProperties(props);
  props.Object("Images", forms::TPropKind::pkComponent, [this]() -> TObject* { return FImages; });
  props.Object("Item", forms::TPropKind::pkComponent, [this]() -> TObject* { return FItem; });
  props.Integer("TickInterval", this, &TECMenu::TickInterval, &TECMenu::SetTickInterval);
  props.Boolean("Imaging", this, &TECMenu::Imaging, &TECMenu::SetImaging);
}

// ---- The drop-down.

TECSubMenu::TECSubMenu(TECMenu* menu) : forms::TPopupWindow(menu), FMenu(menu), FScrollBar(new forms::TScrollBar(this)) {
  ControlStyle = forms::csCaptureMouse | forms::csClickEvents;
  // The one-pixel border of the pop-up.
  SetFrameInsets({1, 1, 1, 1});
  OnPaintFrame = [this](TObject*, canvas::TCanvas& c) {
    c.Brush = {canvas::clBlack, canvas::bsSolid};
    c.FrameRect({0, 0, Width(), Height()});
  };
  FScrollBar->SetParent(this);
  FScrollBar->SetKind(forms::sbVertical);
  FScrollBar->SetTabStop(false);
  FScrollBar->SetWidth(17);
  FScrollBar->SetAlign(forms::alRight);
  FScrollBar->Hide();
  FScrollBar->SmallChange = 24;
  FScrollBar->LargeChange = 100;
  FScrollBar->OnScroll = [this](TObject*, forms::TScrollCode, int& pos) {
    pos = std::clamp(pos, 0, std::max(0, FScrollBar->Max() - FScrollBar->PageSize()));
    if (pos == FScrollBar->Position()) return;
    FScrollBar->SetPosition(pos);
    Invalidate();
    Window().Update();
  };
}

TECSubMenu::~TECSubMenu() {
  if (FItem && FItem->FSubMenu == this) FItem->FSubMenu = nullptr;
}

void TECSubMenu::SetItem(TECMenuItem* item) {
  FItem = item;
  item->FSubMenu = this;
  item->UpdateLayout();
  FScrollBar->SmallChange = item->ButtonHeight();
}

void TECSubMenu::Popup(canvas::TPoint p) {
  SetBounds(std::max(0, p.X), std::max(0, p.Y), Width(), Height());
  if (FItem && FItem->OnMenuShow) FItem->OnMenuShow(FItem);
  SetVisible(true);
}

void TECSubMenu::ForwardKey(int key) {
  if (!FItem) return;
  if (TECMenuItem* opened = FItem->Opened(); opened && opened->DropDown())
    opened->DropDown()->ForwardKey(key);
  else
    FItem->KeyDown(key);
}

void TECSubMenu::Paint() {
  if (FItem) FItem->PaintWindow(Canvas());
}

void TECSubMenu::MouseDown(forms::TMouseButton button, forms::TShiftState shift, int x, int y) {
  forms::TPopupWindow::MouseDown(button, shift, x, y);
  if (FItem) FItem->MouseDown(button, shift, x, y);
}

void TECSubMenu::MouseMove(forms::TShiftState shift, int x, int y) {
  forms::TPopupWindow::MouseMove(shift, x, y);
  if (FItem) FItem->MouseMove(0, x, y);
  FMenu->FHoverOpened = nullptr;
}

void TECSubMenu::MouseUp(forms::TMouseButton button, forms::TShiftState shift, int x, int y) {
  forms::TPopupWindow::MouseUp(button, shift, x, y);
  if (!FItem) return;
  try {
    FItem->MouseUp(button, shift, x, y);
  } catch (...) {
    if (button != window::mbLeft) throw;
    // A failing command leaves the menus usable. The drop-down may be gone
    // with the menus the command closed: nothing of it is read here.
    LogFailure("Menu: the chosen command failed");
  }
}

void TECSubMenu::MouseEnter() {
  forms::TPopupWindow::MouseEnter();
  TECMenuHover& hover = MenuHover();
  if (hover.ActiveMenu && hover.ActiveMenu != FMenu)
    hover.ActiveMenu->FHoverArmed = hover.ActiveMenu->FItem->HasOpenSubMenu();
  hover.ActiveMenu = FMenu;
  hover.MenuTimer->OnTimer = [menu = FMenu](TObject*) { menu->TimerTick(); };
}

void TECSubMenu::MouseLeave() {
  forms::TPopupWindow::MouseLeave();
  if (!FItem || FItem->Opened()) return;
  FItem->SetSelected(nullptr);
  MenuHover().LeaveOwner = nullptr;
}
