#pragma once
// A collection: an owned, ordered list of items of one class, published as
// one property whose items are reached by index ("Buttons[1].Hint").

#include <functional>
#include <memory>
#include <vector>

#include "platform/forms/Published.h"

namespace forms {

class TCollection;

class TCollectionItem : public TPersistent {
public:
  // Adds itself at the end of Collection (when given).
  explicit TCollectionItem(TCollection* collection);
  ~TCollectionItem() override;
  TCollection* Collection() const { return FCollection; }
  int Index() const;
  void SetIndex(int index);

protected:
  // Tells the collection that the item changed.
  void Changed();

private:
  friend class TCollection;
  TCollection* FCollection = nullptr;
};

class TCollection : public TPersistent {
public:
  using TItemFactory = std::function<TCollectionItem*(TCollection*)>;
  // Owner: the object that publishes the collection (may be null).
  TCollection(TItemFactory factory, TPersistent* owner = nullptr);
  ~TCollection() override;

  TPersistent* Owner() const { return FOwner; }
  int Count() const { return int(FItems.size()); }
  // Raises EListError outside 0 .. Count - 1.
  TCollectionItem* Items(int index) const;
  TCollectionItem* Add() { return FFactory(this); }
  TCollectionItem* Insert(int index);
  void Delete(int index);
  void Clear();

  // An item changed (Item) or the list itself did (null).
  std::function<void(TCollectionItem* Item)> OnUpdate;

private:
  friend class TCollectionItem;
  void Update(TCollectionItem* item);
  TItemFactory FFactory;
  TPersistent* FOwner;
  std::vector<TCollectionItem*> FItems;  // owned
};

}  // namespace forms
