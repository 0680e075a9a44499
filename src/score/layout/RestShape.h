#pragma once
// The shape a rest stands in on the page, which its layout and its drawing
// share: its written value (a dotted or tuplet rest is drawn as its plain
// value, its dots beside it), except that a rest as long as its measure is
// a whole-measure rest whatever the meter.

#include <cstdint>

class TKVPause;
struct TKVMeasureRecord;

constexpr uint16_t WholeRestValue = 512;

// The written value, or WholeRestValue for a rest that fills the measure of
// Record; not in a piece's first column when that is a shortened pickup
// (its rest of the pickup's length keeps its own value).
uint16_t RestShapeValue(const TKVPause& Rest, const TKVMeasureRecord& Record);
