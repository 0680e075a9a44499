#pragma once
// A layout service that records what the score asks of it. Installing a
// TFakeLayoutScope makes every score created meanwhile use a fake that
// writes into the scope's log; the scope restores the null service when it
// ends.

#include <cstdint>
#include <utility>
#include <vector>

#include "score/model/LayoutService.h"
#include "support/EventJournal.h"

struct TFakeLayoutLog {
  std::vector<int32_t> Reformats;                           // FromPage of every run
  std::vector<std::pair<int32_t, int32_t>> FormatMeasures;  // piece, column
  // Answers the fakes give.
  bool ReformatResult = true;
  int32_t ColumnCount = 0;     // FormatMeasure is true below it
  int32_t PageOfMeasure = 0;   // ReformatPageOfMeasure
  bool ClearsDirtyPage = true; // as the page composer does
  TEventJournal* Journal = nullptr;  // gets "layout:Reformat <page>"
};

class TFakeLayoutService : public TKVLayoutService {
public:
  TFakeLayoutService(TKVScore& score, TFakeLayoutLog& log) : FScore(score), FLog(log) {}
  bool Reformat(int32_t fromPage) override;
  bool FormatMeasure(int32_t pieceIndex, int32_t columnIndex) override;
  int32_t ReformatPageOfMeasure(int32_t) override { return FLog.PageOfMeasure; }

private:
  TKVScore& FScore;
  TFakeLayoutLog& FLog;
};

class TFakeLayoutScope {
public:
  explicit TFakeLayoutScope(TEventJournal* journal = nullptr);
  ~TFakeLayoutScope();
  TFakeLayoutScope(const TFakeLayoutScope&) = delete;
  TFakeLayoutScope& operator=(const TFakeLayoutScope&) = delete;

  TFakeLayoutLog Log;
};
