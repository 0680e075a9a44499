#include "score/model/Item.h"

#include <algorithm>

#include "score/model/Column.h"
#include "score/model/Measure.h"
#include "score/model/Note.h"
#include "score/model/Part.h"
#include "score/model/Pause.h"
#include "score/model/Score.h"
#include "score/model/UserSymbol.h"
#include "score/model/Vorschlag.h"

namespace {

// The owner classes that list their items, tested in this order.
template <class F>
bool WithHolder(TObject* owner, F action) {
  if (auto* note = dynamic_cast<TKVNote*>(owner)) return action(*note), true;
  if (auto* rest = dynamic_cast<TKVPause*>(owner)) return action(*rest), true;
  if (auto* measure = dynamic_cast<TKVMeasure*>(owner)) return action(*measure), true;
  if (auto* column = dynamic_cast<TKVColumn*>(owner)) return action(*column), true;
  if (auto* score = dynamic_cast<TKVScore*>(owner)) return action(*score), true;
  if (auto* part = dynamic_cast<TKVPart*>(owner)) return action(*part), true;
  if (auto* group = dynamic_cast<TKVVorschlag*>(owner)) return action(*group), true;
  return false;
}

}  // namespace

TKVItem::TKVItem(TObject* Owner) : TKVItem(Owner, 0, 0) {}

TKVItem::TKVItem(TObject* Owner, uint8_t Kind, size_t DataSize) : FOwner(Owner), FKind(Kind), FData(DataSize) {
  WithHolder(FOwner, [this](auto& holder) { holder.AddItem(this); });
}

TKVItem::~TKVItem() { Unregister(); }

void TKVItem::Unregister() {
  if (!WithHolder(FOwner, [this](auto& holder) { holder.RemoveItem(this); }))
    if (auto* symbol = dynamic_cast<TKVUserSymbol*>(FOwner)) symbol->RemoveItem(this);
}

void TKVItem::ChangeOwner(TObject* Owner) {
  Unregister();
  FOwner = Owner;
  WithHolder(FOwner, [this](auto& holder) { holder.AddItem(this); });
}

void TKVItem::Assign(const TKVItem& Source) {
  FData.Resize(Source.FData.Size());
  CopyBlock(Source);
}

void TKVItem::CopyBlock(const TKVItem& Source) {
  CopyBlockBytes(FData, Source.FData);
}

// An item attached to a note or rest lies in that note's measure, a grace
// note (or an item attached to one) in its group's measure. Any owner is
// tested by class, so a kind-43 note counts like a kind-20 one.
TKVMeasure* TKVItem::GetMeasure() const {
  TObject* holder = FOwner;
  if (dynamic_cast<TKVNote*>(holder) || dynamic_cast<TKVPause*>(holder))
    holder = dynamic_cast<TKVItem*>(holder)->Owner();
  if (auto* group = dynamic_cast<TKVVorschlag*>(holder)) holder = group->Owner();
  return dynamic_cast<TKVMeasure*>(holder);
}
