// The notation step of the finishing pass: once the piece is laid out (so
// that the clefs in force are known), every measure is sorted, beamed and
// stemmed, its chords are arranged, and its ties and slurs get their lengths
// and end points.

#include <algorithm>
#include <vector>

#include "score/import/musicxml/MusicXMLFinish.h"
#include "score/import/musicxml/MusicXMLWalk.h"
#include "score/model/DisplayUnits.h"
#include "score/model/ItemKinds.h"
#include "score/model/Liga.h"
#include "score/model/Measure.h"
#include "score/model/Note.h"
#include "score/model/Page.h"
#include "score/model/Part.h"
#include "score/model/Score.h"
#include "score/model/ScoreTypes.h"
#include "score/model/Vorschlag.h"

namespace {

constexpr int ChordDescendingBit = 4;  // of the note's flags
constexpr int32_t StaffMiddleLine = 45;     // the staff's middle line before the clef's offset

// The end point's height beside a stem on the curve's side: the stem's
// length over its six-space base, in layout units; 0 when the curve lies
// away from the stem.
int32_t StemSideOffset(bool Below, const TKVNote& Note) {
  const int32_t stem = (Note.StemLength() - 6) * 8;
  if (Below && !Note.StemDown()) return -stem;
  if (!Below && Note.StemDown()) return stem;
  return 0;
}

bool IsGraceNote(const TKVNote& Note) { return Note.OwnerAs<const TKVVorschlag>() != nullptr; }

// A beam group whose notes change staff takes the stems of a voice spread
// over two staves, each pointing towards the other staff, so that its beam
// runs between the staves: stems as the document wrote them (or up, when it
// wrote none) would reach through the other staff to a beam beyond it.
void StemGroupsAcrossStaves(TKVMeasure& Measure) {
  const std::vector<TKVBeamGroupRange>& ranges = Measure.GroupRanges();
  for (size_t g = 0; g < ranges.size(); ++g) {
    const TKVBeamGroupRange& range = ranges[g];
    if (range.First > range.Last || range.Last >= Measure.Notes().size()) continue;
    const TKVNote& first = *Measure.Notes()[range.First];
    bool across = false;
    for (size_t i = range.First + 1u; i <= range.Last && !across; ++i)
      across = ItemStaff(Measure.Notes()[i]->StaffVoice()) != ItemStaff(first.StaffVoice());
    if (!across) continue;
    Measure.CalcStemDirection(uint8_t(g + 1), first.VoiceKey(), first.Position());
    Measure.CalcBeamGeometry(uint8_t(g + 1));
  }
}

}  // namespace

void TKVMusicXMLFinish::ApplyNotation(TKVPart& Part) {
  for (int32_t m = 0; m < Part.GetMeasureCount(); ++m) {
    TKVMeasure& measure = *Part.GetMeasure(m);
    measure.SortItems();
    measure.BuildBeamGroups(0, true, nullptr);
    StemGroupsAcrossStaves(measure);
    measure.UpdateStems();
    // Arranging a chord reorders the list: the walk goes over a copy.
    const std::vector<TKVItem*> items(measure.Items().begin(), measure.Items().end());
    for (TKVItem* item : items) {
      if (auto* note = ItemCast<TKVNote>(item); note && item->Kind() == ItemKind::Note) {
        FinishLigas(*note, note->Position());
        if (note->Flag(NoteFlag::Chord))
          measure.ArrangeChord(note->VoiceKey(), note->Position(), true, !note->Flag(ChordDescendingBit));
      } else if (auto* group = ItemCast<TKVVorschlag>(item)) {
        for (TKVItem* grace : group->Items())
          if (auto* graceNote = ItemCast<TKVNote>(grace)) FinishLigas(*graceNote, group->Position());
      }
    }
    measure.UpdateVoiceLayout(-1, true);
  }
  if (Part.GetStaffCount() > 1 && FScore.OnGetInstrument) FScore.OnGetInstrument(&FScore, &Part);
}

void TKVMusicXMLFinish::FinishLigas(TKVNote& Note, int32_t Time) {
  for (int32_t i = Note.GetItemCount() - 1; i >= 0; --i) {
    auto* liga = ItemCast<TKVLiga>(Note.GetItem(i));
    if (!liga) continue;
    const int32_t space = FWalk.LineSpace8;
    if (liga->Flag(LigaFlag::Tie)) {
      liga->Data().setU16(LigaBlock::Length, Note.Duration());
      liga->SetDefaultControls(Clamp16(space), Clamp16(space / 2));
    } else {
      FinishSlur(*liga, Note, Time);
      liga->SetDefaultControls(Clamp16(space * 3 / 2), Clamp16(space / 2));
    }
  }
}

// The slur's end points beside the stems on its side, its end at the end
// note's line (on the end note's staff), and its length in ticks to the end
// note.
void TKVMusicXMLFinish::FinishSlur(TKVLiga& Slur, TKVNote& Note, int32_t Time) {
  // The document's ties are ties of their own: a slur between two notes of
  // one key strikes both.
  Slur.SetFlags(uint8_t(Slur.Flags() | 1 << LigaFlag::SlurOnly));
  const bool below = !Slur.Flag(LigaFlag::OtherSide);
  if (int32_t first = StemSideOffset(below, Note); first != 0) Slur.Data().setI16(LigaBlock::FirstOffsetY, Clamp16(first));
  auto end = FSlurEnds.find(&Slur);
  TKVNote* endNote = end == FSlurEnds.end() ? nullptr : end->second;
  if (!endNote) {
    Slur.Data().setU16(LigaBlock::Length, 0);
    return;
  }
  const int32_t space = FWalk.LineSpace8;
  int32_t y = IsGraceNote(Note) ? 0 : StemSideOffset(below, *endNote);
  Slur.Data().setU8(LigaBlock::EndStaffVoice, endNote->StaffVoice());
  y += (StaffMiddleLine - endNote->Line()) * space / 2;
  y += below ? -space : space;
  const int32_t staff = ItemStaff(Note.StaffVoice()), endStaff = ItemStaff(endNote->StaffVoice());
  if (staff != endStaff) {
    const long double interval = FScore.Page().InternalValue(pvInterval);
    const int32_t gap = RoundExtended(interval * ScreenPixelsPerInch / 254) + 4 * space;
    y += staff > endStaff ? -gap : gap;
  }
  Slur.Data().setI16(LigaBlock::SecondOffsetY, Clamp16(y));

  const TKVMeasure* measure = Note.GetMeasure();
  const TKVMeasure* endMeasure = endNote->GetMeasure();
  int64_t length = 0;
  if (measure && endMeasure && measure->Part() == endMeasure->Part()) {
    if (measure == endMeasure) {
      length = endNote->Position() - Time;
    } else if (endMeasure->Index() > measure->Index()) {
      length = measure->Length - Time + endNote->Position();
      for (int32_t m = measure->Index() + 1; m < endMeasure->Index(); ++m)
        length += measure->Part()->GetMeasure(m)->Length;
    }
  }
  Slur.Data().setU16(LigaBlock::Length, uint16_t(std::clamp<int64_t>(length, 0, UINT16_MAX)));
}
