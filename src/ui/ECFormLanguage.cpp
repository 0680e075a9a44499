#include "ui/ECFormLanguage.h"

#include "base/Strings.h"
#include "ui/ECLanguage.h"
#include "ui/LanguageBlock.h"
#include "ui/PropertyPath.h"

namespace {

TPublishedForm* CheckedOwner(TPublishedForm* owner) {
  if (!owner) throw ECLanguageException("Owner is not defined or wrong");
  return owner;
}

}  // namespace

TECFormLanguage::TECFormLanguage(TPublishedForm* owner) : TNonVisualComponent(CheckedOwner(owner)) {
  TECLanguage::Register(this);
}

TECFormLanguage::~TECFormLanguage() { TECLanguage::Unregister(this); }

void TECFormLanguage::Loaded() {
  FApplyingSuppressed = true;
  TNonVisualComponent::Loaded();
  FApplyingSuppressed = false;
  ApplyLanguage();
}

void TECFormLanguage::SetLanguage(const std::string& value) {
  if (SameText(value, FLanguage)) return;
  FLanguage = value;
  if (!IsLoading()) ApplyLanguage();
}

void TECFormLanguage::SetExLanguage(const std::string& value) {
  if (!SameText(value, FLanguage)) FLanguage = value;
}

std::string TECFormLanguage::SectionName() const { return FFormName.empty() ? Owner()->GetName() : FFormName; }

void TECFormLanguage::ApplyApplicationLanguage() {
  TECLanguage* language = TECLanguage::Current();
  if (!language) return;
  SetExLanguage(language->GetLanguage());
  ApplyLanguage();
}

void TECFormLanguage::ApplyLanguage() {
  TECLanguage* language = TECLanguage::Current();
  if (FApplyingSuppressed || !language) return;
  std::optional<size_t> section = language->FindSection(SectionName());
  if (!section) return;

  // One list and one font serve the whole section; a font entry sets only
  // name, character set and size, so the target takes every other attribute
  // from a new font.
  TStringList list;
  canvas::TFont font;
  lrf::TSectionEntries entries(language->Data(), *section);
  lrf::TEntry entry;
  while (entries.Next(entry)) {
    TPropertyTarget target;
    if (!FLanguage.empty()) target = ResolvePath(*Owner(), entry.Path);
    switch (entry.Type) {
      case lrf::vtString:
      case lrf::vtText:
        if (target.Kind == TPropertyKind::pkString) target.Object->SetStrProp(target.Name, entry.Text);
        break;
      case lrf::vtStrings:
        list.Clear();
        for (const std::string& item : entry.Items) list.Add(item);
        if (target.Kind == TPropertyKind::pkStrings) target.Object->AssignStringsProp(target.Name, list);
        break;
      case lrf::vtFont:
        font.Name = entry.Text;
        font.Charset = entry.Charset & 0xFF;
        font.SetSize(entry.Size);
        if (target.Kind == TPropertyKind::pkFont) target.Object->AssignFontProp(target.Name, font);
        break;
      default:
        break;
    }
  }
}

std::string TECFormLanguage::GetString(int index) const {
  TECLanguage* language = TECLanguage::Current();
  if (!language) return {};
  std::optional<size_t> section = language->FindSection(SectionName());
  if (!section) return {};
  return lrf::SectionString(language->Data(), *section, index);
}
