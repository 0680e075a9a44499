#include "score/layout/StaffHooks.h"

#include "score/layout/MeasureFormatter.h"

void LayoutStaffObject(TKVFormatContext&, TKVStaffPass&, TKVItem&) {}

void LayoutGraceGroupItem(TKVFormatContext&, TKVStaffPass&, TKVVorschlag&) {}

int32_t ArrangeGraceGroup(TKVFormatContext&, TKVStaffPass&, TKVDisplayItem&, int32_t) { return 0; }

void LayoutItemPass(TKVFormatContext& Ctx, TKVStaffPass&) { LayoutPlayItems(Ctx); }
