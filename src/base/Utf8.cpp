#include "base/Utf8.h"

#include <algorithm>

namespace {

// Length and value of the well-formed sequence at I, 0 when there is none.
size_t DecodeAt(std::string_view s, size_t i, char32_t& cp) {
  const unsigned char c = static_cast<unsigned char>(s[i]);
  if (c < 0x80) {
    cp = c;
    return 1;
  }
  size_t extra;
  if (c >= 0xC2 && c <= 0xDF) {
    extra = 1;
    cp = c & 0x1F;
  } else if (c >= 0xE0 && c <= 0xEF) {
    extra = 2;
    cp = c & 0x0F;
  } else if (c >= 0xF0 && c <= 0xF4) {
    extra = 3;
    cp = c & 0x07;
  } else {
    return 0;
  }
  if (s.size() - i <= extra) return 0;
  for (size_t k = 1; k <= extra; ++k) {
    const unsigned char d = static_cast<unsigned char>(s[i + k]);
    if (!IsUtf8Continuation(d)) return 0;
    cp = (cp << 6) | (d & 0x3F);
  }
  // Overlong forms, surrogates and values beyond Unicode are not UTF-8.
  if ((extra == 2 && cp < 0x800) || (extra == 3 && cp < 0x10000) || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
    return 0;
  return extra + 1;
}

}  // namespace

bool IsValidUtf8(std::string_view bytes) {
  char32_t cp;
  for (size_t i = 0; i < bytes.size();) {
    const size_t n = DecodeAt(bytes, i, cp);
    if (n == 0) return false;
    i += n;
  }
  return true;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += char(cp);
  } else if (cp < 0x800) {
    out += char(0xC0 | (cp >> 6));
    out += char(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += char(0xE0 | (cp >> 12));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  } else {
    out += char(0xF0 | (cp >> 18));
    out += char(0x80 | ((cp >> 12) & 0x3F));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  }
}

std::u32string DecodeUtf8(std::string_view text) {
  std::u32string out;
  char32_t cp;
  for (size_t i = 0; i < text.size();) {
    const size_t n = DecodeAt(text, i, cp);
    if (n) out.push_back(cp);
    i += n ? n : 1;
  }
  return out;
}

std::u16string Utf8ToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (char32_t cp : DecodeUtf8(text)) {
    if (cp < 0x10000) {
      out += char16_t(cp);
    } else {
      out += char16_t(0xD800 + ((cp - 0x10000) >> 10));
      out += char16_t(0xDC00 + ((cp - 0x10000) & 0x3FF));
    }
  }
  return out;
}

std::u32string DecodeUtf16(std::u16string_view text) {
  std::u32string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char16_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      out.push_back(0x10000 + ((char32_t(c) - 0xD800) << 10) + (char32_t(text[i + 1]) - 0xDC00));
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      out.push_back(0xFFFD);
    } else {
      out.push_back(c);
    }
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char32_t cp : DecodeUtf16(text)) AppendUtf8(out, cp);
  return out;
}

size_t NextUtf8(std::string_view text, size_t offset) {
  if (offset >= text.size()) return text.size();
  ++offset;
  while (offset < text.size() && IsUtf8Continuation(static_cast<unsigned char>(text[offset]))) ++offset;
  return offset;
}

size_t PriorUtf8(std::string_view text, size_t offset) {
  if (offset == 0) return 0;
  offset = std::min(offset, text.size()) - 1;
  while (offset > 0 && IsUtf8Continuation(static_cast<unsigned char>(text[offset]))) --offset;
  return offset;
}
