#pragma once
// The marks of the item pass (the per-staff layout's last walk over a
// measure): what every mark's layout starts with, the placement of a mark
// against the note it belongs to, and the layout of each family of marks.
// A mark at or past the measure's end goes on the removal list instead.

#include <cstdint>

#include "score/layout/measure/FormatContext.h"

class TKVMark;
class TKVBend;
class TKVChord;
class TKVFrame;

// The mark's staff (staff/voice byte reset to 0 when Clamp and its staff is
// missing; a missing staff without Clamp lays out on the first) becomes
// current, its run-time staff index is set and its display link cleared;
// returns its record with the mark's size applied.
TKVDisplayItem& StartMark(TKVFormatContext& Ctx, TKVMark& Mark, bool Clamp);
// The staff space for placing marks on the current staff (at least 8, so
// that a zero scale does not divide by zero).
int32_t PlacementSpace(const TKVFormatContext& Ctx);

// Rules by which a mark is placed above or below its note.
enum class TKVPlacementRules {
  Symbol,     // symbol marks
  Fingering,  // kind 122: beyond the stem or on the grid, by the mark's side
  Technique,  // kinds 141, 142: on the grid of staff spaces
  Stroke,     // kinds 131, 132
  Turn,       // kind 149
};
// The note record of the mark's voice at its position (the chord's far note
// for SideBit 4), or nil.
TKVDisplayItem* FindMarkNote(TKVFormatContext& Ctx, const TKVMark& Mark, uint8_t SideBit);
// Moves Rect (scaled, offsets not yet applied) sideways with a head on the
// other side of the stem and down by the rule's distance from Note; without
// a note by the mark's own vertical offset only.
void PlaceAgainstNote(TKVFormatContext& Ctx, const TKVMark& Mark, const TKVDisplayItem* Note, TKVLayoutRect& Rect,
                      TKVPlacementRules Rules);

// Kinds 114 to 117, 121, 123, 125 and 133.
void LayoutSymbolMark(TKVFormatContext& Ctx, TKVMark& Mark);
// Kinds 110, 113, 118, 120, 122, 124, 130 to 132, 141 to 143, 149, 170, 172.
void LayoutSpanMark(TKVFormatContext& Ctx, TKVMark& Mark);
void LayoutBend(TKVFormatContext& Ctx, TKVBend& Bend);
// Kind 31 and kind 36.
void LayoutChordSymbol(TKVFormatContext& Ctx, TKVChord& Chord);
void LayoutChordFrame(TKVFormatContext& Ctx, TKVFrame& Frame);
