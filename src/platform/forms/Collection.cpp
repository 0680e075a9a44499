#include "platform/forms/Collection.h"

#include <algorithm>

namespace forms {

TCollectionItem::TCollectionItem(TCollection* collection) : FCollection(collection) {
  if (FCollection) {
    FCollection->FItems.push_back(this);
    FCollection->Update(nullptr);
  }
}

TCollectionItem::~TCollectionItem() {
  if (!FCollection) return;
  std::erase(FCollection->FItems, this);
  FCollection->Update(nullptr);
}

int TCollectionItem::Index() const {
  if (!FCollection) return -1;
  auto& items = FCollection->FItems;
  return int(std::find(items.begin(), items.end(), this) - items.begin());
}

void TCollectionItem::SetIndex(int index) {
  const int current = Index();
  if (current < 0 || index == current) return;
  auto& items = FCollection->FItems;
  index = std::clamp(index, 0, int(items.size()) - 1);
  items.erase(items.begin() + current);
  items.insert(items.begin() + index, this);
  FCollection->Update(nullptr);
}

void TCollectionItem::Changed() {
  if (FCollection) FCollection->Update(this);
}

TCollection::TCollection(TItemFactory factory, TPersistent* owner) : FFactory(std::move(factory)), FOwner(owner) {}

TCollection::~TCollection() {
  OnUpdate = nullptr;
  Clear();
}

TCollectionItem* TCollection::Items(int index) const {
  if (index < 0 || index >= Count()) throw EListError(index);
  return FItems[size_t(index)];
}

TCollectionItem* TCollection::Insert(int index) {
  TCollectionItem* item = Add();
  item->SetIndex(index);
  return item;
}

void TCollection::Delete(int index) { delete Items(index); }

void TCollection::Clear() {
  while (!FItems.empty()) delete FItems.back();
}

void TCollection::Update(TCollectionItem* item) {
  if (OnUpdate) OnUpdate(item);
}

}  // namespace forms
