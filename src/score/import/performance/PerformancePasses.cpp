#include "score/import/performance/PerformancePasses.h"

#include <algorithm>
#include <vector>

#include "score/import/performance/PerformanceEffects.h"
#include "score/model/ItemKinds.h"
#include "score/model/Measure.h"
#include "score/model/Note.h"
#include "score/model/Part.h"
#include "score/model/Piece.h"
#include "score/model/Score.h"
#include "score/model/SimpleElements.h"
#include "score/model/Vorschlag.h"

namespace {

constexpr uint8_t AccentBits = 0x0C;  // of the note's join byte
constexpr int32_t AccentItemType = 30;

template <class F>
void ForEachPart(TKVScore& Score, F f) {
  for (int32_t p = 0; p < Score.GetPieceCount(); ++p) {
    TKVPiece& piece = *Score.GetPiece(p);
    for (int32_t i = 0; i < piece.GetPartCount(); ++i) f(piece, *piece.GetPart(i));
  }
}

template <class T, class F>
void ForEachItemOf(TKVPart& Part, uint8_t Kind, F f) {
  for (int32_t m = 0; m < Part.GetMeasureCount(); ++m) {
    TKVMeasure& measure = *Part.GetMeasure(m);
    // Index loop: the passes add and free items of notes, never of measures.
    for (int32_t i = 0; i < measure.GetItemCount(); ++i)
      if (auto* item = ItemCast<T>(measure.GetItem(i)); item && item->Kind() == Kind) f(measure, *item);
  }
}

void AddTiming(std::vector<int32_t>& Timing, const TKVNote& Note) {
  Timing.push_back(Note.TimeOffset());
  Timing.push_back(Note.PlayedLength());
  for (const TKVItem* item : Note.Items())
    if (item->Kind() == ItemKind::Effect)
      for (size_t b = 0; b < item->Data().Size(); ++b) Timing.push_back(item->Data().u8(b));
  Timing.push_back(-1);
}

// Everything the effect pass writes in a part, to see whether it changed.
std::vector<int32_t> PartTiming(TKVPart& Part) {
  std::vector<int32_t> timing;
  ForEachItemOf<TKVNote>(Part, ItemKind::Note, [&](TKVMeasure&, TKVNote& note) { AddTiming(timing, note); });
  ForEachItemOf<TKVVorschlag>(Part, ItemKind::GraceGroup, [&](TKVMeasure&, TKVVorschlag& group) {
    for (const TKVItem* item : group.Items())
      if (auto* grace = ItemCast<const TKVNote>(item)) AddTiming(timing, *grace);
  });
  return timing;
}

}  // namespace

int32_t AccentVelocity(TKVScore& Score, uint8_t Flags, int32_t Velocity) {
  if ((Flags & AccentBits) == 0 || !Score.OnGetDinamics) return Velocity;
  const int32_t delta = int16_t(Score.OnGetDinamics(&Score, AccentItemType, 0));
  if (Velocity <= -delta) return 0;
  // A velocity is a MIDI data byte: a strong accent on a loud note stays at
  // the top instead of wrapping round to a soft one.
  return std::min(Velocity + delta, 127);
}

void ApplyVelocities(TKVScore& Score) {
  auto apply = [&](TKVNote& note, int32_t level) {
    note.SetVelocity(uint8_t(std::clamp(AccentVelocity(Score, note.Join(), level), 0, 127)));
  };
  ForEachPart(Score, [&](TKVPiece& piece, TKVPart& part) {
    ForEachItemOf<TKVNote>(part, ItemKind::Note, [&](TKVMeasure& measure, TKVNote& note) {
      apply(note, piece.GetDynamicValue(&measure, note.Position()));
    });
    // Grace notes play at the level of their group's place, not at the
    // neutral level whatever the dynamics around them.
    ForEachItemOf<TKVVorschlag>(part, ItemKind::GraceGroup, [&](TKVMeasure& measure, TKVVorschlag& group) {
      const int32_t level = piece.GetDynamicValue(&measure, group.Position());
      for (TKVItem* item : group.Items())
        if (auto* grace = ItemCast<TKVNote>(item)) apply(*grace, level);
    });
  });
}

bool ApplyEffects(TKVScore& Score) {
  bool changed = false;
  ForEachPart(Score, [&](TKVPiece&, TKVPart& part) {
    const std::vector<int32_t> before = PartTiming(part);
    // Every note of the part first: a note resets its own timing, so the
    // grace-note groups, which change the timing of main notes beside them
    // (also in the measures before and after), come after all notes.
    ForEachItemOf<TKVNote>(part, ItemKind::Note,
                           [&](TKVMeasure& measure, TKVNote& note) { ApplyNoteEffects(Score, measure, note); });
    ForEachItemOf<TKVVorschlag>(part, ItemKind::GraceGroup,
                                [&](TKVMeasure& measure, TKVVorschlag& group) { ApplyGraceTimings(measure, group); });
    changed = changed || PartTiming(part) != before;
  });
  return changed;
}

void ApplyPerformancePasses(TKVScore& Score) {
  Score.UpdateDynamics();
  ApplyVelocities(Score);
  // The score was laid out before the passes: the player's play order only
  // holds the new timings and effect notes after another layout, which in
  // turn rebuilds the dynamics records.
  if (ApplyEffects(Score)) {
    Score.Reformat(0);
    Score.UpdateDynamics();
  }
}
