#include "render/overlay/OverlayRecords.h"

#include <algorithm>

#include "base/Saturate.h"
#include "player/Window.h"
#include "score/layout/page/PageRecords.h"

namespace render {

canvas::TRect LayoutRect(const TKVLayoutRect& R) { return {R.Left, R.Top, R.Width, R.Bottom}; }

canvas::TRect Inflated(const canvas::TRect& R, int32_t D) { return {R.Left - D, R.Top - D, R.Right + D, R.Bottom + D}; }

// Held at the limits: a drag far outside the window must not wrap around
// into it.
canvas::TRect Offset(const canvas::TRect& R, int32_t DX, int32_t DY) {
  return {Saturate32(int64_t(R.Left) + DX), Saturate32(int64_t(R.Top) + DY), Saturate32(int64_t(R.Right) + DX),
          Saturate32(int64_t(R.Bottom) + DY)};
}

bool IsDragInRange(const canvas::TRect& DragRect) {
  constexpr int32_t limit = 1 << 28;
  for (int32_t v : {DragRect.Left, DragRect.Top, DragRect.Right, DragRect.Bottom})
    if (v < -limit || v > limit) return false;
  return true;
}

TKVStaffLineRecord* StaffLineAt(const TKVPageRecord* Page, int32_t Index) {
  return Page ? Page->GetStaffLine(Index) : nullptr;
}

TKVSystemRecord* SystemAt(const TKVPageRecord* Page, int32_t Index) {
  if (!Page || Index < 0 || Index >= Page->SystemCount || size_t(Index) >= Page->Systems.size()) return nullptr;
  return Page->Systems[size_t(Index)].get();
}

TKVMeasureRecord* MeasureAt(const TKVSystemRecord* System, int32_t Index) {
  if (!System || Index < 0 || Index >= System->MeasureCount || size_t(Index) >= System->Measures.size())
    return nullptr;
  return System->Measures[size_t(Index)];
}

int32_t SystemIndex(const TKVSystemRecord& System) {
  for (int32_t i = 0; SystemAt(System.Page, i); ++i)
    if (SystemAt(System.Page, i) == &System) return i;
  return -1;
}

namespace {

// The page is one the view shows, and System one of its used systems.
bool IsShownSystem(const TKVWindow& View, const TKVSystemRecord* System) {
  if (!System || !System->Page || View.PageRecord(System->Page->PageIndex) != System->Page) return false;
  return SystemIndex(*System) >= 0;
}

bool IsShownMeasure(const TKVWindow& View, const TKVMeasureRecord* R) {
  if (!R || !IsShownSystem(View, R->System)) return false;
  for (int32_t i = 0; MeasureAt(R->System, i); ++i)
    if (MeasureAt(R->System, i) == R) return true;
  return false;
}

// The index of the shown page whose objects hold Record, or -1.
int32_t ObjectPage(const TKVWindow& View, const TKVDisplayItem* Record) {
  for (int32_t p = 0; const TKVPageRecord* page = View.PageRecord(p); ++p) {
    const size_t count = std::min<size_t>(page->PageObjectCount, page->PageObjects.size());
    for (size_t k = 0; k < count; ++k)
      if (page->PageObjects[k].get() == Record) return p;
  }
  return -1;
}

}  // namespace

THitPlace HitPlace(const TKVWindow& View) {
  THitPlace place;
  TKVPageRecord* page = View.PageRecord(View.Hit.Page);
  for (int32_t i = 0; page && i < page->StaffLineCount; ++i) {
    TKVStaffLineRecord* line = page->GetStaffLine(i);
    if (line != View.Hit.StaffLine || !line || !line->Staff || line->System == nullptr ||
        line->System->Page != page || SystemIndex(*line->System) < 0)
      continue;
    place = {page, line, line->System, nullptr};
    TKVMeasureRecord* R = View.Hit.MeasureRecord;
    for (int32_t m = 0; MeasureAt(line->System, m); ++m)
      if (MeasureAt(line->System, m) == R) place.Measure = R;
    break;
  }
  return place;
}

bool IsShownRecord(const TKVWindow& View, const TKVDisplayItem* Record) {
  if (!Record) return false;
  if (!Record->Owner) return ObjectPage(View, Record) >= 0;
  if (!IsShownMeasure(View, Record->Owner)) return false;
  for (int32_t i = 0; i < Record->Owner->DisplayCount; ++i)
    if (Record->Owner->GetDisplay(i) == Record) return true;
  return false;
}

int32_t RecordPage(const TKVWindow& View, const TKVDisplayItem& Record) {
  if (!Record.Owner) return ObjectPage(View, &Record);
  const TKVSystemRecord* system = Record.Owner->System;
  return system && system->Page ? system->Page->PageIndex : -1;
}

TKVDisplayItem* FindItemDisplay(const TKVItem* Item, const TKVMeasureRecord& R) {
  if (!Item) return nullptr;
  for (int32_t i = 0; i < R.DisplayCount; ++i) {
    TKVDisplayItem* d = R.GetDisplay(i);
    if (d && d->RecordType == DisplayRecordType::Item && d->Item == Item) return d;
  }
  return nullptr;
}

}  // namespace render
