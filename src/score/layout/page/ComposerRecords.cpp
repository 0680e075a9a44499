// The page composer's records and cursors: taking the next page, system and
// staff-line record under the reuse rule, attaching measures to systems,
// and the start of a page with its frame and numbering.

#include <algorithm>

#include "base/Strings.h"
#include "score/layout/page/PageComposer.h"
#include "score/model/Part.h"
#include "score/model/Piece.h"
#include "score/model/Score.h"
#include "score/model/ScoreView.h"
#include "score/model/Staff.h"

TKVPageRecord& GetPageRecord(TKVComposerContext& Ctx) {
  Ctx.Page = &TakeRecord(Ctx.Store.Pages, size_t(Ctx.Store.PageCount));
  return *Ctx.Page;
}

TKVSystemRecord& GetSystemRecord(TKVComposerContext& Ctx) {
  TKVSystemRecord& system = TakeRecord(Ctx.Page->Systems, Ctx.Page->SystemCount);
  if (!Ctx.Piece->Separate()) {
    if (!Ctx.NewPage) ++Ctx.Page->SystemCounter;
    system.Number = Ctx.Page->SystemCounter;
  }
  system.Flags = 0;
  Ctx.System = &system;
  return system;
}

void InitSystemParts(TKVComposerContext& Ctx) {
  TKVSystemRecord& system = *Ctx.System;
  system.Page = Ctx.Page;
  system.FirstMeasure = uint16_t(Ctx.n);
  system.MeasureCount = 0;
  system.Piece = Ctx.Piece;
  system.FirstStaffLine = system.LastStaffLine = Ctx.Page->StaffLineCount;
  system.TopExtent = system.BottomExtent = 0;
  for (int32_t i = int32_t(system.Parts.size()); i < Ctx.Piece->GetPartCount(); ++i)
    system.Parts.push_back(std::make_unique<TKVSystemPartRecord>());
}

TKVStaffLineRecord& GetStaffLineRecord(TKVComposerContext& Ctx) {
  TKVPageRecord& page = *Ctx.Page;
  TKVStaffLineRecord& line = TakeRecord(page.StaffLines, page.StaffLineCount);
  line = TKVStaffLineRecord{};
  line.Page = &page;
  line.System = Ctx.System;
  line.Index = page.StaffLineCount++;
  if (Ctx.Piece->Separate()) {
    line.Flags = 1;
  } else {
    if (!Ctx.NewPage) ++page.StaffLineCounter;
    line.Number = page.StaffLineCounter;
  }
  Ctx.NewPage = false;
  return line;
}

TKVDisplayItem& AddMeasureDisplay(TKVComposerContext& Ctx, TKVItem* Item) {
  TKVMeasureRecord& record = *Ctx.Record;
  TKVDisplayItem& display = TakeRecord(record.Displays, record.DisplayCount++);
  display = TKVDisplayItem{};
  display.Owner = &record;
  display.Item = Item;
  if (Ctx.Staff) {
    display.SizePercent = Ctx.Staff->SizePercent();
    display.StaffIndex = display.LastStaff = Ctx.Staff->LayoutIndex;
    display.Staff = Ctx.Staff;
  }
  return display;
}

void AttachMeasureToSystem(TKVComposerContext& Ctx) {
  TKVSystemRecord& system = *Ctx.System;
  if (system.Measures.size() <= system.MeasureCount) system.Measures.resize(system.MeasureCount + 1u, nullptr);
  system.Measures[system.MeasureCount] = Ctx.Record;
  Ctx.Record->System = &system;
  Ctx.Record->TopY = system.Top;
  Ctx.Record->BottomY = system.Bottom;
  if (!Ctx.Piece->Separate()) Ctx.Page->LastMeasure = Ctx.n;
  for (TKVPart* part : Ctx.Parts()) {
    const int32_t p = part->Index();
    if (p < 0 || size_t(p) >= Ctx.Record->PartRecords.size()) continue;
    auto& staves = Ctx.Record->PartRecords[size_t(p)]->StaffRecords;
    for (int32_t s = 0; s < part->GetStaffCount() && size_t(s) < staves.size(); ++s)
      staves[size_t(s)]->StaffLineIndex = uint16_t(part->GetStaff(s)->LayoutIndex + system.FirstStaffLine);
  }
}

int32_t NextPlainPiece(const TKVComposerContext& Ctx, int32_t From) {
  int32_t i = std::max(From, 0);
  while (i < Ctx.Score.GetPieceCount() && Ctx.Score.GetPiece(i)->Separate()) ++i;
  return i;
}

bool IsPieceFinished(const TKVComposerContext& Ctx) {
  if (!Ctx.Piece || Ctx.n < Ctx.Piece->GetColumnCount()) return !Ctx.Piece;
  for (int32_t i = 0; i < Ctx.Piece->GetPartCount(); ++i)
    if (Ctx.n < Ctx.Piece->GetPart(i)->GetMeasureCount()) return false;
  return true;
}

void SetPageArea(TKVComposerContext& Ctx) {
  const TKVPage& page = Ctx.Score.Page();
  const bool turned = page.Turn() && Ctx.Store.PageCount % 2 == 1;
  const long double left = page.InternalValue(pvLeftMargin), right = page.InternalValue(pvRightMargin);
  const long double width = page.InternalValue(pvWidth), height = page.InternalValue(pvHeight);
  Ctx.LeftEdge = turned ? right : left;
  Ctx.TopEdge = page.InternalValue(pvTopMargin);
  Ctx.RightEdge = (page.Book() ? width / 2 : width) - (turned ? left : right);
  Ctx.BottomEdge = height - page.InternalValue(pvBottomMargin);
  Ctx.PageWidth = Saturate32(int64_t(Round(double((page.Book() ? width / 2 : width) / 2.6458333L))) * 8);
  Ctx.PageHeight = Saturate32(int64_t(Round(double(height / 2.6458333L))) * 8);
}

void StartPage(TKVComposerContext& Ctx) {
  TKVPageRecord& page = *Ctx.Page;
  const TKVComposerSettings& settings = Ctx.Settings;
  Ctx.NewPage = true;
  Ctx.Y = Ctx.TopEdge + (settings.FirstSystemOffset != 0 ? settings.FirstSystemOffset : Ctx.Interval);
  page.PageIndex = uint16_t(Ctx.Store.PageCount);
  page.SystemCount = page.StaffLineCount = page.PageObjectCount = 0;
  page.MeasureCount = 0;
  const int32_t pieces = Ctx.Score.GetPieceCount();
  if (Ctx.Store.PageCount == 0) {
    int32_t index = 0;
    if (Ctx.PartView() && Ctx.View) index = Ctx.View->CursorPiece();
    if (index >= 0 && index < pieces && Ctx.Score.GetPiece(index)->Separate()) index = NextPlainPiece(Ctx, index);
    Ctx.PieceIndex = index;
    Ctx.Piece = index >= 0 && index < pieces ? Ctx.Score.GetPiece(index) : nullptr;
    Ctx.n = 0;
    page.StartPiece = page.FirstSystemNumber = page.FirstMeasure = page.FirstStaffLineNumber = 0;
    page.PendingPageBreaks = Ctx.PartView() ? 0 : settings.FirstPageBreaks;
    page.RunningMeasureCount = page.RealMeasureCount = 0;
  } else {
    const TKVPageRecord& previous = *Ctx.Store.Pages[size_t(Ctx.Store.PageCount - 1)];
    int32_t index = NextPlainPiece(Ctx, previous.Piece);
    Ctx.n = previous.Continuation ? previous.LastMeasure : previous.LastMeasure + 1;
    Ctx.Piece = index < pieces ? Ctx.Score.GetPiece(index) : nullptr;
    const bool finished = Ctx.Piece ? IsPieceFinished(Ctx) : true;
    const int add = previous.Continuation ? 0 : 1;
    if (Ctx.Piece && (!finished || Ctx.FillOn() || (index == pieces - 1 && Ctx.Store.PageCount < Ctx.MinPages))) {
      page.StartPiece = uint16_t(index);
      page.FirstSystemNumber = uint16_t(previous.SystemCounter + add);
      page.FirstMeasure = uint16_t(previous.LastMeasure + add);
      page.FirstStaffLineNumber = uint16_t(previous.StaffLineCounter + add);
    } else if (index + 1 < pieces) {
      index = NextPlainPiece(Ctx, index + 1);
      Ctx.Piece = index < pieces ? Ctx.Score.GetPiece(index) : nullptr;
      Ctx.n = 0;
      page.StartPiece = uint16_t(index);
      page.FirstSystemNumber = page.FirstMeasure = page.FirstStaffLineNumber = 0;
    }
    Ctx.PieceIndex = index;
    page.PendingPageBreaks = previous.PendingPageBreaks;
    page.RunningMeasureCount = previous.RunningMeasureCount;
    page.RealMeasureCount = previous.RealMeasureCount;
  }
  if (!Ctx.Piece) ++page.StartPiece;
  page.Piece = uint16_t(Ctx.PieceIndex);
  page.SystemCounter = page.FirstSystemNumber;
  page.StaffLineCounter = page.FirstStaffLineNumber;
  page.LastMeasure = page.FirstMeasure;
  page.RepeatedObjects.clear();
  page.ItemCursor = 0;
  if (Ctx.PartView()) Ctx.Part = Ctx.Score.GetActivePart();
}
