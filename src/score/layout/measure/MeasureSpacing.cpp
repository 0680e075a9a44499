// Turning a measure's position table from room per tick into x offsets
// (units from the measure's left edge). The table holds length + 1
// entries: entry k the x of tick k, entry length the end of the last
// tick's room. An entry past the table reads as 0 and is never written.

#include "score/layout/measure/MeasureSpacing.h"

#include <algorithm>

#include "base/Strings.h"
#include "score/layout/page/PageComposer.h"
#include "score/model/Column.h"
#include "score/model/Part.h"
#include "score/model/Piece.h"
#include "score/model/Score.h"

namespace {

uint32_t Low(uint32_t Entry) { return Entry & 0xFFFF; }
uint32_t High(uint32_t Entry) { return Entry >> 16; }

void Raise(uint32_t& Entry, int32_t Before, int32_t After) {
  const uint32_t before = uint32_t(std::clamp(Before, 0, 0xFFFF)), after = uint32_t(std::clamp(After, 0, 0xFFFF));
  Entry = std::max(Low(Entry), before) | (std::max(High(Entry), after) << 16);
}

// The last index of the table that belongs to the measure.
int32_t LastTick(const TKVMeasureRecord& Record) {
  return std::min<int32_t>(Record.Length, int32_t(Record.TickTable.size()) - 1);
}

}  // namespace

void RegisterTickRoom(TKVComposerContext& Ctx, int32_t Voice, int32_t Tick, int32_t Before, int32_t After) {
  TKVMeasureRecord& record = *Ctx.Record;
  // An item at or past the measure's end reserves nothing.
  if (Tick < 0 || Tick >= record.Length || Tick > LastTick(record)) return;
  if (!Ctx.UseBuffer) {
    Raise(record.TickTable[size_t(Tick)], Before, After);
    return;
  }
  if (Voice < 0 || size_t(Voice) >= Ctx.Voices.size()) return;
  TKVVoiceSpacing& voice = Ctx.Voices[size_t(Voice)];
  if (size_t(Tick) >= voice.Room.size()) return;
  Raise(voice.Room[size_t(Tick)], Before, After);
  voice.HasItem[size_t(Tick)] = 1;
  Ctx.UsedVoices |= uint16_t(1u << Voice);
}

std::vector<int16_t> ColumnOffsets(const TKVComposerContext& Ctx, int32_t N) {
  std::vector<int16_t> offsets;
  if (!Ctx.Piece) return offsets;
  const TKVColumn* column = Ctx.Piece->GetColumn(N);
  if (!column) return offsets;
  for (uint16_t word : const_cast<TKVColumn*>(column)->Words()) offsets.push_back(int16_t(word));
  return offsets;
}

int32_t SpacingGridStep(int64_t Room) { return Room <= 256 ? 32 : Room <= 512 ? 16 : 8; }

void CalcMeasureSpacing(TKVComposerContext& Ctx) {
  TKVMeasureRecord& record = *Ctx.Record;
  if (record.Spaced || record.TickTable.empty()) return;
  record.Spaced = 1;
  std::vector<uint32_t>& table = record.TickTable;
  const int32_t last = LastTick(record);
  const int64_t scale = Ctx.Scale();
  const auto& e = record.Extents;
  const int64_t startWidths = int64_t(e[ExtentWord::ExtraLeft]) + e[ExtentWord::ClefWidth] +
                              e[ExtentWord::KeyWidth] + e[ExtentWord::StartSpace] + e[ExtentWord::ExtraStart];
  if (Ctx.UseBuffer) {
    // The entries hold offsets already (the end x in entry length); the
    // empty ones between filled ones are interpolated, those after the
    // last filled one take its x, and everything moves right by the start
    // widths.
    if (last == record.Length) table[size_t(last)] = uint32_t(std::max<int64_t>(table[size_t(last)], record.MusicWidth));
    int32_t filled = 0;
    for (int32_t k = 1; k <= last; ++k) {
      if (table[size_t(k)] == 0) continue;
      const int64_t from = table[size_t(filled)], to = table[size_t(k)];
      for (int32_t j = filled + 1; j < k; ++j)
        table[size_t(j)] = uint32_t(from + Round(double(to - from) * (j - filled) / (k - filled)));
      filled = k;
    }
    for (int32_t j = filled + 1; j <= last; ++j) table[size_t(j)] = table[size_t(filled)];
    for (int32_t k = 0; k <= last; ++k)
      table[size_t(k)] = uint32_t(Saturate32(std::max<int64_t>(int64_t(table[size_t(k)]) + startWidths, 0)));
    return;
  }
  int64_t x = int64_t(Low(table[0])) * 8 * scale / 100 + startWidths;
  int64_t added = Ctx.NoteSpacing;
  if (Ctx.Alignment <= 100 && (record.Flags & 0x30) < 0x20) {
    const int64_t room = int64_t(e[ExtentWord::GridRoom]) - x;
    const int32_t step = SpacingGridStep(room);
    for (int32_t k = 0; k < last; k += step) Raise(table[size_t(k)], 1, 0);
    added = 0;
  }
  const std::vector<int16_t> offsets = ColumnOffsets(Ctx, record.ColumnIndex);
  std::vector<int64_t> room(size_t(last) + 1);
  for (int32_t k = 0; k <= last; ++k) {
    int64_t r = (int64_t(High(table[size_t(k)])) + (k < last ? Low(table[size_t(k) + 1]) : 0)) * 8;
    if (Ctx.Alignment <= 100 && r != 0) r += added;
    r = r * scale / 100;
    if (size_t(k) < offsets.size() && (r != 0 || Ctx.Alignment >= 100)) r = std::max<int64_t>(r + offsets[size_t(k)], 0);
    room[size_t(k)] = r;
  }
  // Ticks without room between two with room share the room evenly.
  int32_t anchor = -1;
  for (int32_t k = 0; k <= last; ++k) {
    x = std::max<int64_t>(x, 0);
    table[size_t(k)] = uint32_t(Saturate32(x));
    if (room[size_t(k)] != 0 || k == last) {
      if (Ctx.Alignment <= 100 && anchor >= 0 && k - anchor > 1) {
        const int64_t from = table[size_t(anchor)];
        for (int32_t j = anchor + 1; j < k; ++j)
          table[size_t(j)] = uint32_t(Saturate32(from + Round(double(x - from) * (j - anchor) / (k - anchor))));
      }
      anchor = k;
    }
    x += room[size_t(k)];
  }
}
