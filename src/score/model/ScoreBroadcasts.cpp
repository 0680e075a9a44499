// Broadcasts of the score to every piece or every view, in list order.
// Index loops: a handler may let a view leave the list.

#include "score/model/Piece.h"
#include "score/model/Score.h"
#include "score/model/ScoreView.h"

void TKVScore::UpdateDynamics() {
  for (size_t i = 0; i < FPieces.size(); ++i) FPieces[i]->CalcVelocities();
}

void TKVScore::UpdateScrollBars() {
  for (size_t i = 0; i < FWindows.size(); ++i) FWindows[i]->AdjustScrollBars();
}

void TKVScore::InvalidateViews() {
  for (size_t i = 0; i < FWindows.size(); ++i) FWindows[i]->InvalidateScore();
}

void TKVScore::InvalidateRulers() {
  for (size_t i = 0; i < FWindows.size(); ++i) FWindows[i]->InvalidateRulers();
}

void TKVScore::InvalidateModeIndicator() {
  for (size_t i = 0; i < FWindows.size(); ++i) FWindows[i]->InvalidateModeIndicator();
}
