#include "score/layout/page/PageComposer.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "base/Strings.h"
#include "score/layout/measure/MeasureSpacing.h"
#include "score/model/Column.h"
#include "score/model/Part.h"
#include "score/model/Piece.h"
#include "score/model/Score.h"
#include "score/model/ScoreView.h"
#include "score/model/Staff.h"

namespace {
// A run never composes past this page (a fill that never ends).
constexpr int32_t LastPage = 1000;
}  // namespace

int32_t Saturate32(int64_t Value) {
  return int32_t(std::clamp<int64_t>(Value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

int32_t TenthsToUnits(long double Value) {
  const double units = double(Value * 8 * 96 / 254);
  if (std::isnan(units)) return 0;
  return Saturate32(Round(std::clamp(units, -4e9, 4e9)));
}

long double UnitsToTenths(int64_t Value) { return (long double)Value * 254 / 96 / 8; }

TKVComposerContext::TKVComposerContext(TKVScore& Score, const TKVLayoutSteps& Steps)
    : Score(Score), Store(ScoreLayoutRecords(Score)), Settings(Store.Composer), Steps(Steps) {}

TKVComposerContext::~TKVComposerContext() = default;

TKVFormatContext& TKVComposerContext::Format() {
  TKVPiece* piece = Piece ? Piece : Score.GetPiece(0);
  if (!FFormat || &FFormat->Piece != piece) FFormat = std::make_unique<TKVFormatContext>(Score, *piece, 0);
  return *FFormat;
}

int32_t TKVComposerContext::Scale() const { return LayoutScale(Score); }
bool TKVComposerContext::PartView() const { return Score.ViewStyle() == vsPart; }

std::vector<TKVPart*> TKVComposerContext::Parts() const {
  std::vector<TKVPart*> parts;
  if (!Piece) return parts;
  if (PartView()) {
    TKVPart* active = Part ? Part : nullptr;
    if (active && active->Piece() == Piece) parts.push_back(active);
    return parts;
  }
  for (int32_t i = 0; i < Piece->GetPartCount(); ++i) parts.push_back(Piece->GetPart(i));
  return parts;
}

const std::vector<uint16_t>* TKVComposerContext::SpacingTable(int Index) const {
  if (!Piece) return nullptr;
  if (PartView()) {
    std::vector<TKVPart*> parts = Parts();
    return parts.empty() ? nullptr : &parts[0]->SpacingArray(Index);
  }
  return &Piece->SpacingArray(Index);
}

int32_t TKVComposerContext::SpacingEntry(int Table, int64_t Index) const {
  const std::vector<uint16_t>* table = SpacingTable(Table);
  return table && Index >= 0 && uint64_t(Index) < table->size() ? int16_t((*table)[size_t(Index)]) : 0;
}

int32_t TKVComposerContext::MeasureGap(int64_t Measure) const {
  if (!Piece) return 0;
  const std::vector<int16_t>& gaps = Piece->Layout().MeasureGaps;
  return Measure >= 0 && uint64_t(Measure) < gaps.size() ? gaps[size_t(Measure)] : 0;
}

TKVMeasureRecord* TKVComposerContext::MeasureRecord(int64_t Index) const {
  if (!Piece || Index < 0) return nullptr;
  auto& records = Piece->Layout().MeasureRecords;
  return uint64_t(Index) < records.size() ? records[size_t(Index)].get() : nullptr;
}

bool TKVComposerContext::Shown(const TKVStaff* Staff) const {
  const int32_t i = Staff->LayoutIndex;
  return i >= 0 && size_t(i) < StaffShown.size() && StaffShown[size_t(i)];
}

namespace {

void ClosePiece(TKVComposerContext& Ctx) {
  if (Ctx.Piece) Ctx.Piece->Layout().MeasureRecordCount = Ctx.n;
}

// Moves on to the next plain piece, which starts on a new system with its
// numbers from 0.
void NextPiece(TKVComposerContext& Ctx) {
  if (Ctx.PartView()) return;
  const int32_t next = NextPlainPiece(Ctx, Ctx.PieceIndex + 1);
  if (next >= Ctx.Score.GetPieceCount()) return;
  Ctx.NewPage = true;
  ClosePiece(Ctx);
  TKVPieceLayoutRecords& previous = Ctx.Piece->Layout();
  Ctx.PieceIndex = next;
  Ctx.Piece = Ctx.Score.GetPiece(next);
  Ctx.Piece->Layout().FirstMeasureNumber = previous.FirstMeasureNumber + previous.MeasureRecordCount;
  Ctx.n = 0;
  Ctx.Page->Piece = uint16_t(next);
  Ctx.Page->SystemCounter = 0;
  Ctx.Page->StaffLineCounter = 0;
  Ctx.Page->LastMeasure = -1;
  Ctx.Finished = false;
}

void FinishSystem(TKVComposerContext& Ctx) {
  PlaceStaffLines(Ctx);
  for (uint16_t i = 0; i < Ctx.System->MeasureCount; ++i)
    if (TKVMeasureRecord* record = Ctx.System->Measures[i]) {
      record->TopY = Ctx.System->Top;
      record->BottomY = Ctx.System->Bottom;
    }
  JustifySystem(Ctx);
  LayoutSystemMarks(Ctx);
  ++Ctx.Page->SystemCount;
}

void FinishPage(TKVComposerContext& Ctx) {
  if (Ctx.Page->PendingPageBreaks) --Ctx.Page->PendingPageBreaks;
  ++Ctx.Store.PageCount;
}

// Places measures n .. system end - 1 on the system, left to right.
void PlaceMeasures(TKVComposerContext& Ctx) {
  TKVPieceLayoutRecords& layout = Ctx.Piece->Layout();
  TKVPageRecord& page = *Ctx.Page;
  for (; Ctx.n < Ctx.SystemEnd; ++Ctx.n) {
    Ctx.Record = Ctx.MeasureRecord(Ctx.n);
    if (!Ctx.Record) continue;
    CarryStaffEntries(Ctx);
    FinishLineStart(Ctx);
    AttachMeasureToSystem(Ctx);
    LayoutMeasureNumber(Ctx);
    ++page.MeasureCount;
    ++page.RunningMeasureCount;
    layout.PlacedMeasures = Ctx.n + 1;
    if (Ctx.n < layout.MeasureRecordCount) page.RealMeasureCount = page.RunningMeasureCount;
    const int32_t width = Ctx.Record->Covered ? 0 : Ctx.Record->TotalWidth;
    Ctx.Record->LeftX = Ctx.X;
    Ctx.Record->RightX = Saturate32(int64_t(Ctx.X) + width);
    Ctx.X = Saturate32(int64_t(Ctx.Record->RightX) + Ctx.MeasureGap(Ctx.n));
    ++Ctx.System->MeasureCount;
  }
}

void ComposeSystems(TKVComposerContext& Ctx) {
  const TKVPage& settings = Ctx.Score.Page();
  const bool autoSize = settings.AutoSize();
  for (;;) {
    Ctx.SystemHeight = 0;
    if (!Ctx.Piece->Separate()) Ctx.SystemNumber = Ctx.Page->SystemCounter + (Ctx.NewPage ? 0 : 1);
    SetSystemSpacing(Ctx);
    BreakSystem(Ctx);
    for (TKVPart* part : Ctx.Parts()) {
      Ctx.Part = part;
      CalcPartHeight(Ctx);
    }
    if (Ctx.Page->SystemCount == 0) KeepFirstSystemBetweenPageTexts(Ctx);
    const long double bottom = Ctx.Y + Ctx.SystemHeight;
    // A system of no height would never fill the page: in fill mode it
    // ends the page like a full one.
    const bool full = Ctx.BottomEdge < bottom || (Ctx.FillOn() && Ctx.SystemHeight <= 0);
    if (Ctx.Page->SystemCount > 0 && full && (!autoSize || Ctx.Settings.Fill) &&
        (Ctx.Score.Pages() || Ctx.Finished))
      break;
    if (Ctx.Store.PageCount == 0 && Ctx.Settings.GrowFirstPage && Ctx.BottomEdge < bottom) {
      const long double height = bottom + settings.InternalValue(pvBottomMargin);
      TKVPage& page = Ctx.Score.Page();
      // A page of no height keeps its width.
      if (Ctx.PageHeight > 0)
        page.SetComposedLength(pvWidth, UnitsToTenths(int64_t(TenthsToUnits(height)) * Ctx.PageWidth / Ctx.PageHeight));
      page.SetComposedLength(pvHeight, height);
      SetPageArea(Ctx);
    }
    if (!Ctx.Settings.Fill && autoSize) {
      Ctx.Score.Page().SetComposedLength(pvHeight, bottom + settings.InternalValue(pvBottomMargin));
      SetPageArea(Ctx);
    }
    GetSystemRecord(Ctx);
    InitSystemParts(Ctx);
    for (TKVPart* part : Ctx.Parts()) {
      Ctx.Part = part;
      CreateStaffLines(Ctx);
    }
    if (Ctx.Page->StaffLineCount > Ctx.System->FirstStaffLine)
      Ctx.System->LastStaffLine = uint16_t(Ctx.Page->StaffLineCount - 1);
    Ctx.X = Ctx.SystemStartX;
    PlaceMeasures(Ctx);
    FinishSystem(Ctx);
    Ctx.Finished = IsPieceFinished(Ctx);
    if (Ctx.Finished) NextPiece(Ctx);
    if (Ctx.Page->PendingPageBreaks && Ctx.Score.Pages()) break;
    // Finished here means no piece was left to move on to. The new-page
    // flag is not asked: a system of a piece without staves makes no staff
    // line to clear it, and the loop would go on placing nothing.
    if (!Ctx.FillOn() && Ctx.Finished) break;
  }
}

// Pieces placed on their own at a stored position of their page.
void PlaceSeparatePieces(TKVComposerContext& Ctx) {
  if (Ctx.PartView()) return;
  TKVPiece* piece = Ctx.Piece;
  const int32_t pieceIndex = Ctx.PieceIndex, n = Ctx.n, number = Ctx.SystemNumber;
  for (int32_t i = 0; i < Ctx.Score.GetPieceCount(); ++i) {
    TKVPiece* separate = Ctx.Score.GetPiece(i);
    const uint16_t onPage = separate->SeparatePage();
    if (!separate->Separate() || (onPage != 0 && onPage != Ctx.Store.PageCount + 1)) continue;
    Ctx.Piece = separate;
    Ctx.PieceIndex = i;
    Ctx.n = 0;
    Ctx.SystemNumber = 0;
    GetSystemRecord(Ctx);
    InitSystemParts(Ctx);
    SetSystemSpacing(Ctx);
    // The piece keeps no position of its own: it stands at the page frame's
    // top left corner.
    Ctx.Y = Ctx.TopEdge;
    const long double top = Ctx.Y;
    Ctx.System->LeftX = TenthsToUnits(Ctx.LeftEdge);
    Ctx.System->Top = TenthsToUnits(top);
    std::fill(Ctx.StaffShown.begin(), Ctx.StaffShown.end(), 1);
    for (TKVPart* part : Ctx.Parts()) {
      Ctx.Part = part;
      CreateSeparateStaffLines(Ctx);
    }
    if (Ctx.Page->StaffLineCount > Ctx.System->FirstStaffLine)
      Ctx.System->LastStaffLine = uint16_t(Ctx.Page->StaffLineCount - 1);
    Ctx.X = Ctx.System->LeftX;
    while (!IsPieceFinished(Ctx) && Ctx.n < TKVScore::MaxMeasuresOnDemand) {
      PlaceSystems(Ctx);
      LayoutLyricSyllables(Ctx);
      Ctx.Record = Ctx.MeasureRecord(Ctx.n);
      if (Ctx.Record) {
        AttachMeasureToSystem(Ctx);
        LayoutMeasureNumber(Ctx);
        CalcMeasureSpacing(Ctx);
        const int32_t width = Ctx.Record->Covered ? 0 : Ctx.Record->TotalWidth;
        Ctx.Record->LeftX = Ctx.X;
        Ctx.Record->RightX = Saturate32(int64_t(Ctx.X) + width);
        Ctx.X = Ctx.Record->RightX;
        ++Ctx.System->MeasureCount;
        separate->Layout().PlacedMeasures = Ctx.n + 1;
      }
      ++Ctx.n;
    }
    separate->Layout().MeasureRecordCount = Ctx.n;
    PlaceStaffLines(Ctx);
    Ctx.System->TopExtent = TenthsToUnits(top);
    Ctx.System->BottomExtent = TenthsToUnits(Ctx.Y);
    Ctx.System->RightX = Ctx.X;
    for (int32_t l = Ctx.System->FirstStaffLine; l <= Ctx.System->LastStaffLine; ++l)
      if (TKVStaffLineRecord* line = Ctx.Page->GetStaffLine(l)) line->RightX = Ctx.X;
    LayoutSystemMarks(Ctx);
    ++Ctx.Page->SystemCount;
  }
  Ctx.Piece = piece;
  Ctx.PieceIndex = pieceIndex;
  Ctx.n = n;
  Ctx.SystemNumber = number;
}

// One page: its frame, its music and the page-bound steps.
void ComposePage(TKVComposerContext& Ctx) {
  GetPageRecord(Ctx);
  SetPageArea(Ctx);
  StartPage(Ctx);
  TKVPageRecord& page = *Ctx.Page;
  const bool music = page.PendingPageBreaks == 0 && Ctx.Piece &&
                     (Ctx.n < Ctx.Piece->Layout().MeasureRecordCount || Ctx.FillOn());
  page.Continuation = music ? 0 : 1;
  // A piece with no measure record left and no piece after it: the music
  // is over (else a piece without measures would be followed by blank pages
  // up to the last one a run makes).
  if (!music && page.PendingPageBreaks == 0 &&
      (!Ctx.Piece || Ctx.PartView() || NextPlainPiece(Ctx, Ctx.PieceIndex + 1) >= Ctx.Score.GetPieceCount()))
    Ctx.Finished = true;
  LayoutPageObjects(Ctx);
  if (music) {
    if (Ctx.Piece->Layout().MeasureRecordCount == 0) Ctx.Finished = true;
    ComposeSystems(Ctx);
    JustifyPage(Ctx);
    AlignAttachedStaffLines(Ctx);
    AddSystemBarItems(Ctx);
  }
  PlaceSeparatePieces(Ctx);
  PositionPageItems(Ctx);
  FinishPage(Ctx);
}

}  // namespace

void PaginatePages(TKVScore& Score, int32_t FromPage, const TKVLayoutSteps& Steps) {
  TKVComposerContext ctx(Score, Steps);
  ctx.View = Score.GetActiveWindow();
  if (Score.GetPieceCount() == 0 || (!ctx.View && Score.ViewStyle() == vsPart)) {
    Score.SetFirstDirtyPage(-1);
    return;
  }
  TKVComposerSettings& settings = ctx.Store.Composer;
  const TKVPage& page = Score.Page();
  ctx.Interval = page.InternalValue(pvInterval);
  ctx.LineSpaceMM = page.InternalValue(pvLineSpace);
  const double lineSpace = double(ctx.LineSpaceMM * 96 * ctx.Scale() / 25400);
  ctx.LineSpace = Saturate32(int64_t(std::isnan(lineSpace) ? 0 : Round(std::clamp(lineSpace, -3e8, 3e8))) * 8);
  ctx.TabLineSpace = Saturate32(int64_t(ctx.LineSpace) * 13 / 10);
  ctx.Finished = false;
  // The formatter restarted at piece 0, measure 0 for a page past the last
  // run's: the earlier pages' records are gone as well.
  if (FromPage < 0 || FromPage >= ctx.Store.PageCount || size_t(FromPage) > ctx.Store.Pages.size()) FromPage = 0;
  ctx.Store.PageCount = FromPage;
  PositionKeptPageEnd(ctx, FromPage);
  ctx.MinPages = Score.GetUserPages();
  ctx.UseBuffer = (Score.Flags() & 1) != 0;
  if (ctx.UseBuffer) ctx.Buffer.reserve(128);
  settings.LayoutDone = false;
  do {
    ComposePage(ctx);
    // A fill that never stops ends only at the last page.
  } while (!((ctx.Finished && !ctx.FillOn() && ctx.Store.PageCount >= ctx.MinPages) || ctx.Store.PageCount > LastPage));
  ClosePiece(ctx);
  const TKVPageRecord& last = *ctx.Store.Pages[size_t(ctx.Store.PageCount - 1)];
  settings.RunningMeasures = last.RunningMeasureCount;
  settings.RealMeasures = last.RealMeasureCount;
  Score.SetFirstDirtyPage(-1);
  for (int32_t i = 0; i < Score.GetWindowCount(); ++i) Score.GetWindow(i)->UpdatePageTable();
  Score.UpdateScrollBars();
  if (Score.AutoVelocity()) Score.UpdateDynamics();
  settings.LayoutDone = true;
  settings.Composing = false;
}
