#pragma once
// The small pop-up that shows a control's hint near the pointer.

#include "platform/forms/Forms.h"

namespace forms {

class THintWindow : public TPopupWindow {
public:
  explicit THintWindow(TControl* owner);
  // Sizes the window to the text and shows it at a screen point.
  void ActivateHint(TPoint screen, const std::string& text);

protected:
  void Paint() override;
};

}  // namespace forms
