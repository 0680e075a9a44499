#include "score/layout/page/PagePlaces.h"

#include <algorithm>

#include "score/layout/ItemFields.h"
#include "score/layout/page/PageComposer.h"
#include "score/model/Item.h"
#include "score/model/ItemKinds.h"
#include "score/model/Staff.h"

int64_t TickX(const TKVMeasureRecord& Record, int64_t Tick) {
  const std::vector<uint32_t>& table = Record.TickTable;
  if (table.empty()) return Record.LeftX;
  const int64_t last = std::min<int64_t>(Record.Length, int64_t(table.size()) - 1);
  return int64_t(Record.LeftX) + int32_t(table[size_t(std::clamp<int64_t>(Tick, 0, last))]);
}

int64_t StartWidths(const TKVMeasureRecord& Record) {
  const auto& e = Record.Extents;
  return int64_t(e[ExtentWord::ExtraLeft]) + e[ExtentWord::ClefWidth] + e[ExtentWord::KeyWidth];
}

int64_t EndWidths(const TKVMeasureRecord& Record) {
  const auto& e = Record.Extents;
  return int64_t(e[ExtentWord::ExtraEnd]) + e[ExtentWord::ExtraEnd + 1] + e[ExtentWord::EndKeyWidth];
}

TKVStaffLineRecord* SystemStaffLine(const TKVMeasureRecord& Record, int32_t Staff) {
  const TKVSystemRecord* system = Record.System;
  if (!system || !system->Page || Staff < 0) return nullptr;
  const int64_t index = int64_t(system->FirstStaffLine) + Staff;
  if (index > system->LastStaffLine) return nullptr;
  TKVStaffLineRecord* line = system->Page->GetStaffLine(int32_t(index));
  return line && line->System == system ? line : nullptr;
}

int32_t HalfLineSpace(const TKVStaffLineRecord& Line) {
  const int32_t lines = Line.Staff ? Line.Staff->LineCount() : 5;
  return lines == 1 || lines == 2 || lines == 4 ? Line.LineSpacing / 2 : 0;
}

int32_t AnchorTick(const TKVItem* Item) {
  if (!Item) return 0;
  const TKVItem* owner = Item->OwnerItem();
  const uint8_t ownerKind = owner ? owner->Kind() : 0;
  if (ownerKind == ItemKind::GraceGroup) return ItemPosition(owner);
  if (ownerKind == ItemKind::Note || ownerKind == ItemKind::SecondNote || ownerKind == ItemKind::Rest)
    return AnchorTick(owner);
  return ItemPosition(Item);
}

void MoveRect(TKVLayoutRect& Rect, int64_t X, int64_t Y) {
  const int64_t left = Rect.Left + X;
  Rect.Width = Saturate32(left + Rect.Width);
  Rect.Left = Saturate32(left);
  Rect.Top = Saturate32(Rect.Top + Y);
  Rect.Bottom = Saturate32(Rect.Bottom + Y);
}
