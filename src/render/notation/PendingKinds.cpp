// Item kinds whose drawers are not written yet: their records are passed
// over, so that a page shows the rest of its notation meanwhile.

#include "render/page/PageDrawer.h"

namespace render {

void TKVPageDrawer::DrawObjectShape(TKVItem&, TKVDisplayItem*, const TKVObjectPlacement&) {}

}  // namespace render
