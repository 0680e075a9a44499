#pragma once
// The application's UI language: one TECLanguage loads the language file
// "<program path without extension>.<CODE>.lrf" (or, with Inner, the built-in
// resource "LANGUAGE<CODE>") into memory whole and re-applies it to every
// registered window (TECFormLanguage) when the language changes.
//
// A missing file or resource, or a file without the header mark, changes
// nothing: the previous texts stay. Only a read error of the stream (a header
// that ends early) propagates, as the stream's exception.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/Exceptions.h"
#include "ui/NonVisualComponent.h"

class TECFormLanguage;
class TStream;

class ECLanguageException : public Exception {
  using Exception::Exception;
};

class TECLanguage : public TNonVisualComponent {
public:
  // Raises ECLanguageException when the application's language object has
  // the same owner. The first one becomes the application's language object
  // and takes over the windows created before it.
  explicit TECLanguage(TPublishedForm* owner);
  ~TECLanguage() override;

  // The application's language object, nil when none exists.
  static TECLanguage* Current();

  // The code ("ENU", "DEU" ...). Reading loads the language data first when
  // none is loaded and returns the code held before that load.
  std::string GetLanguage();
  // A code that differs without regard to letter case is stored, loaded and
  // applied (unless the component is being loaded without AutoLoad); then
  // OnLanguageChange fires. An equal code does nothing.
  void SetLanguage(const std::string& value);

  bool GetAutoLoad() const { return FAutoLoad; }
  void SetAutoLoad(bool value) { FAutoLoad = value; }
  bool GetInner() const { return FInner; }
  void SetInner(bool value) { FInner = value; }

  TNotifyEvent OnLanguageChange;

  // Stores the code, loads its data and applies it to every registered
  // window in registration order; fires no event. Nothing at design time.
  void LoadLanguage(const std::string& code);
  void LoadLanguageData();
  // Streaming hook: loads the data when none is loaded, unless AutoLoad is
  // off while the component is still loading.
  void ReadState();

  // Offset of the named section in the data block, none when not found.
  std::optional<size_t> FindSection(const std::string& name) const;
  const std::vector<uint8_t>& Data() const { return FData; }
  bool IsDataLoaded() const { return FLoaded; }

  // The program's path without extension; the language files lie beside it.
  const std::string& BasePath() const { return FBasePath; }
  void SetBasePath(const std::string& value) { FBasePath = value; }
  // The file the code's data is read from.
  std::string LanguageFileName(const std::string& code) const;

private:
  friend class TECFormLanguage;
  static void Register(TECFormLanguage* window);
  static void Unregister(TECFormLanguage* window);
  void attach(TECFormLanguage* window);
  void readLanguage(TStream& stream);

  std::string FLanguage;
  bool FLoaded = false;
  std::vector<TECFormLanguage*> FRegistered;
  bool FAutoLoad = false;
  bool FInner = false;
  std::string FBasePath;
  std::vector<uint8_t> FData;
};
