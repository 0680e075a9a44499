#pragma once
// The clef shift: the lines a clef type moves the pitch lines counted from
// a treble clef's staff (0 for the treble clef, -12 for the bass clef).

#include <cstdint>

struct TKVMeasureRecord;

// Shift of the clef in force at Tick of staff Staff of part Part in R: the
// last of the staff's clefs that starts at or before Tick or comes from an
// earlier measure. 0 when R is nil or an index lies past its records.
int32_t ClefShiftAt(const TKVMeasureRecord* R, int32_t Part, int32_t Staff, int32_t Tick);
