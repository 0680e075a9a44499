#include "support/FakeLayout.h"

#include <string>

#include "score/model/Score.h"

bool TFakeLayoutService::Reformat(int32_t fromPage) {
  FLog.Reformats.push_back(fromPage);
  if (FLog.Journal) FLog.Journal->Add("layout:Reformat " + std::to_string(fromPage));
  if (FLog.ClearsDirtyPage) FScore.SetFirstDirtyPage(-1);
  return FLog.ReformatResult;
}

bool TFakeLayoutService::FormatMeasure(int32_t pieceIndex, int32_t columnIndex) {
  FLog.FormatMeasures.emplace_back(pieceIndex, columnIndex);
  return columnIndex >= 0 && columnIndex < FLog.ColumnCount;
}

TFakeLayoutScope::TFakeLayoutScope(TEventJournal* journal) {
  Log.Journal = journal;
  SetLayoutServiceFactory(
      [this](TKVScore& score) { return std::make_unique<TFakeLayoutService>(score, Log); });
}

TFakeLayoutScope::~TFakeLayoutScope() { SetLayoutServiceFactory({}); }
