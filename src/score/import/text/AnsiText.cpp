#include "score/import/text/AnsiText.h"

#include "platform/text/Charsets.h"

std::string AnsiToUtf8(std::string_view bytes) {
  if (IsValidUtf8(bytes)) return std::string(bytes);
  std::string out;
  out.reserve(bytes.size() * 2);
  for (char ch : bytes) AppendUtf8(out, text::DecodeByte((unsigned char)ch, text::csAnsi));
  return out;
}

std::string Utf8Left(std::string_view text, size_t count) {
  size_t i = 0;
  for (size_t seen = 0; i < text.size(); ++i) {
    if (!IsUtf8Continuation((unsigned char)text[i])) {
      if (seen == count) break;
      ++seen;
    }
  }
  return std::string(text.substr(0, i));
}
