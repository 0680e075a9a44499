#include "score/import/AnsiText.h"

namespace {

// Windows-1252 at 0x80..0x9F; the five unassigned bytes keep their own value,
// as the system's conversion does.
constexpr char16_t Cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

}  // namespace

std::string AnsiToUtf8(std::string_view bytes) {
  if (IsValidUtf8(bytes)) return std::string(bytes);
  std::string out;
  out.reserve(bytes.size() * 2);
  for (char ch : bytes) {
    unsigned char c = (unsigned char)ch;
    AppendUtf8(out, c >= 0x80 && c < 0xA0 ? char32_t(Cp1252High[c - 0x80]) : char32_t(c));
  }
  return out;
}

std::string Utf8Left(std::string_view text, size_t count) {
  size_t i = 0;
  for (size_t seen = 0; i < text.size(); ++i) {
    if (!IsContinuation((unsigned char)text[i])) {
      if (seen == count) break;
      ++seen;
    }
  }
  return std::string(text.substr(0, i));
}
