#include "score/model/Mark.h"

#include "score/model/ItemKinds.h"

TKVMark::TKVMark(TObject* Owner) : TKVVoicedItem(Owner, 0, MarkBlock::Size) {
  Data().setU8(MarkBlock::Size100, 100);
  Data().setU8(MarkBlock::LineStyle, 2);
}

void TKVMark::SetKind(uint8_t Kind) {
  TKVItem::SetKind(Kind);
  if (Kind == ItemKind::KeySignature) {
    FExtra.Resize(MarkBlock::KeyTableBytes);
    FExtra.Clear();
  }
}

uint16_t TKVMark::ExtraWord(int32_t Index) const {
  if (Index < 0 || size_t(Index) * 2 + 2 > FExtra.Size()) return 0;
  return FExtra.u16(size_t(Index) * 2);
}

// The extra block is copied for every kind: a tuplet's slot lengths and a
// time signature's composite meters are announced by the block and must not
// go missing in a copy.
void TKVMark::Assign(const TKVItem& Source) {
  const auto& source = SourceAs<TKVMark>(Source, *this);
  if (&source == this) return;
  CopyBlock(source);
  FExtra = source.FExtra;
  FText1 = source.FText1;
  FText2 = source.FText2;
  FDynamics = source.FDynamics ? std::make_unique<TKVDynamicsSetting>(*source.FDynamics) : nullptr;
}
