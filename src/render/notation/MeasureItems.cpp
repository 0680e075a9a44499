// The notation of one measure record.

#include "render/page/PageDrawer.h"

namespace render {

// The notation renderer comes later; until then a page shows its staves.
void TKVPageDrawer::DrawMeasureItems() {}

}  // namespace render
