#pragma once
// Where things of a placed measure stand on its page: the x of a time
// position, the widths of what stands at the measure's start and end, the
// staff line of a display record on its system and the tick a record is
// anchored at. Shared by the positioning of a page's records and by the
// pieces of items that run on from system to system.

#include <cstdint>

#include "score/layout/page/PageRecords.h"

class TKVItem;

// Page x of Tick in Record (ticks past the measure take its end).
int64_t TickX(const TKVMeasureRecord& Record, int64_t Tick);
// The three widths printed at the measure's start (volta-bar room, clef,
// key) and the three at its end.
int64_t StartWidths(const TKVMeasureRecord& Record);
int64_t EndWidths(const TKVMeasureRecord& Record);
// The staff line of layout staff Staff on Record's system, or nil.
TKVStaffLineRecord* SystemStaffLine(const TKVMeasureRecord& Record, int32_t Staff);
// Half the line space on a staff of 1, 2 or 4 lines (whose notes stand
// between the lines of the five-line frame), else 0.
int32_t HalfLineSpace(const TKVStaffLineRecord& Line);
// The tick a record of Item is anchored at: a grace note's or a grace
// group's member's, its group's; an item held by a note or rest (a slur,
// dots, a sign), that note's.
int32_t AnchorTick(const TKVItem* Item);
// Moves a measure-relative (left, top, width, bottom) rectangle to the page:
// left by X, top and bottom by Y; the width becomes the right edge.
void MoveRect(TKVLayoutRect& Rect, int64_t X, int64_t Y);
