#pragma once
// The frame the system draws around a dialog box (a form whose BorderStyle
// is bsDialog and that no skinning component draws): a caption bar in the
// classic caption colours with the form's caption, a close button when the
// form's BorderIcons hold biSystemMenu, and a one-pixel border. A press on
// the caption moves the box; the close button closes it when the press is
// released over it.

#include "platform/canvas/Canvas.h"
#include "platform/window/Message.h"

namespace forms {

class TCustomForm;

class TDialogFrame {
public:
  static constexpr int kCaptionHeight = 18;
  // The frame band: left, top (border and caption), right, bottom.
  static canvas::TRect Insets() { return {1, 1 + kCaptionHeight, 1, 1}; }

  explicit TDialogFrame(TCustomForm& form) : FForm(form) {}
  // Paints the band; the canvas covers the window, origin at its top-left.
  void Paint(canvas::TCanvas& canvas);
  // Mouse messages in the band and those of a held close button; true when taken.
  bool Message(window::TMessage& msg);
  // The close button in window coordinates (empty without biSystemMenu).
  canvas::TRect CloseButton() const;

private:
  void SetCloseDown(bool down);

  TCustomForm& FForm;
  bool FCloseHeld = false;  // a press on the close button not released yet
  bool FCloseDown = false;  // drawn pressed: held with the pointer over it
};

}  // namespace forms
