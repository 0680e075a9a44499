// A language file applied to a real form of the forms layer: texts, lists,
// fonts, actions and collection items reached by their paths, single-byte
// texts turned into the forms' UTF-8.

#include <gtest/gtest.h>

#include "LanguageTestSupport.h"
#include "platform/forms/ActnList.h"
#include "platform/forms/Application.h"
#include "platform/forms/Collection.h"
#include "platform/forms/ComboBox.h"
#include "platform/forms/Label.h"
#include "platform/text/Charsets.h"
#include "platform/window/HeadlessHost.h"
#include "ui/ECFormLanguage.h"
#include "ui/ECLanguage.h"
#include "ui/FormsPublished.h"

namespace {

// A skinned frame's stand-in: a component publishing a collection of buttons.
class TButtonItem : public forms::TCollectionItem {
public:
  using TCollectionItem::TCollectionItem;
  void DefineProperties(forms::TPropertyList& props) override {
    props.String("Hint", this, &TButtonItem::Hint, &TButtonItem::SetHint);
  }
  const std::string& Hint() const { return FHint; }
  void SetHint(const std::string& hint) { FHint = hint; }

private:
  std::string FHint;
};

class TFrame : public forms::TComponent {
public:
  explicit TFrame(forms::TComponent* owner) : TComponent(owner) {
    for (int i = 0; i < 3; ++i) Buttons.Add();
  }
  forms::TCollection Buttons{[](forms::TCollection* c) { return new TButtonItem(c); }, this};
  void DefineProperties(forms::TPropertyList& props) override {
    TComponent::DefineProperties(props);
    props.Object("Buttons", forms::TPropKind::pkCollection, [this] { return &Buttons; });
  }
};

template <class T>
T* Named(forms::TComponent* owner, const char* name) {
  T* c = new T(owner);
  c->SetName(name);
  return c;
}

TEST(FormsPublishedTest, ARussianSectionReachesTheControlsActionsAndCollectionItemsOfAForm) {
  forms::TApplication app(std::make_unique<window::THeadlessHost>());
  auto* form = Named<forms::TForm>(&app, "FProgramModule");
  auto* label = Named<forms::TLabel>(form, "LSource");
  label->SetParent(form);
  auto* rates = Named<forms::TComboBox>(form, "CBSampleRate");
  rates->SetParent(form);
  auto* record = Named<forms::TAction>(form, "ARecord");
  auto* frame = Named<TFrame>(form, "FDTicher");

  // "Запись", "Не загружено", "8 кГц" and "Вперёд" in Windows-1251.
  const std::string zapis = "\xC7\xE0\xEF\xE8\xF1\xFC", nezagr = "\xCD\xE5 \xE7\xE0\xE3\xF0\xF3\xE6\xE5\xED\xEE";
  const std::string khz = "8 \xEA\xC3\xF6", vpered = "\xC2\xEF\xE5\xF0\xB8\xE4";
  TScratchDir folder;
  WriteBytes(folder.Path("prog.RUS.lrf"),
             LanguageFile({{"FProgramModule",
                            {TextEntry("Caption", zapis), TextEntry("lsource.caption", nezagr),
                             TextEntry("ARecord.Caption", "&" + zapis), ListEntry("CBSampleRate.Items", {khz}),
                             FontEntry("LSource.Font", "Arial", 204, 10), TextEntry("FDTicher.Buttons[1].Hint", vpered),
                             TextEntry("FDTicher.Buttons[3].Hint", zapis), TextEntry("LSource.Tag", zapis)},
                            {}}}));

  TFormsPublishedForm published(*form);
  TECLanguage language(&published);
  language.SetBasePath(folder.Path("prog"));
  TECFormLanguage texts(&published);
  texts.SetExLanguage("RUS");
  language.SetLanguage("RUS");

  EXPECT_EQ(form->Caption(), "Запись");
  EXPECT_EQ(label->Caption(), "Не загружено");
  EXPECT_EQ(record->Caption(), "&Запись");
  ASSERT_EQ(rates->Items().Count(), 1);
  EXPECT_EQ(rates->Items().Strings(0), "8 кГц");
  EXPECT_EQ(label->Font().Charset, 204);
  EXPECT_EQ(label->Font().Size(), 10);
  auto hint = [&](int i) { return static_cast<TButtonItem*>(frame->Buttons.Items(i))->Hint(); };
  EXPECT_EQ(hint(1), "Вперёд");
  EXPECT_EQ(hint(2), "");  // index 3 is beyond the collection: nothing set
  EXPECT_EQ(label->Tag(), 0);  // an integer property takes no text
  EXPECT_EQ(TFormsPublishedForm::CharsetOfLanguage("enu"), text::csAnsi);
}

}  // namespace
