// Item kinds whose drawers are not written yet: their records are passed
// over, so that a page shows the rest of its notation meanwhile.

#include "render/page/PageDrawer.h"

namespace render {

void TKVPageDrawer::DrawMeasureNumber(TKVMark&) {}
void TKVPageDrawer::DrawRepeatStrokes(TKVMark&) {}
void TKVPageDrawer::DrawBend(TKVItem&) {}
void TKVPageDrawer::DrawLineMark(TKVMark&) {}
void TKVPageDrawer::DrawSpanLine(TKVMark&) {}
void TKVPageDrawer::DrawStrokeMark(TKVMark&) {}
void TKVPageDrawer::DrawObjectShape(TKVItem&, TKVDisplayItem*, const TKVObjectPlacement&) {}

}  // namespace render
