#include "score/model/Lyric.h"

#include "score/model/ItemKinds.h"

TKVLyric::TKVLyric(TObject* Owner) : TKVVoicedItem(Owner, ItemKind::Syllable, LyricBlock::Size) {}

void TKVLyric::Assign(const TKVItem& Source) {
  const auto& source = SourceAs<TKVLyric>(Source, *this);
  if (&source == this) return;
  CopyBlock(source);
  FText = source.FText;
  FLines = source.FLines;
  FDynamics = source.FDynamics ? std::make_unique<TKVDynamicsSetting>(*source.FDynamics) : nullptr;
}
