#include "score/layout/measure/ColumnMarks.h"

#include <algorithm>
#include <functional>
#include <string>

#include "score/layout/LayoutServices.h"
#include "score/layout/ScoreLayoutRecords.h"
#include "score/layout/staff/SignatureWidths.h"
#include "score/model/Column.h"
#include "score/model/ItemKinds.h"
#include "score/model/Mark.h"
#include "score/model/Measure.h"
#include "score/model/Page.h"
#include "score/model/Part.h"
#include "score/model/Piece.h"
#include "score/model/Score.h"
#include "score/model/Staff.h"

namespace {


uint16_t GroupWord(const TKVStaff* Staff) { return Staff->Data().u16(StaffBlock::PartIndex); }

// Calls Group(first, last) for every run of shown staves that share a
// bar-line group word, in staff order.
void ForEachStaffGroup(const TKVFormatContext& Ctx, const std::function<void(TKVStaff*, TKVStaff*)>& Group) {
  const std::vector<TKVStaff*>& staves = Ctx.Staves;
  size_t start = 0;
  for (size_t i = 1; i <= staves.size(); ++i) {
    if (i < staves.size() && GroupWord(staves[i]) == GroupWord(staves[start])) continue;
    Group(staves[start], staves[i - 1]);
    start = i;
  }
}

// A display record of Mark on Staff, chained behind the mark's previous one.
TKVDisplayItem& ChainedDisplay(TKVFormatContext& Ctx, TKVMark& Mark, TKVStaff* Staff) {
  Ctx.Staff = Staff;
  TKVDisplayItem& display = AddDisplayItem(Ctx, &Mark, true);
  display.Link = Mark.DisplayLink;
  Mark.DisplayLink = &display;
  return display;
}

void LayoutMeterMark(TKVFormatContext& Ctx, TKVMark& Mark) {
  int32_t width = GetMeterWidth(Ctx, Mark.Value(), Mark.Flags(), &Mark);
  int32_t maxSize = 0;
  for (const TKVStaff* staff : Ctx.Staves) maxSize = std::max<int32_t>(maxSize, staff->SizePercent());
  // A size byte of 0 means "unchanged": as documented it would scale the
  // width to nothing on staves that are not at 100 %.
  const int32_t itemSize = Mark.SizePercent() == 0 ? 100 : Mark.SizePercent();
  if (maxSize != 100 || Mark.SizePercent() != 0) width = int32_t(int64_t(width) * itemSize * maxSize / 10000);
  Mark.DisplayLink = nullptr;
  auto place = [&](TKVStaff* staff) -> TKVDisplayItem& {
    TKVDisplayItem& display = ChainedDisplay(Ctx, Mark, staff);
    ApplyItemSize(display, Mark.SizePercent());
    display.Bounds = {Mark.OffsetX(), Mark.OffsetY(), width, Mark.OffsetY()};
    if (Mark.Position() > 0)
      display.Bounds.Left -= int32_t(int64_t(width) * Ctx.Scale() * display.SizePercent / 10000);
    return display;
  };
  const std::vector<TKVStaff*>& staves = Ctx.Staves;
  switch (Mark.Flags() & 0x0C) {
    case 0:
      for (TKVStaff* staff : staves) place(staff);
      break;
    case 4: {
      TKVDisplayItem* current = nullptr;
      for (TKVStaff* staff : staves) {
        if (current && current->Staff->Part() == staff->Part())
          current->LastStaff = staff->LayoutIndex;
        else
          current = &place(staff);
      }
      break;
    }
    case 8:
      place(staves.front()).LastStaff = staves.back()->LayoutIndex;
      break;
    default:
      break;
  }
}

// Returns whether the mark stands at the measure's end as a closing bar.
bool LayoutBarMark(TKVFormatContext& Ctx, TKVMark& Mark) {
  const uint8_t kind = Mark.Kind();
  Mark.SetOffsetX(int16_t(std::clamp<int32_t>(Mark.OffsetX(), -1000, 1000)));
  const bool endBar =
      Mark.Position() >= Ctx.Record->Length && kind >= ItemKind::RepeatEnd && kind <= ItemKind::FinalBar;
  int64_t width = kind <= ItemKind::RepeatEnd && kind >= ItemKind::RepeatStart ? 8
                  : kind == ItemKind::DoubleBar                                 ? 4
                  : kind == ItemKind::BarLine                                   ? 3
                                                                                : 5;
  const int32_t staffSize = Ctx.Staff ? Ctx.Staff->SizePercent() : 100;
  if (Ctx.Scale() != 100 || staffSize != 100) width = width * Ctx.Scale() * staffSize / 10000;
  Mark.DisplayLink = nullptr;
  TKVDisplayItem* last = nullptr;
  ForEachStaffGroup(Ctx, [&](TKVStaff* first, TKVStaff* end) {
    last = &ChainedDisplay(Ctx, Mark, first);
    last->LastStaff = end->LayoutIndex;
    last->Bounds = {ScaleByScore(Ctx, Mark.OffsetX()), 0, int32_t(width * 8), 0};
  });
  if (last) last->Param = uint16_t(Ctx.Staves.back()->Part()->Index());
  Ctx.Record->PlayMarks.push_back(&Mark);
  return endBar;
}

void LayoutMeasureRepeat(TKVFormatContext& Ctx, TKVMark& Mark) {
  Mark.DisplayLink = nullptr;
  Ctx.Canvas.Font = {TextFontName(Ctx.Score, 9, Mark.Text1()), 72, Mark.TextStyle()};
  const int32_t w = Ctx.Canvas.TextWidth(std::to_string(Mark.Value()));
  const int32_t h = Ctx.Canvas.TextHeight();
  const long double lineSpace = Ctx.Score.Page().InternalValue(pvLineSpace);
  const uint16_t count = Mark.Value();
  for (TKVStaff* staff : Ctx.Staves) {
    TKVDisplayItem& display = ChainedDisplay(Ctx, Mark, staff);
    const int32_t s = LineStep(lineSpace, Ctx.Scale(), staff->SizePercent());
    const int64_t factor = int64_t(Ctx.Scale()) * staff->SizePercent();
    const int32_t x = int32_t(Mark.OffsetX() * factor / 10000), y = int32_t(Mark.OffsetY() * factor / 10000);
    if (count == 2 || count == 3)
      display.Bounds2 = {x, y + s, 0, y + 2 * s};
    else if (count >= 4 && count <= 9)
      display.Bounds2 = {x, y + s, 0, y + 3 * s};
    else
      display.Bounds2 = {x, y + 3 * s / 2, 0, y + 5 * s / 2};
    display.Bounds = ScaleLayoutRect(Ctx, Mark.OffsetX(), Mark.OffsetY(), Mark.OffsetX(), Mark.OffsetY(),
                                     display.SizePercent);
    display.Bounds.Left = w + ScaleByScore(Ctx, Mark.OffsetX());
    display.Bounds.Top = h;
  }
}

// Returns whether the item is a bar mark closing the measure.
bool LayoutColumnMark(TKVFormatContext& Ctx, TKVItem* Item) {
  auto* mark = ItemCast<TKVMark>(Item);
  if (!mark || Ctx.Staves.empty()) return false;
  const uint8_t kind = mark->Kind();
  if (kind == ItemKind::Meter)
    LayoutMeterMark(Ctx, *mark);
  else if (kind == ItemKind::BarLine || (kind >= ItemKind::RepeatStart && kind <= ItemKind::HeavyLightBar))
    return LayoutBarMark(Ctx, *mark);
  else if (kind == ItemKind::MultiMeasureRest)
    LayoutMeasureRepeat(Ctx, *mark);
  return false;
}

void AddConnectors(TKVFormatContext& Ctx, const TKVColumn* Column) {
  const TKVStaff* lastShown = Ctx.Staves.back();
  ForEachStaffGroup(Ctx, [&](TKVStaff* first, TKVStaff* last) {
    Ctx.Staff = first;
    TKVDisplayItem& connector = AddDisplayItem(Ctx, nullptr, true);
    connector.RecordType = DisplayRecordType::Connector;
    connector.LastStaff = last->LayoutIndex;
    // The closing group names its last staff, the others their first.
    if (last == lastShown) connector.Staff = last;
    connector.Bounds = {-20, 0, 16, 0};
    // A column's negative end room moves its connectors left.
    if (Column && Column->EndRoom() < 0) connector.Bounds.Left += Column->EndRoom();
  });
}

}  // namespace

void CalcMeasureExtents(TKVFormatContext& Ctx) {
  if (Ctx.Staves.empty()) return;
  bool endBar = false;
  TKVColumn* column = Ctx.Piece.GetColumn(Ctx.ColumnIndex);
  if (column)
    for (TKVItem* item : column->Items().Items()) endBar = LayoutColumnMark(Ctx, item) || endBar;
  TKVPart* part = Ctx.Part ? Ctx.Part : Ctx.Score.GetActivePart();
  if (ScoreLayoutRecords(Ctx.Score).PartMarkFlag != 0 && Ctx.Score.ViewStyle() == vsPart && part &&
      Ctx.ColumnIndex < part->GetMeasureCount() && Ctx.Record->Covered == 0)
    for (TKVItem* item : part->GetMeasure(Ctx.ColumnIndex)->Items().Items())
      endBar = LayoutColumnMark(Ctx, item) || endBar;
  if (!endBar) AddConnectors(Ctx, column);
}

void ApplyMeasureMinimums(TKVFormatContext& Ctx) {
  TKVMeasureRecord& R = *Ctx.Record;
  const TKVScoreSettings& settings = Ctx.Score.Settings();
  auto raise = [](uint32_t& entry, int shift, uint32_t minimum) {
    const uint32_t half = (entry >> shift) & 0xFFFF;
    if (half < minimum) entry = (entry & ~(0xFFFFu << shift)) | (minimum << shift);
  };
  if (!R.TickTable.empty()) raise(R.TickTable[0], 0, settings.MetricWord(0) / 8u);
  if (R.Length >= 1 && R.Length - 1u < R.TickTable.size())
    raise(R.TickTable[R.Length - 1u], 16, settings.MetricWord(1) / 8u);
  uint16_t& start = R.Extents[ExtentWord::StartSpace];
  start = uint16_t(std::min<uint32_t>(start + settings.MetricWord(4), 0xFFFF));
}
