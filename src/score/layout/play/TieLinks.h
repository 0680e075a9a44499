#pragma once
// Ties across consecutive plays of the play order. A note at the start of a
// measure that continues a tie from the end of the measure played just
// before it is marked as tied in (bit 7 of its play state: the player holds
// the sounding note instead of striking it again) and takes the tied note's
// MIDI key. When the play before is not the measure just before (a repeat or
// a jump), the placed measure also gets the second half of the tie drawn at
// its start.

struct TKVMeasureRecord;

// Links the ties of A (the measure of one play; its tie records are among
// its extending items) into B (the measure of the next play). A measure that has no system yet (not placed by the page
// composer) gets no second half; its notes are still marked. The second half
// is made once per tie however often the play order runs.
void LinkTiesAcrossJumps(TKVMeasureRecord& A, TKVMeasureRecord& B);
