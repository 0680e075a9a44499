// Item kinds whose drawers are not written yet: their records are passed
// over, so that a page shows the rest of its notation meanwhile.

#include "render/page/PageDrawer.h"

namespace render {

void TKVPageDrawer::DrawBarLineMark(TKVMark&) {}
void TKVPageDrawer::DrawMeasureNumber(TKVMark&) {}
void TKVPageDrawer::DrawRepeatStrokes(TKVMark&) {}
void TKVPageDrawer::DrawDynamic(TKVMark&) {}
void TKVPageDrawer::DrawBend(TKVItem&) {}
void TKVPageDrawer::DrawGlyphMark(TKVMark&) {}
void TKVPageDrawer::DrawLineMark(TKVMark&) {}
void TKVPageDrawer::DrawSpanLine(TKVMark&) {}
void TKVPageDrawer::DrawFingering(TKVMark&) {}
void TKVPageDrawer::DrawNavigationMark(TKVMark&) {}
void TKVPageDrawer::DrawStrokeMark(TKVMark&) {}
void TKVPageDrawer::DrawObjectShape(TKVItem&, TKVDisplayItem*, const TKVObjectPlacement&) {}

}  // namespace render
