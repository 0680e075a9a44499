#include "score/layout/ScoreLayout.h"

#include <exception>

#include "base/Log.h"

#include "score/layout/measure/ColumnMarks.h"
#include "score/layout/page/PageComposer.h"
#include "score/layout/play/PlayOrder.h"
#include "score/layout/ScoreLayoutRecords.h"
#include "score/model/Piece.h"
#include "score/model/Score.h"

namespace {
bool IsSeparate(const TKVPiece* Piece) { return Piece->Data().u8(PieceBlock::Separate) != 0; }
// The page (from 1; 0 = every page) on which a separate piece stands: the
// piece block's word 14, 1 for a new piece.
uint16_t SeparateStartPage(const TKVPiece* Piece) { return Piece->Data().u16(PieceBlock::Word14); }

void SetCounts(TKVPiece* Piece, int32_t Count) {
  Piece->Layout().MeasureRecordCount = Count;
  Piece->Layout().MeasuresToPlay = Count;
}
}  // namespace

TKVScoreLayout::TKVScoreLayout(TKVScore& Score) : FScore(Score) {
  ScoreLayoutRecords(Score);
  FSteps.CalcMeasureExtents = ::CalcMeasureExtents;
  FSteps.ApplyMeasureMinimums = ::ApplyMeasureMinimums;
  FSteps.BuildPlayOrder = ::BuildPlayOrder;
  FSteps.PaginatePages = [this](TKVScore& Score, int32_t FromPage) { ::PaginatePages(Score, FromPage, FSteps); };
}

void TKVScoreLayout::FormatPiece(int32_t PieceIndex, int32_t First) {
  int32_t n = First;
  while (FormatMeasureColumn(FScore, PieceIndex, n, FSteps)) ++n;
  SetCounts(FScore.GetPiece(PieceIndex), n);
}

bool TKVScoreLayout::Reformat(int32_t FromPage) {
  TKVScoreLayoutRecords& store = ScoreLayoutRecords(FScore);
  const TKVPageRecord* page =
      FromPage < store.PageCount && size_t(FromPage) < store.Pages.size() ? store.Pages[size_t(FromPage)].get() : nullptr;
  const int32_t firstMeasure = page ? page->FirstMeasure : 0;
  if (FScore.ViewStyle() == vsPart) {
    TKVPiece* active = FScore.GetActivePiece();
    if (!active) return false;
    // A piece played on its own is shown through the nearest plain piece.
    TKVPiece* chosen = active;
    for (int32_t i = active->GetIndex() - 1; IsSeparate(chosen) && i >= 0; --i)
      if (!IsSeparate(FScore.GetPiece(i))) chosen = FScore.GetPiece(i);
    for (int32_t i = active->GetIndex() + 1; IsSeparate(chosen) && i < FScore.GetPieceCount(); ++i)
      if (!IsSeparate(FScore.GetPiece(i))) chosen = FScore.GetPiece(i);
    if (IsSeparate(chosen))
      SetCounts(chosen, firstMeasure);
    else
      FormatPiece(chosen->GetIndex(), firstMeasure);
  } else {
    const int32_t startPiece = page ? page->StartPiece : 0;
    for (int32_t i = startPiece; i < FScore.GetPieceCount(); ++i)
      if (!IsSeparate(FScore.GetPiece(i))) FormatPiece(i, i == startPiece ? firstMeasure : 0);
    // A separate piece on a page before FromPage is not composed again, so
    // its layout stays as it is.
    for (int32_t i = 0; i < FScore.GetPieceCount(); ++i) {
      const TKVPiece* piece = FScore.GetPiece(i);
      const uint16_t startPage = SeparateStartPage(piece);
      if (IsSeparate(piece) && (startPage == 0 || startPage > FromPage)) FormatPiece(i, 0);
    }
  }
  // The composer's faults must not cost the player its play order.
  try {
    FSteps.PaginatePages(FScore, FromPage);
  } catch (const std::exception&) {
    FScore.SetFirstDirtyPage(-1);
    LogFailure("Layout: the pages were not composed");
  }
  FSteps.BuildPlayOrder(FScore);
  return true;
}

bool TKVScoreLayout::FormatMeasure(int32_t PieceIndex, int32_t ColumnIndex) {
  return FormatMeasureColumn(FScore, PieceIndex, ColumnIndex, FSteps);
}

int32_t TKVScoreLayout::ReformatPageOfMeasure(int32_t Measure) {
  const TKVScoreLayoutRecords& store = ScoreLayoutRecords(FScore);
  int32_t result = 0;
  for (int32_t i = 0; i < store.PageCount && size_t(i) < store.Pages.size(); ++i)
    if (store.Pages[size_t(i)]->FirstMeasure <= Measure) result = i;
  return result;
}

void RegisterScoreLayout() {
  SetLayoutServiceFactory([](TKVScore& Score) { return std::make_unique<TKVScoreLayout>(Score); });
}
