// The spacing writers: per-system spacing values of the cursor piece, or of
// the active part when the score shows one part. They act on the view's
// page, so without a view they do nothing.

#include "score/model/Part.h"
#include "score/model/Piece.h"
#include "score/model/Score.h"
#include "score/model/ScoreView.h"

std::vector<uint16_t>* TKVScore::ActiveSpacingArray(int Array) {
  TKVScoreView* view = GetActiveWindow();
  TKVPiece* piece = view ? GetPiece(view->CursorPiece()) : nullptr;
  if (!piece) return nullptr;
  if (ViewStyle() == vsPart) {
    TKVPart* part = piece->GetPart(view->CursorPart());
    return part ? &part->SpacingArray(Array) : nullptr;
  }
  return &piece->SpacingArray(Array);
}

// The arrays keep a 16-bit count, so an index above 65534 cannot be stored.
void TKVScore::SetSystemSpacing(int Array, int32_t Value, int32_t Index, bool Replace) {
  TKVScoreView* view = GetActiveWindow();
  if (!view) return;
  if (Index < 0) Index = Array == 0 ? view->GetCursorLineEntry() : view->GetCursorSystemNumber();
  if (Index < 0 || Index > 65534) return;
  std::vector<uint16_t>* values = ActiveSpacingArray(Array);
  if (!values) return;
  if (size_t(Index) >= values->size()) values->resize(size_t(Index) + 1, 0);
  uint16_t& entry = (*values)[size_t(Index)];
  entry = Replace ? uint16_t(Value) : uint16_t(entry + Value);
  Reformat(Array == 0 ? view->ActivePage() - 1 : view->ActivePage());
  InvalidateViews();
  if (Array == 0) view->ValidateCursor(false);
  Changed();
}

void TKVScore::SetSystemSpacing1(int32_t Value, int32_t Index, bool Replace, int32_t) {
  SetSystemSpacing(0, Value, Index, Replace);
}

void TKVScore::SetSystemSpacing2(int32_t Value, int32_t Index, bool Replace, int32_t) {
  SetSystemSpacing(1, Value, Index, Replace);
}

void TKVScore::SetSystemSpacing3(int32_t Value, int32_t Index, bool Replace, int32_t) {
  SetSystemSpacing(2, Value, Index, Replace);
}
