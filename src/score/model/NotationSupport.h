#pragma once
// Small pieces the notation rules of a measure share: voice matching, the
// clef line offsets, the meter that goes with a measure, tuplet spans and
// the two rules that put chord heads beside the stem and choose a stem by
// the clef.

#include <algorithm>
#include <cstdint>

#include "score/model/ScoreTypes.h"
#include "score/model/VoiceKey.h"

class TKVItem;
class TKVMark;
class TKVMeasure;
class TKVNote;
class TKVVoice;

// Same part index, voice number and staff index.
inline bool SameChordVoice(const TKVVoiceKey& A, const TKVVoiceKey& B) {
  return A.PartIndex == B.PartIndex && A.VoiceNumber == B.VoiceNumber && A.StaffIndex == B.StaffIndex;
}

// Item as a note of kind 20, or nil.
TKVNote* AsNote(TKVItem* Item);
// Item as a note of kind 20 of part voice number VoiceNumber, or nil.
TKVNote* NoteOfVoice(TKVItem* Item, int32_t VoiceNumber);
// Item as a tuplet mark of part voice number VoiceNumber that covers
// Position, or nil.
TKVMark* TupletAt(TKVItem* Item, int32_t VoiceNumber, int32_t Position);

// Line offset of a clef code; codes without an entry give 0.
int32_t ClefLineOffset(int32_t ClefCode);

// A meter word with a zero numerator or denominator means no meter.
inline bool HasMeter(uint16_t Meter) { return MeterNumerator(Meter) != 0 && MeterDenominator(Meter) != 0; }

// What the layout record says of a measure: its own meter and length, or
// the following ones when the record is another (earlier) measure's.
struct TKVMeasureMeter {
  bool HasRecord = false;
  bool Own = false;
  uint16_t Meter = 0;
  uint16_t Length = 0;
};
TKVMeasureMeter GetMeasureMeter(const TKVMeasure& Measure);

// The voice with part voice number Number of the measure's part, or nil.
TKVVoice* PartVoice(const TKVMeasure& Measure, int32_t Number);

// Head sides of a chord, fed its notes in walk order: a note a second or
// unison from the previous one takes the other side of the pair, so the
// sides alternate through a cluster; which note moves depends on the stem.
class THeadSideWalk {
public:
  void Take(TKVNote* Note);
  bool PairOpen() const { return FPairOpen; }

private:
  TKVNote* FPrevious = nullptr;
  bool FPairOpen = false;
};

// The stem rule by the clef: the note farthest from the middle line decides;
// above it wins only when strictly farther. Lines are taken less the clef
// offset.
class TStemByClef {
public:
  void Take(int32_t Line) {
    if (Line < MiddleLine)
      FBelow = std::max(FBelow, MiddleLine - Line);
    else
      FAbove = std::max(FAbove, Line - MiddleLine);
  }
  bool StemDown() const { return FAbove > FBelow; }

private:
  int32_t FBelow = 0, FAbove = 0;
};
