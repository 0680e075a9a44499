// Velocities from dynamics: the piece's pass that fills its dynamics records
// from their items, and the velocity in force at a point of a measure.

#include <algorithm>
#include <vector>

#include "score/model/ItemKinds.h"
#include "score/model/Lyric.h"
#include "score/model/Mark.h"
#include "score/model/Measure.h"
#include "score/model/Part.h"
#include "score/model/Piece.h"
#include "score/model/Score.h"

namespace {

constexpr int32_t QuietestDynamic = 2;  // ppp

uint8_t Clamp(int32_t value) { return uint8_t(std::clamp(value, 0, 127)); }

// fp, sf, esf, fz and sfz among the dynamics sub-kinds.
bool IsAccentDynamic(int32_t variant) { return variant == 4 || (variant >= 9 && variant <= 12); }

// A relative setting changes the level over the rest of the measure (never a
// negative span, even for a record placed past the measure's length); an
// absolute one sets the level at its point.
void ApplySetting(TKVDynamicRecord& record, int32_t& level, bool relative, int32_t value, int32_t measureLength) {
  if (relative) {
    record.StartVelocity = uint8_t(level);
    level = Clamp(level + value);
    record.EndVelocity = uint8_t(level);
    record.Length = uint16_t(std::max(measureLength - int32_t(record.Position), 0));
  } else {
    level = Clamp(value);
    record.StartVelocity = uint8_t(level);
    record.Length = 0;
  }
}

}  // namespace

void TKVPiece::CalcVelocities() {
  // A diminuendo ends no quieter than the quietest dynamic, ppp, unless the
  // level was already below it.
  auto quietened = [this](int32_t level, int32_t amount) {
    if (!FScore->OnGetDinamics) return level - amount;
    const int32_t quietest = FScore->OnGetDinamics(this, ItemKind::Dynamic, QuietestDynamic);
    return std::max(level - amount, std::min(level, quietest));
  };
  std::vector<int32_t> levels(size_t(GetPartCount()), 64);
  int32_t count = std::min<int32_t>(FLayout.MeasureRecordCount, int32_t(FLayout.MeasureRecords.size()));
  for (int32_t m = 0; m < count; ++m) {
    TKVMeasureRecord& measure = *FLayout.MeasureRecords[size_t(m)];
    for (int32_t d = 0; TKVDynamicRecord* record = measure.GetDynamic(d); ++d) {
      if (record->PartIndex >= levels.size() || !record->Item) continue;
      int32_t& level = levels[record->PartIndex];
      TKVItem* item = record->Item;
      uint8_t kind = item->Kind();
      if (kind == ItemKind::LyricText) {
        auto* lyric = ItemCast<TKVLyric>(item);
        if (!lyric) continue;
        if (const TKVDynamicsSetting* setting = lyric->Dynamics()) {
          ApplySetting(*record, level, setting->Relative(), setting->Value(), measure.Length);
        } else if (FScore->OnGetTerms && !lyric->Lines().empty()) {
          int32_t value1 = 0, value2 = 0;
          std::string data;
          if (FScore->OnGetTerms(this, 1, &lyric->Lines(), value1, value2, data) == 0)
            record->Disabled = 1;
          else
            ApplySetting(*record, level, value1 != 0, value2, measure.Length);
        }
      } else if (kind == ItemKind::DynamicSymbol) {
        auto* mark = ItemCast<TKVMark>(item);
        if (const TKVDynamicsSetting* setting = mark ? mark->Dynamics() : nullptr)
          ApplySetting(*record, level, setting->Relative(), setting->Value(), measure.Length);
      } else if (kind == ItemKind::Dynamic) {
        int32_t variant = item->Data().u8(MarkBlock::Variant);
        if (IsAccentDynamic(variant)) {
          // fp and the sforzandi stress their own note over the level in
          // force, as an accent does: a whole passage after an sf does not
          // stay loud.
          int32_t amount = FScore->OnGetDinamics ? FScore->OnGetDinamics(this, kind, variant) : 0;
          record->StartVelocity = Clamp(level + amount);
          record->Length = 0;
          record->Local = 1;
        } else if (variant <= 12) {
          if (FScore->OnGetDinamics) level = Clamp(FScore->OnGetDinamics(this, kind, variant));
          record->StartVelocity = uint8_t(level);
          record->Length = 0;
        } else if (variant <= 51) {
          int32_t amount = FScore->OnGetDinamics ? FScore->OnGetDinamics(this, kind, variant) : 0;
          record->StartVelocity = uint8_t(level);
          level = Clamp(variant == 50 ? level + amount : quietened(level, amount));
          record->EndVelocity = uint8_t(level);
          record->Length = item->Data().u16(MarkBlock::Value);
        }
      } else if (kind == ItemKind::Accent) {
        int32_t variant = item->Data().u8(MarkBlock::Variant);
        if (variant <= 3) {
          int32_t amount = FScore->OnGetDinamics ? FScore->OnGetDinamics(this, kind, variant) : 0;
          record->StartVelocity = Clamp(level + amount);
          record->Length = 0;
        }
      }
    }
  }
}

// Among several records of one measure that apply, the one placed latest
// (at the greatest position; the later in the list on a tie) decides.
int32_t TKVPiece::GetDynamicValue(const TKVMeasure* Measure, int32_t Position) const {
  if (!Measure || Measure->Index() < 0) return 64;
  const int32_t own = Measure->Index();
  const int32_t part = Measure->Part()->Index();
  const int32_t count = std::min<int32_t>(FLayout.MeasureRecordCount, int32_t(FLayout.MeasureRecords.size()));
  for (int32_t m = std::min(own, count - 1); m >= 0; --m) {
    const TKVMeasureRecord& measure = *FLayout.MeasureRecords[size_t(m)];
    const TKVDynamicRecord* best = nullptr;
    for (int32_t d = measure.DynamicCount - 1; d >= 0; --d) {
      const TKVDynamicRecord* record = measure.GetDynamic(d);
      if (!record || record->Disabled || record->PartIndex != part) continue;
      if (record->Local) {
        if (m == own && record->Position == Position) {
          best = record;
          break;
        }
        continue;
      }
      if (m == own && record->Position > Position) continue;
      if (!best || record->Position > best->Position) best = record;
    }
    if (!best) continue;
    if (best->Length == 0 || best->Local) return best->StartVelocity;
    long long elapsed = (long long)GetRangeLength(m, own - 1) + Position - best->Position;
    if (best->Length > elapsed)
      return int32_t(best->StartVelocity + (best->EndVelocity - best->StartVelocity) * elapsed / best->Length);
    return best->EndVelocity;
  }
  return 64;
}
