#include "score/model/ScoreSettings.h"

#include "base/Exceptions.h"

size_t TKVScoreSettings::at(size_t base, size_t width, int index, int count) {
  if (index < 0 || index >= count) throw ERangeError("Settings field index out of range");
  return base + width * size_t(index);
}

void TKVScoreSettings::SetDefaults() {
  FBlock.Clear();
  SetScale(100);
  SetOptimization(true);
  SetNoteInterval(0);
  SetStemLength(24);
  SetViewStyle(vsComposition);
  SetAlign(12);
  SetAutoJoin(2);
  const uint8_t options[ScoreBlock::OptionCount] = {1, 1, 0, 0, 1};
  for (int i = 0; i < ScoreBlock::OptionCount; ++i) SetOption(i, options[i]);
  SetUserPages(0);
  SetVersion14Word(0);
  for (int i = 0; i < ScoreBlock::MetricWordCount; ++i) SetMetricWord(i, ScoreBlock::DefaultMetricWords[i]);
  SetUserDataSize(0);
  for (int i = 0; i < ScoreBlock::SpacingWordCount; ++i) SetSpacingWord(i, 16);
  const uint16_t further[ScoreBlock::FurtherWordCount] = {30, 0, 8};
  for (int i = 0; i < ScoreBlock::FurtherWordCount; ++i) SetFurtherWord(i, further[i]);
  SetFlags(3);
  SetSystemDistance(0);
  const uint16_t layout[ScoreBlock::LayoutWordCount] = {8, 4, 24, 8};
  for (int i = 0; i < ScoreBlock::LayoutWordCount; ++i) SetLayoutWord(i, layout[i]);
}

long double TKVScoreSettings::SystemDistance() const {
  long double v = 0;
  return TryExtendedToLongDouble(FBlock.ext(ScoreBlock::SystemDistance), v) ? v : 0;
}

void TKVScoreSettings::SetSystemDistance(long double V) {
  FBlock.setExt(ScoreBlock::SystemDistance, ExtendedFromLongDouble(V));
}

void TKVScoreSettings::CopyRange(const TKVScoreSettings& Source, size_t Offset, size_t Count) {
  FBlock.Write(Offset, Source.FBlock.Data() + Offset, Count);
}
