#pragma once
// What the system does with the frame band of a form (the part of the
// window outside its client area, which a dialog frame or a skinning
// component draws): which part of the frame a point is on, the cursor
// there, and moving or resizing the form while the left button is held
// after a press on the caption or on the border. The drag works from the
// pointer's screen position under the mouse capture, so it needs no window
// manager.

#include <cstdint>

#include "platform/forms/Controls.h"
#include "platform/window/Message.h"

namespace forms {

class TCustomForm;

// Where a window point lies (the system's hit-test codes).
enum class TFrameHit : uint8_t {
  Client, Caption, Border,  // Border: a frame edge that does not size the form
  Left, Right, Top, Bottom, TopLeft, TopRight, BottomLeft, BottomRight,
};

// Corners of a sizeable frame reach this far along each edge, and the top
// edge this far into the caption.
constexpr int kFrameCorner = 8, kFrameTopEdge = 3;

// The part of a window Width x Height whose client area lies within
// Insets (left, top, right, bottom band widths) that Point falls on; the
// band above the client area is the caption. A point outside the window
// (under the mouse capture) counts as the client area's.
TFrameHit FrameHitAt(TPoint point, int width, int height, const TRect& insets, bool sizeable);
window::TCursor CursorOfHit(TFrameHit hit);

// A move or resize of a form by the mouse, from a press until the left
// button's release. Sizes keep within the form's Constraints; the opposite
// edge stays where it was.
class TFormDrag {
public:
  explicit TFormDrag(TCustomForm& form) : FForm(form) {}
  // Starts on a press at Screen; Caption moves, an edge or corner sizes.
  void Start(TFrameHit hit, window::TPoint screen);
  bool Active() const { return FHit != TFrameHit::Client; }
  // The mouse messages of a running drag; true when taken.
  bool Message(window::TMessage& msg);
  void Stop();

private:
  void Follow(window::TPoint screen);

  TCustomForm& FForm;
  TFrameHit FHit = TFrameHit::Client;
  window::TPoint FStart;
  window::TRect FBounds;  // the form's screen bounds at the press
};

}  // namespace forms
