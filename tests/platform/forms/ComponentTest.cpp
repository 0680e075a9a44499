// Component ownership and published properties reached by name.
#include "FormsTestSupport.h"
#include "platform/forms/Collection.h"
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

using PublishedTest = FormsTest;

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
  canvas::TFont font;
  font.Name = "Times New Roman";
  font.Charset = 204;
  font.SetSize(12);
  target->SetFontProp("Font", font);
  EXPECT_EQ(label->Font(), font);
  EXPECT_FALSE(label->ParentFont());
  EXPECT_EQ(target->PropKind("Visible"), TPropKind::pkBoolean);
  target->SetBoolProp("Visible", false);
  EXPECT_FALSE(label->Visible());

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
