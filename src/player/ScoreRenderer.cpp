#include "player/ScoreRenderer.h"

#include "platform/canvas/Canvas.h"
#include "player/ViewControl.h"
#include "player/Window.h"
#include "player/WindowCanvas.h"

namespace {

class TStandInRenderer final : public TKVScoreRenderer {
public:
  explicit TStandInRenderer(TKVWindow& View) : FView(View) {}
  // The cursor is taken off and put back around the fill, as every paint
  // keeps the exclusive-or drawings balanced.
  void Paint() override {
    canvas::TCanvas& canvas = FView.Control()->Canvas();
    FView.DrawCursor(canvas, false);
    canvas.Brush = {FView.Color(), canvas::bsSolid};
    canvas.FillRect(FView.Control()->ClientRect());
    FView.DrawCursor(canvas, true);
  }
  void ShowCursor(bool Show) override { DrawCursorOnWindow(FView, Show); }
  void DrawHoverOverlay(bool) override {}
  void CalcRuleMarkers() override {}

private:
  TKVWindow& FView;
};

TKVScoreRendererFactory& InstalledFactory() {
  static TKVScoreRendererFactory factory;
  return factory;
}

}  // namespace

void SetScoreRendererFactory(TKVScoreRendererFactory Factory) { InstalledFactory() = std::move(Factory); }

std::unique_ptr<TKVScoreRenderer> CreateScoreRenderer(TKVWindow& View) {
  if (InstalledFactory()) {
    if (auto renderer = InstalledFactory()(View)) return renderer;
  }
  return std::make_unique<TStandInRenderer>(View);
}

void DrawCursorOnWindow(TKVWindow& View, bool Show) {
  TKVWindowCanvas window(View.Control());
  if (window.Canvas()) View.DrawCursor(*window.Canvas(), Show);
}
