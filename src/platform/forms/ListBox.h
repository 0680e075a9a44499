#pragma once
// A list of text items with one selected (ItemIndex, -1 for none), a
// vertical scroll bar when the items do not fit, and the keyboard's arrows,
// Home, End and page keys. A selection by the user runs OnClick; setting
// ItemIndex does not. With HotTrack the selection follows the pointer
// (drop-down lists).

#include <vector>

#include "platform/forms/Controls.h"
#include "platform/forms/Strings.h"

namespace forms {

class TScrollBar;

class TListBox : public TWinControl {
public:
  explicit TListBox(TComponent* owner);

  TStrings& Items() { return FItems; }
  const TStrings& Items() const { return FItems; }
  int ItemIndex() const { return FItemIndex; }
  // An index outside the items selects none.
  void SetItemIndex(int index);
  int TopIndex() const { return FTopIndex; }
  void SetTopIndex(int index);
  int ItemHeight() const;
  // Rows that fit in the list.
  int VisibleRows() const;
  // The item at a client point, -1 when none.
  int ItemAtPos(TPoint p) const;
  bool HotTrack = false;
  // Columns: the text after an item's first tab starts at TabStops[0]
  // (client x), after its second at TabStops[1], and so on.
  std::vector<int> TabStops;

  void SetBounds(int left, int top, int width, int height) override;
  void DefineProperties(TPropertyList& props) override;

protected:
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  bool MouseWheel(TShiftState shift, int wheelDelta, TPoint pos) override;
  void KeyDown(int& key, TShiftState shift) override;
  void FontChanged() override;

private:
  void ItemsChanged();
  void UpdateScrollBar();
  void MakeVisible(int index);
  // The user selected Index: select it, show it and run Click.
  void UserSelect(int index);

  TStrings FItems;
  int FItemIndex = -1;
  int FTopIndex = 0;
  TScrollBar* FScrollBar;
};

}  // namespace forms
