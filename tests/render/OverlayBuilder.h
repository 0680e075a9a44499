#pragma once
// The staff of the notation tests (top line at y 100 px, 10-pixel spaces)
// seen by the hover overlay on a recording canvas: the view's rulers are
// hidden, so client pixels are page pixels (layout units / 8); the hit
// record points at the staff and its measure; invalidations are noted.

#include <vector>

#include "platform/canvas/RecordingCanvas.h"
#include "render/NotationBuilder.h"
#include "render/overlay/HoverOverlay.h"

struct TOverlayPage {
  struct TOverlay : render::THoverOverlay {
    using THoverOverlay::THoverOverlay;
    void Invalidate(const canvas::TRect& R) override { Invalidated.push_back(R); }
    std::vector<canvas::TRect> Invalidated;
  };

  TOverlayPage() {
    b.View.SetRuleVisible(false);
    b.View.HoverShown = true;
    TKVHitRecord& hit = b.View.Hit;
    hit.StaffLine = n.Line, hit.MeasureRecord = n.Record;
  }
  // One call of the overlay; the calls and invalidations it made.
  void Draw(bool Update = false) {
    canvas.Calls.clear();
    TOverlay overlay(b.View, canvas, Update);
    overlay.Draw();
    Invalidated = overlay.Invalidated;
  }
  TKVWindow& View() { return b.View; }

  TPageBuilder b;
  TNotationBuilder n{b};
  canvas::TRecordingCanvas canvas;
  std::vector<canvas::TRect> Invalidated;
};
