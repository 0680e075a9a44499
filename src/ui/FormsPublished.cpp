#include "ui/FormsPublished.h"

#include "base/Strings.h"
#include "base/Utf8.h"
#include "platform/forms/Collection.h"
#include "platform/forms/Strings.h"
#include "platform/text/Charsets.h"
#include "ui/ECLanguage.h"

namespace {

class TFormsPublishedCollection : public TPublishedCollection {
public:
  TFormsPublishedCollection(TFormsPublishedForm& form, forms::TCollection& collection)
      : FForm(form), FCollection(collection) {}
  int Count() override { return FCollection.Count(); }
  TPublishedObject* Items(int index) override { return FForm.View(FCollection.Items(index)); }

private:
  TFormsPublishedForm& FForm;
  forms::TCollection& FCollection;
};

}  // namespace

TPropertyKind TFormsPublishedObject::PropertyKind(const std::string& name) {
  const forms::TPropertyList props = FObject.Properties();
  const forms::TPropInfo* p = props.Find(name);
  if (!p) return TPropertyKind::pkNone;
  switch (p->Kind) {
    case forms::TPropKind::pkString: return TPropertyKind::pkString;
    case forms::TPropKind::pkInteger: return TPropertyKind::pkInteger;
    case forms::TPropKind::pkBoolean: return TPropertyKind::pkBoolean;
    case forms::TPropKind::pkFont: return TPropertyKind::pkFont;
    case forms::TPropKind::pkStrings: return TPropertyKind::pkStrings;
    case forms::TPropKind::pkCollection: return TPropertyKind::pkCollection;
    case forms::TPropKind::pkComponent: return TPropertyKind::pkComponent;
    case forms::TPropKind::pkBinary: return TPropertyKind::pkOther;
  }
  return TPropertyKind::pkOther;
}

void TFormsPublishedObject::SetStrProp(const std::string& name, const std::string& value) {
  FObject.SetStrProp(name, FForm.Decode(value));
}

void TFormsPublishedObject::AssignStringsProp(const std::string& name, const TStringList& value) {
  forms::TStrings* target = FObject.GetStringsProp(name);
  if (!target) return;
  TStringList decoded;
  for (int i = 0; i < value.Count(); ++i) decoded.Add(FForm.Decode(value.Strings(i)));
  target->Assign(decoded);
}

void TFormsPublishedObject::AssignFontProp(const std::string& name, const canvas::TFont& value) {
  FObject.SetFontProp(name, value);
}

TPublishedCollection* TFormsPublishedObject::GetCollectionProp(const std::string& name) {
  return FForm.View(FObject.GetCollectionProp(name));
}

TPublishedObject* TFormsPublishedObject::GetComponentProp(const std::string& name) {
  return FForm.View(FObject.GetComponentProp(name));
}

TFormsPublishedForm::~TFormsPublishedForm() = default;

int TFormsPublishedForm::CharsetOfLanguage(const std::string& code) {
  return SameText(code, "RUS") || SameText(code, "UKR") ? text::csRussian : text::csAnsi;
}

int TFormsPublishedForm::Charset() {
  if (FCharset >= 0) return FCharset;
  TECLanguage* language = TECLanguage::Current();
  return language ? CharsetOfLanguage(language->GetLanguage()) : text::csAnsi;
}

std::string TFormsPublishedForm::Decode(const std::string& bytes) {
  const int charset = Charset();
  std::string utf8;
  for (char c : bytes) AppendUtf8(utf8, text::DecodeByte(static_cast<unsigned char>(c), charset));
  return utf8;
}

TPublishedObject* TFormsPublishedForm::View(forms::TPersistent* object) {
  if (!object) return nullptr;
  if (object == &FForm) return this;
  auto& view = FObjects[object];
  if (!view) view = std::make_unique<TFormsPublishedObject>(*this, *object);
  return view.get();
}

TPublishedCollection* TFormsPublishedForm::View(forms::TCollection* collection) {
  if (!collection) return nullptr;
  auto& view = FCollections[collection];
  if (!view) view = std::make_unique<TFormsPublishedCollection>(*this, *collection);
  return view.get();
}
