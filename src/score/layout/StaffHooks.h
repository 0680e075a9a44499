#pragma once
// The steps of the per-staff layout that later stages fill in. Each has a
// place in LayoutStaff already; until its stage exists it does what is said
// here.

#include <cstdint>

#include "score/layout/StaffPass.h"

class TKVVorschlag;

// Rests, repeats and the staff objects met by the staff pass (kinds 21, 40,
// 41, 43, 85, 111, 112, 143, 161, 169, 173 and 200 to 207). The step checks
// that the item belongs to Pass.StaffIndex, enters its column with
// EnterColumn and lays it out. Nothing yet.
void LayoutStaffObject(TKVFormatContext& Ctx, TKVStaffPass& Pass, TKVItem& Item);
// A grace-note group of the staff being walked, its column entered: makes
// the group's record and collects it for the column step. Nothing yet.
void LayoutGraceGroupItem(TKVFormatContext& Ctx, TKVStaffPass& Pass, TKVVorschlag& Group);
// The column step's part for a collected group record: lays the group out
// Base pixels left of the notes and returns the room it takes beyond Base.
// 0 yet.
int32_t ArrangeGraceGroup(TKVFormatContext& Ctx, TKVStaffPass& Pass, TKVDisplayItem& Group, int32_t Base);
// The item pass over the measure's marks and the closing passes. For now
// the items that steer playback: user symbols, lyrics and staff texts.
void LayoutItemPass(TKVFormatContext& Ctx, TKVStaffPass& Pass);
