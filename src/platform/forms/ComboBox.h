#pragma once
// A drop-down list: the chosen item shows in the field, and a click (or
// F4, Alt+Down) opens the list below it in a pop-up window, where the
// highlight follows the pointer and a release on an item chooses it. The
// arrow keys choose the next or previous item in place. A choice by the
// user that changes ItemIndex runs OnChange once; setting ItemIndex does not.

#include "platform/forms/Controls.h"
#include "platform/forms/Strings.h"

namespace forms {

class TListBox;
class TPopupWindow;

class TComboBox : public TWinControl {
public:
  explicit TComboBox(TComponent* owner);
  ~TComboBox() override;

  TStrings& Items() { return FItems; }
  int ItemIndex() const { return FItemIndex; }
  // An index outside the items selects none.
  void SetItemIndex(int index);
  int DropDownCount = 8;
  bool DroppedDown() const;
  void SetDroppedDown(bool dropped);
  // The open list, null while closed.
  TListBox* DropDownList() const { return FList; }

  TNotifyEvent OnChange;
  TNotifyEvent OnDropDown;

  void DefineProperties(TPropertyList& props) override;

protected:
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void KeyDown(int& key, TShiftState shift) override;
  bool WantsKey(int key) override;
  bool MouseWheel(TShiftState shift, int wheelDelta, TPoint pos) override;
  void CancelMode() override { SetDroppedDown(false); }
  void FocusChanged(bool focused) override;

private:
  void UserSelect(int index);
  void ItemsChanged();

  TStrings FItems;
  int FItemIndex = -1;
  TPopupWindow* FPopup = nullptr;
  TListBox* FList = nullptr;
};

}  // namespace forms
