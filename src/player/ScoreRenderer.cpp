#include "player/ScoreRenderer.h"

namespace {

class TStandInRenderer final : public TKVScoreRenderer {
public:
  void Paint() override {}
  void ShowCursor(bool) override {}
  void DrawHoverOverlay(bool) override {}
  void CalcRuleMarkers() override {}
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
  return std::make_unique<TStandInRenderer>();
}
