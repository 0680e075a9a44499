#pragma once
// Figures repeated along a line (wave strokes, arpeggio strokes, bands of
// parallel lines) draw only the copies that can reach into the clip: a
// mark of an absurd length or count costs no more than the page it lies on.

#include <algorithm>
#include <cstdint>

namespace render {

// Copies First .. Last (none when Last < First).
struct TStepRange {
  int64_t First = 0, Last = -1;
};

constexpr int64_t FloorDiv(int64_t A, int64_t B) { return A / B - ((A % B != 0) && ((A < 0) != (B < 0)) ? 1 : 0); }
constexpr int64_t CeilDiv(int64_t A, int64_t B) { return -FloorDiv(-A, B); }

// Of Count copies at Start + i x Step (Step not 0, either sign), each
// reaching Reach pixels either side of its position, those that can touch
// [Low, High].
constexpr TStepRange StepsWithin(int64_t Start, int64_t Step, int64_t Count, int64_t Reach, int64_t Low, int64_t High) {
  if (Count <= 0 || Step == 0) return {};
  int64_t first, last;
  if (Step > 0) {
    first = CeilDiv(Low - Reach - Start, Step);
    last = FloorDiv(High + Reach - Start, Step);
  } else {
    first = CeilDiv(Start - Reach - High, -Step);
    last = FloorDiv(Start + Reach - Low, -Step);
  }
  return {std::max<int64_t>(first, 0), std::min(last, Count - 1)};
}

}  // namespace render
