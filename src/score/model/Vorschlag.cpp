#include "score/model/Vorschlag.h"

#include "score/model/ItemFactory.h"
#include "score/model/ItemKinds.h"

TKVVorschlag::TKVVorschlag(TObject* Owner) : TKVVoicedItem(Owner, ItemKind::GraceGroup, VorschlagBlock::Size) {}

TKVVorschlag::~TKVVorschlag() { FreeItems(); }

void TKVVorschlag::Assign(const TKVItem& Source) {
  const auto& source = SourceAs<TKVVorschlag>(Source, *this);
  if (&source == this) return;
  CopyBlock(source);
  CloneItems(source.Items(), this);
}
