#include "score/model/Column.h"

#include <algorithm>

#include "base/Exceptions.h"
#include "score/model/ItemFactory.h"
#include "score/model/Persistent.h"
#include "score/model/Piece.h"

TKVColumn::TKVColumn(TKVPiece* Piece) : FPiece(Piece) {
  if (!FPiece) throw Exception("Is not owner of the Piece");
  FPiece->AddColumn(this);
}

TKVColumn::~TKVColumn() {
  FreeItems();
  FPiece->RemoveColumn(this);
}

void TKVColumn::Assign(const TObject& Source) {
  const auto* source = dynamic_cast<const TKVColumn*>(&Source);
  if (!source) RaiseAssignError(Source, *this);
  if (source == this) return;
  FreeItems();
  CopyBlockBytes(FData, source->FData);
  FWords = source->FWords;
  CloneItems(source->Items(), this);
}
