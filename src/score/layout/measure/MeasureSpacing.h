#pragma once
// The composer's horizontal room of a measure: the room its items register
// per tick (plainly, or voice by voice through the spacing buffer), turned
// into x offsets from the measure's left edge.

#include <cstdint>
#include <vector>

struct TKVComposerContext;

void CalcMeasureSpacing(TKVComposerContext& Ctx);
// Ticks between the minimum marks of the spacing grid for Room units
// between the measure's start widths and its grid room.
int32_t SpacingGridStep(int64_t Room);
void RegisterTickRoom(TKVComposerContext& Ctx, int32_t Voice, int32_t Tick, int32_t Before, int32_t After);
// The per-tick user offsets of measure N (column, or the active part's
// copy in vsPart), as signed values; empty when there are none.
std::vector<int16_t> ColumnOffsets(const TKVComposerContext& Ctx, int32_t N);
