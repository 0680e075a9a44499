#include "ui/IntegerText.h"

#include <cstdint>

#include "base/Strings.h"

int StrToIntDefault(const std::string& text, int defaultValue) {
  long long value;
  if (!TryStrToInt(text, value) || value < INT32_MIN || value > INT32_MAX) return defaultValue;
  return int(value);
}

int CutNextInt(const std::string& separator, std::string& text, int defaultValue) {
  size_t at = separator.empty() ? std::string::npos : text.find(separator);
  if (at == std::string::npos) return defaultValue;
  int result = StrToIntDefault(text.substr(0, at), defaultValue);
  text.erase(0, at + separator.size());
  return result;
}
