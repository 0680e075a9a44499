#include "app/LanguageGuess.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>

#include "base/Strings.h"

namespace {

// The language part of an entry: its leading letters, in lower case.
std::string LanguageOf(const std::string& entry) {
  std::string code;
  for (char c : entry) {
    if (!std::isalpha(static_cast<unsigned char>(c))) break;
    code += char(std::tolower(static_cast<unsigned char>(c)));
  }
  return code;
}

void AddList(std::vector<std::string>& out, const std::string& list, char separator) {
  size_t start = 0;
  while (start <= list.size()) {
    const size_t end = std::min(list.find(separator, start), list.size());
    if (end > start) out.push_back(Trim(list.substr(start, end - start)));
    start = end + 1;
  }
}

}  // namespace

std::string GuessLanguage(const std::vector<std::string>& languages) {
  auto any = [&](std::initializer_list<const char*> codes) {
    for (const std::string& entry : languages)
      for (const char* code : codes)
        if (LanguageOf(entry) == code) return true;
    return false;
  };
  if (any({"ru", "uk", "ua"})) return "RUS";
  if (any({"de", "at"})) return "DEU";
  if (any({"fr"})) return "FRA";
  return "ENU";
}

std::vector<std::string> UserLanguages() {
  std::vector<std::string> languages;
  if (const char* list = std::getenv("LANGUAGE")) AddList(languages, list, ':');
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"})
    if (const char* value = std::getenv(name)) languages.push_back(value);
  std::ifstream keyboard("/etc/default/keyboard");
  std::string line;
  while (std::getline(keyboard, line)) {
    if (line.rfind("XKBLAYOUT=", 0) != 0) continue;
    std::string value = line.substr(10);
    value.erase(std::remove(value.begin(), value.end(), '"'), value.end());
    AddList(languages, value, ',');
  }
  return languages;
}
