#pragma once
// The column step of the per-staff layout: orders and stacks the accidentals
// of one note column left of its heads without collisions, then places what
// stands before the notes (clef and key changes, grace-note groups, marks of
// kinds 111, 112 and 173) one after the other further left, and empties the
// column.

#include "score/layout/staff/StaffPass.h"

void ArrangeColumn(TKVFormatContext& Ctx, TKVStaffPass& Pass);

class TKVMark;
// Width of an accidental mark's glyph in the music font, layout units.
int32_t AccidentalGlyphWidth(TKVFormatContext& Ctx, const TKVMark& Accidental);
