// The free page objects drawn behind (Before) or in front of the notation.

#include "render/page/PageDrawer.h"

namespace render {

// The page-object drawers come later; until then a page shows no objects.
void TKVPageDrawer::DrawObjectList(bool) { ObjectScale = 100; }

}  // namespace render
