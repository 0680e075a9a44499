#include "score/layout/RestShape.h"

#include "score/model/LayoutRecords.h"
#include "score/model/Measure.h"
#include "score/model/Part.h"
#include "score/model/Pause.h"
#include "score/model/Piece.h"

uint16_t RestShapeValue(const TKVPause& Rest, const TKVMeasureRecord& Record) {
  const uint16_t value = Rest.Value();
  if (value == 0 || value != Record.Length) return value;
  const TKVMeasure* measure = Rest.GetMeasure();
  const TKVPiece* piece = measure && measure->Part() ? measure->Part()->Piece() : nullptr;
  const bool pickup = piece && (piece->Meter() >> 8) != 0;
  return Record.ColumnIndex != 0 || !pickup ? WholeRestValue : value;
}
