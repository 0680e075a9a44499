#include "score/model/Pause.h"

#include "score/model/ItemFactory.h"
#include "score/model/ItemKinds.h"

TKVPause::TKVPause(TObject* Owner) : TKVVoicedItem(Owner, ItemKind::Rest, PauseBlock::Size) {
  Data().setU8(PauseBlock::Size100, 100);
}

TKVPause::~TKVPause() { FreeItems(); }

void TKVPause::Assign(const TKVItem& Source) {
  const auto& source = SourceAs<TKVPause>(Source, *this);
  if (&source == this) return;
  CopyBlock(source);
  FText = source.FText;
  CloneItems(source.Items(), this);
}
