#pragma once
// The window half of a score view: a control that hosts a TKVWindow, owns
// its two scroll bars and hands it the control's paint, size, focus, mouse
// and key messages. The view it makes lives as long as the control; the
// renderer installed at the time (or the stand-in) paints it.

#include <memory>

#include "platform/forms/Controls.h"

namespace forms {
class TScrollBar;
}
class TKVWindow;

class TKVViewControl : public forms::TCustomControl {
public:
  explicit TKVViewControl(forms::TComponent* Owner);
  ~TKVViewControl() override;

  TKVWindow& View() { return *FView; }
  forms::TScrollBar& HorzScrollBar() { return *FHorz; }
  forms::TScrollBar& VertScrollBar() { return *FVert; }

  // Client pixels to repaint; the view never erases its background, so
  // Erase changes nothing.
  void InvalidateRect(const canvas::TRect& R, bool Erase);
  // Paints what is invalid now.
  void Update();

protected:
  void Paint() override;
  void Resize() override;
  void FocusChanged(bool Focused) override;
  void MouseDown(forms::TMouseButton Button, forms::TShiftState Shift, int X, int Y) override;
  void MouseMove(forms::TShiftState Shift, int X, int Y) override;
  void MouseUp(forms::TMouseButton Button, forms::TShiftState Shift, int X, int Y) override;
  bool MouseWheel(forms::TShiftState Shift, int WheelDelta, canvas::TPoint Pos) override;
  void MouseLeave() override;
  void KeyDown(int& Key, forms::TShiftState Shift) override;
  // The arrow keys reach the view.
  bool WantsKey(int Key) override;
  // Enabling or disabling repaints nothing.
  void EnabledChanged() override {}

private:
  friend class TKVWindow;

  forms::TScrollBar* FHorz;
  forms::TScrollBar* FVert;
  std::unique_ptr<TKVWindow> FView;
};
