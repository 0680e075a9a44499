#include "score/model/Measure.h"

#include <algorithm>

#include "base/Exceptions.h"
#include "score/model/ItemFactory.h"
#include "score/model/Note.h"
#include "score/model/Part.h"
#include "score/model/Persistent.h"
#include "score/model/Piece.h"

TKVMeasure::TKVMeasure(TKVPart* Part) : FPart(Part) {
  if (!FPart) throw Exception("Is not owner of the measure");
  FData.setU8(MeasureBlock::Byte4, 8);
  FPart->AddMeasure(this);
}

TKVMeasure::~TKVMeasure() {
  ClearItems();
  FPart->RemoveMeasure(this);
}

TKVScore* TKVMeasure::Score() const { return FPart->Score(); }

void TKVMeasure::ClearItems() {
  FNotes.clear();
  FGroupRanges.clear();
  FreeItems();
}

TKVMeasureRecord* TKVMeasure::GetLayoutRecord() const { return FPart->Piece()->GetMeasureRecord(FIndex); }

void TKVMeasure::RemoveItem(TKVItem* Item) {
  if (auto* note = ItemCast<TKVNote>(Item)) ForgetNote(note);
  TKVItemHolder::RemoveItem(Item);
}

void TKVMeasure::ForgetNote(const TKVNote* Note) {
  std::erase(FNotes, Note);
  for (int32_t neighbour : {FIndex - 1, FIndex + 1})
    if (TKVMeasure* measure = FPart->GetMeasure(neighbour); measure && measure != this)
      std::erase(measure->FNotes, Note);
}

void TKVMeasure::Assign(const TObject& Source) {
  const auto* source = dynamic_cast<const TKVMeasure*>(&Source);
  if (!source) RaiseAssignError(Source, *this);
  if (source == this) return;
  ClearItems();
  CopyBlockBytes(FData, source->FData);
  FWords = source->FWords;
  CloneItems(source->Items(), this);
}
