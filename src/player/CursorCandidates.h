#pragma once
// The items the cursor and the hit test stop at: notes, rests and
// beat-repeat marks, a rest only up to the limit the layout keeps for its
// voice (0: none).

#include <cstdint>

class TKVItem;
struct TKVMeasureRecord;

// Item is a note, a beat-repeat mark, or a rest that starts within the
// limit of voice VoiceNumber of Part in R.
bool IsStopItem(const TKVMeasureRecord& R, int32_t Part, const TKVItem& Item, int32_t VoiceNumber);
