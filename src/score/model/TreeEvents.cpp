#include "score/model/TreeEvents.h"

#include "score/model/Score.h"

void NotifyAddItem(TKVScore* Score, TObject* Sender, TObject* Owner) {
  if (Score && Score->OnAddItem) Score->OnAddItem(Sender, Owner);
}

void NotifyDeleteItem(TKVScore* Score, TObject* Sender, TObject* Owner) {
  if (Score && Score->OnDeleteItem) Score->OnDeleteItem(Sender, Owner);
}

void NotifyItemChanged(TKVScore* Score, TObject* Sender, TObject* Owner) {
  if (Score && Score->OnItemChanged) Score->OnItemChanged(Sender, Owner);
}
