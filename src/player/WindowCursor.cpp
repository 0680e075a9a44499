// The edit cursor of the view: its setters and moves, its validation
// against the score and the snapping of a tick to the cursor voice.

#include <algorithm>
#include <cstdlib>

#include "player/ClefShift.h"
#include "player/CursorCandidates.h"
#include "player/PlayTime.h"
#include "player/Window.h"
#include "score/layout/ItemFields.h"
#include "score/layout/page/PageRecords.h"
#include "score/model/Item.h"
#include "score/model/Measure.h"
#include "score/model/Part.h"
#include "score/model/Piece.h"
#include "score/model/Score.h"
#include "score/model/Staff.h"
#include "score/model/Voice.h"

namespace {

constexpr int32_t LowestLine = 37, HighestLine = 89;

// Index within a list of Count entries.
int32_t Within(int32_t Index, int32_t Count) { return std::clamp(Index, 0, Count - 1); }

// A stop item of voice Number that starts inside R.
bool IsCandidate(const TKVMeasureRecord& R, int32_t Part, const TKVItem& Item, int32_t Number) {
  const TKVVoiceKey* key = Item.GetVoiceKey();
  return key && key->VoiceNumber == Number && ItemPosition(&Item) < R.Length && IsStopItem(R, Part, Item, Number);
}

}  // namespace

const TKVMeasureRecord* TKVWindow::CursorRecord() { return LaidOutRecord(GetCursorPiece(), FCursorMeasure); }

TKVMeasure* TKVWindow::GetCursorMeasure() {
  TKVPiece* piece = GetCursorPiece();
  TKVPart* part = piece ? piece->GetPart(FCursorPart) : nullptr;
  return part ? part->GetMeasure(FCursorMeasure) : nullptr;
}

TKVVoice* TKVWindow::GetCursorVoice() {
  TKVPiece* piece = GetCursorPiece();
  TKVPart* part = piece ? piece->GetPart(FCursorPart) : nullptr;
  TKVStaff* staff = part ? part->GetStaff(FCursorStaff) : nullptr;
  return staff ? staff->GetVoice(FCursorVoice) : nullptr;
}

int32_t TKVWindow::SnapTick(int32_t Tick) {
  const TKVMeasure* measure = GetCursorMeasure();
  const TKVMeasureRecord* R = CursorRecord();
  if (!measure || !R) return 0;
  const TKVVoice* voice = GetCursorVoice();
  const int32_t number = voice ? voice->Number() : -1;
  int32_t best = 0;
  int64_t distance = 100000;
  auto consider = [&](int32_t tick) {
    const int64_t d = std::llabs(int64_t(Tick) - tick);
    if (d >= distance) return;
    best = tick;
    distance = d;
  };
  for (const TKVItem* item : measure->Items())
    if (IsCandidate(*R, FCursorPart, *item, number)) consider(ItemPosition(item));
  if (R->Meter == 0) consider(R->Length);
  return best;
}

int32_t TKVWindow::GetClefShift(int32_t Part, int32_t Staff, int32_t Tick, int32_t Measure) {
  if (Part < 0) Part = FCursorPart;
  if (Staff < 0) Staff = FCursorStaff;
  if (Tick < 0) Tick = FCursorTick;
  if (Measure < 0) Measure = FCursorMeasure;
  return ClefShiftAt(LaidOutRecord(GetCursorPiece(), Measure), Part, Staff, Tick);
}

void TKVWindow::ClampCursorIndices() {
  TKVPiece* piece = GetCursorPiece();
  if (!piece || piece->GetPartCount() == 0) return;
  FCursorPart = Within(FCursorPart, piece->GetPartCount());
  TKVPart* part = piece->GetPart(FCursorPart);
  if (part->GetStaffCount() == 0) return;
  FCursorStaff = Within(FCursorStaff, part->GetStaffCount());
  TKVStaff* staff = part->GetStaff(FCursorStaff);
  if (staff->GetVoiceCount() > 0) FCursorVoice = Within(FCursorVoice, staff->GetVoiceCount());
}

// No page record carries a flag that marks it special, so no page is kept
// for being one.
void TKVWindow::ValidateCursor(bool /*KeepSpecialPage*/) {
  if (!FScore || FScore->GetPieceCount() == 0) return;
  FCursorPiece = Within(FCursorPiece, FScore->GetPieceCount());
  TKVPiece* piece = GetCursorPiece();
  if (piece->GetPartCount() == 0) return;
  ClampCursorIndices();
  const int32_t records = piece->MeasureRecordCount();
  if (records >= 1 && FCursorMeasure >= records) FCursorMeasure = records - 1;
  if (FCursorMeasure < 0) FCursorMeasure = 0;
  const TKVMeasureRecord* R = CursorRecord();
  if (!R || FCursorTick < 0 || FCursorTick >= R->Length) FCursorTick = SnapTick(FCursorTick);
  ShowCursorPage();
}

// Shows the last page on which the cursor measure can stand: the page a
// separate piece keeps, else the last page that starts in an earlier piece
// or at or before the cursor measure.
void TKVWindow::ShowCursorPage() {
  const TKVPiece* piece = GetCursorPiece();
  int32_t found = -1;
  if (piece->Separate()) {
    if (piece->SeparatePage() == 0 || !PageRecord(piece->SeparatePage() - 1)) return;
    found = piece->SeparatePage() - 1;
  } else {
    for (int32_t i = PageRecordCount() - 1; i >= 0 && found < 0; --i) {
      const TKVPageRecord* page = PageRecord(i);
      if (page->Piece < FCursorPiece || (page->Piece == FCursorPiece && page->FirstMeasure <= FCursorMeasure)) found = i;
    }
  }
  if (found < 0 || found == FActivePage) return;
  const int32_t old = FActivePage;
  FActivePage = found;
  ScrollToCursor(-1, false);
  UpdateRuleMarkers();
  LayoutPageButtons();
  UpdatePageButtons();
  InvalidateRule(old);
}

void TKVWindow::SetActivePage(int32_t Index) {
  const int32_t pages = PageRecordCount();
  Index = std::max(Index, 0);
  if (pages > 0 && Index >= pages) Index = pages - 1;
  if (Index == FActivePage) return;
  if (!FScore) {
    FActivePage = Index;
    return;
  }
  const int32_t old = FActivePage;
  ShowCursor(false);
  MoveCursorToPage(Index);
  FActivePage = Index;
  ShowCursor(true);
  // The view scrolls from the new page's top.
  ScrollToCursor(PageRect(Index).Top, false);
  UpdateRuleMarkers();
  LayoutPageButtons();
  UpdatePageButtons();
  InvalidateRule(old);
  if (FStyle == wsPreview) InvalidateScore();
}

// The cursor takes the same staff line on the new page (or its last one)
// and the same measure offset within that line's system (or its last
// measure); piece, part, staff and voice follow.
void TKVWindow::MoveCursorToPage(int32_t Index) {
  const TKVPageRecord* page = PageRecord(Index);
  const TKVMeasureRecord* R = CursorRecord();
  if (!page || !PageRecord(FActivePage) || !R || !R->System || page->StaffLineCount == 0) return;
  const TKVStaffLineRecord* line = page->GetStaffLine(std::min<int32_t>(GetCursorStaffLine(), page->StaffLineCount - 1));
  const TKVSystemRecord* system = line ? line->System : nullptr;
  if (!system || !system->Piece || system->MeasureCount == 0) return;
  FCursorMeasure = system->FirstMeasure + Within(FCursorMeasure - R->System->FirstMeasure, system->MeasureCount);
  FCursorPiece = system->Piece->GetIndex();
  ClampCursorIndices();
}

void TKVWindow::SetActivePart(int32_t Index) {
  ShowCursor(false);
  FCursorPart = Index;
  if (FScore && FScore->ViewStyle() == vsPart) {
    FScore->Reformat(0);
    FScore->InvalidateViews();
  }
  ShowCursor(true);
  ScrollToCursor(-1, false);
  UpdateRuleMarkers();
}

void TKVWindow::SetActiveMeasure(int32_t Index) {
  ShowCursor(false);
  FCursorMeasure = Index;
  ShowCursor(true);
  ScrollToCursor(-1, false);
  UpdateRuleMarkers();
}

void TKVWindow::SetCursorTick(int32_t Tick) {
  ShowCursor(false);
  FCursorTick = Tick;
  ScrollToCursor(-1, false);
  ShowCursor(true);
}

void TKVWindow::SetCursorLine(int32_t Line) {
  const int32_t shift = GetClefShift(-1, -1, -1, -1);
  Line = int32_t(std::clamp<int64_t>(int64_t(shift) + Line, LowestLine, HighestLine) - shift);
  if (Line == FCursorLine) return;
  ShowCursor(false);
  FCursorLine = Line;
  ShowCursor(true);
}

// The piece takes part in the comparison: the same measure and tick in
// another piece is another place.
void TKVWindow::GotoPosition(int32_t Piece, int32_t Measure, bool Snap, int32_t Tick) {
  if (Piece == FCursorPiece && Measure == FCursorMeasure && Tick == FCursorTick) return;
  const int32_t old = FActivePage;
  ShowCursor(false);
  FCursorPiece = Piece;
  FCursorMeasure = Measure;
  FCursorTick = Snap ? SnapTick(Tick) : Tick;
  ValidateCursor(false);
  ShowCursor(true);
  ScrollToCursor(-1, false);
  UpdateRuleMarkers();
  UpdatePageButtons();
  InvalidateRule(old);
  CursorChanged(GetCursorVoice());
}

void TKVWindow::GotoMeasure(int32_t Measure, int32_t Tick, bool Snap) { GotoPosition(FCursorPiece, Measure, Snap, Tick); }

TKVPiece* TKVWindow::PlainPiece(int Step) const {
  if (!FScore) return nullptr;
  const int32_t count = FScore->GetPieceCount();
  for (int32_t i = Step > 0 ? 0 : count - 1; i >= 0 && i < count; i += Step)
    if (!FScore->GetPiece(i)->Separate()) return FScore->GetPiece(i);
  return nullptr;
}

void TKVWindow::GotoStart() {
  if (FStyle == wsRealTime) return SeekTime(0);
  const TKVPiece* piece = GetCursorPiece();
  if (piece && piece->Separate()) return GotoMeasure(0, 0, true);
  if (const TKVPiece* first = PlainPiece(1)) GotoPosition(first->GetIndex(), 0, true, 0);
}

void TKVWindow::GotoEnd() {
  if (FStyle == wsRealTime) {
    auto* active = dynamic_cast<TKVWindow*>(FScore ? FScore->GetActiveWindow() : nullptr);
    return SeekTime((active ? active : this)->GetTotalTime());
  }
  TKVPiece* piece = GetCursorPiece();
  if (!piece || !piece->Separate()) piece = PlainPiece(-1);
  const int32_t last = piece ? piece->MeasureRecordCount() - 1 : -1;
  if (const TKVMeasureRecord* R = LaidOutRecord(piece, last)) GotoPosition(piece->GetIndex(), last, true, R->Length);
}
