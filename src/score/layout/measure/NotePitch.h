#pragma once
// What a note sounds with: the alteration in force on its line and its own
// signs, the MIDI key, the channel and program, and whether it continues a
// tie.

#include <cstdint>

#include "score/layout/measure/FormatContext.h"

class TKVNote;
class TKVStaff;
class TKVVoice;

// The alteration a note's signs give it.
struct TKVAlteration {
  int32_t Value = 0;
  bool OwnSign = false;  // the note carries a sign of its own
};

// Applies the sign of an accidental mark of Variant to the note's
// alteration and its accidental byte. The first sign a note carries
// replaces the alteration in force; a further relative sign adds to it.
// False for variants that are no sign.
bool ApplySign(TKVNote& Note, uint8_t Variant, TKVAlteration& Alteration);
// The alteration a note sounds with: its own sign, else the one in force on
// its line in this measure (key signature and earlier signs). A note's own
// sign holds for the later notes of the line up to the measure's end.
int32_t SoundingAlteration(TKVFormatContext& Ctx, const TKVNote& Note, const TKVAlteration& Own);

// MIDI key of a pitch byte with an alteration, before transposition.
int32_t PitchKey(uint8_t Pitch, int32_t Alteration);
// Within 0..127.
uint8_t ClampKey(int32_t Key);
// The note's key: pitch, alteration, the part's transposition and an
// octave up for head type 3.
uint8_t NoteKey(const TKVFormatContext& Ctx, const TKVNote& Note, int32_t Alteration);

// String and fret of a tablature note that has none yet, for its MIDI key:
// the lowest fret, the first string among equal ones.
void ChooseString(TKVStaff& Staff, TKVNote& Note);
// Channel and program of the note (the voice's, or the part's for a voice
// with program 255; channel 9 and the drum map under a percussion clef).
void SetNoteSound(TKVFormatContext& Ctx, TKVNote& Note, TKVVoice* Voice);
// Whether a tie of the same part, voice and key ends where the note starts,
// counted in ticks from the piece's start.
bool ContinuesTie(const TKVFormatContext& Ctx, const TKVNote& Note);
// The note's position entry (played or sounding length) and its effects'.
void EnterNote(TKVFormatContext& Ctx, TKVNote& Note);
