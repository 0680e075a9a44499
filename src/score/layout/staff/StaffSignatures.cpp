#include "score/layout/staff/StaffSignatures.h"

#include <algorithm>

#include "score/layout/LayoutServices.h"
#include "score/layout/staff/SignatureWidths.h"
#include "score/model/ItemKinds.h"
#include "score/model/Mark.h"
#include "score/model/Measure.h"
#include "score/model/Part.h"
#include "score/model/Piece.h"
#include "score/model/Score.h"
#include "score/model/Staff.h"

namespace {


uint16_t Word16(int64_t V) { return uint16_t(std::clamp<int64_t>(V, 0, 65535)); }

void MarkNotesInMeasure(TKVMeasureRecord& R) { R.Flags = uint8_t((R.Flags & ~0x30) | 0x20); }

void LayoutBracket(TKVFormatContext& Ctx, TKVMark& Bracket) {
  TKVPartLayoutRecord& P = *Ctx.Record->PartRecords[size_t(Ctx.Part->Index())];
  if (P.FirstFlag == 0) P.CarriedItems.clear();
  P.FirstFlag = 1;
  P.CarriedItems.push_back(&Bracket);
}

// Size of a measure-start clef's glyph: 18 points at the staff's size.
int ClefFontSize(const TKVFormatContext& Ctx, const TKVStaff& Staff) {
  const int64_t size = Staff.SizePercent(), scale = Ctx.Scale();
  if (size == 100 && scale == 100) return 18;
  return int(std::clamp<int64_t>(scale * 18 * size / 10000, 0, 1000));
}

// Scales a clef extent by the score and the record's size.
int32_t ScaleExtent(const TKVFormatContext& Ctx, int32_t Value, int32_t Percent) {
  return int32_t(std::clamp<int64_t>(int64_t(Value) * Ctx.Scale() * Percent / 10000, INT32_MIN, INT32_MAX));
}

}  // namespace

uint8_t ClefGlyph(uint8_t Type) {
  switch (Type) {
    case 2: case 6: case 7: return 35;
    case 3: case 8: case 9: case 10: case 11: return 36;
    default: return 34;
  }
}

void ResetLayoutCanvas(TKVFormatContext& Ctx) {
  Ctx.Canvas.Font = {Ctx.Score.MusicFontName(), 144, 0};
  Ctx.SymbolFontEntry = nullptr;
}

void LayoutClef(TKVFormatContext& Ctx, TKVMark& Clef) {
  const uint8_t staffIndex = Clef.StaffVoice() >> 4;
  TKVStaff* staff = Ctx.Part->GetStaff(staffIndex);
  TKVPartLayoutRecord& P = *Ctx.Record->PartRecords[size_t(Ctx.Part->Index())];
  if (!staff || size_t(staffIndex) >= P.StaffRecords.size()) return;  // no such staff: nothing to lay out
  Clef.RuntimeStaff = staffIndex;
  Clef.Voice = nullptr;
  Clef.DisplayLink = nullptr;
  Ctx.Staff = staff;
  TKVMeasureRecord& R = *Ctx.Record;
  TKVStaffLayoutRecord& staffRecord = *P.StaffRecords[staffIndex];
  const uint8_t type = Clef.Variant();
  TKVDisplayItem* display;
  if (Clef.Position() == 0) {
    ResetLayoutCanvas(Ctx);
    Ctx.Canvas.Font.Size = ClefFontSize(Ctx, *staff);
    if (type < 13 || type > 15) {
      Ctx.Glyph = ClefGlyph(type);
      SelectLayoutSymbolFont(Ctx, Clef.FontIndex());
    }
    const int32_t w = GetClefWidth(Ctx, type) * 8;
    display = &AddDisplayItem(Ctx, &Clef, true);
    ApplyItemSize(*display, Clef.SizePercent());
    Clef.DisplayLink = display;
    SetClefExtent(type, *display);
    TKVLayoutRect& rect = display->Bounds;
    display->Param = 0;
    rect.Left = ScaleByScore(Ctx, Clef.OffsetX());
    rect.Width = w;
    const int32_t dy = ScaleByScore(Ctx, Clef.OffsetY());
    rect.Top = dy + ScaleExtent(Ctx, rect.Top, display->SizePercent);
    rect.Bottom = dy + ScaleExtent(Ctx, rect.Bottom, display->SizePercent);
    staffRecord.FirstFlag = 1;
    uint16_t& clefWidth = R.Extents[ExtentWord::ClefWidth];
    clefWidth = std::max(clefWidth, Word16(int64_t(Ctx.Score.Settings().ClefSpacing()) + w));
    // Later widths are measured at the glyphs' layout size again.
    ResetLayoutCanvas(Ctx);
  } else {
    // A change inside the measure: the column step places it, smaller.
    MarkNotesInMeasure(R);
    display = &AddDisplayItem(Ctx, &Clef, true);
    Clef.DisplayLink = display;
    display->SizePercent = uint8_t(std::clamp<int64_t>(int64_t(display->SizePercent) * 70 * Ctx.Scale() / 10000, 0, 255));
  }
  staffRecord.CarriedClef = display;
  staffRecord.ClefList.push_back(display);
}

void LayoutSignatures(TKVFormatContext& Ctx) {
  const std::vector<TKVItem*> items = Ctx.Measure->Items().Items();
  for (TKVItem* item : items) {
    auto* mark = ItemCast<TKVMark>(item);
    if (!mark) continue;
    switch (item->Kind()) {
      case ItemKind::StaffBracket: LayoutBracket(Ctx, *mark); break;
      case ItemKind::Clef: LayoutClef(Ctx, *mark); break;
      case ItemKind::KeySignature: LayoutKeySignature(Ctx, *mark); break;
      default: break;
    }
  }
}

void DropEarlierCancellations(TKVFormatContext& Ctx) {
  if (Ctx.ColumnIndex < 1) return;
  auto& records = Ctx.Piece.Layout().MeasureRecords;
  if (size_t(Ctx.ColumnIndex - 1) >= records.size()) return;
  TKVMeasureRecord& previous = *records[size_t(Ctx.ColumnIndex - 1)];
  const size_t used = std::min(size_t(previous.DisplayCount), previous.Displays.size());
  // Only this column puts naturals into the record before it: every one of
  // them goes behind the used records, in order, to be made again.
  auto first = previous.Displays.begin(), last = first + std::ptrdiff_t(used);
  auto kept = std::stable_partition(first, last, [](const auto& d) { return (d->Flags & 0x20) == 0; });
  previous.DisplayCount = uint16_t(kept - first);
}
