#include "platform/forms/FileFilter.h"

#include <cctype>

#include "base/Strings.h"

namespace forms {

namespace {

std::vector<std::string> Split(const std::string& s, char separator) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (true) {
    const size_t end = s.find(separator, start);
    parts.push_back(s.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) return parts;
    start = end + 1;
  }
}

bool SameChar(char a, char b) {
  return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
}

}  // namespace

std::vector<TFileFilter> ParseFilter(const std::string& filter) {
  std::vector<TFileFilter> result;
  if (filter.empty()) return result;
  const std::vector<std::string> parts = Split(filter, '|');
  for (size_t i = 0; i < parts.size(); i += 2) {
    TFileFilter f{Trim(parts[i]), {}};
    if (i + 1 < parts.size())
      for (const std::string& p : Split(parts[i + 1], ';'))
        if (!Trim(p).empty()) f.Patterns.push_back(Trim(p));
    if (f.Patterns.empty()) f.Patterns.push_back("*");
    result.push_back(std::move(f));
  }
  return result;
}

bool MatchesMask(const std::string& fileName, const std::string& mask) {
  if (mask == "*.*") return true;
  // Iterative glob: on a mismatch, let the last "*" take one more character.
  size_t n = 0, m = 0, starMask = std::string::npos, starName = 0;
  while (n < fileName.size()) {
    if (m < mask.size() && (mask[m] == '?' || (mask[m] != '*' && SameChar(mask[m], fileName[n])))) {
      ++n;
      ++m;
    } else if (m < mask.size() && mask[m] == '*') {
      starMask = m++;
      starName = n;
    } else if (starMask != std::string::npos) {
      m = starMask + 1;
      n = ++starName;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  return m == mask.size();
}

bool MatchesAnyMask(const std::string& fileName, const std::vector<std::string>& masks) {
  for (const std::string& m : masks)
    if (MatchesMask(fileName, m)) return true;
  return false;
}

}  // namespace forms
