#pragma once
// A view's control filling an 800 x 600 form on the headless window host,
// painted by a painter of the test's own type, which the test reaches.

#include <memory>
#include <vector>

#include "player/ScoreRenderer.h"
#include "player/ViewControl.h"
#include "player/Window.h"
#include "support/forms/FormsTestSupport.h"

template <class TPainter>
class TViewOnWindow : public forms::test::FormsTest {
protected:
  explicit TViewOnWindow(int PixelsPerInch = 96) {
    Host->SetPixelsPerInch(PixelsPerInch);
    SetScoreRendererFactory([this](TKVWindow& View) {
      auto painter = std::make_unique<TPainter>(View);
      Painter = painter.get();
      return painter;
    });
    form = MakeForm();
    form->SetBounds(0, 0, 800, 600);
    control = new TKVViewControl(form);
    SetScoreRendererFactory({});
    control->SetParent(form);
    control->SetBounds(0, 0, 800, 600);
  }
  ~TViewOnWindow() override { control->View().SetScore(nullptr); }
  std::vector<uint32_t> Window() {
    const window::TPixelBuffer b = form->Window().GetDC();
    std::vector<uint32_t> pixels;
    for (int y = 0; y < b.Height; ++y) pixels.insert(pixels.end(), b.Row(y), b.Row(y) + b.Width);
    return pixels;
  }
  canvas::TColor At(canvas::TPoint P) { return canvas::ColorOfPixel(form->Window().GetDC().Pixel(P.X, P.Y)); }
  void Repaint() {
    control->Invalidate();
    Pump();
  }
  forms::TForm* form;
  TKVViewControl* control;
  TPainter* Painter = nullptr;
};
