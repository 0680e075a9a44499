// The exclusive-or overlays drawn straight on the window: each call toggles
// one, so Paint calls each once before and once after its copy.

#include "render/page/ViewPainter.h"

namespace render {

// Nothing of the view hovers, drags or moves a selection yet.
void TKVViewPainter::DrawHoverOverlay(bool) {}
void TKVViewPainter::DrawSelectionOverlay(bool) {}

}  // namespace render
