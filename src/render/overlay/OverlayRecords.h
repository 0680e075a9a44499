#pragma once
// The layout records an overlay may follow. Every pointer it is given (the
// hit record's staff line and measure, the dragged and selected records) is
// looked up among the records of the pages the view shows now, so that no
// overlay reads a record of an earlier layout or past a used count.

#include <cstdint>

#include "platform/canvas/Graphics.h"

class TKVItem;
class TKVWindow;
struct TKVDisplayItem;
struct TKVLayoutRect;
struct TKVMeasureRecord;
struct TKVPageRecord;
struct TKVStaffLineRecord;
struct TKVSystemRecord;

namespace render {

// A layout rectangle (its Width holds the right edge once placed).
canvas::TRect LayoutRect(const TKVLayoutRect& R);
canvas::TRect Inflated(const canvas::TRect& R, int32_t D);
canvas::TRect Offset(const canvas::TRect& R, int32_t DX, int32_t DY);
// The drag's start and mouse points lie within 2^28 pixels of the client
// origin. No screen comes near; beyond, an overlay draws and changes
// nothing, so that its sums and spans of client coordinates stay inside
// 32 bits.
bool IsDragInRange(const canvas::TRect& DragRect);

// Where the hit record points, when it points at shown records: its page,
// staff line, that line's system and the measure record (nil when the hit
// test found none on the line's system). Line is nil otherwise.
struct THitPlace {
  TKVPageRecord* Page = nullptr;
  TKVStaffLineRecord* Line = nullptr;
  TKVSystemRecord* System = nullptr;
  TKVMeasureRecord* Measure = nullptr;
};
THitPlace HitPlace(const TKVWindow& View);

// Staff line Index of Page's used lines, system Index of its used systems,
// measure Index of System's used measures; nil past them.
TKVStaffLineRecord* StaffLineAt(const TKVPageRecord* Page, int32_t Index);
TKVSystemRecord* SystemAt(const TKVPageRecord* Page, int32_t Index);
TKVMeasureRecord* MeasureAt(const TKVSystemRecord* System, int32_t Index);
// The index of System in its page's used systems, -1 when it is none.
int32_t SystemIndex(const TKVSystemRecord& System);

// Record is a used display record of a measure on a shown page, or a used
// object of a shown page.
bool IsShownRecord(const TKVWindow& View, const TKVDisplayItem* Record);
// The page index of a shown record's measure (or of the page that holds it
// as an object); -1 for none.
int32_t RecordPage(const TKVWindow& View, const TKVDisplayItem& Record);

// The first used display record of R of type 0 for Item, or nil.
TKVDisplayItem* FindItemDisplay(const TKVItem* Item, const TKVMeasureRecord& R);

}  // namespace render
