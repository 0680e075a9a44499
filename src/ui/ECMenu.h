#pragma once
// The windows that show a TECMenuItem tree. TECMenu is the control placed on
// a form: it shows its root item's children as a menu bar or a tool bar.
// TECSubMenu is the pop-up that shows one item's children as a drop-down;
// it takes no activation and exists only while open. Both paint through the
// item and hand it their mouse messages; keys typed while a drop-down is
// open go to the innermost one. One shared hover timer opens a drop-down
// when the pointer rests on an item (once a click armed it) and closes
// drop-downs the pointer left. Escape, an outside click or the bar losing
// the focus close the menus and give the focus back to the control that had
// it before the bar was clicked.

#include <cstdint>

#include "platform/forms/Forms.h"
#include "platform/forms/ImgList.h"
#include "platform/forms/ScrollBar.h"
#include "ui/ECMenuItem.h"

namespace forms {
class TTimer;
}

class TECMenu : public forms::TCustomControl {
public:
  explicit TECMenu(forms::TComponent* owner);
  ~TECMenu() override;

  // Images of every item of the tree.
  forms::TCustomImageList* Images() const { return FImages; }
  void SetImages(forms::TCustomImageList* images);
  // The root item; setting it copies the given item's properties and children.
  TECMenuItem* Item() const { return FItem; }
  void SetItem(const TECMenuItem& item) { FItem->Assign(item); }
  // Hover delay in milliseconds for items below the bar.
  int TickInterval() const { return FTickInterval; }
  void SetTickInterval(int ms) { FTickInterval = ms; }
  // Background pictures are drawn and transparent items leave their
  // background unpainted.
  bool Imaging() const { return FImaging; }
  void SetImaging(bool value);

  // The item whose drop-down the hover timer opened last.
  TECMenuItem* HoverOpened() const { return FHoverOpened; }
  // Hover opening is active.
  bool HoverArmed() const { return FHoverArmed; }
  void SetHoverArmed(bool armed) { FHoverArmed = armed; }
  // The control that had the focus before a click on the bar took it.
  forms::TWinControl* SavedFocus() const { return FSavedFocus; }
  // Gives the focus back to it.
  void RestoreFocus();
  // The shared timer's tick while this menu is the one entered last.
  void TimerTick();

  void Loaded() override;
  void DefineProperties(forms::TPropertyList& props) override;

protected:
  void Paint() override;
  void MouseDown(forms::TMouseButton button, forms::TShiftState shift, int x, int y) override;
  void MouseMove(forms::TShiftState shift, int x, int y) override;
  void MouseUp(forms::TMouseButton button, forms::TShiftState shift, int x, int y) override;
  void KeyDown(int& key, forms::TShiftState shift) override;
  void MouseEnter() override;
  void MouseLeave() override;
  void CancelMode() override;
  void FocusChanged(bool focused) override;
  void Resize() override;
  void Notification(forms::TComponent* component, forms::TOperation operation) override;

private:
  friend class TECMenuItem;
  friend class TECSubMenu;
  void SetSavedFocus(forms::TWinControl* control);
  void CloseOpened();

  forms::TCustomImageList* FImages = nullptr;
  TECMenuItem* FItem;
  forms::TChangeLink FImageChangeLink;
  int FTickInterval = 300;
  bool FImaging = true;
  TECMenuItem* FHoverOpened = nullptr;
  forms::TWinControl* FSavedFocus = nullptr;
  bool FHoverArmed = false;
  bool FHoverDone = false;
};

class TECSubMenu : public forms::TPopupWindow {
public:
  explicit TECSubMenu(TECMenu* menu);
  // Clears the shown item's SubMenu.
  ~TECSubMenu() override;

  TECMenuItem* Item() const { return FItem; }
  // Shows Item's children: lays them out, which sizes the window.
  void SetItem(TECMenuItem* item);
  // Shows the window at a screen point (negative coordinates become 0).
  void Popup(canvas::TPoint p);
  bool Closing() const { return FClosing; }
  forms::TScrollBar* ScrollBar() const { return FScrollBar; }
  // Hands a key to the innermost open drop-down, or to Item.
  void ForwardKey(int key);

protected:
  void Paint() override;
  void MouseDown(forms::TMouseButton button, forms::TShiftState shift, int x, int y) override;
  void MouseMove(forms::TShiftState shift, int x, int y) override;
  void MouseUp(forms::TMouseButton button, forms::TShiftState shift, int x, int y) override;
  void MouseEnter() override;
  void MouseLeave() override;

private:
  friend class TECMenuItem;
  TECMenu* FMenu;
  TECMenuItem* FItem = nullptr;
  bool FClosing = false;
  forms::TScrollBar* FScrollBar;
};

// The hover record every menu of the application shares.
struct TECMenuHover {
  forms::TTimer* MenuTimer = nullptr;  // 100 ms, while hover opening is armed
  TECMenu* ActiveMenu = nullptr;        // the menu the pointer entered last
  uint64_t HoverStartTick = 0;          // last change of hot item, opening or restart
  TECMenuItem* HoverCandidate = nullptr;  // the item that became hot last
  TECMenuItem* LeaveOwner = nullptr;      // the container whose hot item was cleared last
};
TECMenuHover& MenuHover();
// Milliseconds of the window system's clock.
uint64_t MenuTickCount();
void StartMenuTimer();
void StopMenuTimer();
