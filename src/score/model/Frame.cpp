#include "score/model/Frame.h"

#include "score/model/ItemKinds.h"

TKVFrame::TKVFrame(TObject* Owner) : TKVVoicedItem(Owner, ItemKind::Frame, FrameBlock::Size) {
  Data().setU8(FrameBlock::Byte9, 24);
  Data().setU8(FrameBlock::ValueCount, 5);
  SizeArraysFromBlock();
}

void TKVFrame::SizeArraysFromBlock() {
  FValues.resize(ValueCount(), 0);
  FEntries.resize(EntryCount(), TKVFrameEntry{});
}

TKVFrameEntry TKVFrame::GetEntry(int32_t Index) const {
  if (FEntries.empty()) return TKVFrameEntry{};
  return Index >= 0 && size_t(Index) < FEntries.size() ? FEntries[size_t(Index)] : FEntries[0];
}

uint8_t TKVFrame::GetValue(int32_t Index) const {
  if (FValues.empty()) return 0;
  return Index >= 0 && size_t(Index) < FValues.size() ? FValues[size_t(Index)] : FValues[0];
}

void TKVFrame::Assign(const TKVItem& Source) {
  const auto& source = SourceAs<TKVFrame>(Source, *this);
  if (&source == this) return;
  CopyBlock(source);
  FEntries = source.FEntries;
  FValues = source.FValues;
  SizeArraysFromBlock();
  FRawData = source.FRawData;
  FText = source.FText;
}
