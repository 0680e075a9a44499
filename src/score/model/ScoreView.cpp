#include "score/model/ScoreView.h"

#include <algorithm>

#include "base/Streams.h"
#include "score/model/Score.h"

TKVScoreView::~TKVScoreView() {
  if (FScore) FScore->RemoveWindow(this);
}

TKVPiece* TKVScoreView::GetCursorPiece() { return FScore ? FScore->GetPiece(FCursorPiece) : nullptr; }

void TKVScoreView::Invalidate(bool& pending, void (TKVScoreView::*area)()) {
  if (!FScore || !CanShow()) return;
  pending = FScore->UpdateCount() >= 1;
  if (!pending) (this->*area)();
}

void TKVScoreView::InvalidateScore() { Invalidate(FScorePending, &TKVScoreView::InvalidateScoreArea); }

void TKVScoreView::InvalidateRulers() { Invalidate(FRulersPending, &TKVScoreView::InvalidateRulerArea); }

void TKVScoreView::SetZoom(int32_t Percent) { FZoom = std::clamp(Percent, MinZoom, MaxZoom); }

void TKVScoreView::SetTempoScale(int32_t Percent) { FTempoScale = std::max(Percent, 1); }

void TKVScoreView::ReadActivePage(TStream& Stream) { FActivePage = Stream.ReadI32(); }
void TKVScoreView::ReadActivePart(TStream& Stream) { FCursorPart = Stream.ReadI32(); }
void TKVScoreView::ReadActiveMeasure(TStream& Stream) { FCursorMeasure = Stream.ReadI32(); }
void TKVScoreView::ReadCursorTick(TStream& Stream) { FCursorTick = Stream.ReadI32(); }
void TKVScoreView::ReadZoom(TStream& Stream) { FZoom = std::clamp(Stream.ReadI32(), MinZoom, MaxZoom); }
void TKVScoreView::ReadTempoScale(TStream& Stream) { FTempoScale = std::max(Stream.ReadI32(), 1); }
