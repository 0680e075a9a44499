#include "score/model/Item.h"

#include "score/model/Score.h"

// Owners are tested by class; the tree classes below the score add their
// own tests here as they arrive.
TKVItem::TKVItem(TObject* Owner) : FOwner(Owner) {
  if (auto* score = dynamic_cast<TKVScore*>(FOwner)) score->AddItem(this);
}

TKVItem::~TKVItem() {
  if (auto* score = dynamic_cast<TKVScore*>(FOwner)) score->RemoveItem(this);
}

void TKVItem::Assign(const TKVItem& Source) {
  FData.Resize(Source.FData.Size());
  FData.Write(0, Source.FData.Data(), Source.FData.Size());
}

void TKVItem::ReadData(TStream&) {}
