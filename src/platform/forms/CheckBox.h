#pragma once
// A check box with its caption to the right. Setting Checked to another
// state runs Click (OnClick or the action), whether the user or the program
// sets it; a click or Space toggles it. Bound to an action, it shows the
// action's Checked too (such changes run no click, or the action would run
// again).

#include "platform/forms/ActnList.h"
#include "platform/forms/Controls.h"

namespace forms {

class TCheckBox : public TWinControl {
public:
  explicit TCheckBox(TComponent* owner);

  bool Checked() const { return FChecked; }
  void SetChecked(bool checked);

  void DefineProperties(TPropertyList& props) override;

protected:
  void Paint() override;
  void MouseClick() override { SetChecked(!FChecked); }
  void KeyPress(char32_t& key) override;
  void ActionChange(TBasicAction* sender, bool checkDefaults) override;
  TControlActionLink* CreateActionLink() override;

private:
  friend class TCheckBoxActionLink;
  // Sets the state without a click, as the action's own changes do.
  void SetCheckedQuietly(bool checked);
  bool FChecked = false;
  bool FClicksDisabled = false;
};

}  // namespace forms
