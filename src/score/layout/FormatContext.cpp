#include "score/layout/FormatContext.h"

#include "score/model/Score.h"

TKVFormatContext::TKVFormatContext(TKVScore& Score, TKVPiece& Piece, int32_t ColumnIndex)
    : Score(Score), Piece(Piece), ColumnIndex(ColumnIndex) {
  Canvas.Font = {Score.MusicFontName(), 144, 0};
}

int32_t TKVFormatContext::Scale() const { return Score.Scale(); }
