#pragma once
// Play time inside one measure record. A time is the milliseconds from the
// start of a play of the measure, at tempo scale 100 %; the record's tempo
// segments give the rate before each change, its MsPerTick the rate after
// the last one. A segment's extra ticks (a hold) count at the segment's own
// tick: the time of a hold's tick lies after the hold.

#include <cstdint>

class TKVPiece;
struct TKVMeasureRecord;

// Measure record Index of Piece when it is laid out, else nil.
const TKVMeasureRecord* LaidOutRecord(const TKVPiece* Piece, int64_t Index);

// Start + the time of Tick, summed in extended precision.
double MeasureTimeAt(const TKVMeasureRecord& R, int32_t Tick, double Start = 0);

// The tick that a play of R has reached Ms after its start: whole ticks,
// rounded down. A time inside a hold's extra span stays on the hold's tick;
// a time past the measure's end gives its length. A rate of 0 or less
// moves no tick forward.
int32_t MeasureTickAt(const TKVMeasureRecord& R, double Ms);
