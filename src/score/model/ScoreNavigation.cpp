// The way from the active view's cursor to the piece, part, staff, voice,
// measure and column it stands in, and the score-wide questions over the
// tree.

#include <algorithm>

#include "score/model/Column.h"
#include "score/model/Measure.h"
#include "score/model/Part.h"
#include "score/model/Piece.h"
#include "score/model/Score.h"
#include "score/model/ScoreView.h"
#include "score/model/Staff.h"
#include "score/model/Voice.h"

TKVPiece* TKVScore::GetActivePiece() {
  TKVScoreView* view = GetActiveWindow();
  return view ? GetPiece(view->CursorPiece()) : nullptr;
}

TKVPart* TKVScore::GetActivePart() {
  TKVPiece* piece = GetActivePiece();
  return piece ? piece->GetPart(GetActiveWindow()->CursorPart()) : nullptr;
}

TKVStaff* TKVScore::GetActiveStaff() {
  TKVPart* part = GetActivePart();
  return part ? part->GetStaff(GetActiveWindow()->CursorStaff()) : nullptr;
}

TKVVoice* TKVScore::GetActiveVoice() {
  TKVStaff* staff = GetActiveStaff();
  return staff ? staff->GetVoice(GetActiveWindow()->CursorVoice()) : nullptr;
}

TKVMeasure* TKVScore::GetActiveMeasure(int32_t Index) {
  TKVPart* part = GetActivePart();
  if (!part) return nullptr;
  if (Index < 0) Index = GetActiveWindow()->CursorMeasure();
  if (Index < 0 || Index >= MaxMeasuresOnDemand) return nullptr;
  while (part->GetMeasureCount() <= Index) {
    int32_t before = part->GetMeasureCount();
    TKVMeasure* measure = part->NewMeasure();
    if (part->GetMeasureCount() == before) {  // the part does not take measures now
      delete measure;
      return nullptr;
    }
  }
  return part->GetMeasure(Index);
}

TKVColumn* TKVScore::GetActiveColumn(int32_t Index) {
  TKVScoreView* view = GetActiveWindow();
  TKVPiece* piece = nullptr;
  if (view) {
    piece = GetActivePiece();
    if (Index < 0) Index = view->CursorMeasure();
  } else if (Index >= 0) {
    piece = GetPiece(0);
  }
  if (!piece || Index < 0 || Index >= MaxMeasuresOnDemand) return nullptr;
  while (piece->GetColumnCount() <= Index) {
    int32_t before = piece->GetColumnCount();
    TKVColumn* column = piece->NewColumn();
    if (piece->GetColumnCount() == before) {
      delete column;
      return nullptr;
    }
  }
  return piece->GetColumn(Index);
}

int32_t TKVScore::GetMaxStaffRange() const {
  int32_t range = 0;
  for (TKVPiece* piece : FPieces)
    for (int32_t p = 0; p < piece->GetPartCount(); ++p) {
      TKVPart* part = piece->GetPart(p);
      for (int32_t s = 0; s < part->GetStaffCount(); ++s) range = std::max<int32_t>(range, part->GetStaff(s)->Range());
    }
  return range == 0 ? 255 : range;
}

int32_t TKVScore::GetRangeLength(int32_t First, int32_t Last) {
  TKVPiece* piece = GetActivePiece();
  return piece ? piece->GetRangeLength(First, Last) : 0;
}
