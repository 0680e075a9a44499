#pragma once
// The pieces of a note's layout that follow its head record: the stem and
// beam records, and the records of what is attached to the note.

#include <cstdint>

#include "score/layout/measure/NotePitch.h"
#include "score/layout/staff/StaffPass.h"

class TKVNote;

// Where a note's head stands, as its stem and attachments need it.
struct TKVNoteHead {
  TKVDisplayItem* Record = nullptr;
  int32_t Y = 0;            // top of the head below the staff's top line
  int32_t Width = 0;        // head width the stem stands beside
  int32_t Shift = 0;        // sideways shift of the head
  int32_t ShiftedBy = 0;    // the part of the shift that moves the stem too
  int32_t StemTop = 0;      // stem end offsets beside a head on the other side
  int32_t StemBottom = 0;
  int32_t FlagOffset = 0;   // room a flag already takes right of the head
};

// The stem record (a chord member stretches the one of its chord) and the
// share in the beam record of the note's group.
void LayoutStem(TKVFormatContext& Ctx, TKVStaffPass& Pass, TKVNote& Note, const TKVNoteHead& Head);

// The signs of the note's accidental marks; with Records a record for each
// that the column step stacks.
TKVAlteration LayoutSigns(TKVFormatContext& Ctx, TKVStaffPass& Pass, TKVNote& Note, bool Records);
// Ties, slurs, dots and marks attached to the note. Returns the tie record
// that a following note may continue, or nil.
TKVDisplayItem* LayoutAttachments(TKVFormatContext& Ctx, TKVStaffPass& Pass, TKVNote& Note, const TKVNoteHead& Head);
