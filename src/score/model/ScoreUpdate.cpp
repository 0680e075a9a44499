// The update bracket and the entries into the layout.

#include "score/model/Score.h"
#include "score/model/ScoreView.h"

void TKVScore::EndUpdate() {
  if (FUpdateCount > 1) {
    --FUpdateCount;
    return;
  }
  FUpdateCount = 0;
  // The layout's page composer clears the first dirty page when it has run.
  if (FFirstDirtyPage >= 0) Reformat(FFirstDirtyPage);
  // Index loop: an invalidation may let a view leave the list.
  for (size_t i = 0; i < FWindows.size(); ++i) {
    TKVScoreView* view = FWindows[i];
    if (view->ScoreInvalidationPending()) view->InvalidateScore();
    if (view->RulersInvalidationPending()) view->InvalidateRulers();
  }
}

void TKVScore::Reformat(int32_t FromPage) {
  if (FLoading) return;
  if (FromPage < 0) FromPage = 0;
  if (FUpdateCount >= 1) {
    if (FFirstDirtyPage == -1 || FFirstDirtyPage > FromPage) FFirstDirtyPage = FromPage;
    return;
  }
  if (!FLayout->Reformat(FromPage)) return;
  if (OnRecalculate) OnRecalculate(this);
  FFormatRevision = FormatRevisionCurrent;
}

bool TKVScore::FormatMeasure(int32_t PieceIndex, int32_t ColumnIndex) {
  if (PieceIndex < 0 || PieceIndex >= GetPieceCount()) return false;
  return FLayout->FormatMeasure(PieceIndex, ColumnIndex);
}

void TKVScore::ReformatFromMeasure(int32_t Measure) {
  int32_t page = FLayout->ReformatPageOfMeasure(Measure);
  if (page >= 0) Reformat(page);
}
