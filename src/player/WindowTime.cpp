// Play times of score positions and back, the tempo at the cursor and the
// cursor's staff line and system. The queries of the play position take
// the play lock, so the main thread may ask while the score plays.

#include <algorithm>

#include "player/PlayTime.h"
#include "player/Window.h"
#include "score/layout/ScoreLayoutRecords.h"
#include "score/layout/measure/TempoMarks.h"
#include "score/model/ItemKinds.h"
#include "score/model/Mark.h"
#include "score/model/Piece.h"
#include "score/model/Score.h"

double TKVWindow::GetPositionTime(int32_t Piece, int32_t Measure, int32_t Tick) {
  const TKVMeasureRecord* R = LaidOutRecord(FScore ? FScore->GetPiece(Piece) : nullptr, Measure);
  return R ? MeasureTimeAt(*R, Tick, R->StartTime) : 0;
}

// With the play lock held.
double TKVWindow::PlayPositionTime() {
  const TKVPiece* piece = FScore->GetPiece(FPlay.Piece);
  const TKVPlayRecord* play = piece ? piece->Layout().GetPlay(FPlay.Entry) : nullptr;
  const TKVMeasureRecord* R = play ? LaidOutRecord(piece, play->Measure) : nullptr;
  return R ? MeasureTimeAt(*R, FPlay.Tick, play->StartTime) : 0;
}

double TKVWindow::GetCursorTime() {
  if (!FScore) return 0;
  if (Playing() || FStyle == wsRealTime) {
    std::lock_guard lock(FPlayLock);
    return PlayPositionTime();
  }
  const TKVMeasureRecord* R = CursorRecord();
  return R ? MeasureTimeAt(*R, FCursorTick, R->StartTime) : 0;
}

double TKVWindow::GetTotalTime() {
  if (!FScore) return 0;
  std::lock_guard lock(FPlayLock);
  const TKVPiece* piece = FScore->GetPiece(Playing() || FStyle == wsRealTime ? FPlay.Piece : FCursorPiece);
  if (!piece) return 0;
  if (piece->Separate()) return piece->Layout().RunningTime;
  auto* store = dynamic_cast<const TKVScoreLayoutRecords*>(FScore->LayoutRecords());
  return store ? store->RunningTime : 0;
}

// Separate pieces keep time lines of their own, so the walk goes from the
// last piece back and takes the first play that has started by Ms.
void TKVWindow::SeekTime(double Ms) {
  if (!FScore) return;
  std::lock_guard lock(FPlayLock);
  for (int32_t p = FScore->GetPieceCount() - 1; p >= 0; --p) {
    const TKVPiece* piece = FScore->GetPiece(p);
    const TKVPieceLayoutRecords& layout = piece->Layout();
    for (int32_t e = layout.PlayCount - 1; e >= 0; --e) {
      const TKVPlayRecord* play = layout.GetPlay(e);
      if (!play || !(play->StartTime <= Ms)) continue;
      const TKVMeasureRecord* R = LaidOutRecord(piece, play->Measure);
      FPlay.Piece = p;
      FPlay.Entry = e;
      FPlay.Tick = R ? MeasureTickAt(*R, Ms - play->StartTime) : 0;
      FPlay.SeekPending = true;
      return;
    }
  }
}

// The walk starts at the play made for the cursor measure: play records and
// measure records count differently once anything repeats. A mark that
// gives no usable tempo is passed over, as the layout passes it over.
uint16_t TKVWindow::GetCursorTempo() {
  const TKVPiece* piece = GetCursorPiece();
  if (!piece) return 60;
  const TKVPieceLayoutRecords& layout = piece->Layout();
  const TKVMeasureRecord* cursor = CursorRecord();
  int32_t n = std::min(cursor ? int32_t(cursor->PlayIndex) : FCursorMeasure, layout.PlayCount - 1);
  for (; n >= 0; --n) {
    const TKVPlayRecord* play = layout.GetPlay(n);
    const TKVMeasureRecord* R = play ? LaidOutRecord(piece, play->Measure) : nullptr;
    if (!R) continue;
    for (const auto& cell : R->Positions) {
      auto* mark = cell->Item && cell->Item->Kind() == ItemKind::TempoMark ? ItemCast<const TKVMark>(cell->Item)
                                                                          : nullptr;
      if (int32_t tempo = mark ? TempoOfMark(*mark) : 0) return uint16_t(tempo);
    }
  }
  // A piece tempo of 0 plays at 60, as the layout times it.
  return piece->Tempo() == 0 ? 60 : piece->Tempo();
}

int32_t TKVWindow::GetCursorStaffLine() {
  const TKVMeasureRecord* R = CursorRecord();
  const TKVSystemRecord* system = R ? R->System : nullptr;
  if (!system || FCursorPart < 0 || size_t(FCursorPart) >= system->Parts.size() || !system->Parts[size_t(FCursorPart)])
    return 0;
  return system->Parts[size_t(FCursorPart)]->FirstStaffLine + FCursorStaff;
}

uint16_t TKVWindow::GetCursorLineEntry() {
  const TKVPageRecord* page = PageRecord(FActivePage);
  const TKVStaffLineRecord* line = page ? page->GetStaffLine(GetCursorStaffLine()) : nullptr;
  return line ? line->Number : 0;
}

// The piece's first system is the one that holds its first measure.
int32_t TKVWindow::GetCursorSystemNumber() {
  const TKVPiece* piece = GetCursorPiece();
  const TKVMeasureRecord* R = CursorRecord();
  if (!piece || piece->Separate() || !R || !R->System) return 0;
  const TKVMeasureRecord* first = LaidOutRecord(piece, 0);
  const int32_t firstNumber = first && first->System ? first->System->Number : 0;
  return std::max(R->System->Number - firstNumber, 0);
}
