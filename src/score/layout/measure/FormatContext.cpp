#include "score/layout/measure/FormatContext.h"

#include <algorithm>

#include "score/model/Score.h"

TKVFormatContext::TKVFormatContext(TKVScore& Score, TKVPiece& Piece, int32_t ColumnIndex)
    : Score(Score), Piece(Piece), ColumnIndex(ColumnIndex) {
  Canvas.Font = {Score.MusicFontName(), 144, 0};
}

int32_t LayoutScale(const TKVScore& Score) { return std::clamp(Score.Scale(), -10000, 10000); }

int32_t TKVFormatContext::Scale() const { return LayoutScale(Score); }
