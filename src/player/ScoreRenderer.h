#pragma once
// What a visible score view asks of the painting side, which lies above the
// player: its paint, the cursor drawn straight on the window, the hover
// overlay and the ruler markers. The player holds only this interface; the
// painting library installs a factory, and until it does a view with a
// control gets the stand-in: its paint fills the client area with the
// view's colour, its cursor is drawn on the window, the overlay draws
// nothing and the markers stay where they are.

#include <functional>
#include <memory>

class TKVWindow;

class TKVScoreRenderer {
public:
  virtual ~TKVScoreRenderer() = default;
  virtual void Paint() = 0;
  virtual void ShowCursor(bool Show) = 0;
  // Each call toggles the overlay; Update also repaints what it covers.
  virtual void DrawHoverOverlay(bool Update) = 0;
  virtual void CalcRuleMarkers() = 0;
};

using TKVScoreRendererFactory = std::function<std::unique_ptr<TKVScoreRenderer>(TKVWindow& View)>;

// Installs the factory every later view takes (an empty one restores the
// stand-in).
void SetScoreRendererFactory(TKVScoreRendererFactory Factory);
// A renderer for View from the installed factory, else the stand-in.
std::unique_ptr<TKVScoreRenderer> CreateScoreRenderer(TKVWindow& View);

// The cursor drawn (Show) or erased straight on the window of View's
// control: what ShowCursor does for every renderer.
void DrawCursorOnWindow(TKVWindow& View, bool Show);
