#pragma once
// The node of the owner-drawn menus and tool bars. A tree of items hangs
// under one TECMenu: the menu owns a root item whose children are the bar's
// buttons, and an item's children show in a drop-down (TECSubMenu) below or
// beside it. Every item with children is a container for them: it lays them
// out, paints them, finds the child under the pointer, tracks the hot child,
// reacts to mouse and keys, opens and closes the drop-down of a child and
// fires the child's click. Orientation, MenuStyle, Picture, Margin,
// MenuHeight, ButtonHeight (as row height), Color and PanelColor describe
// how an item's children are laid out and painted; the other properties
// describe the item itself as a child. An item bound to an action follows
// its caption, checked, enabled, hint and visible state and runs it.

#include <string>
#include <vector>

#include "platform/canvas/Bitmap.h"
#include "platform/forms/ActnList.h"
#include "platform/forms/Controls.h"
#include "platform/forms/ControlPaint.h"

class TECMenu;
class TECMenuItem;
class TECSubMenu;

enum TECItemKind : uint8_t { ikButton, ikCheckBox, ikSeparator, ikSpace, ikDropDown, ikUpDown };
enum TECItemOrientation : uint8_t { ioVertical, ioHorizontal };
enum TECMenuStyle : uint8_t { msMenu, msToolbar };
enum TECItemStyle : uint8_t { isMenuItem, isButton, isHotKey };
using forms::TAlignment;

// Fired after an item is drawn, with the canvas and the item's rectangle.
using TECOnDrawItemEvent = std::function<void(TObject* Sender, canvas::TCanvas& Canvas, canvas::TRect ARect)>;

// Item states, set by the mouse and read by the drawing.
enum : uint8_t { stNormal, stHot, stHotArrow, stPressed, stPressedArrow };

// The binding of an item to an action: each property is written into the
// item only while the item still shows the action's value.
class TECMenuItemLink : public forms::TClientActionLink<TECMenuItem> {
public:
  using TClientActionLink::TClientActionLink;
  bool IsCheckedLinked() override;
  void SetChecked(bool value) override;
  bool DoShowHint(std::string& hint) {
    (void)hint;
    return true;
  }
};

class TECMenuItem : public forms::TComponent {
public:
  explicit TECMenuItem(forms::TComponent* owner);
  // Frees the children and the open drop-down, and leaves the parent.
  ~TECMenuItem() override;

  // ---- Published properties (setters repaint and relayout as needed).
  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& value) { SetItemProp(FCaption, value); }
  // Drawn right-aligned in a drop-down row; no key is bound to it.
  const std::string& ShortCutText() const { return FShortCutText; }
  void SetShortCutText(const std::string& value) { SetItemProp(FShortCutText, value); }
  bool Checked() const { return FChecked; }
  void SetChecked(bool value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment value) { SetItemProp(FAlignment, value); }
  // Image-list indexes: normal, hot, pressed (and checked), disabled.
  int Image() const { return FImage; }
  void SetImage(int value) { SetItemProp(FImage, value); }
  int OverImage() const { return FOverImage; }
  void SetOverImage(int value) { SetItemProp(FOverImage, value); }
  int PressImage() const { return FPressImage; }
  void SetPressImage(int value) { SetItemProp(FPressImage, value); }
  int DisableImage() const { return FDisableImage; }
  void SetDisableImage(int value) { SetItemProp(FDisableImage, value); }
  TECItemKind Kind() const { return FKind; }
  void SetKind(TECItemKind value) { SetItemProp(FKind, value); }
  TECItemOrientation Orientation() const { return FOrientation; }
  void SetOrientation(TECItemOrientation value) { SetContainerProp(FOrientation, value); }
  TECMenuStyle MenuStyle() const { return FMenuStyle; }
  void SetMenuStyle(TECMenuStyle value) { SetContainerProp(FMenuStyle, value); }
  TECItemStyle Style() const { return FStyle; }
  void SetStyle(TECItemStyle value) { SetItemProp(FStyle, value); }
  // Row height in a column (in a tool-bar row: the width); -1 automatic.
  int Height() const { return FHeight; }
  void SetHeight(int value) { SetItemProp(FHeight, value); }
  // Container: highest drop-down before it scrolls; -1 no limit.
  int MenuHeight() const { return FMenuHeight; }
  void SetMenuHeight(int value) { SetContainerProp(FMenuHeight, value); }
  int ButtonHeight() const { return FButtonHeight; }
  void SetButtonHeight(int value) { SetContainerProp(FButtonHeight, value); }
  int ButtonWidth() const { return FButtonWidth; }
  void SetButtonWidth(int value) { SetStripProp(FButtonWidth, value); }
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool value) { SetStripProp(FTransparent, value); }
  int Offset() const { return FOffset; }
  void SetOffset(int value) { SetStripProp(FOffset, value); }
  bool Visible() const { return FVisible; }
  void SetVisible(bool value) { SetStripProp(FVisible, value); }
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool value) { FShowHint = value; }
  bool Hide() const { return FHide; }
  void SetHide(bool value);
  bool Flat() const { return FFlat; }
  void SetFlat(bool value) { FFlat = value; }
  int TextOffset() const { return FTextOffset; }
  void SetTextOffset(int value) { SetItemProp(FTextOffset, value); }
  canvas::TColor Color() const { return FColor; }
  void SetColor(canvas::TColor value);
  canvas::TColor PanelColor() const { return FPanelColor; }
  void SetPanelColor(canvas::TColor value);
  const canvas::TFont& Font() const { return FFont; }
  void SetFont(const canvas::TFont& value) { SetItemProp(FFont, value); }
  const canvas::TFont& ShortCutFont() const { return FShortCutFont; }
  void SetShortCutFont(const canvas::TFont& value) { SetItemProp(FShortCutFont, value); }
  int Margin() const { return FMargin; }
  void SetMargin(int value);
  bool AutoMenu() const { return FAutoMenu; }
  void SetAutoMenu(bool value) { FAutoMenu = value; }
  bool MenuArrow() const { return FMenuArrow; }
  void SetMenuArrow(bool value);
  forms::TBasicAction* Action() const { return FActionLink ? FActionLink->Action() : nullptr; }
  void SetAction(forms::TBasicAction* action);
  // A control shown in the item's place (the main window's volume bar).
  forms::TControl* Control() const { return FControl; }
  void SetControl(forms::TControl* control);
  // Container: background picture.
  const canvas::TBitmap& Picture() const { return FPicture; }
  void SetPicture(const canvas::TBitmap& value);

  TNotifyEvent OnClick;
  // A release on the arrow part of a drop-down item.
  TNotifyEvent OnDropDownClick;
  // This item's drop-down was shown.
  TNotifyEvent OnMenuShow;
  TECOnDrawItemEvent OnDrawItem;

  // ---- State.
  TECMenuItem* Parent() const { return FParent; }
  TECMenu* Menu() const { return FMenu; }
  // The window showing the children: the menu for the root, the open
  // drop-down for other items, null while closed.
  forms::TWinControl* SubMenu() const { return FSubMenu; }
  TECSubMenu* DropDown() const;
  const std::string& Hint() const { return FHint; }
  void SetHint(const std::string& value) { FHint = value; }
  uint8_t State() const { return FState; }
  // Stores a changed state and redraws the item.
  void SetState(uint8_t state);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool value);
  bool HideMode() const { return FHideMode; }
  void SetHideMode(bool value) { FHideMode = value; }
  TECMenuItem* Selected() const { return FSelected; }
  TECMenuItem* Opened() const { return FOpened; }
  const canvas::TRect& ContentRect() const { return FContentRect; }
  const canvas::TRect& ItemRect() const { return FItemRect; }
  int ImageColumn() const { return FImageColumn; }
  int ArrowSpace() const { return FArrowSpace; }
  int DownHalf() const { return FDownHalf; }
  // Visible, and not hidden by the parent's HideMode; a hidden root never shows.
  bool Shown() const;
  // Shown, enabled and a kind that can be chosen.
  bool Selectable() const;
  bool HasVisibleItems() const;
  // The image for the current state, -1 when none.
  int StateImage() const;

  // ---- Child list.
  int Count() const { return int(FItems.size()); }
  // Null outside 0 .. Count - 1.
  TECMenuItem* Items(int index) const;
  int GetIndex() const;
  // Moves the item within its parent's list; other values do nothing.
  void SetIndex(int index);
  void Add(TECMenuItem* item);
  TECMenuItem* AddItem(const std::string& caption) { return InsertItem(Count(), caption); }
  // A new item owned by this one.
  TECMenuItem* InsertItem(int index, const std::string& caption);
  // Frees child Index; other values do nothing.
  void Delete(int index);
  void Remove(TECMenuItem* item);
  void Clear();
  // The first child whose name or caption is Text (letter case aside).
  TECMenuItem* Find(const std::string& text) const;
  void BeginUpdate() { ++FUpdateCount; }
  void EndUpdate();
  // Takes another item's properties and a copy of its children.
  void Assign(const TECMenuItem& source);

  // ---- Container operations used by the windows.
  void UpdateLayout() { UpdateLayout(0, Count() - 1); }
  void UpdateLayout(int first, int last);
  // Invalidates the client rectangle of the container's window.
  void Repaint();
  // Paints the children into the window through an off-screen bitmap.
  void PaintWindow(canvas::TCanvas& canvas);
  // Paints background, children and margin onto a canvas in window coordinates.
  void PaintItems(canvas::TCanvas& canvas);
  void DrawItem(canvas::TCanvas& canvas);
  TECMenuItem* GetItemAt(int x, int y) const;
  void MouseDown(forms::TMouseButton button, forms::TShiftState shift, int x, int y);
  void MouseMove(forms::TShiftState shift, int x, int y);
  void MouseUp(forms::TMouseButton button, forms::TShiftState shift, int x, int y);
  void KeyDown(int key);
  void SetSelected(TECMenuItem* child);
  // Opens the drop-down of the selected child (closing another one first).
  void OpenSubMenu();
  // Closes this item's drop-down and those opened from it.
  void CloseSubMenu();
  // Closes every drop-down of this container and disarms hover opening.
  void CloseMenus();
  void ResetStates();
  bool HasOpenSubMenu() const;
  // The click: a check box toggles, then OnClick or the action runs.
  void Click();
  // Redraws this item in its parent's window.
  void InvalidateItem();
  // The scroll position of the container's window (0 unless a drop-down scrolls).
  int ScrollPos() const;

  void DefineProperties(forms::TPropertyList& props) override;

protected:
  void Notification(forms::TComponent* component, forms::TOperation operation) override;

private:
  friend class TECMenu;
  friend class TECSubMenu;
  friend class TECMenuItemLink;

  template <class T>
  void SetItemProp(T& field, const T& value) {
    if (field == value) return;
    field = value;
    ItemChanged();
  }
  template <class T>
  void SetStripProp(T& field, const T& value) {
    if (field == value) return;
    field = value;
    ItemChanged();
    StripChanged();
  }
  template <class T>
  void SetContainerProp(T& field, const T& value) {
    if (field == value) return;
    field = value;
    ContainerChanged();
  }
  void ItemChanged();
  void StripChanged();
  void ContainerChanged();
  void SetMenuOfTree(TECMenu* menu);
  void InsertChild(int index, TECMenuItem* item);
  void InvalidateAddedStrip(const TECMenuItem* item);
  // Invalidation of the container's window (client coordinates without
  // scrolling), deferred while updates are.
  void InvalidateWindowRect(canvas::TRect r);
  canvas::TRect ClientRectangle() const;
  void ActionChange(forms::TBasicAction* action, bool checkDefaults);
  bool HasClickHandler() const;
  bool OnArrowPart(const TECMenuItem* child, int x) const;
  void TrackState(TECMenuItem* child, bool pressed, int x, int y);
  TECMenuItem* Neighbour(bool forward) const;
  void LayoutRow(canvas::TCanvas& measure);
  void LayoutColumn(canvas::TCanvas& measure);
  void SizeDropDown();
  void DrawImage(canvas::TCanvas& canvas, int index);
  void DrawText(canvas::TCanvas& canvas);
  void DrawGlyphs(canvas::TCanvas& canvas);

  std::string FCaption, FShortCutText;
  bool FChecked = false;
  TAlignment FAlignment = forms::taLeftJustify;
  int FImage = -1, FOverImage = -1, FPressImage = -1, FDisableImage = -1;
  TECItemKind FKind = ikButton;
  TECItemOrientation FOrientation = ioVertical;
  TECMenuStyle FMenuStyle = msMenu;
  TECItemStyle FStyle = isMenuItem;
  int FHeight = -1, FMenuHeight = -1, FButtonHeight = 20, FButtonWidth = 24;
  bool FTransparent = false;
  int FOffset = 4;
  bool FVisible = true, FShowHint = false, FHide = false, FFlat = true;
  int FTextOffset = 0;
  canvas::TColor FColor = canvas::clWhite, FPanelColor = canvas::clBtnFace;
  canvas::TFont FFont, FShortCutFont;
  int FMargin = 0;
  bool FAutoMenu = false, FMenuArrow = true;
  forms::TControl* FControl = nullptr;
  canvas::TBitmap FPicture;

  TECMenuItem* FParent = nullptr;
  TECMenu* FMenu = nullptr;
  forms::TWinControl* FSubMenu = nullptr;
  std::string FHint;
  uint8_t FState = stNormal;
  bool FEnabled = true;
  bool FHideMode = false;
  std::vector<TECMenuItem*> FItems;
  TECMenuItemLink* FActionLink = nullptr;
  TECMenuItem* FSelected = nullptr;
  canvas::TRect FContentRect;
  canvas::TRect FItemRect;
  int FImageColumn = 0;
  bool FActionUpdating = false;
  canvas::TRect FPendingRect{1000, 1000, 0, 0};
  int FUpdateCount = 0;
  int FPendingFirst = -1, FPendingLast = -1;
  int FArrowSpace = 4;
  TECMenuItem* FOpened = nullptr;
  bool FMouseDownInside = false;
  bool FDestroying = false;
  int FDownHalf = 0;
};
