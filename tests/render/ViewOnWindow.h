#pragma once
// A view's control filling an 800 x 600 form on the headless window host,
// painted by a painter of the test's own type, which the test reaches.

#include <memory>
#include <vector>

#include "platform/canvas/Bitmap.h"
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
  // The window's pixels in Area, as a picture.
  canvas::TBitmap WindowImage(const canvas::TRect& Area) {
    const window::TPixelBuffer b = form->Window().GetDC();
    canvas::TBitmap image(Area.Width(), Area.Height());
    for (int y = 0; y < Area.Height(); ++y)
      for (int x = 0; x < Area.Width(); ++x)
        image.Pixels()[size_t(y) * size_t(Area.Width()) + size_t(x)] = 0xFF000000 | b.Pixel(Area.Left + x, Area.Top + y);
    return image;
  }
  void Repaint() {
    control->Invalidate();
    Pump();
  }
  forms::TForm* form;
  TKVViewControl* control;
  TPainter* Painter = nullptr;
};
