// The score's lists: pieces, score-level items and views.

#include <algorithm>

#include "score/model/Item.h"
#include "score/model/Piece.h"
#include "score/model/Score.h"
#include "score/model/ScoreView.h"

namespace {

template <class T>
T* At(const std::vector<T*>& list, int32_t index) {
  return index >= 0 && size_t(index) < list.size() ? list[size_t(index)] : nullptr;
}

}  // namespace

TKVPiece* TKVScore::GetPiece(int32_t Index) const { return At(FPieces, Index); }

TKVItem* TKVScore::GetItem(int32_t Index) const { return At(FItems, Index); }

TKVScoreView* TKVScore::GetWindow(int32_t Index) const { return At(FWindows, Index); }

void TKVScore::AddPiece(TKVPiece* Piece) {
  if (FRegistrationSwitch) return;
  FPieces.push_back(Piece);
  Piece->SetIndex(GetPieceCount() - 1);
  try {
    if (OnAddItem) OnAddItem(Piece, nullptr);
  } catch (...) {
    // The piece's construction fails with the handler: it must not stay listed.
    std::erase(FPieces, Piece);
    throw;
  }
}

// Removal does not depend on the registration switch: a freed piece must
// never stay listed.
void TKVScore::RemovePiece(TKVPiece* Piece) {
  if (OnDeleteItem) OnDeleteItem(Piece, nullptr);
  std::erase(FPieces, Piece);
  RenumberPieces();
}

void TKVScore::RenumberPieces() {
  for (size_t i = 0; i < FPieces.size(); ++i) FPieces[i]->SetIndex(int32_t(i));
}

TKVPiece* TKVScore::NewPiece() {
  auto* piece = new TKVPiece(this);
  Reformat(0);
  InvalidateViews();
  return piece;
}

void TKVScore::AddItem(TKVItem* Item) {
  if (!FRegistrationSwitch) FItems.push_back(Item);
}

void TKVScore::InsertItem(int32_t Index, TKVItem* Item) {
  if (Index < 0 || Index > GetItemCount()) Index = GetItemCount();
  FItems.insert(FItems.begin() + Index, Item);
}

void TKVScore::RemoveItem(TKVItem* Item) { std::erase(FItems, Item); }

void TKVScore::ClearPieces() {
  // Each piece leaves the list as it is freed (announcing it); the last one
  // goes first.
  while (!FPieces.empty()) {
    TKVPiece* piece = FPieces.back();
    delete piece;
    if (!FPieces.empty() && FPieces.back() == piece) FPieces.pop_back();
  }
}

void TKVScore::ClearItems() {
  while (!FItems.empty()) {
    TKVItem* item = FItems.back();
    delete item;
    std::erase(FItems, item);
  }
}

void TKVScore::AddWindow(TKVScoreView* View) {
  if (!View) return;
  FWindows.push_back(View);
  View->LinkScore(this);
  if (FActiveWindowIndex < 0) FActiveWindowIndex = 0;
}

void TKVScore::RemoveWindow(TKVScoreView* View) {
  if (!View) return;
  std::erase(FWindows, View);
  if (View->Score() == this) View->LinkScore(nullptr);
}

TKVScoreView* TKVScore::GetActiveWindow() {
  if (FWindows.empty()) return nullptr;
  FActiveWindowIndex = std::clamp(FActiveWindowIndex, 0, GetWindowCount() - 1);
  return FWindows[size_t(FActiveWindowIndex)];
}

void TKVScore::SetActiveWindow(TKVScoreView* View) {
  auto at = std::find(FWindows.begin(), FWindows.end(), View);
  FActiveWindowIndex = at == FWindows.end() ? -1 : int32_t(at - FWindows.begin());
  if (OnActiveWindowChanged) OnActiveWindowChanged(this);
}


