#include "score/model/Lyric.h"

#include <algorithm>

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

TKVTextSize LyricTextSize(text::TTextMeasurer& Measurer, const TKVLyric& Lyric) {
  const text::TFontSpec font = Lyric.LayoutFont();
  const TKVWideList& lines = Lyric.Lines();
  int32_t width = lines.empty() ? Measurer.TextWidth(font, "Empty") : 0;
  for (const std::u16string& line : lines) width = std::max(width, Measurer.TextWidthW(font, line));
  return {std::max(width, 64), Measurer.TextHeight(font) * std::max<int32_t>(int32_t(lines.size()), 1)};
}
