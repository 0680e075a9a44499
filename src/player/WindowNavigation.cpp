// Keyboard moves of the edit cursor: over the notes, rests and marks of the
// cursor voice, over voices, staves, parts and staff lines, to the ends of
// the system and of the piece; and scrolling the view so that the cursor
// stays visible.

#include <algorithm>

#include "platform/forms/ScrollBar.h"
#include "player/CursorCandidates.h"
#include "player/Rule.h"
#include "player/ViewControl.h"
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

enum : int { AnnounceNothing = 0, AnnounceCursor = 1, AnnounceActive = 2 };

int32_t LastIndex(int32_t Count) { return std::max(Count - 1, 0); }

}  // namespace

void TKVWindow::BeginMove(bool Overlay) {
  ShowCursor(false);
  if (Overlay) DrawHoverOverlay(false);
}

void TKVWindow::EndMove(bool Overlay, int Announce) {
  ScrollToCursor(-1, false);
  UpdateRuleMarkers();
  if (Overlay) DrawHoverOverlay(false);
  ShowCursor(true);
  if (Announce == AnnounceCursor) CursorChanged(GetCursorVoice());
  if (Announce == AnnounceActive && OnActiveChanged) OnActiveChanged(GetCursorVoice());
}

TKVSystemRecord* TKVWindow::GetCursorSystem() {
  const TKVMeasureRecord* R = CursorRecord();
  return R ? R->System : nullptr;
}

// The walk over the cursor measure's items, from the last backwards for
// Step -1: the first stop of the cursor voice (of any voice with AnyVoice)
// beyond the cursor tick.
int32_t TKVWindow::NextStop(int Step, bool AnyVoice) {
  const TKVMeasure* measure = GetCursorMeasure();
  const TKVMeasureRecord* R = CursorRecord();
  const TKVVoice* voice = GetCursorVoice();
  const int32_t number = voice ? voice->Number() : -1;
  if (!measure || !R) return -1;
  const auto& items = measure->Items();
  for (int32_t k = 0; k < items.Count(); ++k) {
    const TKVItem* item = items.Get(Step < 0 ? items.Count() - 1 - k : k);
    const TKVVoiceKey* key = item->GetVoiceKey();
    const int32_t position = ItemPosition(item);
    if (!key || (!AnyVoice && key->VoiceNumber != number) || position >= R->Length) continue;
    if ((Step < 0 ? position < FCursorTick : position > FCursorTick) &&
        IsStopItem(*R, FCursorPart, *item, AnyVoice ? key->VoiceNumber : number))
      return position;
  }
  return -1;
}

void TKVWindow::StepToStop(int32_t Tick) {
  BeginMove(true);
  FCursorTick = Tick;
  EndMove(true, AnnounceCursor);
}

void TKVWindow::CursorLeft(bool StayInPiece) {
  TKVPiece* piece = GetCursorPiece();
  if (!piece || !piece->GetPart(FCursorPart)) return;
  if (const int32_t tick = NextStop(-1, false); tick >= 0) return StepToStop(tick);
  if (FCursorMeasure <= 0 && (FCursorPiece <= 0 || StayInPiece)) return;
  BeginMove(true);
  if (FCursorMeasure > 0) {
    --FCursorMeasure;
  } else {
    --FCursorPiece;
    ValidateCursor(false);
    const TKVPiece* previous = GetCursorPiece();
    FCursorMeasure = previous ? LastIndex(previous->MeasureRecordCount()) : 0;
  }
  FCursorTick = SnapTick(10000);
  ValidateCursor(false);
  EndMove(true, AnnounceCursor);
}

// In a measure without meter the cursor stops at the measure's end before
// it moves on.
void TKVWindow::CursorRight(bool StayInPiece, bool AnyVoice) {
  TKVPiece* piece = GetCursorPiece();
  if (!piece || !piece->GetPart(FCursorPart)) return;
  if (const int32_t tick = NextStop(1, AnyVoice); tick >= 0) return StepToStop(tick);
  const TKVMeasureRecord* R = CursorRecord();
  const bool toEnd = R && R->Meter == 0 && FCursorTick < R->Length;
  const bool nextMeasure = FCursorMeasure < piece->MeasureRecordCount() - 1;
  if (!toEnd && !nextMeasure && (FCursorPiece >= FScore->GetPieceCount() - 1 || StayInPiece)) return;
  BeginMove(true);
  if (toEnd) {
    FCursorTick = R->Length;
  } else if (nextMeasure) {
    ++FCursorMeasure;
    FCursorTick = SnapTick(0);
  } else {
    ++FCursorPiece;
    ValidateCursor(false);
    FCursorMeasure = 0;
    FCursorTick = SnapTick(0);
  }
  ValidateCursor(false);
  EndMove(true, AnnounceCursor);
}

// From the staff line Line of page Page: its system's piece; upwards the
// last part, staff and voice, downwards the first; the measure under the
// current one's left edge.
void TKVWindow::CursorToStaffLine(int32_t Page, int32_t Line, bool Up) {
  const TKVPageRecord* page = PageRecord(Page);
  const TKVStaffLineRecord* L = page ? page->GetStaffLine(Line) : nullptr;
  const TKVSystemRecord* S = L ? L->System : nullptr;
  const TKVMeasureRecord* current = CursorRecord();
  if (!S || !S->Piece || S->MeasureCount == 0 || S->Measures.empty() || !current) return;
  const int32_t old = FActivePage;
  const bool byParts = FScore->ViewStyle() == vsPart;
  BeginMove(true);
  FActivePage = Page;
  FCursorPiece = S->Piece->GetIndex();
  if (Up) {
    if (!byParts) FCursorPart = LastIndex(S->Piece->GetPartCount());
    const TKVPart* part = S->Piece->GetPart(FCursorPart);
    FCursorStaff = part ? LastIndex(part->GetStaffCount()) : 0;
    const TKVStaff* staff = part ? part->GetStaff(FCursorStaff) : nullptr;
    FCursorVoice = staff ? LastIndex(staff->GetVoiceCount()) : 0;
  } else {
    if (!byParts) FCursorPart = 0;
    FCursorStaff = FCursorVoice = 0;
  }
  int32_t measure = S->Measures[0] ? S->Measures[0]->ColumnIndex : S->FirstMeasure;
  for (size_t i = std::min<size_t>(S->MeasureCount, S->Measures.size()); i-- > 0;)
    if (S->Measures[i] && S->Measures[i]->LeftX <= current->LeftX) {
      measure = S->Measures[i]->ColumnIndex;
      break;
    }
  FCursorMeasure = measure;
  FCursorTick = SnapTick(FCursorTick);
  if (Page != old) {
    UpdatePageButtons();
    InvalidateRule(old);
  }
  EndMove(true, Page == old && !Up ? AnnounceActive : AnnounceCursor);
  if (FDataStyle == dsActiveVoice) InvalidateScore();
}

void TKVWindow::CursorUp() {
  const TKVPiece* piece = GetCursorPiece();
  const TKVPart* part = piece ? piece->GetPart(FCursorPart) : nullptr;
  if (!part) return;
  if (FCursorVoice > 0 || FCursorStaff > 0 || (FCursorPart > 0 && FScore->ViewStyle() != vsPart)) {
    const bool voiceStep = FCursorVoice > 0;
    BeginMove(!voiceStep);
    if (voiceStep) {
      --FCursorVoice;
    } else {
      if (FCursorStaff > 0) {
        --FCursorStaff;
      } else {
        part = piece->GetPart(--FCursorPart);
        FCursorStaff = LastIndex(part->GetStaffCount());
      }
      const TKVStaff* staff = part->GetStaff(FCursorStaff);
      FCursorVoice = staff ? LastIndex(staff->GetVoiceCount()) : 0;
    }
    FCursorTick = SnapTick(FCursorTick);
    EndMove(!voiceStep, AnnounceCursor);
    if (FDataStyle == dsActiveVoice) InvalidateScore();
    return;
  }
  const TKVStaffLineRecord* line = CursorStaffLineRecord();
  if (!line) return;
  if (line->Index > 0) return CursorToStaffLine(FActivePage, line->Index - 1, true);
  if (FActivePage <= 0) return;
  const TKVPageRecord* previous = PageRecord(FActivePage - 1);
  if (previous && previous->StaffLineCount > 0) CursorToStaffLine(FActivePage - 1, previous->StaffLineCount - 1, true);
}

void TKVWindow::CursorDown() {
  const TKVPiece* piece = GetCursorPiece();
  const TKVPart* part = piece ? piece->GetPart(FCursorPart) : nullptr;
  const TKVStaff* staff = part ? part->GetStaff(FCursorStaff) : nullptr;
  if (!staff) return;
  if (FCursorVoice < staff->GetVoiceCount() - 1) {
    BeginMove(false);
    ++FCursorVoice;
    FCursorTick = SnapTick(FCursorTick);
    EndMove(false, AnnounceActive);
    if (FDataStyle == dsActiveVoice) InvalidateScore();
    return;
  }
  if (FCursorStaff < part->GetStaffCount() - 1 || (FCursorPart < piece->GetPartCount() - 1 && FScore->ViewStyle() != vsPart)) {
    BeginMove(true);
    if (FCursorStaff < part->GetStaffCount() - 1) {
      ++FCursorStaff;
    } else {
      ++FCursorPart;
      FCursorStaff = 0;
    }
    FCursorVoice = 0;
    FCursorTick = SnapTick(FCursorTick);
    EndMove(true, AnnounceCursor);
    if (FDataStyle == dsActiveVoice) InvalidateScore();
    return;
  }
  const TKVStaffLineRecord* line = CursorStaffLineRecord();
  const TKVPageRecord* page = line ? line->Page : nullptr;
  if (!line || !page) return;
  if (line->Index < page->StaffLineCount - 1) return CursorToStaffLine(FActivePage, line->Index + 1, false);
  if (PageRecord(FActivePage + 1)) CursorToStaffLine(FActivePage + 1, 0, false);
}

void TKVWindow::CursorToSystemStart() {
  const TKVSystemRecord* S = FScore && PageRecord(FActivePage) ? GetCursorSystem() : nullptr;
  if (!S) return;
  BeginMove(true);
  FCursorMeasure = S->FirstMeasure;
  FCursorTick = SnapTick(0);
  EndMove(true, AnnounceCursor);
}

void TKVWindow::CursorToSystemEnd() {
  const TKVSystemRecord* S = FScore && PageRecord(FActivePage) ? GetCursorSystem() : nullptr;
  if (!S || S->MeasureCount == 0) return;
  BeginMove(true);
  FCursorMeasure = S->FirstMeasure + S->MeasureCount - 1;
  FCursorTick = SnapTick(10000);
  EndMove(true, AnnounceCursor);
}

// To the start of the piece on the active page.
void TKVWindow::CursorToPieceStart() {
  const TKVPageRecord* page = PageRecord(FActivePage);
  if (!page || (FCursorMeasure == 0 && FCursorTick == 0)) return;
  const TKVSystemRecord* first = page->SystemCount > 0 && !page->Systems.empty() ? page->Systems[0].get() : nullptr;
  BeginMove(true);
  if (first && first->Piece) FCursorPiece = first->Piece->GetIndex();
  ValidateCursor(false);
  FCursorMeasure = 0;
  FCursorTick = SnapTick(0);
  EndMove(true, AnnounceCursor);
}

void TKVWindow::CursorToPieceEnd() {
  const TKVPageRecord* page = PageRecord(FActivePage);
  if (!page || page->SystemCount == 0 || page->Systems.size() < page->SystemCount) return;
  const TKVPiece* piece = page->Systems[page->SystemCount - 1]->Piece;
  if (!piece) return;
  // SnapTick reads the cursor measure: the target is looked at in place.
  const int32_t oldPiece = FCursorPiece, oldMeasure = FCursorMeasure;
  const int32_t newPiece = piece->GetIndex(), newMeasure = LastIndex(piece->MeasureRecordCount());
  FCursorPiece = newPiece;
  FCursorMeasure = newMeasure;
  const int32_t tick = SnapTick(10000);
  FCursorPiece = oldPiece;
  FCursorMeasure = oldMeasure;
  if (newPiece == oldPiece && newMeasure == oldMeasure && tick == FCursorTick) return;
  BeginMove(true);
  FCursorPiece = newPiece;
  FCursorMeasure = newMeasure;
  FCursorTick = tick;
  EndMove(true, AnnounceActive);
}

// The cursor's measure and staff (while playing its system) come into the
// view; with TopHint 1 or more the vertical move starts from there.
void TKVWindow::ScrollToCursor(int32_t TopHint, bool /*Flag*/) {
  if (!FScore || FScore->UpdateCount() >= 1 || !HasWindow()) return;
  const int32_t ruler = FRule->Visible() ? FRule->Width() : 0;
  const int32_t viewWidth = FControl->ClientWidth() - VertScrollBar()->Width() - ruler;
  const int32_t viewHeight = FControl->ClientHeight() - HorzScrollBar()->Height() - ruler;
  const int32_t h = HorzPosition(), v = VertPosition(), m = ScaleSize(20);
  int32_t newH = h, newV = v;
  int32_t x = 0, top = 0, bottom = 0;
  if (EditedText) {
    if (!CaretGeometry(x, top, bottom)) return;
    if (x < h) newH = x;
    else if (x - h > viewWidth) newH = x - viewWidth;
    if (top < v) newV = top;
    else if (bottom - v > viewHeight) newV = bottom - viewHeight;
    return ScrollTo(newH, newV);
  }
  const TKVMeasureRecord* R = CursorRecord();
  const TKVStaffLineRecord* line = CursorStaffLineRecord();
  if (!line) return;
  const TKVPageRecord& page = *line->Page;
  const TKVPageRect origin = PageRect(page.PageIndex);
  const int32_t x1 = ScoreToPixels(R->LeftX) + origin.Left, x2 = ScoreToPixels(R->RightX) + origin.Left;
  const int32_t staffTop = ScoreToPixels(line->Top) + origin.Top, staffBottom = ScoreToPixels(line->Bottom) + origin.Top;
  int32_t y1 = staffTop, y2 = staffBottom;
  if (Playing()) {
    const TKVStaffLineRecord* first = page.GetStaffLine(R->System->FirstStaffLine);
    const TKVStaffLineRecord* last = page.GetStaffLine(R->System->LastStaffLine);
    if (first) y1 = ScoreToPixels(first->TopJoin) + origin.Top;
    if (last) y2 = ScoreToPixels(last->BottomJoin) + origin.Top;
  }
  if (FStyle != wsPreview) {
    if (x1 > h && x2 - h > viewWidth) {
      if (x2 - viewWidth < x1) newH = x2 - viewWidth;
    } else if (x1 < h) {
      const bool firstOfSystem = !R->System->Measures.empty() && R->System->Measures[0] == R;
      newH = firstOfSystem ? 0 : x1;
    }
  }
  // Upwards the page's first staff shows the page's top, any other keeps a
  // margin above the staff.
  const bool firstLine = line->Index == 0;
  auto vertical = [&](int32_t Top, int32_t Bottom, int32_t Reference) {
    auto up = [&] { return firstLine ? origin.Top : (m < Top ? Top - m : Top); };
    int32_t result = Reference;
    if (Top >= Reference) {
      if (Bottom - Reference > viewHeight) result = Bottom - viewHeight + m;
    } else {
      result = up();
    }
    if (Top < result) result = up();
    return result;
  };
  newV = vertical(y1, y2, TopHint >= 1 ? TopHint : v);
  if (Playing()) newV = vertical(staffTop, staffBottom, newV);
  ScrollTo(newH, newV);
}
