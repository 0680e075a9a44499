#include "score/model/Liga.h"

#include <cstdlib>

#include "score/model/ItemKinds.h"
#include "score/model/Note.h"

TKVLiga::TKVLiga(TObject* Owner) : TKVItem(Owner, ItemKind::Slur, LigaBlock::Size) {}

void TKVLiga::Assign(const TKVItem& Source) { CopyBlock(SourceAs<TKVLiga>(Source, *this)); }

void TKVLiga::SetDefaultOffsets() {
  if (Flag(LigaFlag::UserOffsets)) return;
  const auto* note = OwnerAs<const TKVNote>();
  bool otherSide = Flag(LigaFlag::OtherSide);
  if (std::abs(FirstOffset()) <= 16) SetFirstOffset(otherSide || (note && note->StemDown()) ? 0 : 32);
  if (std::abs(SecondOffset()) <= 16) SetSecondOffset(otherSide ? -32 : 0);
}

void TKVLiga::SetDefaultControls(int16_t Height, int16_t Inset) {
  if (Flag(LigaFlag::UserOffsets) || Control1X() != 0 || Control1Y() != 0 || Control2X() != 0 || Control2Y() != 0) return;
  // A curve on its own side stands above its notes and bows up.
  const int16_t y = Flag(LigaFlag::OtherSide) ? Height : int16_t(-Height);
  SetControls(Inset, y, int16_t(-Inset), y);
}
