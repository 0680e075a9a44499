#pragma once
// The working state of the per-staff layout of one part (LayoutStaff): what
// its steps share while they walk the staves, the column being collected and
// the room its note heads and accidentals take. It lives for one call.

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <type_traits>
#include <vector>

#include "score/layout/measure/FormatContext.h"

class TKVVoice;

// Room taken on one diatonic line of the current column, in pixels left of
// the note column.
struct TKVLineExtent {
  uint8_t HeadExtent = 0;   // how far the heads reach
  uint8_t InnerEdge = 0;    // inner edge of the last accidental placed
  uint8_t OuterExtent = 0;  // the farthest room used
};

// What the staff pass keeps per voice of the staff being walked.
struct TKVVoiceRun {
  TKVDisplayItem* StemLink = nullptr;  // stem of the voice's last note
  uint16_t RunningLength = 0;          // ticks of notes and rests laid out
};

struct TKVStaffPass {
  int32_t StaffIndex = 0;  // index of the staff in its part
  int32_t LineStep = 0;    // staff space, layout units
  int32_t WideStep = 0;    // line distance of a tablature staff
  // Display records of what stands before the notes of the current column.
  std::vector<TKVDisplayItem*> Collection;
  int32_t ColumnPosition = -1;  // tick of the current column; -1 = none
  // By diatonic line (step + 7 x octave; a tablature string: strings -
  // string + 66).
  std::array<TKVLineExtent, 128> LineExtents{};
  int32_t NoteWidth = 0;  // widest right pixel width of the column's heads
  // Note records of long notes and slurs running past the measure, and
  // dynamic marks laid out on the staff: read by the closing passes.
  std::vector<TKVDisplayItem*> LongNotes;
  std::vector<TKVDisplayItem*> DynamicsDisplays;
  std::map<const TKVVoice*, TKVVoiceRun> Voices;

  // Raises the head room of a line and of the line above it.
  void RaiseHeadExtent(int32_t Line, int32_t Pixels);
};

// Room in pixels kept within a byte, as the extent tables store it.
inline uint8_t ExtentByte(int32_t Pixels) { return uint8_t(Pixels < 0 ? 0 : Pixels > 255 ? 255 : Pixels); }

// Stacks an accidental of width H on the lines Top down to Bottom of an
// extent table (lines outside it are left out): the distance at which it
// fits between the heads and the accidentals already there, else beyond
// the farthest; the lines then hold it. Returns the distance.
template <class TLine>
int32_t StackOnLines(std::array<TLine, 128>& Lines, int32_t Top, int32_t Bottom, int32_t H) {
  using TValue = decltype(TLine::OuterExtent);
  auto fit = [](int32_t V) { return TValue(std::is_same_v<TValue, uint8_t> ? ExtentByte(V) : V); };
  const int32_t top = std::min(Top, 127), bottom = std::max(Bottom, 0);
  int32_t d = 0;
  bool first = true;
  for (int32_t l = top; l >= bottom; --l) {
    const TLine& e = Lines[size_t(l)];
    if (e.InnerEdge - e.HeadExtent >= H && first) {
      d = e.HeadExtent + H;
    } else if (d < e.OuterExtent + H) {
      d = e.OuterExtent + H;
      first = false;
    }
  }
  for (int32_t l = top; l >= bottom; --l) {
    TLine& e = Lines[size_t(l)];
    e.OuterExtent = fit(std::max<int32_t>(e.OuterExtent, d));
    e.InnerEdge = fit(d - H);
  }
  return d;
}
