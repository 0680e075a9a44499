#include "score/model/ScoreRecords.h"

std::string TKVTextFonts::Name(int32_t Index) const {
  return Index >= 0 && Index < Count() ? FEntries[size_t(Index)].Name : std::string();
}

int32_t TKVTextFonts::Value(int32_t Index) const {
  return Index >= 0 && Index < Count() ? FEntries[size_t(Index)].Value : 0;
}

void TKVTextFonts::SetEntry(int32_t Index, const std::string& Name, int32_t Value) {
  if (Index < 0) return;
  if (Index >= Count()) FEntries.resize(size_t(Index) + 1);
  FEntries[size_t(Index)] = {Name, Value};
}
