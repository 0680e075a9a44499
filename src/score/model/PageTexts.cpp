#include "score/model/PageTexts.h"

#include <algorithm>

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

std::u16string TKVText::WholeText() const {
  std::u16string whole;
  for (const std::u16string& line : FLines) whole += line;
  return whole;
}

std::u16string_view TKVText::RunChars(std::u16string_view Whole, const TKVTextRun& Run) {
  const size_t start = std::min<size_t>(Run.Start, Whole.size());
  return Whole.substr(start, std::min<size_t>(Run.Length, Whole.size() - start));
}

TKVPageMark::TKVPageMark(TObject* Owner) : TKVItem(Owner, ItemKind::PageMark, PageMarkBlock::Size) {}

void TKVPageMark::Assign(const TKVItem& Source) {
  const auto& source = SourceAs<TKVPageMark>(Source, *this);
  if (&source == this) return;
  CopyBlock(source);
  FText = source.FText;
  ClearSize(Data());
}
