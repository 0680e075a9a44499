// A UI language file: loaded as the language object's data, then applied to
// the program's four windows (forms that answer any property path) and
// asked for their messages.

#include <functional>
#include <map>
#include <memory>

#include "FuzzInput.h"
#include "ui/ECFormLanguage.h"
#include "ui/ECLanguage.h"
#include "ui/ProgramResources.h"

namespace {

// Every path leads somewhere: the usual property names have their usual
// kinds, any other name a kind of its own (by its hash), so that entries
// reach strings, lists, fonts, collections and nested components.
class TAnyObject : public TPublishedForm, public TPublishedCollection {
public:
  explicit TAnyObject(std::string name, bool form = false) : FName(std::move(name)), FForm(form) {}

  TPropertyKind PropertyKind(const std::string& name) override {
    static const std::map<std::string, TPropertyKind> known = {
        {"Caption", TPropertyKind::pkString},  {"Hint", TPropertyKind::pkString},
        {"Items", TPropertyKind::pkStrings},   {"Lines", TPropertyKind::pkStrings},
        {"Font", TPropertyKind::pkFont},       {"Buttons", TPropertyKind::pkCollection}};
    if (auto it = known.find(name); it != known.end()) return it->second;
    if (FForm) return TPropertyKind::pkNone;
    return TPropertyKind(std::hash<std::string>()(name) % (size_t(TPropertyKind::pkOther) + 1));
  }
  void SetStrProp(const std::string&, const std::string&) override {}
  void AssignStringsProp(const std::string&, const TStringList&) override {}
  void AssignFontProp(const std::string&, const canvas::TFont&) override {}
  TPublishedCollection* GetCollectionProp(const std::string& name) override { return &Child(name); }
  TPublishedObject* GetComponentProp(const std::string& name) override { return &Child(name); }
  std::string GetName() override { return FName; }
  TPublishedObject* FindComponent(const std::string& name) override { return &Child(name); }
  int Count() override { return 3; }
  TPublishedObject* Items(int index) override { return &Child(std::to_string(index)); }

private:
  TAnyObject& Child(const std::string& name) {
    auto& slot = FChildren[name];
    if (!slot) slot = std::make_unique<TAnyObject>(name);
    return *slot;
  }

  std::string FName;
  bool FForm;
  std::map<std::string, std::unique_ptr<TAnyObject>> FChildren;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  RegisterResource("LANGUAGEENU", std::vector<uint8_t>(data, data + size));
  TAnyObject application("Application", true);
  TECLanguage language(&application);
  language.SetInner(true);
  try {
    language.LoadLanguage("ENU");
  } catch (const EStreamError&) {  // a header that ends early
    return 0;
  }
  for (const char* name : {"FProgramModule", "FHelperModule", "FMessageBlock", "FAboutModule"}) {
    TAnyObject form(name, true);
    TECFormLanguage formLanguage(&form);
    formLanguage.SetLanguage("ENU");
    for (int index = -1; index < 40; ++index) formLanguage.GetString(index);
  }
  return 0;
}
