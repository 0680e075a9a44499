// What stands at the start of a system: the clef and key in force, the part
// names and brackets, and the measure numbers.

#include "score/layout/PageComposer.h"

void PrepareLineStart(TKVComposerContext&) {}
void FinishLineStart(TKVComposerContext&) {}
void CarryStaffEntries(TKVComposerContext&) {}
void LayoutMeasureNumber(TKVComposerContext&) {}
