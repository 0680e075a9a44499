#pragma once
// UTF-8 source text to the single-byte Windows code pages of the language
// files: 1252 (Western) and 1251 (Cyrillic).

#include <string>

namespace lrfc {

// The code pages a language source may name.
bool IsSupportedCodePage(int codePage);

// Encodes UTF-8 Text into the code page. On failure returns false and
// describes the problem in Error: malformed UTF-8, a control character, or a
// character the code page lacks (named by its code point).
bool EncodeText(const std::string& text, int codePage, std::string& bytes, std::string& error);

}  // namespace lrfc
