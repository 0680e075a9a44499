#pragma once
// The steps of the effect pass, shared by its files: the played timing of a
// note from its performance marks, and the timing of a grace-note group and
// of the main notes it steals time from.

#include <cstdint>

class TKVScore;
class TKVMeasure;
class TKVNote;
class TKVVorschlag;

// Resets the note's time offset and played length, then applies the marks
// of its measure that concern it (kinds 111, 113 to 116, 141, 143); its
// effect notes are reused, made or freed as the marks need.
void ApplyNoteEffects(TKVScore& Score, TKVMeasure& Measure, TKVNote& Note);
// Times the group's grace notes and cuts or delays the main notes of its
// voice around them, in its measure and the neighbouring one.
void ApplyGraceTimings(TKVMeasure& Measure, TKVVorschlag& Group);

// The note's timing fields, kept inside their ranges.
void SetTimeOffset(TKVNote& Note, int64_t Offset);
void SetPlayedLength(TKVNote& Note, int64_t Length);
// The length the note sounds: its played length, else its written value.
int32_t SoundingLength(const TKVNote& Note);
