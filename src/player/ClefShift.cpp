#include "player/ClefShift.h"

#include <array>

#include "score/model/ItemKinds.h"
#include "score/model/LayoutRecords.h"
#include "score/model/Mark.h"
#include "score/model/Measure.h"

int32_t ClefShiftAt(const TKVMeasureRecord* R, int32_t Part, int32_t Staff, int32_t Tick) {
  static constexpr std::array<int8_t, 19> Shifts = {0, 0, -12, -6, 7, -7, -19, -10, -8, -2,
                                                    -4, -10, 0, 0, 0, 0, 15, -15, -27};
  if (!R || Part < 0 || size_t(Part) >= R->PartRecords.size() || !R->PartRecords[size_t(Part)]) return 0;
  const auto& staves = R->PartRecords[size_t(Part)]->StaffRecords;
  if (Staff < 0 || size_t(Staff) >= staves.size() || !staves[size_t(Staff)]) return 0;
  const auto& clefs = staves[size_t(Staff)]->ClefList;
  for (size_t i = clefs.size(); i-- > 0;) {
    auto* clef = ItemCast<const TKVMark>(clefs[i] ? clefs[i]->Item : nullptr);
    if (!clef) continue;
    const TKVMeasure* measure = clef->GetMeasure();
    const int32_t start = i == 0 ? 0 : clef->Position();
    if (start <= Tick || (measure && measure->Index() < R->ColumnIndex))
      return clef->Variant() < Shifts.size() ? Shifts[clef->Variant()] : 0;
  }
  return 0;
}
