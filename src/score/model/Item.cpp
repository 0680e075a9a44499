#include "score/model/Item.h"

#include <algorithm>
#include <type_traits>

#include "score/model/Column.h"
#include "score/model/Measure.h"
#include "score/model/Note.h"
#include "score/model/Part.h"
#include "score/model/Pause.h"
#include "score/model/Score.h"
#include "score/model/UserSymbol.h"
#include "score/model/Vorschlag.h"

namespace {

TKVOwnerClass ClassOfOwner(TObject* owner) {
  if (!owner) return TKVOwnerClass::None;
  if (dynamic_cast<TKVMeasure*>(owner)) return TKVOwnerClass::Measure;
  if (dynamic_cast<TKVItem*>(owner)) return TKVOwnerClass::Item;
  if (dynamic_cast<TKVColumn*>(owner)) return TKVOwnerClass::Column;
  if (dynamic_cast<TKVScore*>(owner)) return TKVOwnerClass::Score;
  if (dynamic_cast<TKVPart*>(owner)) return TKVOwnerClass::Part;
  if (dynamic_cast<TKVUserSymbol*>(owner)) return TKVOwnerClass::UserSymbol;
  return TKVOwnerClass::Other;
}

}  // namespace

// The owner classes that list their items: note, rest, measure, column,
// score, part and grace-note group.
template <class F>
bool TKVItem::WithHolder(F action) const {
  switch (FOwnerClass) {
    case TKVOwnerClass::Item:
      if (auto* note = OwnerAs<TKVNote>()) return action(*note), true;
      if (auto* rest = OwnerAs<TKVPause>()) return action(*rest), true;
      if (auto* group = OwnerAs<TKVVorschlag>()) return action(*group), true;
      return false;
    case TKVOwnerClass::Measure: return action(*static_cast<TKVMeasure*>(FOwner)), true;
    case TKVOwnerClass::Column: return action(*static_cast<TKVColumn*>(FOwner)), true;
    case TKVOwnerClass::Score: return action(*static_cast<TKVScore*>(FOwner)), true;
    case TKVOwnerClass::Part: return action(*static_cast<TKVPart*>(FOwner)), true;
    default: return false;
  }
}

TKVItemHolder* TKVItem::OwnerHolder() const {
  if (FOwnerClass == TKVOwnerClass::UserSymbol) return static_cast<TKVUserSymbol*>(FOwner);
  TKVItemHolder* holder = nullptr;
  WithHolder([&holder](auto& owner) {
    if constexpr (std::is_base_of_v<TKVItemHolder, std::remove_reference_t<decltype(owner)>>) holder = &owner;
  });
  return holder;
}

TKVItem::TKVItem(TObject* Owner) : TKVItem(Owner, 0, 0) {}

TKVItem::TKVItem(TObject* Owner, uint8_t Kind, size_t DataSize)
    : FOwner(Owner), FOwnerClass(ClassOfOwner(Owner)), FKind(Kind), FData(DataSize) {
  WithHolder([this](auto& holder) { holder.AddItem(this); });
}

TKVItem::~TKVItem() { Unregister(); }

void TKVItem::Unregister() {
  if (!WithHolder([this](auto& holder) { holder.RemoveItem(this); }))
    if (auto* symbol = OwnerAs<TKVUserSymbol>()) symbol->RemoveItem(this);
}

void TKVItem::ChangeOwner(TObject* Owner) {
  Unregister();
  FOwner = Owner;
  FOwnerClass = ClassOfOwner(Owner);
  WithHolder([this](auto& holder) { holder.AddItem(this); });
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
  const TKVItem* holder = this;
  if (holder->OwnerAs<TKVNote>() || holder->OwnerAs<TKVPause>()) holder = holder->OwnerItem();
  if (holder->OwnerAs<TKVVorschlag>()) holder = holder->OwnerItem();
  return holder->OwnerAs<TKVMeasure>();
}
