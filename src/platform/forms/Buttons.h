#pragma once
// Push buttons. A click (mouse, Space, or Return while focused) runs
// OnClick or the action and sets the form's ModalResult to the button's;
// Return anywhere on the form clicks the Default button and Escape the
// Cancel button; the letter its caption marks ("&No"), typed with Alt or
// while a button has the focus, clicks it. TBitBtn shows a glyph left of
// its caption.

#include "platform/canvas/Bitmap.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Forms.h"

namespace forms {

class TCustomImageList;

class TButton : public TWinControl {
public:
  explicit TButton(TComponent* owner);

  bool Default = false;
  bool Cancel = false;
  TModalResult ModalResult = mrNone;
  void Click() override;

protected:
  void Paint() override;
  // The area inside the edge, for the caption and the glyph.
  virtual void PaintContent(canvas::TCanvas& canvas, const TRect& r);
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void KeyDown(int& key, TShiftState shift) override;
  void KeyUp(int& key, TShiftState shift) override;
  bool WantsKey(int key) override { return key == window::VK_RETURN; }
  bool DialogKey(int key) override;
  bool TakesCharacters() const override { return false; }
  bool DialogChar(char32_t letter) override;
  void FocusChanged(bool focused) override;

private:
  bool FDown = false;      // drawn pressed
  bool FSpaceDown = false;
};

class TBitBtn : public TButton {
public:
  explicit TBitBtn(TComponent* owner) : TButton(owner) {}
  // The glyph: image ImageIndex of Images, or else Glyph when not empty.
  TCustomImageList* Images = nullptr;
  int ImageIndex = -1;
  canvas::TBitmap Glyph;
  int Spacing = 4;

protected:
  void PaintContent(canvas::TCanvas& canvas, const TRect& r) override;
};

}  // namespace forms
