#include "render/page/ComposerTotals.h"

#include <limits>

#include "score/layout/ScoreLayoutRecords.h"
#include "score/model/Piece.h"
#include "score/model/Score.h"

namespace render {

int32_t FirstMeasureNumber(const TKVPiece* Piece) { return Piece ? Piece->Layout().FirstMeasureNumber : 0; }

// No piece asks to keep its trailing lines: nothing in a score stores it.
bool PieceKeepsTrailingLines(const TKVPiece*) { return false; }

// Pages the composer has not finished (or made by hand) have no trailing
// measures.
int32_t RealMeasureCount(const TKVScore& Score) {
  auto* store = dynamic_cast<const TKVScoreLayoutRecords*>(Score.LayoutRecords());
  return store && store->Composer.LayoutDone ? store->Composer.RealMeasures : std::numeric_limits<int32_t>::max();
}

}  // namespace render
