#pragma once
// The last steps of a measure formatting: the marks that stand across all
// staves of a column (meter marks, bar marks, measure repeats) with their
// display records, the bar-line connectors of the staff groups, and the
// minimum room at the measure's ends. Bar marks reach the record's play
// marks only here, so without this step repeats never play.

#include "score/layout/measure/FormatContext.h"

// Lays out the marks of the column (and, in vsPart with the part-mark flag,
// of the active part's measure), then the connectors unless a bar mark
// stands at the measure's end.
void CalcMeasureExtents(TKVFormatContext& Ctx);

// Raises the room before the first tick and after the last one to the
// score's metrics and adds the measure-start space.
void ApplyMeasureMinimums(TKVFormatContext& Ctx);
