#include "player/CursorCandidates.h"

#include "score/layout/ItemFields.h"
#include "score/model/ItemKinds.h"
#include "score/model/Item.h"
#include "score/model/LayoutRecords.h"

bool IsStopItem(const TKVMeasureRecord& R, int32_t Part, const TKVItem& Item, int32_t VoiceNumber) {
  const uint8_t kind = Item.Kind();
  if (kind == ItemKind::Note || kind == ItemKind::BeatRepeat) return true;
  if (kind != ItemKind::Rest) return false;
  uint32_t limit = 0;
  if (Part >= 0 && size_t(Part) < R.PartRecords.size() && R.PartRecords[size_t(Part)]) {
    const auto& slots = R.PartRecords[size_t(Part)]->VoiceSlots;
    if (VoiceNumber >= 0 && size_t(VoiceNumber) < slots.size() && slots[size_t(VoiceNumber)])
      limit = slots[size_t(VoiceNumber)]->Value;
  }
  return limit == 0 || limit >= ItemPosition(&Item);
}
