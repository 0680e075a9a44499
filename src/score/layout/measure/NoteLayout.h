#pragma once
// The notes of the staff pass: a head record, a stem record and a share in
// a beam record, the records of the note's accidentals, ties, slurs, dots
// and marks, the MIDI key, channel and program the note sounds with, tied
// continuations, and the note's entry (with its effects) in the measure's
// position list, which the player reads.

#include "score/layout/staff/StaffPass.h"

class TKVNote;

// A note of the staff being walked, its column entered. A note of a voice
// the staff lacks is passed over; one at or past the measure's end goes to
// the removal list.
void LayoutNoteItem(TKVFormatContext& Ctx, TKVStaffPass& Pass, TKVNote& Note);
