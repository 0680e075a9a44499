#include "platform/forms/ActnList.h"

#include <algorithm>

#include "platform/forms/Controls.h"

namespace forms {

TBasicActionLink::~TBasicActionLink() { SetAction(nullptr); }

void TBasicActionLink::SetAction(TBasicAction* action) {
  if (action == FAction) return;
  if (FAction) std::erase(FAction->FClients, this);
  FAction = action;
  if (FAction) FAction->FClients.push_back(this);
}

bool TBasicActionLink::Execute(TComponent* target) {
  (void)target;
  return FAction && FAction->Execute();
}

bool TBasicActionLink::Update() { return FAction && FAction->Update(); }

void TBasicActionLink::Change() {
  if (OnChange) OnChange(FAction);
}

bool TActionLink::IsCaptionLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsCheckedLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsEnabledLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsHintLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsVisibleLinked() { return CustomAction() != nullptr; }
TCustomAction* TActionLink::CustomAction() const { return dynamic_cast<TCustomAction*>(Action()); }

template class TClientActionLink<TControl>;

TBasicAction::~TBasicAction() {
  for (TBasicActionLink* link : FClients) link->FAction = nullptr;
}

bool TBasicAction::Execute() {
  if (!OnExecute) return false;
  OnExecute(this);
  return true;
}

bool TBasicAction::Update() {
  if (!OnUpdate) return false;
  OnUpdate(this);
  return true;
}

void TBasicAction::Change() {
  for (TBasicActionLink* link : std::vector<TBasicActionLink*>(FClients)) link->Change();
}

TContainedAction::~TContainedAction() { SetActionList(nullptr); }

void TContainedAction::SetActionList(TActionList* list) {
  if (list == FActionList) return;
  if (FActionList) std::erase(FActionList->FActions, this);
  FActionList = list;
  if (FActionList) FActionList->FActions.push_back(this);
}

int TContainedAction::Index() const {
  if (!FActionList) return -1;
  const auto& list = FActionList->FActions;
  return int(std::find(list.begin(), list.end(), this) - list.begin());
}

bool TContainedAction::Execute() {
  if (FActionList && FActionList->OnExecute) {
    bool handled = false;
    FActionList->OnExecute(this, handled);
    if (handled) return true;
  }
  return TBasicAction::Execute();
}

bool TContainedAction::Update() {
  if (FActionList && FActionList->OnUpdate) {
    bool handled = false;
    FActionList->OnUpdate(this, handled);
    if (handled) return true;
  }
  return TBasicAction::Update();
}

// Clients still showing the old value take the new one, then every client
// hears of the change.
template <class T, class F>
void TCustomAction::SetLinked(T& field, const T& value, F apply) {
  if (field == value) return;
  for (TBasicActionLink* client : std::vector<TBasicActionLink*>(Clients()))
    if (auto* link = dynamic_cast<TActionLink*>(client)) apply(*link);
  field = value;
  Change();
}

void TCustomAction::SetCaption(const std::string& value) {
  SetLinked(FCaption, value, [&](TActionLink& l) { l.SetCaption(value); });
}
void TCustomAction::SetHint(const std::string& value) {
  SetLinked(FHint, value, [&](TActionLink& l) { l.SetHint(value); });
}
void TCustomAction::SetEnabled(bool value) {
  SetLinked(FEnabled, value, [&](TActionLink& l) { l.SetEnabled(value); });
}
void TCustomAction::SetChecked(bool value) {
  SetLinked(FChecked, value, [&](TActionLink& l) { l.SetChecked(value); });
}
void TCustomAction::SetVisible(bool value) {
  SetLinked(FVisible, value, [&](TActionLink& l) { l.SetVisible(value); });
}

bool TCustomAction::Execute() {
  Update();
  if (!FEnabled) return false;
  if (AutoCheck) SetChecked(!FChecked);
  return TContainedAction::Execute();
}

void TCustomAction::DefineProperties(TPropertyList& props) {
  TContainedAction::DefineProperties(props);
  props.String("Caption", this, &TCustomAction::Caption, &TCustomAction::SetCaption);
  props.String("Hint", this, &TCustomAction::Hint, &TCustomAction::SetHint);
  props.Boolean("Enabled", this, &TCustomAction::Enabled, &TCustomAction::SetEnabled);
  props.Boolean("Checked", this, &TCustomAction::Checked, &TCustomAction::SetChecked);
  props.Boolean("Visible", this, &TCustomAction::Visible, &TCustomAction::SetVisible);
}

TActionList::~TActionList() {
  for (TContainedAction* a : FActions) a->FActionList = nullptr;
}

TContainedAction* TActionList::Actions(int index) const {
  if (index < 0 || index >= ActionCount()) throw EListError(index);
  return FActions[size_t(index)];
}

void TActionList::UpdateActions() {
  for (TContainedAction* a : std::vector<TContainedAction*>(FActions)) a->Update();
}

}  // namespace forms
