#include "base/Strings.h"

#include <charconv>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <vector>

std::string UpperCase(const std::string& s) {
  std::string r = s;
  for (char& c : r)
    if (c >= 'a' && c <= 'z') c = char(c - 32);
  return r;
}

std::string LowerCase(const std::string& s) {
  std::string r = s;
  for (char& c : r)
    if (c >= 'A' && c <= 'Z') c = char(c + 32);
  return r;
}

bool SameText(const std::string& a, const std::string& b) {
  return a.size() == b.size() && UpperCase(a) == UpperCase(b);
}

std::string Trim(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && (unsigned char)s[b] <= ' ') ++b;
  while (e > b && (unsigned char)s[e - 1] <= ' ') --e;
  return s.substr(b, e - b);
}

std::string IntToStr(long long v) { return std::to_string(v); }

bool TryStrToInt(const std::string& s, long long& value) {
  std::string t = Trim(s);
  if (t.empty()) return false;
  size_t i = 0;
  bool neg = false;
  if (t[0] == '-' || t[0] == '+') {
    neg = t[0] == '-';
    i = 1;
  }
  if (i >= t.size()) return false;
  long long v = 0;
  for (; i < t.size(); ++i) {
    if (t[i] < '0' || t[i] > '9') return false;
    if (v > (INT64_MAX - 9) / 10) return false;
    v = v * 10 + (t[i] - '0');
  }
  value = neg ? -v : v;
  return true;
}

bool TryStrToFloat(const std::string& s, double& value) {
  const std::string t = Trim(s);
  const char* begin = t.data();
  const char* end = begin + t.size();
  if (begin != end && *begin == '+') ++begin;
  auto [at, error] = std::from_chars(begin, end, value);
  return begin != end && error == std::errc() && at == end && std::isfinite(value);
}

std::string IntToHex(unsigned long long v, int digits) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%0*llX", digits, v);
  return buf;
}

std::string Format(const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  va_list copy;
  va_copy(copy, ap);
  int n = std::vsnprintf(nullptr, 0, fmt, copy);
  va_end(copy);
  std::string out;
  if (n > 0) {
    std::vector<char> buf(size_t(n) + 1);
    std::vsnprintf(buf.data(), buf.size(), fmt, ap);
    out.assign(buf.data(), size_t(n));
  }
  va_end(ap);
  return out;
}

bool StartsText(const std::string& prefix, const std::string& s) {
  return s.size() >= prefix.size() && SameText(s.substr(0, prefix.size()), prefix);
}

std::string ExtractFileExt(const std::string& fileName) {
  size_t slash = fileName.find_last_of('/');
  size_t dot = fileName.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return std::string();
  return fileName.substr(dot);
}

std::string ExtractFileName(const std::string& fileName) {
  size_t slash = fileName.find_last_of('/');
  return slash == std::string::npos ? fileName : fileName.substr(slash + 1);
}

std::string ExtractFilePath(const std::string& fileName) {
  size_t slash = fileName.find_last_of('/');
  return slash == std::string::npos ? std::string() : fileName.substr(0, slash + 1);
}

std::string ChangeFileExt(const std::string& fileName, const std::string& ext) {
  std::string old = ExtractFileExt(fileName);
  return fileName.substr(0, fileName.size() - old.size()) + ext;
}

int64_t Round(double v) { return int64_t(std::nearbyint(v)); }

int32_t MulDiv(int32_t a, int32_t b, int32_t c) {
  if (c == 0) return -1;
  int64_t p = int64_t(a) * b;
  int64_t q = p / c, r = p % c;
  if (2 * (r < 0 ? -r : r) >= (c < 0 ? -int64_t(c) : c)) q += ((p < 0) != (c < 0)) ? -1 : 1;
  return int32_t(q);
}
