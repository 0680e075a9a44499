#include "score/layout/play/TieLinks.h"

#include "score/layout/page/PageRecords.h"
#include "score/model/Liga.h"
#include "score/model/Measure.h"
#include "score/model/Note.h"
#include "score/model/ScoreTypes.h"
#include "score/model/Staff.h"

namespace {

constexpr uint8_t ExcludedFromTies = 0x08, TiedIn = 0x80;

int32_t Semitone(uint8_t Pitch) { return StepSemitone(Pitch & 0x0F) + 12 * (Pitch >> 4); }

// Signed alteration of an accidental byte (bits 0-5 the size, bit 6 flat).
int32_t Alteration(uint8_t Accidental) { return (Accidental & 0x40) ? -(Accidental & 0x3F) : (Accidental & 0x3F); }

// Whether Note continues Tied, the note of tie record T, which ends (at the
// tick of T's end) with measure A. Ticks count from the piece's start: a tie carried into A from
// an earlier measure ends at A's end only when it really does.
bool Continues(const TKVNote& Tied, const TKVNote& Note, const TKVDisplayItem& T, const TKVMeasureRecord& A) {
  const uint64_t start = T.Owner ? T.Owner->StartTick : A.StartTick;
  const TKVMeasure* tiedMeasure = Tied.GetMeasure();
  const TKVMeasure* measure = Note.GetMeasure();
  return (Tied.PlayState & ExcludedFromTies) == 0 && Tied.StaffVoice() == Note.StaffVoice() &&
         Semitone(Tied.Pitch()) == Semitone(Note.Pitch()) &&
         // A note without a sign of its own continues the tie; one with a sign,
         // a natural included, only when it keeps the tied note's alteration.
         (Note.Accidental == 0 || Alteration(Tied.Accidental) == Alteration(Note.Accidental)) &&
         start + T.Param == uint64_t(A.StartTick) + A.Length && tiedMeasure && measure &&
         tiedMeasure->Part() == measure->Part();
}

TKVStaffLineRecord* FirstStaffLine(const TKVMeasureRecord& R) {
  if (!R.System || !R.System->Page) return nullptr;
  TKVStaffLineRecord* line = R.System->Page->GetStaffLine(R.System->FirstStaffLine);
  return line && line->Staff ? line : nullptr;
}

// The second half of tie record T (of A) at the start of B.
void AddSecondHalf(const TKVMeasureRecord& A, TKVMeasureRecord& B, TKVDisplayItem& T, TKVLiga& Tie) {
  TKVStaffLineRecord* line = FirstStaffLine(B);
  if (!line) return;
  for (int32_t i = 0; i < B.DisplayCount; ++i)
    if (const TKVDisplayItem* d = B.GetDisplay(i); d->Item == &Tie && d->Link == &T) return;
  if (B.Displays.size() <= B.DisplayCount) B.Displays.push_back(std::make_unique<TKVDisplayItem>());
  TKVDisplayItem& half = *B.Displays[B.DisplayCount++];
  half = TKVDisplayItem{};
  half.Owner = &B;
  half.Item = &Tie;
  half.Link = &T;
  half.StaffLine = line;
  half.Staff = line->Staff;
  half.SizePercent = line->Staff->SizePercent();
  half.StaffIndex = half.LastStaff = line->Staff->LayoutIndex;
  const int32_t firstTick = B.TickTable.empty() ? 0 : int32_t(B.TickTable[0]);
  const int32_t dy = B.TopY - A.TopY;
  half.Bounds2 = {B.LeftX, T.Bounds2.Top + dy, B.LeftX + firstTick + Tie.SecondOffset(), T.Bounds2.Bottom + dy};
  half.Bounds = {half.Bounds2.Left + (T.Bounds.Left - T.Bounds2.Left), T.Bounds.Top + dy,
                 half.Bounds2.Width + (T.Bounds.Width - T.Bounds2.Width), T.Bounds.Bottom + dy};
}

}  // namespace

void LinkTiesAcrossJumps(TKVMeasureRecord& A, TKVMeasureRecord& B) {
  if (A.ExtendingItems.empty()) return;
  const bool jump = B.ColumnIndex != A.ColumnIndex + 1;
  // Only B's records from before: a second half added here is no note.
  const int32_t count = B.DisplayCount;
  for (int32_t i = 0; i < count; ++i) {
    const TKVDisplayItem* d = B.GetDisplay(i);
    auto* note = d->RecordType == DisplayRecordType::Item ? ItemCast<TKVNote>(d->Item) : nullptr;
    if (!note || note->Kind() != ItemKind::Note || note->Position() != 0) continue;
    for (TKVDisplayItem* t : A.ExtendingItems) {
      // The list holds other spanning items too: only ties and slurs of notes.
      auto* tie = t ? ItemCast<TKVLiga>(t->Item) : nullptr;
      auto* tied = tie ? tie->OwnerAs<TKVNote>() : nullptr;
      if (!tied || !Continues(*tied, *note, *t, A)) continue;
      note->MidiKey = tied->MidiKey;
      note->PlayState |= TiedIn;
      if (jump) AddSecondHalf(A, B, *t, *tie);
    }
  }
}
