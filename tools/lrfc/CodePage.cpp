#include "lrfc/CodePage.h"

#include <map>

#include "base/Strings.h"
#include "platform/text/Charsets.h"

namespace lrfc {

namespace {

int CharsetOf(int codePage) { return codePage == 1251 ? text::csRussian : text::csAnsi; }

bool IsControl(char32_t c) { return c < 0x20 || (c >= 0x7F && c < 0xA0); }

// Code point -> byte for the upper half of the code page, the inverse of the
// table the fonts decode with.
std::map<char32_t, char> BuildUpperHalf(int codePage) {
  std::map<char32_t, char> table;
  for (int b = 0x80; b <= 0xFF; ++b) {
    char32_t c = text::DecodeByte((unsigned char)b, CharsetOf(codePage));
    if (!IsControl(c)) table[c] = char(b);
  }
  return table;
}

const std::map<char32_t, char>& UpperHalf(int codePage) {
  static const std::map<char32_t, char> western = BuildUpperHalf(1252), cyrillic = BuildUpperHalf(1251);
  return codePage == 1251 ? cyrillic : western;
}

// One code point from UTF-8 at I; false on a malformed sequence.
bool NextCodePoint(const std::string& s, size_t& i, char32_t& c) {
  unsigned char lead = (unsigned char)s[i++];
  int more;
  char32_t min;
  if (lead < 0x80) {
    c = lead;
    return true;
  } else if ((lead & 0xE0) == 0xC0) {
    c = lead & 0x1F, more = 1, min = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    c = lead & 0x0F, more = 2, min = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    c = lead & 0x07, more = 3, min = 0x10000;
  } else {
    return false;
  }
  for (; more > 0; --more) {
    if (i >= s.size() || ((unsigned char)s[i] & 0xC0) != 0x80) return false;
    c = (c << 6) | ((unsigned char)s[i++] & 0x3F);
  }
  return c >= min && c <= 0x10FFFF && !(c >= 0xD800 && c <= 0xDFFF);
}

}  // namespace

bool IsSupportedCodePage(int codePage) { return codePage == 1252 || codePage == 1251; }

bool EncodeText(const std::string& text, int codePage, std::string& bytes, std::string& error) {
  bytes.clear();
  for (size_t i = 0; i < text.size();) {
    size_t start = i;
    char32_t c;
    if (!NextCodePoint(text, i, c)) {
      error = "malformed UTF-8";
      return false;
    }
    std::string shown = "U+" + IntToHex(c, 4) + " '" + text.substr(start, i - start) + "'";
    if (IsControl(c)) {
      error = "control character U+" + IntToHex(c, 4);
      return false;
    }
    if (c < 0x80) {
      bytes += char(c);
      continue;
    }
    const auto& table = UpperHalf(codePage);
    auto it = table.find(c);
    if (it == table.end()) {
      error = "character " + shown + " is not in code page " + IntToStr(codePage);
      return false;
    }
    bytes += it->second;
  }
  return true;
}

}  // namespace lrfc
