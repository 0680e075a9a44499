// The verses under a staff on a system: how far they move down to stand
// clear of the staff's own notes, and the room they need above the next
// staff's marks.

#include <algorithm>
#include <cstdint>
#include <vector>

#include "score/layout/page/PageComposer.h"
#include "score/model/Item.h"
#include "score/model/ItemKinds.h"
#include "score/model/Staff.h"

namespace {

// A record's y from its staff's top line: records placed on a page by an
// earlier run hold page positions. False for a record that has no staff on
// the page.
bool StaffRelative(const TKVMeasureRecord& Record, const TKVDisplayItem& D, int64_t& Y) {
  if (!Record.Positioned) return true;
  if (!D.StaffLine) return false;
  Y -= D.StaffLine->Top;
  return true;
}

// Records whose rectangle is not in their staff's terms: objects held by a
// measure (relative to their anchor) and grace groups.
bool OnStaffTerms(const TKVDisplayItem& D) {
  if (!D.Item) return false;
  const uint8_t kind = D.Item->Kind();
  return kind != ItemKind::GraceGroup && kind != ItemKind::OleObject &&
         !(kind >= ItemKind::Text && kind <= ItemKind::ArcChord);
}

// Calls Visit(record, y of its top, y of its bottom) for the drawn records
// of a staff in the measures, y from the staff's top line.
template <class Visit>
void EachStaffRecord(const TKVStaff* Staff, const std::vector<TKVMeasureRecord*>& Measures, Visit&& Visit_) {
  for (const TKVMeasureRecord* record : Measures) {
    if (!record) continue;
    for (int32_t d = 0; const TKVDisplayItem* D = record->GetDisplay(d); ++d) {
      if (D->Hidden || D->StaffIndex != Staff->LayoutIndex || !OnStaffTerms(*D)) continue;
      int64_t top = std::min(D->Bounds.Top, D->Bounds.Bottom);  // a beam holds its two ends
      int64_t bottom = std::max(D->Bounds.Top, D->Bounds.Bottom);
      if (StaffRelative(*record, *D, top) && StaffRelative(*record, *D, bottom)) Visit_(*D, top, bottom);
    }
  }
}

// Whether a syllable stands on the staff in the measures: the lyric list
// answers without walking every record, and most staves have none.
bool HasSyllables(const TKVStaff* Staff, const std::vector<TKVMeasureRecord*>& Measures) {
  for (const TKVMeasureRecord* record : Measures)
    if (record)
      for (const TKVDisplayItem* syllable : record->LyricDisplays)
        if (syllable && !syllable->Hidden && syllable->StaffIndex == Staff->LayoutIndex) return true;
  return false;
}

bool IsSyllable(const TKVDisplayItem& D) {
  return D.RecordType == DisplayRecordType::Item && D.Item->Kind() == ItemKind::Syllable;
}

// How far the marks of a staff (heads, stems, beams, slurs and what stands
// above it) reach above its top line in the measures; 0 when none does.
int64_t ReachAbove(const TKVStaff* Staff, const std::vector<TKVMeasureRecord*>& Measures) {
  int64_t highest = 0;
  EachStaffRecord(Staff, Measures,
                  [&](const TKVDisplayItem&, int64_t Top, int64_t) { highest = std::min(highest, Top); });
  return -highest;
}

}  // namespace

bool SyllableUnderStaff(int64_t Top, int64_t StaffHeight) { return Top > StaffHeight / 2; }

int64_t VerseDrop(const TKVStaff* Staff, const std::vector<TKVMeasureRecord*>& Measures, int64_t StaffHeight,
                  int32_t LineSpace) {
  if (!HasSyllables(Staff, Measures)) return 0;
  int64_t floor = StaffHeight, highest = INT64_MAX;
  EachStaffRecord(Staff, Measures, [&](const TKVDisplayItem& D, int64_t Top, int64_t Bottom) {
    if (IsSyllable(D) && SyllableUnderStaff(Top, StaffHeight)) highest = std::min(highest, Top);
    if (D.RecordType == DisplayRecordType::Item && D.Item->Kind() == ItemKind::Note) floor = std::max(floor, Bottom);
  });
  if (highest == INT64_MAX) return 0;
  return std::max<int64_t>(0, floor + LineSpace / 2 - highest);
}

long double VerseRoom(const TKVComposerContext& Ctx, const TKVStaff* Staff, int64_t StaffHeight, const TKVStaff* Next,
                      long double Below, const std::vector<TKVMeasureRecord*>& Measures) {
  if (!HasSyllables(Staff, Measures)) return 0;
  const int64_t drop = VerseDrop(Staff, Measures, StaffHeight, Ctx.LineSpace);
  int64_t lowest = INT64_MIN;
  EachStaffRecord(Staff, Measures, [&](const TKVDisplayItem& D, int64_t Top, int64_t Bottom) {
    if (IsSyllable(D)) lowest = std::max(lowest, Bottom + (SyllableUnderStaff(Top, StaffHeight) ? drop : 0));
  });
  if (lowest == INT64_MIN) return 0;
  const int64_t above = Next ? ReachAbove(Next, Measures) : 0;
  return std::max<long double>(0, UnitsToTenths(lowest + 2 * int64_t(Ctx.LineSpace) + above) - Below);
}
