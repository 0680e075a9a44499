#pragma once
// The steps of the per-staff layout that LayoutStaff and the column step
// call for what is not a note: the staff objects, grace-note groups and the
// item pass over the marks.

#include <cstdint>

#include "score/layout/staff/StaffPass.h"

class TKVVorschlag;

// Rests, repeats and the staff objects met by the staff pass (kinds 21, 40,
// 41, 43, 85, 111, 112, 143, 161, 169, 173 and 200 to 207). The step checks
// that the item belongs to Pass.StaffIndex, enters its column with
// EnterColumn and lays it out (StaffObjects.h).
void LayoutStaffObject(TKVFormatContext& Ctx, TKVStaffPass& Pass, TKVItem& Item);
// A grace-note group of the staff being walked, its column entered: makes
// the group's record and collects it for the column step.
void LayoutGraceGroupItem(TKVFormatContext& Ctx, TKVStaffPass& Pass, TKVVorschlag& Group);
// The column step's part for a collected group record: lays the members out
// Base pixels left of the notes (or right of the column's heads for a group
// after its note) and returns the room the group takes beyond Base.
int32_t ArrangeGraceGroup(TKVFormatContext& Ctx, TKVStaffPass& Pass, TKVDisplayItem& Group, int32_t Base);
// The item pass over the measure's marks (symbols, play actions, lyrics,
// chord symbols, dynamics and span marks), then the collision flags of
// notes that share a head with another voice.
void LayoutItemPass(TKVFormatContext& Ctx, TKVStaffPass& Pass);
