#include "score/model/PageTexts.h"

#include "score/model/ItemKinds.h"

namespace {
void ClearSize(TByteBlock& data) {
  data.setU16(PageObjectBlock::Width, 0);
  data.setU16(PageObjectBlock::Height, 0);
}
}  // namespace

TKVText::TKVText(TObject* Owner) : TKVItem(Owner, ItemKind::Text, TextBlock::Size) {}

void TKVText::Assign(const TKVItem& Source) {
  const auto& source = SourceAs<TKVText>(Source, *this);
  if (&source == this) return;
  CopyBlock(source);
  FText1 = source.FText1;
  FText2 = source.FText2;
  ClearSize(Data());
  FLines.insert(FLines.end(), source.FLines.begin(), source.FLines.end());
}

TKVPageMark::TKVPageMark(TObject* Owner) : TKVItem(Owner, ItemKind::PageMark, PageMarkBlock::Size) {}

void TKVPageMark::Assign(const TKVItem& Source) {
  const auto& source = SourceAs<TKVPageMark>(Source, *this);
  if (&source == this) return;
  CopyBlock(source);
  FText = source.FText;
  ClearSize(Data());
}
