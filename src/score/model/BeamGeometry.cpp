// Stem lengths of the notes of a beam group, so that the beam clears every
// head.

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "score/model/DisplayUnits.h"
#include "score/model/Measure.h"
#include "score/model/NotationSupport.h"
#include "score/model/Note.h"
#include "score/model/Part.h"
#include "score/model/Score.h"
#include "score/model/Staff.h"
#include "score/model/Voice.h"

namespace {

// One note of a group with its place on the staff: its line less the clef
// offset (twice its string on a tablature staff) and its head's height in
// pixels, growing downwards, counted across both staves of a cross-staff
// voice.
struct TBeamNote {
  TKVNote* Note;
  int32_t Line;
  int32_t Height;
};

class TGroupGeometry {
public:
  TGroupGeometry(TKVMeasure& measure, size_t first, size_t last) {
    const TKVScore& score = *measure.Score();
    const long double lineSpace = score.Page().InternalValue(pvLineSpace);
    const int32_t firstStaff = ItemStaff(measure.Notes()[first]->StaffVoice());
    const TKVStaff* staff = measure.Part()->GetStaff(firstStaff);
    const bool tablature = staff && staff->Data().u8(StaffBlock::Tablature);
    FStep = tablature ? RoundExtended(lineSpace * 96 * 13 / 254 / 20) : RoundExtended(lineSpace * 96 / 254 / 2);
    FStemLength = uint8_t(score.StemLength());
    const int32_t staffPitch = RoundExtended(score.Page().InternalValue(pvInterval) * 96 / 254) + 8 * FStep;
    for (size_t i = first; i <= last; ++i) {
      TKVNote* note = measure.Notes()[i];
      const int32_t staffIndex = ItemStaff(note->StaffVoice());
      const int32_t line = tablature ? 2 * note->String() : note->Line() - measure.GetClefOffsetAt(staffIndex, note->Position());
      int32_t height = (64 - line) * FStep;
      const TKVVoice* voice = PartVoice(measure, note->VoiceKey().VoiceNumber);
      if (voice && voice->SecondStaff() && staffIndex == std::max(voice->Staff()->Index(), voice->SecondStaff()->Index()))
        height += staffPitch;
      FNotes.push_back({note, line, height});
    }
  }

  void Apply() {
    if (!MixedStemsThroughMiddle()) EndsAndInnerStems();
  }

private:
  // Stems up and down far apart: the beam runs between the two sets.
  bool MixedStemsThroughMiddle() {
    bool anyUp = false, anyDown = false;
    int32_t lowestDown = INT32_MIN, highestUp = INT32_MAX;
    for (const TBeamNote& entry : FNotes) {
      if (entry.Note->StemDown()) {
        anyDown = true;
        lowestDown = std::max(lowestDown, entry.Height);
      } else {
        anyUp = true;
        highestUp = std::min(highestUp, entry.Height);
      }
    }
    if (!anyUp || !anyDown || std::abs(lowestDown - highestUp) <= 20) return false;
    const int32_t middle = (lowestDown + highestUp) / 2;
    // A stem longer than its byte holds keeps the longest length rather than
    // wrapping round to a short one.
    for (const TBeamNote& entry : FNotes)
      entry.Note->SetStemLength(uint8_t(std::min(std::abs(entry.Height - middle), 255)));
    return true;
  }

  bool ChordMates(const TBeamNote& a, const TBeamNote& b) const {
    return a.Note->Position() == b.Note->Position() && a.Note->Duration() == b.Note->Duration();
  }

  void EndsAndInnerStems() {
    // The end heads nearest the beam: the top of a first chord with stems up,
    // the bottom of a last chord with stems down.
    size_t first = 0, last = FNotes.size() - 1;
    if (!FNotes[first].Note->StemDown() && FNotes[first].Note->Flag(NoteFlag::Chord))
      while (first + 1 < FNotes.size() && ChordMates(FNotes[first + 1], FNotes[first])) ++first;
    if (FNotes[last].Note->StemDown() && FNotes[last].Note->Flag(NoteFlag::Chord))
      while (last > 0 && ChordMates(FNotes[last - 1], FNotes[last])) --last;
    const bool down = FNotes[first].Note->StemDown();
    TBeamNote& start = FNotes[first];
    TBeamNote& end = FNotes[last];
    start.Note->SetStemLength(FStemLength);
    end.Note->SetStemLength(FStemLength);

    // The beam slants by at most r steps: level for long groups and for a
    // step of one line.
    const int32_t span = std::abs(start.Line - end.Line);
    const size_t entries = FNotes.size();
    const int32_t reduction = entries >= 5 || span == 1 ? 0 : entries <= 3 ? 1 : 2;
    TBeamNote* anchor = &end;
    if (span != 0) {
      const bool startFarther = down ? start.Line > end.Line : start.Line < end.Line;
      TBeamNote& farther = startFarther ? start : end;
      anchor = startFarther ? &end : &start;
      farther.Note->SetStemLength(uint8_t((span - reduction) * FStep + anchor->Note->StemLength()));
    }
    // An inner head nearer the beam than the anchor lifts both ends.
    int32_t overshoot = 0;
    for (size_t i = 0; i < entries; ++i) {
      if (i == first || i == last) continue;
      const int32_t nearer = down ? anchor->Line - FNotes[i].Line : FNotes[i].Line - anchor->Line;
      if (nearer > 0 && anchor->Note->StemLength() - nearer * FStep < FStemLength)
        overshoot = std::max(overshoot, nearer * FStep + FStemLength - anchor->Note->StemLength());
    }
    start.Note->SetStemLength(uint8_t(start.Note->StemLength() + overshoot));
    end.Note->SetStemLength(uint8_t(end.Note->StemLength() + overshoot));

    // Inner stems reach the straight beam between the two end stems, placed
    // by time between the ends.
    const int32_t sign = down ? 1 : -1;
    const int32_t beamStart = start.Height + sign * start.Note->StemLength();
    const int32_t beamEnd = end.Height + sign * end.Note->StemLength();
    const int32_t from = start.Note->Position(), to = end.Note->Position();
    for (size_t i = 0; i < entries; ++i) {
      if (i == first || i == last) continue;
      const int32_t at = FNotes[i].Note->Position();
      const int32_t beam = to == from ? beamStart : beamStart + (beamEnd - beamStart) * (at - from) / (to - from);
      FNotes[i].Note->SetStemLength(uint8_t(std::clamp(sign * (beam - FNotes[i].Height), 0, 255)));
    }
  }

  std::vector<TBeamNote> FNotes;
  int32_t FStep = 0;
  uint8_t FStemLength = 0;
};

}  // namespace

void TKVMeasure::CalcBeamGeometry(uint8_t Group) {
  if (FNotes.empty() || FNotes.back()->BeamGroup < 1) return;
  const int32_t last = Group ? Group : FNotes.back()->BeamGroup;
  for (int32_t group = Group ? Group : 1; group <= last; ++group) {
    // A group number beyond the ranges (a stale caller's) is ignored.
    if (size_t(group) > FGroupRanges.size()) continue;
    const TKVBeamGroupRange& range = FGroupRanges[size_t(group) - 1];
    if (range.First > range.Last || range.Last >= FNotes.size()) continue;
    TGroupGeometry(*this, range.First, range.Last).Apply();
  }
}
