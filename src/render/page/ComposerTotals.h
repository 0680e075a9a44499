#pragma once
// What painting reads of the page composer's running measure numbers, in
// one place: the number of a piece's first measure, the piece's wish to
// keep its trailing measure lines, and the number from which measures only
// fill the last line (trailing measures).

#include <cstdint>

class TKVPiece;
class TKVScore;

namespace render {

int32_t FirstMeasureNumber(const TKVPiece* Piece);
bool PieceKeepsTrailingLines(const TKVPiece* Piece);
int32_t RealMeasureCount(const TKVScore& Score);

}  // namespace render
