// The exclusive-or overlays drawn straight on the window: each call toggles
// one, so Paint calls each once before and once after its copy.

#include "player/ViewControl.h"
#include "player/Window.h"
#include "player/WindowCanvas.h"
#include "render/overlay/HoverOverlay.h"
#include "render/overlay/SelectionOverlay.h"
#include "render/page/ViewPainter.h"

namespace render {

void TKVViewPainter::DrawHoverOverlay(bool Update) {
  if (!View.HoverShown) return;
  TKVWindowCanvas window(View.Control());
  if (window.Canvas()) THoverOverlay(View, *window.Canvas(), Update).Draw();
}

void TKVViewPainter::DrawSelectionOverlay(bool MoveAll) {
  if (!View.MoveFeedback) return;
  TKVWindowCanvas window(View.Control());
  if (window.Canvas()) TSelectionOverlay(View, *window.Canvas()).Draw(MoveAll);
}

}  // namespace render
