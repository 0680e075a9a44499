#include "player/WindowCanvas.h"

#include "platform/canvas/CairoCanvas.h"
#include "platform/forms/Forms.h"

TKVWindowCanvas::TKVWindowCanvas(forms::TControl* Control) {
  forms::TCustomForm* form = Control ? Control->ParentForm() : nullptr;
  if (!form || form == Control) return;
  FControl = Control;
  const window::TPixelBuffer pixels = form->Window().GetDC();
  FCanvas = std::make_unique<canvas::TCairoCanvas>(pixels.Pixels, pixels.Width, pixels.Height, pixels.Stride);
  const canvas::TPoint origin = Control->WindowOrigin();
  FCanvas->SetOrigin(origin);
  FCanvas->IntersectClipRect({0, 0, Control->Width(), Control->Height()});
}

TKVWindowCanvas::~TKVWindowCanvas() {
  if (!FCanvas) return;
  FCanvas.reset();
  const canvas::TPoint o = FControl->WindowOrigin();
  FControl->ParentForm()->Window().ReleaseDC({o.X, o.Y, o.X + FControl->Width(), o.Y + FControl->Height()});
}
