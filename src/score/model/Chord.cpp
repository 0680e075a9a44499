#include "score/model/Chord.h"

#include "score/model/ItemKinds.h"

TKVChord::TKVChord(TObject* Owner) : TKVVoicedItem(Owner, ItemKind::Chord, ChordBlock::Size) {}

void TKVChord::Assign(const TKVItem& Source) {
  const auto& source = SourceAs<TKVChord>(Source, *this);
  CopyBlock(source);
  FText = source.FText;
}
