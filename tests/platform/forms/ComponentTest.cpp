// Component ownership and published properties reached by name.
#include "support/forms/FormsTestSupport.h"
#include "platform/forms/ActnList.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/CheckBox.h"
#include "platform/forms/Collection.h"
#include "platform/forms/Edit.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/ListBox.h"
#include "platform/forms/ProgressBar.h"
#include "platform/forms/ScrollBar.h"
#include "platform/forms/Timer.h"
#include "platform/forms/ComboBox.h"
#include "platform/forms/Label.h"

namespace forms::test {
namespace {

// A component that logs its destruction and the components it hears of.
class TProbe : public TComponent {
public:
  TProbe(TComponent* owner, std::vector<std::string>& log, std::string name) : TComponent(owner), FLog(log) {
    SetName(name);
  }
  ~TProbe() override { FLog.push_back("free " + Name()); }

protected:
  void Notification(TComponent* c, TOperation op) override {
    if (op == TOperation::opRemove && c != this) FLog.push_back(Name() + " hears " + c->Name());
  }

private:
  std::vector<std::string>& FLog;
};

class TButtonItem : public TCollectionItem {
public:
  using TCollectionItem::TCollectionItem;
  std::string Hint;
  void DefineProperties(TPropertyList& props) override {
    props.String("Hint", this, &TButtonItem::GetHint, &TButtonItem::SetHint);
  }
  const std::string& GetHint() const { return Hint; }
  void SetHint(const std::string& h) { Hint = h; }
};

TEST(ComponentTest, AnOwnerFreesWhatItOwnsLastFirstAndFindsItByName) {
  std::vector<std::string> log;
  auto* owner = new TProbe(nullptr, log, "FProgramModule");
  auto* timer = new TProbe(owner, log, "TExport");
  new TProbe(owner, log, "ALProgram");
  auto* watcher = new TProbe(nullptr, log, "Watcher");
  watcher->FreeNotification(timer);
  EXPECT_EQ(owner->FindComponent("texport"), timer);
  EXPECT_EQ(owner->FindComponent("Missing"), nullptr);
  EXPECT_EQ(owner->Components(1)->Name(), "ALProgram");
  EXPECT_THROW(timer->SetName("alprogram"), EComponentError);
  EXPECT_THROW(timer->SetName("2nd"), EComponentError);
  delete owner;
  // (Each probe logs in its own destructor, before the owner part frees the owned.)
  EXPECT_EQ(log, (std::vector<std::string>{"free FProgramModule", "free ALProgram", "free TExport",
                                           "Watcher hears TExport"}));
  delete watcher;
}

TEST(ComponentTest, CollectionItemsMoveAndGoWithTheirListTellingItOfEachChange) {
  int updates = 0;
  TCollection buttons([](TCollection* c) { return new TButtonItem(c); });
  buttons.OnUpdate = [&](TCollectionItem*) { ++updates; };
  for (const char* hint : {"close", "forward", "back"}) static_cast<TButtonItem*>(buttons.Add())->Hint = hint;
  buttons.Items(2)->SetIndex(0);
  static_cast<TButtonItem*>(buttons.Insert(1))->Hint = "help";
  delete buttons.Items(2);
  std::vector<std::string> hints;
  for (int i = 0; i < buttons.Count(); ++i) hints.push_back(static_cast<TButtonItem*>(buttons.Items(i))->Hint);
  EXPECT_EQ(hints, (std::vector<std::string>{"back", "help", "forward"}));
  EXPECT_EQ(buttons.Items(2)->Index(), 2);
  EXPECT_EQ(updates, 3 + 1 + 2 + 1);
}

TEST(ActionTest, TheListHandlesExecuteAndUpdateFirstAndADisabledActionDoesNotRun) {
  TComponent owner(nullptr);
  auto* list = new TActionList(&owner);
  auto* play = new TAction(&owner);
  play->SetActionList(list);
  std::vector<std::string> log;
  play->OnExecute = [&](TObject*) { log.push_back("play"); };
  play->OnUpdate = [&](TObject*) { log.push_back("update"); };
  bool take = false;
  list->OnExecute = [&](TBasicAction*, bool& handled) { handled = take; log.push_back("list"); };
  EXPECT_TRUE(play->Execute());
  take = true;
  EXPECT_TRUE(play->Execute());
  play->OnUpdate = [&](TObject*) { play->SetEnabled(false); };
  EXPECT_FALSE(play->Execute());
  EXPECT_EQ(log, (std::vector<std::string>{"update", "list", "play", "update", "list"}));
  delete list;  // the action stays, outside any list
  EXPECT_EQ(play->ActionList(), nullptr);
  EXPECT_EQ(play->Index(), -1);
}

using PublishedTest = FormsTest;

TEST_F(PublishedTest, AControlBoundWhileItsFormLoadsKeepsTheCaptionItWasGiven) {
  TForm* form = MakeForm();
  form->BeginLoading();
  auto* action = new TAction(form);
  action->SetCaption("Save &as...");
  action->SetEnabled(false);
  auto* named = AddControl<TButton>(form, 0, 0, 75, 25);
  named->SetCaption("Save as");
  auto* plain = AddControl<TButton>(form, 0, 30, 75, 25);
  named->BeginLoading();
  plain->BeginLoading();
  action->BeginLoading();
  named->SetAction(action);
  plain->SetAction(action);
  form->Loaded();
  EXPECT_FALSE(action->IsLoading());
  EXPECT_EQ(named->Caption(), "Save as");  // designed over the action's
  EXPECT_EQ(plain->Caption(), "Save &as...");
  EXPECT_FALSE(named->Enabled());
  // Later changes of the action reach every client.
  action->SetCaption("Save");
  EXPECT_EQ(named->Caption(), "Save");
}

TEST_F(PublishedTest, PropertiesOfEveryKindAreReachedByNameWithoutRegardToCase) {
  TForm* form = MakeForm();
  auto* label = new TLabel(form);
  label->SetParent(form);
  label->SetName("LSource");
  auto* combo = new TComboBox(form);
  combo->SetParent(form);
  TCollection buttons([](TCollection* c) { return new TButtonItem(c); });
  buttons.Add();
  buttons.Add();

  auto* target = static_cast<TPersistent*>(form->FindComponent("lsource"));
  target->SetStrProp("caption", "Не загружено");
  EXPECT_EQ(label->Caption(), "Не загружено");
  target->SetFontProp("Font", label->Font());
  EXPECT_FALSE(label->ParentFont());

  TStringList rates;
  rates.SetText("8 kHz\n11 kHz\n");
  combo->GetStringsProp("Items")->Assign(rates);
  EXPECT_EQ(combo->Items().Count(), 2);
  combo->SetIntProp("ItemIndex", 1);
  EXPECT_EQ(combo->Text(), "11 kHz");

  static_cast<TPersistent*>(buttons.Items(1))->SetStrProp("Hint", "Forward");
  EXPECT_EQ(static_cast<TButtonItem*>(buttons.Items(1))->Hint, "Forward");
  EXPECT_THROW(buttons.Items(2), EListError);
  EXPECT_THROW(target->SetStrProp("Colour", "x"), EPropertyError);
  EXPECT_THROW(target->SetStrProp("Font", "x"), EPropertyError);
}

// Every published property of every control reads back what was written
// (accessors bound to the right fields), and a property of the wrong kind
// refuses the access.
TEST_F(PublishedTest, EveryPublishedPropertyReadsBackWhatWasWritten) {
  TForm* form = MakeForm();
  std::vector<TPersistent*> objects{form, new TAction(form), new TTimer(form)};
  for (TWinControl* c : std::initializer_list<TWinControl*>{
           new TButton(form), new TCheckBox(form), new TComboBox(form), new TEdit(form), new TListBox(form),
           new TPanel(form), new TGroupBox(form), new TProgressBar(form), new TScrollBar(form)})
    objects.push_back(c);
  objects.push_back(new TLabel(form));
  canvas::TFont font;
  font.Name = "Liberation Serif";
  font.Style = text::fsItalic;
  int checked = 0;
  for (TPersistent* o : objects) {
    const TPropertyList props = o->Properties();
    for (const TPropInfo& p : props.Items()) {
      const std::string where = typeid(*o).name() + std::string(".") + p.Name;
      switch (p.Kind) {
        case TPropKind::pkString:
          if (p.Name == "Name") continue;
          o->SetStrProp(p.Name, "Запись");
          EXPECT_EQ(o->GetStrProp(p.Name), "Запись") << where;
          break;
        case TPropKind::pkInteger: {
          if (p.Name == "ItemIndex" || p.Name == "TabOrder") continue;  // limited by the items, the siblings
          const int v = p.Name == "Color" ? 0x123456 : 37;
          o->SetIntProp(p.Name, v);
          EXPECT_EQ(o->GetIntProp(p.Name), v) << where;
          break;
        }
        case TPropKind::pkBoolean:
          o->SetBoolProp(p.Name, !o->GetBoolProp(p.Name));
          o->SetBoolProp(p.Name, !o->GetBoolProp(p.Name));
          o->SetBoolProp(p.Name, false);
          EXPECT_FALSE(o->GetBoolProp(p.Name)) << where;
          break;
        case TPropKind::pkFont:
          o->SetFontProp(p.Name, font);
          EXPECT_EQ(o->GetFontProp(p.Name), font) << where;
          break;
        default:
          EXPECT_NE(o->GetStringsProp(p.Name), nullptr) << where;
          EXPECT_THROW(o->SetStrProp(p.Name, "x"), EPropertyError) << where;
          break;
      }
      ++checked;
    }
  }
  EXPECT_GT(checked, 100);
}

TEST_F(PublishedTest, AChildFollowsItsParentsFontUntilItGetsOneOfItsOwn) {
  TForm* form = MakeForm();
  auto* label = new TLabel(form);
  label->SetParent(form);
  canvas::TFont big = form->Font();
  big.SetSize(14);
  form->SetFont(big);
  EXPECT_EQ(label->Font().Size(), 14);
  canvas::TFont own = big;
  own.Name = "Liberation Serif";
  label->SetFont(own);
  big.SetSize(9);
  form->SetFont(big);
  EXPECT_EQ(label->Font().Name, "Liberation Serif");
  EXPECT_EQ(label->Font().Size(), 14);
}

}  // namespace
}  // namespace forms::test
