// Stem records of notes and the beam records of their groups.

#include <algorithm>

#include "score/layout/LayoutServices.h"
#include "score/layout/measure/NoteParts.h"
#include "score/model/Measure.h"
#include "score/model/Note.h"
#include "score/model/Part.h"
#include "score/model/Score.h"
#include "score/model/Staff.h"

namespace {

// The beam-group entry that holds the note's beam record: of its own
// measure, or of the measure before for a group continued over the bar line.
// Nil when there is none (the note then gets a plain stem).
TKVBeamGroupRange* BeamEntry(const TKVFormatContext& Ctx, const TKVNote& Note) {
  if (Note.BeamGroup == 0) return nullptr;
  TKVMeasure* measure = Ctx.Measure;
  if (Note.Flag(NoteFlag::BeamFromPrevious)) measure = Ctx.Part->GetMeasure(Ctx.ColumnIndex - 1);
  if (!measure || Note.BeamGroup > measure->GroupRanges().size()) return nullptr;
  return &measure->GroupRanges()[Note.BeamGroup - 1u];
}

// A chord member's stem, when the voice's last stem belongs to its chord.
TKVDisplayItem* ChordStem(TKVVoiceRun& Run, const TKVNote& Note) {
  if (!Note.Flag(NoteFlag::Chord) || !Run.StemLink) return nullptr;
  auto* first = ItemCast<const TKVNote>(Run.StemLink->Item);
  if (first && first->Position() == Note.Position() && first->StaffVoice() == Note.StaffVoice()) return Run.StemLink;
  return nullptr;
}

int32_t Saturate(int64_t V) { return int32_t(std::clamp<int64_t>(V, INT32_MIN, INT32_MAX)); }

}  // namespace

void LayoutStem(TKVFormatContext& Ctx, TKVStaffPass& Pass, TKVNote& Note, const TKVNoteHead& Head) {
  if (Note.Value() >= 512) return;
  TKVVoiceRun& run = Pass.Voices[Note.Voice];
  const int32_t middle = Head.Y + Pass.LineStep / 2;  // the stem starts at the head's middle
  if (TKVDisplayItem* stem = ChordStem(run, Note)) {
    stem->Bounds.Top = std::min(stem->Bounds.Top, middle);
    stem->Bounds.Bottom = std::max(stem->Bounds.Bottom, middle);
    return;
  }
  run.StemLink = nullptr;
  const TKVDisplayItem& head = *Head.Record;
  TKVDisplayItem& stem = AddDisplayItem(Ctx, &Note, true);
  stem.RecordType = DisplayRecordType::Stem;
  const int32_t length = Note.StemLength() * 8 + Ctx.Score.Settings().StemExtra();
  const bool down = Note.StemDown();
  const int64_t staffSize = Ctx.Staff ? Ctx.Staff->SizePercent() : 100;
  const int32_t end = Saturate(int64_t(down ? length : -length) * Ctx.Scale() * staffSize / 10000) + middle;
  if (TKVBeamGroupRange* entry = BeamEntry(Ctx, Note)) {
    if (!entry->Beam) {
      entry->Beam = &AddDisplayItem(Ctx, &Note, true);
      entry->Beam->RecordType = DisplayRecordType::BeamGroup;
      entry->Beam->Bounds.Top = end;  // height at the first stem
    } else {
      entry->Beam->Bounds.Bottom = end;  // height at the last stem so far
    }
    // The staves of a part are laid out one after the other: a group whose
    // notes change staff still lists its stems in time order.
    std::vector<TKVDisplayItem*>& links = entry->Beam->Links;
    const auto later = std::find_if(links.begin(), links.end(), [&](const TKVDisplayItem* link) {
      const auto* other = link ? ItemCast<const TKVNote>(link->Item) : nullptr;
      return other && other->Position() > Note.Position();
    });
    links.insert(later, &stem);
  }
  const int32_t w = Head.Width;
  stem.Bounds = down ? ScaleLayoutRect(Ctx, Head.ShiftedBy - w / 2, Head.StemTop, 8, length, head.SizePercent)
                     : ScaleLayoutRect(Ctx, w - w / 2 - 8 + Head.ShiftedBy, -length, 8, Head.StemBottom,
                                       head.SizePercent);
  stem.Bounds.Top += middle;
  stem.Bounds.Bottom += middle;
  if (Note.Flag(NoteFlag::Chord)) run.StemLink = &stem;
}
