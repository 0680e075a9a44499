#pragma once
// One per window: applies the window's section of the application's
// language file to the window's published properties and hands out the
// window's numbered message texts. Texts are the file's single-byte strings
// as stored (CP1252, or CP1251 for Russian and Ukrainian).

#include <string>

#include "ui/NonVisualComponent.h"

class TECFormLanguage : public TNonVisualComponent {
public:
  // Raises ECLanguageException "Owner is not defined or wrong" without an
  // owner; registers with the application's language object (or waits for
  // one).
  explicit TECFormLanguage(TPublishedForm* owner);
  ~TECFormLanguage() override;

  // Applies the section once the window is built.
  void Loaded() override;

  // While the code is empty the window receives no texts. Setting a code
  // that differs (letter case aside) applies the section, unless the
  // component is being loaded; SetExLanguage only stores it.
  const std::string& GetLanguage() const { return FLanguage; }
  void SetLanguage(const std::string& value);
  void SetExLanguage(const std::string& value);

  // The section's name; empty means the owner's component name.
  const std::string& GetFormName() const { return FFormName; }
  void SetFormName(const std::string& value) { FFormName = value; }
  std::string SectionName() const;

  // Sets every property entry of the section in file order. An entry whose
  // path leads nowhere or to a property of another kind sets nothing; a text
  // longer than 1024 bytes, or an entry running out of the file, ends the
  // section with the entries before it applied.
  void ApplyLanguage();

  // The window made after the language was chosen takes it now: the code
  // of the application's language object (if any), applied.
  void ApplyApplicationLanguage();

  // Message Index (from 0) of the section's string table; empty when there
  // is none.
  std::string GetString(int index) const;

  TPublishedForm* Form() const { return Owner(); }

private:
  bool FApplyingSuppressed = false;
  std::string FLanguage;
  std::string FFormName;
};
