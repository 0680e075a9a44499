#include "score/model/Image.h"

#include "score/model/ItemKinds.h"

TKVImage::TKVImage(TObject* Owner) : TKVItem(Owner, ItemKind::Image, ImageBlock::Size) {}

void TKVImage::Assign(const TKVItem& Source) {
  const auto& source = SourceAs<TKVImage>(Source, *this);
  if (&source == this) return;
  CopyBlock(source);
  FPicture.Assign(source.FPicture);
  FText = source.FText;
}
