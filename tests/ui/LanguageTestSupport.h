#pragma once
// Shared pieces of the language tests: the project's language sources, and single-byte text shown as UTF-8.

#include <cstdint>
#include <string>
#include <vector>

#include "lrfc/LangSource.h"
#include "support/ScratchDir.h"

using test_support::TScratchDir;
using test_support::WriteBytes;

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
