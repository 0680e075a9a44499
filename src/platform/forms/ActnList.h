#pragma once
// Actions: one command with its caption, hint, enabled, checked and visible
// state, shared by every control and menu item bound to it through an
// action link. Changing a property of the action changes it on every
// client whose own value still equals the action's (the client is
// "linked" for that property); Execute runs the command, Update asks
// OnUpdate to bring the state up to date (the application does that when
// idle for the action lists of the shown forms).

#include <vector>

#include "platform/forms/Component.h"

namespace forms {

class TActionList;
class TBasicAction;
class TControl;
class TCustomAction;

using TActionEvent = std::function<void(TBasicAction* Action, bool& Handled)>;

// The binding of one client to one action.
class TBasicActionLink : public TObject {
public:
  ~TBasicActionLink() override;
  TBasicAction* Action() const { return FAction; }
  void SetAction(TBasicAction* action);
  // Runs the action for the client; false when it did not run.
  virtual bool Execute(TComponent* target = nullptr);
  virtual bool Update();
  // Any change of the action.
  TNotifyEvent OnChange;

protected:
  friend class TBasicAction;
  friend class TCustomAction;
  virtual void Change();

private:
  TBasicAction* FAction = nullptr;
};

// Links of clients that show a TCustomAction's properties. A property is
// linked while the action is a TCustomAction; a client link narrows that
// to "while the client's value equals the action's".
class TActionLink : public TBasicActionLink {
public:
  virtual bool IsCaptionLinked();
  virtual bool IsCheckedLinked();
  virtual bool IsEnabledLinked();
  virtual bool IsHintLinked();
  virtual bool IsVisibleLinked();
  virtual void SetCaption(const std::string& value) { (void)value; }
  virtual void SetChecked(bool value) { (void)value; }
  virtual void SetEnabled(bool value) { (void)value; }
  virtual void SetHint(const std::string& value) { (void)value; }
  virtual void SetVisible(bool value) { (void)value; }

protected:
  // The action as a TCustomAction, or nil.
  TCustomAction* CustomAction() const;
};

class TBasicAction : public TComponent {
public:
  explicit TBasicAction(TComponent* owner) : TComponent(owner) {}
  // Unbinds every client.
  ~TBasicAction() override;

  // Runs OnExecute; true when the action ran.
  virtual bool Execute();
  // Runs OnUpdate; true when something handled it.
  virtual bool Update();

  TNotifyEvent OnExecute;
  TNotifyEvent OnUpdate;

protected:
  friend class TBasicActionLink;
  // Tells every client link that the action changed.
  void Change();
  const std::vector<TBasicActionLink*>& Clients() const { return FClients; }

private:
  std::vector<TBasicActionLink*> FClients;
};

// An action of an action list; the list may handle Execute and Update first.
class TContainedAction : public TBasicAction {
public:
  explicit TContainedAction(TComponent* owner) : TBasicAction(owner) {}
  ~TContainedAction() override;
  TActionList* ActionList() const { return FActionList; }
  void SetActionList(TActionList* list);
  const std::string& Category() const { return FCategory; }
  void SetCategory(const std::string& category) { FCategory = category; }
  int Index() const;

  bool Execute() override;
  bool Update() override;

private:
  friend class TActionList;
  TActionList* FActionList = nullptr;
  std::string FCategory;
};

class TCustomAction : public TContainedAction {
public:
  explicit TCustomAction(TComponent* owner) : TContainedAction(owner) {}

  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& value);
  const std::string& Hint() const { return FHint; }
  void SetHint(const std::string& value);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool value);
  bool Checked() const { return FChecked; }
  void SetChecked(bool value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool value);
  // Execute toggles Checked first.
  bool AutoCheck = false;

  // Brings the state up to date, then runs the action when it is enabled.
  bool Execute() override;
  void DefineProperties(TPropertyList& props) override;

private:
  template <class T, class F>
  void SetLinked(T& field, const T& value, F apply);

  std::string FCaption;
  std::string FHint;
  bool FEnabled = true;
  bool FChecked = false;
  bool FVisible = true;
};

class TAction : public TCustomAction {
public:
  explicit TAction(TComponent* owner) : TCustomAction(owner) {}
};

// The link of one kind of client (a control, a menu item): caption,
// enabled, hint and visible are written into the client while the client
// still shows the action's value. A client with a Checked state adds it.
template <class TClient>
class TClientActionLink : public TActionLink {
public:
  explicit TClientActionLink(TClient* client) : FClient(client) {}
  bool IsCaptionLinked() override { return TActionLink::IsCaptionLinked() && FClient->Caption() == CustomAction()->Caption(); }
  bool IsEnabledLinked() override { return TActionLink::IsEnabledLinked() && FClient->Enabled() == CustomAction()->Enabled(); }
  bool IsHintLinked() override { return TActionLink::IsHintLinked() && FClient->Hint() == CustomAction()->Hint(); }
  bool IsVisibleLinked() override { return TActionLink::IsVisibleLinked() && FClient->Visible() == CustomAction()->Visible(); }
  void SetCaption(const std::string& value) override {
    if (IsCaptionLinked()) FClient->SetCaption(value);
  }
  void SetEnabled(bool value) override {
    if (IsEnabledLinked()) FClient->SetEnabled(value);
  }
  void SetHint(const std::string& value) override {
    if (IsHintLinked()) FClient->SetHint(value);
  }
  void SetVisible(bool value) override {
    if (IsVisibleLinked()) FClient->SetVisible(value);
  }

protected:
  TClient* Client() const { return FClient; }

private:
  TClient* FClient;
};

// The link of a control; a control with a Checked state (check box) takes
// checked too.
extern template class TClientActionLink<TControl>;
class TControlActionLink : public TClientActionLink<TControl> {
public:
  using TClientActionLink::TClientActionLink;
};

class TActionList : public TComponent {
public:
  explicit TActionList(TComponent* owner) : TComponent(owner) {}
  ~TActionList() override;

  int ActionCount() const { return int(FActions.size()); }
  TContainedAction* Actions(int index) const;  // EListError outside the list
  // Runs Update of every action.
  void UpdateActions();

  // Offered every action's Execute and Update first; Handled stops them.
  TActionEvent OnExecute;
  TActionEvent OnUpdate;

private:
  friend class TContainedAction;
  std::vector<TContainedAction*> FActions;
};

}  // namespace forms
