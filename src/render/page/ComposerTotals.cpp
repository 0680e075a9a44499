#include "render/page/ComposerTotals.h"

#include <limits>

namespace render {

// The composer keeps no running numbers yet: every measure counts from 0 of
// its piece and none trails the music.
int32_t FirstMeasureNumber(const TKVPiece*) { return 0; }
bool PieceKeepsTrailingLines(const TKVPiece*) { return false; }
int32_t RealMeasureCount(const TKVScore&) { return std::numeric_limits<int32_t>::max(); }

}  // namespace render
