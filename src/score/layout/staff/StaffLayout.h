#pragma once
// The per-staff layout of one part of a measure column (the measure
// formatter's LayoutStaff step): the part's measure set up with a background
// record per staff, the signature pass (brackets, clefs, key signatures),
// then one walk per staff over notes, rests and staff objects grouped into
// note columns by tick, and the item pass over the marks.

#include <cstdint>

#include "score/layout/staff/StaffPass.h"

class TKVStaff;

void LayoutStaff(TKVFormatContext& Ctx);

// Runs the column step when Position starts a new column of the staff walk.
void EnterColumn(TKVFormatContext& Ctx, TKVStaffPass& Pass, uint16_t Position);

// Staff space and the line distance of a tablature staff, layout units, at
// the score's scale and the staff's size.
void CalcStaffSteps(const TKVFormatContext& Ctx, const TKVStaff& Staff, int32_t& LineStep, int32_t& WideStep);
