#include "score/layout/ScoreLayoutRecords.h"

#include "score/model/Score.h"

TKVScoreLayoutRecords& ScoreLayoutRecords(TKVScore& Score) {
  if (auto* store = dynamic_cast<TKVScoreLayoutRecords*>(Score.LayoutRecords())) return *store;
  auto store = std::make_unique<TKVScoreLayoutRecords>();
  TKVScoreLayoutRecords& result = *store;
  Score.SetLayoutRecords(std::move(store));
  return result;
}
