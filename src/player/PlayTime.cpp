#include "player/PlayTime.h"

#include <algorithm>
#include <cmath>

#include "score/model/LayoutRecords.h"
#include "score/model/Piece.h"

namespace {

// From, moved on by the whole ticks that Remaining ms make at MsPerTick,
// but not past Limit.
int32_t Advance(int32_t From, long double Remaining, double MsPerTick, int32_t Limit) {
  if (!(MsPerTick > 0) || !(Remaining > 0) || Limit <= From) return From;
  const long double ticks = std::trunc(Remaining / MsPerTick);
  return ticks < Limit - From ? From + int32_t(ticks) : Limit;
}

}  // namespace

const TKVMeasureRecord* LaidOutRecord(const TKVPiece* Piece, int64_t Index) {
  if (!Piece || Index < 0 || Index >= Piece->MeasureRecordCount()) return nullptr;
  const auto& records = Piece->Layout().MeasureRecords;
  return size_t(Index) < records.size() ? records[size_t(Index)].get() : nullptr;
}

double MeasureTimeAt(const TKVMeasureRecord& R, int32_t Tick, double Start) {
  long double time = Start;
  if (R.TempoSegments.empty()) return double(time + (long double)Tick * R.MsPerTick);
  int32_t prev = 0;
  for (const TKVTempoSegment& S : R.TempoSegments) {
    if (S.Position > Tick) {
      time += (long double)(Tick - prev) * S.MsPerTick;
      prev = R.Length;
      break;
    }
    time += (long double)(S.Position - prev + S.ExtraTicks) * S.MsPerTick;
    prev = S.Position;
  }
  if (prev < R.Length && prev < Tick) time += (long double)(Tick - prev) * R.MsPerTick;
  return double(time);
}

int32_t MeasureTickAt(const TKVMeasureRecord& R, double Ms) {
  if (!(Ms > 0)) return 0;  // also a time that is not a number
  long double remaining = Ms;
  int32_t prev = 0;
  for (const TKVTempoSegment& S : R.TempoSegments) {
    // The span up to the segment's tick includes its extra ticks, so that a
    // time within them is measured against the same span it is taken from.
    // A rate of 0 or less takes no time.
    const long double span = std::max<long double>((long double)(S.Position - prev + S.ExtraTicks) * S.MsPerTick, 0);
    if (span > remaining) return Advance(prev, remaining, S.MsPerTick, S.Position);
    remaining -= span;
    prev = S.Position;
  }
  return Advance(prev, remaining, R.MsPerTick, R.Length);
}
