#pragma once
// One piece of music in a score. The constructor registers the piece with
// its score (which numbers it and announces it) and the destructor removes
// it again. Parts, columns and layout records arrive with the score tree.

#include <cstdint>

#include "base/Object.h"

class TKVScore;

class TKVPiece : public TObject {
public:
  // Score must not be nil: raises "Is not owner of the Score".
  explicit TKVPiece(TKVScore* Score);
  ~TKVPiece() override;

  TKVScore* Score() const { return FScore; }
  // Position in the score's piece list, kept by the score; -1 while unlisted.
  int32_t GetIndex() const { return FIndex; }
  void SetIndex(int32_t Index) { FIndex = Index; }

  // Copies Source's content into this piece.
  virtual void Assign(const TKVPiece& Source);
  // Turns the piece's dynamic marks into velocities.
  virtual void CalcVelocities();

private:
  TKVScore* FScore;
  int32_t FIndex = -1;
};
