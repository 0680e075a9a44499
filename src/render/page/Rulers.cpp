// The rulers and the page-button bar beside the score area.

#include "render/page/ViewPainter.h"

namespace render {

// The view shows neither rulers nor page buttons yet.
void TKVViewPainter::CalcRuleMarkers() {}
void TKVViewPainter::DrawRule(canvas::TCanvas&, bool, const canvas::TRect&, int) {}
void TKVViewPainter::DrawPageButtons(canvas::TCanvas&) {}

}  // namespace render
