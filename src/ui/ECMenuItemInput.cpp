// A container's behaviour: the hot child, the mouse, the keys, the click and
// the opening and closing of drop-downs.
#include <algorithm>

#include "base/Strings.h"
#include "platform/forms/Application.h"
#include "platform/window/WindowSystem.h"
#include "ui/ECMenu.h"

using canvas::TPoint;
using canvas::TRect;

namespace {

bool HasArrowPart(const TECMenuItem* item) { return item->Kind() == ikDropDown || item->Kind() == ikUpDown; }

// A window's rectangle on the screen: a drop-down's whole window, a control's client area.
TRect ScreenBounds(const forms::TWinControl* window) {
  if (dynamic_cast<const forms::TCustomForm*>(window)) return window->BoundsRect();
  const TPoint p = window->ClientToScreen({0, 0});
  return {p.X, p.Y, p.X + window->Width(), p.Y + window->Height()};
}

}  // namespace

TECMenuItem* TECMenuItem::GetItemAt(int x, int y) const {
  y += ScrollPos();
  const bool row = FOrientation == ioHorizontal;
  for (TECMenuItem* c : FItems) {
    if (!c->Shown()) continue;
    const TRect& r = c->FItemRect;
    const TRect band = row ? TRect{r.Left, 0, r.Right, FContentRect.Bottom} : TRect{0, r.Top, FContentRect.Right, r.Bottom};
    if (x >= band.Left && x < band.Right && y >= band.Top && y < band.Bottom) return c;
  }
  return nullptr;
}

bool TECMenuItem::OnArrowPart(const TECMenuItem* child, int x) const {
  return child && HasArrowPart(child) && x > child->FItemRect.Right - 12 - FOffset;
}

void TECMenuItem::TrackState(TECMenuItem* child, bool pressed, int x, int y) {
  const bool arrow = OnArrowPart(child, x);
  if (arrow && child->FKind == ikUpDown) {
    const int half = y + ScrollPos() > (child->FItemRect.Top + child->FItemRect.Bottom) / 2 ? 1 : 0;
    if (half != child->FDownHalf) {
      child->FDownHalf = half;
      child->InvalidateItem();
    }
  }
  child->SetState(pressed ? (arrow ? stPressedArrow : stPressed) : (arrow ? stHotArrow : stHot));
}

void TECMenuItem::SetSelected(TECMenuItem* child) {
  if (child == FSelected || (child && !child->Selectable())) return;
  TECMenuItem* old = FSelected;
  FSelected = child;
  // The item left stops showing its hot or pressed images.
  if (old) {
    old->FState = stNormal;
    old->InvalidateItem();
  }
  if (child) child->InvalidateItem();
  TECMenuHover& hover = MenuHover();
  hover.LeaveOwner = child ? nullptr : this;
  hover.HoverStartTick = MenuTickCount();
  if (child) hover.HoverCandidate = child;
}

void TECMenuItem::MouseDown(forms::TMouseButton, forms::TShiftState, int x, int y) {
  FMouseDownInside = true;
  if (TECMenuItem* c = GetItemAt(x, y)) {
    TrackState(c, true, x, y);
    // A press selects as a move does: a button enabled again under a
    // pointer that has not moved since is clicked like any other.
    SetSelected(c);
  }
}

void TECMenuItem::MouseMove(forms::TShiftState shift, int x, int y) {
  TECMenuItem* c = GetItemAt(x, y);
  if (c) TrackState(c, shift & window::ssLeft, x, y);
  if (FMenuStyle == msToolbar && FSubMenu && c && c->FShowHint) {
    // Tool buttons show their caption as the hint of the bar.
    FSubMenu->SetHint(c->FCaption);
    if (c != FSelected && forms::Application) {
      FSubMenu->SetShowHint(true);
      forms::Application->CancelHint();
      forms::Application->HintMouseMessage(nullptr, {});
      forms::Application->HintMouseMessage(FSubMenu, FSubMenu->ClientToScreen({x, y}));
    }
  }
  SetSelected(c);
  if (c && SameText(c->Name(), "MITmpSymbols")) MenuHover().HoverStartTick = MenuTickCount();
  if (FMenu) FMenu->FHoverDone = false;
}

void TECMenuItem::MouseUp(forms::TMouseButton, forms::TShiftState, int x, int y) {
  if (!FMouseDownInside) return;
  FMouseDownInside = false;
  TECMenuItem* released = GetItemAt(x, y);
  const bool onArrow = OnArrowPart(released, x);
  // Found again afterwards by its text: the click may rebuild the list.
  const std::string text = released ? (released->FCaption.empty() ? released->Name() : released->FCaption) : "";
  TECMenu* menu = FMenu;
  if (!FParent) {
    StopMenuTimer();
    if (menu) menu->FHoverArmed = false;
  }
  if (FOpened == FSelected) {
    if (!FParent && FOpened) {
      // A second click on an open bar button closes it, unless hovering opened it.
      if (menu && FOpened == menu->FHoverOpened) {
        menu->FHoverArmed = true;
        StartMenuTimer();
      } else {
        FOpened->CloseSubMenu();
        MenuHover().HoverStartTick = MenuTickCount();
      }
    }
  } else {
    if (!(released && released->HasClickHandler() && HasArrowPart(released) && released->FState == stPressed))
      OpenSubMenu();
    if (FSelected && !(FSelected->FKind == ikDropDown && FSelected->FState == stPressedArrow)) FSelected->Click();
    if (menu) menu->FHoverOpened = nullptr;
  }
  if (!released) return;
  TECMenuItem* again = Find(text);
  if (!again) return;
  if (onArrow && HasArrowPart(again)) {
    if (again->FState == stPressedArrow && again->OnDropDownClick) again->OnDropDownClick(again);
    again->SetState(stHotArrow);
  } else {
    again->SetState(stHot);
  }
}

void TECMenuItem::Click() {
  if (FActionUpdating) return;
  if (!HasVisibleItems() && FMenu) FMenu->Item()->CloseMenus();
  if (FKind == ikCheckBox) {
    if (auto* action = dynamic_cast<forms::TCustomAction*>(Action()))
      action->SetChecked(!action->Checked());
    else
      SetChecked(!FChecked);
  }
  TECMenu* menu = FMenu;
  if (OnClick && Action()) {
    if (menu) menu->RestoreFocus();
    OnClick(this);
  } else if (FActionLink && Action()) {
    if (menu) menu->RestoreFocus();
    FActionLink->Execute(this);
  } else if (OnClick) {
    if (menu) menu->RestoreFocus();
    OnClick(this);
  } else if (menu) {
    menu->FHoverArmed = true;
    StartMenuTimer();
  }
}

void TECMenuItem::OpenSubMenu() {
  if (FOpened && FOpened != FSelected) {
    FOpened->CloseSubMenu();
    FOpened = nullptr;
  }
  TECMenuItem* s = FSelected;
  if (!s || !FMenu || !FSubMenu || s->FSubMenu || !(s->FKind == ikButton || HasArrowPart(s)) || !s->HasVisibleItems())
    return;
  auto* dropDown = new TECSubMenu(FMenu);
  dropDown->SetItem(s);
  const TRect window = ScreenBounds(FSubMenu);
  const int scroll = ScrollPos();
  TPoint at;
  if (FOrientation == ioHorizontal)
    at = FSubMenu->ClientToScreen({s->FItemRect.Left, s->FItemRect.Bottom - scroll});
  else
    at = {window.Right - FOffset, window.Top + s->FItemRect.Top - scroll};
  // Beside the parent on the other side, or moved up, where the screen ends.
  if (forms::Screen) {
    if (at.X + dropDown->Width() >= forms::Screen->Width()) at.X -= dropDown->Width() + window.Width() - 2 * FOffset;
    if (at.Y + dropDown->Height() >= forms::Screen->Height()) at.Y -= dropDown->Height() - FOffset;
  }
  dropDown->Popup(at);
  FOpened = s;
  MenuHover().HoverStartTick = MenuTickCount();
}

void TECMenuItem::CloseSubMenu() {
  TECSubMenu* dropDown = DropDown();
  if (!FParent || !dropDown) return;
  SetSelected(nullptr);
  MenuHover().HoverCandidate = nullptr;
  if (FOpened) FOpened->CloseSubMenu();
  // The window goes once the message in hand is done; it no longer shows this item.
  dropDown->FClosing = true;
  dropDown->FItem = nullptr;
  dropDown->Release();
  FSubMenu = nullptr;
  if (FParent->FOpened == this) FParent->FOpened = nullptr;
}

void TECMenuItem::CloseMenus() {
  StopMenuTimer();
  if (FMenu) FMenu->FHoverArmed = false;
  SetSelected(nullptr);
  if (FOpened) FOpened->CloseSubMenu();
}

void TECMenuItem::ResetStates() {
  for (TECMenuItem* c : FItems) c->SetState(stNormal);
}

bool TECMenuItem::HasOpenSubMenu() const {
  return std::any_of(FItems.begin(), FItems.end(), [](const TECMenuItem* c) { return c->FSubMenu != nullptr; });
}

TECMenuItem* TECMenuItem::Neighbour(bool forward) const {
  const int n = Count();
  auto it = std::find(FItems.begin(), FItems.end(), FSelected);
  const int from = FSelected ? int(it - FItems.begin()) : (forward ? -1 : n);
  for (int i = from + (forward ? 1 : -1); i >= 0 && i < n; i += forward ? 1 : -1)
    if (FItems[size_t(i)]->Selectable()) return FItems[size_t(i)];
  return FSelected;
}

void TECMenuItem::KeyDown(int key) {
  const bool row = FOrientation == ioHorizontal;
  auto select = [this](TECMenuItem* c) {
    if (c) SetSelected(c);
  };
  auto edge = [this](bool first) -> TECMenuItem* {
    for (int i = 0; i < Count(); ++i) {
      TECMenuItem* c = FItems[size_t(first ? i : Count() - 1 - i)];
      if (c->Selectable()) return c;
    }
    return nullptr;
  };
  switch (key) {
    case window::VK_RETURN:
      if (FSelected) FSelected->Click();
      break;
    case window::VK_ESCAPE: CloseSubMenu(); break;
    case window::VK_HOME: select(edge(true)); break;
    case window::VK_END: select(edge(false)); break;
    case window::VK_LEFT:
      if (row) select(Neighbour(false));
      else CloseSubMenu();
      break;
    case window::VK_UP:
      if (row) CloseSubMenu();
      else select(Neighbour(false));
      break;
    case window::VK_RIGHT:
      if (row) select(Neighbour(true));
      else OpenSubMenu();
      break;
    case window::VK_DOWN:
      if (row) OpenSubMenu();
      else select(Neighbour(true));
      break;
    default: break;
  }
}
