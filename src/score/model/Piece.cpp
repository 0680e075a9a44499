#include "score/model/Piece.h"

#include "base/Exceptions.h"
#include "score/model/Score.h"

TKVPiece::TKVPiece(TKVScore* Score) : FScore(Score) {
  if (!FScore) throw Exception("Is not owner of the Score");
  FScore->AddPiece(this);
}

TKVPiece::~TKVPiece() { FScore->RemovePiece(this); }

void TKVPiece::Assign(const TKVPiece&) {}

void TKVPiece::CalcVelocities() {}
