#pragma once
// The item list of an owner (measure, column, part, note, rest, grace-note
// group, user symbol) with its registration switch: while the switch is set a
// new item is not appended (its creator inserts it). Removal never depends
// on the switch, so a freed item never stays listed.

#include <cstdint>

#include "score/model/ChildList.h"

class TKVItem;

class TKVItemHolder {
public:
  virtual ~TKVItemHolder() = default;

  int32_t GetItemCount() const { return FItems.Count(); }
  TKVItem* GetItem(int32_t Index) const { return FItems.Get(Index); }
  const TKVChildList<TKVItem>& Items() const { return FItems; }

  // Called by a new item owned by this holder.
  virtual void AddItem(TKVItem* Item) {
    if (!FRegistrationSwitch) FItems.Append(Item);
  }
  // At Index when 0 <= Index <= count, else at the end.
  void InsertItem(int32_t Index, TKVItem* Item) { FItems.Insert(Index, Item); }
  // Called by an item being freed.
  virtual void RemoveItem(TKVItem* Item) { FItems.Remove(Item); }

  uint8_t RegistrationSwitch() const { return FRegistrationSwitch; }
  void SetRegistrationSwitch(uint8_t Value) { FRegistrationSwitch = Value; }

protected:
  // Frees every item, the last first.
  void FreeItems();
  TKVChildList<TKVItem>& MutableItems() { return FItems; }

private:
  TKVChildList<TKVItem> FItems;
  uint8_t FRegistrationSwitch = 0;
};
