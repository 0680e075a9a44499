#include "score/model/OleObject.h"

#include "score/model/ItemKinds.h"
#include "score/model/Measure.h"
#include "score/model/Part.h"
#include "score/model/Piece.h"
#include "score/model/Score.h"

TKVOleObject::TKVOleObject(TObject* Owner)
    : TKVItem(Owner, ItemKind::OleObject, OleBlock::Size), FContainer(MediaServices().CreateOleContainer()) {
  FContainer->OnClose = [this](TObject*) { ContainerClosed(); };
  FContainer->OnObjectChanged = [this](TObject*) { ObjectChanged(); };
}

TKVOleObject::~TKVOleObject() {
  FBusy = true;
  FContainer->OnClose = nullptr;
  FContainer->OnObjectChanged = nullptr;
}

void TKVOleObject::Assign(const TKVItem& Source) {
  const auto& source = SourceAs<TKVOleObject>(Source, *this);
  if (&source == this) return;
  CopyBlock(source);
  FContainer->Assign(*source.FContainer);
}

TKVScore* TKVOleObject::OwnerScore() const {
  if (auto* score = dynamic_cast<TKVScore*>(Owner())) return score;
  TKVMeasure* measure = GetMeasure();
  return measure ? measure->Score() : nullptr;
}

void TKVOleObject::ContainerClosed() {
  FContainer->AdjustBounds();
  FContainer->UpdateObject();
  Data().setU16(PageObjectBlock::Width, uint16_t(FContainer->Width() * 8));
  Data().setU16(PageObjectBlock::Height, uint16_t(FContainer->Height() * 8));
  if (TKVScore* score = OwnerScore()) {
    score->Reformat(int32_t(Page()) - 1);
    score->InvalidateViews();
    score->Changed();
  }
}

void TKVOleObject::ObjectChanged() {
  if (FBusy) return;
  FBusy = true;
  if (TKVScore* score = OwnerScore()) {
    score->InvalidateViews();
    score->Changed();
  }
  FBusy = false;
}
