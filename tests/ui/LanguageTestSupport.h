#pragma once
// Shared pieces of the language tests: temporary folders for language files,
// the project's language sources, and single-byte text shown as UTF-8.

#include <cstdint>
#include <string>
#include <vector>

#include "lrfc/LangSource.h"

// A fresh empty folder under the system's temporary folder, removed at exit
// of the object.
class TTempFolder {
public:
  TTempFolder();
  ~TTempFolder();
  const std::string& Path() const { return FPath; }
  // The base path of language files in this folder ("<folder>/prog").
  std::string Base() const { return FPath + "/prog"; }
  void Write(const std::string& name, const std::vector<uint8_t>& bytes) const;

private:
  std::string FPath;
};

// The six language codes, English first.
const std::vector<std::string>& LanguageCodes();
std::string LanguageSourceFile(const std::string& code);
const lrfc::TLangSource& LanguageSource(const std::string& code);

// Single-byte text in a character set (0 Western, 204 Cyrillic) as UTF-8.
std::string BytesToUtf8(const std::string& bytes, int charset);

// Property entries as the reader returns them.
lrf::TEntry TextEntry(const std::string& path, const std::string& text, uint8_t type = lrf::vtString);
lrf::TEntry ListEntry(const std::string& path, std::vector<std::string> items);
lrf::TEntry FontEntry(const std::string& path, const std::string& name, uint16_t charset, uint16_t size);

// A whole language file of the given sections (header texts fixed).
std::vector<uint8_t> LanguageFile(const std::vector<lrfc::TLrfSection>& sections);
