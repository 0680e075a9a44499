// The beat grid of a measure: whether a note is beamed to the next note of
// its voice.

#include <vector>

#include "score/model/ItemKinds.h"
#include "score/model/LayoutRecords.h"
#include "score/model/Mark.h"
#include "score/model/Measure.h"
#include "score/model/NotationSupport.h"
#include "score/model/Note.h"
#include "score/model/Score.h"

namespace {

using TBeats = std::vector<int32_t>;

// Total div Beat beats of Beat ticks; none for a beat shorter than a tick
// (a divisor above the measure length must not divide by zero).
TBeats EqualBeats(int32_t beat, int32_t total) { return beat > 0 ? TBeats(size_t(total / beat), beat) : TBeats{}; }

// One beat per part of a composite meter (such as 3+2+3/8), from the meter
// mark's composite words; none when the mark has no composite meter.
TBeats CompositeBeats(const TKVMark* meterMark) {
  TBeats beats;
  if (!meterMark || meterMark->ExtraWord(0) < 256) return beats;
  const bool sharedDenominator = meterMark->Flags() & 0x10;
  for (int32_t i = 0; i < int32_t(meterMark->Extra().Size() / 2); ++i) {
    const uint16_t word = meterMark->ExtraWord(i);
    const int32_t denominator = MeterDenominator(sharedDenominator ? meterMark->ExtraWord(0) : word);
    if (word >= 256 && denominator > 0) beats.push_back(MeterNumerator(word) * 512 / denominator);
  }
  return beats;
}

TBeats BeatList(const TKVMeasure& measure, bool byQuarter) {
  if (byQuarter) return TBeats(4, 128);
  const TKVMeasureMeter meter = GetMeasureMeter(measure);
  if (!meter.HasRecord) return {};
  const bool hasMeter = HasMeter(meter.Meter);
  const int32_t length = hasMeter ? meter.Length : 512;
  const uint8_t modeSet = measure.Data().u8(MeasureBlock::BeamModeSet);
  const uint8_t mode = measure.Data().u8(MeasureBlock::BeamMode);
  const uint8_t autoJoin = measure.Score()->AutoJoin();
  if ((modeSet && mode == 2) || (!modeSet && autoJoin == 2)) {
    TBeats beats = CompositeBeats(ItemCast<const TKVMark>(measure.GetLayoutRecord()->MeterMark));
    if (!beats.empty()) return beats;
    if (!hasMeter) return TBeats(4, 128);
    const int32_t numerator = MeterNumerator(meter.Meter);
    // Dotted-quarter beats in 6/8, 9/8 and 12/8.
    if (MeterDenominator(meter.Meter) == 8 && numerator % 3 == 0) return EqualBeats(length / (numerator / 3), length);
    return EqualBeats(length / numerator, length);
  }
  if (modeSet && mode >= 3) return EqualBeats(length / (mode - 1), length);
  if (autoJoin >= 3) return EqualBeats(length / (autoJoin - 1), length);
  return {};
}

// Index of the beat in which Position falls; the beat count past the list.
int32_t BeatOf(const TBeats& beats, int32_t position) {
  int32_t end = 0;
  for (size_t i = 0; i < beats.size(); ++i)
    if (position < (end += beats[i])) return int32_t(i);
  return int32_t(beats.size());
}

void SetJoined(TKVNote* note, bool joined) {
  note->SetJoin(uint8_t(joined ? note->Join() | 1 : note->Join() & ~3));
}

}  // namespace

void TKVMeasure::CalcBeatGrid(TKVNote* Note, bool ByQuarter) {
  const TBeats beats = BeatList(*this, ByQuarter);
  if (beats.empty() || !Note) return;
  const uint16_t voice = Note->VoiceKey().VoiceNumber;
  const int32_t beat = BeatOf(beats, Note->Position());
  bool nextInBeat = false;  // the note after Note starts in Note's beat
  for (int32_t i = GetItemCount() - 1; i >= 0; --i) {
    TKVNote* note = NoteOfVoice(GetItem(i), voice);
    if (!note) continue;
    if (note->Position() == Note->Position() && note->Duration() == Note->Duration()) {
      SetJoined(note, nextInBeat);  // Note and its chord mates
    } else if (note->Position() > Note->Position()) {
      nextInBeat = BeatOf(beats, note->Position()) == beat;
    } else {
      // The previous note joins Note when both share a beat, with its chord.
      const bool joined = BeatOf(beats, note->Position()) == beat;
      SetJoined(note, joined);
      for (int32_t j = i - 1; joined && j >= 0; --j) {
        TKVNote* mate = NoteOfVoice(GetItem(j), voice);
        if (!mate || mate->Position() != note->Position()) break;
        SetJoined(mate, true);
      }
      return;
    }
  }
}
