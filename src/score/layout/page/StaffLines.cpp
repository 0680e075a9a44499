// The vertical steps of the page composer: a system's spacing parameters,
// the height of a part's staves, the staff-line records and their y values.

#include <algorithm>
#include <cstdint>
#include <vector>

#include "score/layout/page/PageComposer.h"
#include "score/model/Part.h"
#include "score/model/Piece.h"
#include "score/model/Score.h"
#include "score/model/Staff.h"

namespace {

bool IsTablature(const TKVStaff* Staff) { return Staff->Data().u8(StaffBlock::Tablature) != 0; }

// Height of a staff's outer lines, 0.1 mm.
long double StaffHeight(const TKVComposerContext& Ctx, const TKVStaff* Staff) {
  const long double height = 4 * Ctx.LineSpaceMM;
  const int32_t size = Staff->SizePercent();
  return Ctx.Scale() == 100 && size == 100 ? height : height * Ctx.Scale() * size / 10000;
}

long double Scaled(const TKVComposerContext& Ctx, long double Value) {
  return Ctx.Scale() == 100 ? Value : Value * Ctx.Scale() / 100;
}

// A staff-distance entry (units) as 0.1 mm.
long double StaffDistance(const TKVComposerContext& Ctx, int64_t LineNumber) {
  return UnitsToTenths(Ctx.SpacingEntry(0, LineNumber));
}

// The shown staff after Staff in the composer's parts; nil for the last.
const TKVStaff* NextShownStaff(const TKVComposerContext& Ctx, const TKVStaff* Staff) {
  bool after = false;
  for (const TKVPart* part : Ctx.Parts())
    for (int32_t i = 0; i < part->GetStaffCount(); ++i) {
      const TKVStaff* staff = part->GetStaff(i);
      if (after && Ctx.Shown(staff)) return staff;
      after = after || staff == Staff;
    }
  return nullptr;
}

// The measure records the composer is placing on the current system.
std::vector<TKVMeasureRecord*> SystemMeasures(const TKVComposerContext& Ctx) {
  std::vector<TKVMeasureRecord*> records;
  for (int32_t n = Ctx.n; n < Ctx.SystemEnd; ++n) records.push_back(Ctx.MeasureRecord(n));
  return records;
}

}  // namespace

void SetSystemSpacing(TKVComposerContext& Ctx) {
  uint8_t alignment = Ctx.Score.Align();
  Ctx.NoteSpacing = Ctx.Score.NoteInterval();
  const std::vector<uint8_t>* table = nullptr;
  if (Ctx.Piece && Ctx.PartView()) {
    std::vector<TKVPart*> parts = Ctx.Parts();
    if (!parts.empty()) table = &parts[0]->ByteListA();
  } else if (Ctx.Piece) {
    table = &Ctx.Piece->ByteList();
  }
  if (table && Ctx.SystemNumber >= 0 && size_t(Ctx.SystemNumber) < table->size() && (*table)[size_t(Ctx.SystemNumber)])
    alignment = (*table)[size_t(Ctx.SystemNumber)];
  Ctx.Stretch = (alignment & 0x80) != 0;
  alignment &= 0x7F;
  if (alignment < 2) alignment = Ctx.Score.Align() & 0x7F;
  if (alignment >= 10 && alignment <= 49) Ctx.NoteSpacing = (alignment - 10) * 8;
  Ctx.SpacingBase = int32_t(int64_t(Ctx.NoteSpacing) * 2 / 3);
  if (Ctx.Piece && Ctx.Piece->Separate() && alignment >= 100) alignment = 50;
  Ctx.Alignment = alignment;
}

void CalcPartHeight(TKVComposerContext& Ctx) {
  const TKVPart& part = *Ctx.Part;
  const long double systemDistance = Ctx.Score.Settings().SystemDistance();
  const std::vector<TKVMeasureRecord*> measures = SystemMeasures(Ctx);
  for (int32_t i = 0; i < part.GetStaffCount(); ++i) {
    const TKVStaff* staff = part.GetStaff(i);
    if (!Ctx.Shown(staff)) continue;
    const int64_t k = int64_t(Ctx.Page->StaffLineCounter) + staff->LayoutIndex + (Ctx.NewPage ? 0 : 1);
    Ctx.SystemHeight += StaffDistance(Ctx, k);
    // The part keeps no staff interval of its own: the page's serves.
    const bool last = i == part.GetStaffCount() - 1;
    const long double gap = last && systemDistance != 0 ? systemDistance : Ctx.Interval;
    const long double below = StaffHeight(Ctx, staff) + Scaled(Ctx, gap);
    Ctx.SystemHeight += below + VerseRoom(Ctx, staff, TenthsToUnits(StaffHeight(Ctx, staff)),
                                          NextShownStaff(Ctx, staff), below, measures);
  }
}

namespace {
void MakeStaffLines(TKVComposerContext& Ctx, bool Separate) {
  TKVPart& part = *Ctx.Part;
  const int32_t p = part.Index();
  if (p < 0 || size_t(p) >= Ctx.System->Parts.size()) return;
  TKVSystemPartRecord& record = *Ctx.System->Parts[size_t(p)];
  record.System = Ctx.System;
  record.Part = &part;
  record.FirstStaffLine = record.LastStaffLine = Ctx.Page->StaffLineCount;
  const int32_t number = Ctx.System->Number;
  const int32_t left = Separate ? Ctx.System->LeftX
                                : Saturate32(int64_t(TenthsToUnits(Ctx.LeftEdge)) + Ctx.SpacingEntry(1, number));
  const int32_t right =
      Saturate32(int64_t(TenthsToUnits(Ctx.RightEdge)) + (Separate ? 0 : Ctx.SpacingEntry(2, number)));
  for (int32_t i = 0; i < part.GetStaffCount(); ++i) {
    TKVStaff* staff = part.GetStaff(i);
    TKVStaffLineRecord& line = GetStaffLineRecord(Ctx);
    line.Staff = staff;
    line.PartRecord = &record;
    if (Separate || Ctx.Shown(staff)) {
      line.Flags |= 1;
      Ctx.System->Flags |= 1;
    }
    line.LineSpacing = uint16_t(std::clamp(IsTablature(staff) ? Ctx.TabLineSpace : Ctx.LineSpace, 0, 0xFFFF));
    line.LeftX = left;
    line.RightX = right;
    record.LastStaffLine = line.Index;
  }
  Ctx.System->LeftX = left;
  Ctx.System->RightX = right;
}

// The shown line a hidden one is drawn with: a neighbour of its part
// (backwards, then forwards), else any shown line of the system.
TKVStaffLineRecord* ShownLineFor(const TKVComposerContext& Ctx, int32_t Index) {
  const TKVSystemRecord& system = *Ctx.System;
  const TKVPageRecord& page = *Ctx.Page;
  const TKVSystemPartRecord* part = page.GetStaffLine(Index)->PartRecord;
  auto shown = [&](int32_t i, bool samePart) -> TKVStaffLineRecord* {
    TKVStaffLineRecord* line = page.GetStaffLine(i);
    return line && (line->Flags & 1) && (!samePart || line->PartRecord == part) ? line : nullptr;
  };
  for (int32_t i = Index - 1; i >= system.FirstStaffLine && page.GetStaffLine(i)->PartRecord == part; --i)
    if (TKVStaffLineRecord* line = shown(i, true)) return line;
  for (int32_t i = Index + 1; i <= system.LastStaffLine && page.GetStaffLine(i) &&
                              page.GetStaffLine(i)->PartRecord == part; ++i)
    if (TKVStaffLineRecord* line = shown(i, true)) return line;
  for (int32_t i = Index - 1; i >= system.FirstStaffLine; --i)
    if (TKVStaffLineRecord* line = shown(i, false)) return line;
  for (int32_t i = Index + 1; i <= system.LastStaffLine; ++i)
    if (TKVStaffLineRecord* line = shown(i, false)) return line;
  return nullptr;
}

// Room taken by the lines a staff of Lines lines leaves out of the five.
int32_t InnerMargin(int32_t Lines, int32_t Spacing) {
  switch (Lines) {
    case 1: return 2 * Spacing;
    case 2: return 3 * Spacing / 2;
    case 3: return Spacing;
    case 4: return Spacing / 2;
    default: return 0;
  }
}
}  // namespace

void CreateStaffLines(TKVComposerContext& Ctx) { MakeStaffLines(Ctx, false); }
void CreateSeparateStaffLines(TKVComposerContext& Ctx) { MakeStaffLines(Ctx, true); }

void PlaceStaffLines(TKVComposerContext& Ctx) {
  TKVSystemRecord& system = *Ctx.System;
  TKVPageRecord& page = *Ctx.Page;
  const long double systemDistance = Ctx.Score.Settings().SystemDistance();
  const bool separate = Ctx.Piece->Separate();
  long double y = Ctx.Y;
  system.Top = TenthsToUnits(y);
  const std::vector<TKVMeasureRecord*> measures(system.Measures.begin(),
                                                system.Measures.begin() + std::min<size_t>(system.MeasureCount, system.Measures.size()));
  TKVStaffLineRecord* previous = nullptr;
  for (int32_t i = system.FirstStaffLine; i <= system.LastStaffLine; ++i) {
    TKVStaffLineRecord* line = page.GetStaffLine(i);
    if (!line) break;
    if (!(line->Flags & 1)) {
      line->AttachedLine = ShownLineFor(Ctx, i);
      continue;
    }
    const TKVStaff* staff = line->Staff;
    const long double start = y;
    y += StaffDistance(Ctx, line->Number);
    line->Top = TenthsToUnits(y);
    const long double staffTop = y;
    if (!previous && !separate) {
      line->TopJoin = TenthsToUnits(y - Ctx.Interval);
    } else if (previous) {
      line->TopJoin = Saturate32((int64_t(previous->Bottom) + line->Top) / 2);
      previous->BottomJoin = line->TopJoin;
    } else {
      line->TopJoin = line->Top;
    }
    y += StaffHeight(Ctx, staff);
    line->Bottom = TenthsToUnits(y);
    const bool tablature = IsTablature(staff);
    const int32_t spacing =
        tablature ? Saturate32(int64_t(Ctx.TabLineSpace) * staff->SizePercent() / 100) : Ctx.LineSpace;
    const int32_t lines = staff->LineCount();
    const int32_t margin = InnerMargin(lines, spacing);
    if (tablature && lines > 1) {
      const int64_t need = int64_t(lines - 1) * spacing + 2 * int64_t(margin);
      const int64_t extra = need - (int64_t(line->Bottom) - line->Top);
      if (extra > 0) {
        line->Top = Saturate32(line->Top - extra / 2);
        line->Bottom = Saturate32(line->Bottom + (extra - extra / 2));
      }
    }
    line->InnerTop = Saturate32(int64_t(line->Top) + margin);
    line->InnerBottom = Saturate32(int64_t(line->Bottom) - margin);
    line->BottomJoin = TenthsToUnits(y + Ctx.Interval);
    const bool lastOfSystem = i == system.LastStaffLine;
    const long double gap = Scaled(Ctx, lastOfSystem && systemDistance != 0 ? systemDistance : Ctx.Interval);
    const TKVStaffLineRecord* next = nullptr;
    for (int32_t k = i + 1; k <= system.LastStaffLine && !next; ++k)
      if (const TKVStaffLineRecord* l = page.GetStaffLine(k); l && (l->Flags & 1)) next = l;
    y += gap + VerseRoom(Ctx, staff, int64_t(line->Bottom) - line->Top, next ? next->Staff : nullptr,
                         y - staffTop + gap, measures);
    line->Height = y - start;
    previous = line;
  }
  for (auto& part : system.Parts) part->Flags |= 1;
  for (int32_t i = system.FirstStaffLine; i <= system.LastStaffLine; ++i)
    if (const TKVStaffLineRecord* line = page.GetStaffLine(i); line && (line->Flags & 1) && line->PartRecord)
      line->PartRecord->Flags &= uint8_t(~1);
  Ctx.Y = y;
  system.Bottom = TenthsToUnits(y);
  if (!system.TopExtent && !system.BottomExtent) {
    system.TopExtent = system.Top;
    system.BottomExtent = system.Bottom;
  }
}
