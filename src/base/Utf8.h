#pragma once
// UTF-8, the form of every text inside the program, and its conversions to
// the code points and UTF-16 that fonts and the model's wide texts take.

#include <string>
#include <string_view>

bool IsValidUtf8(std::string_view bytes);
// A byte that continues a code point (10xxxxxx) rather than starting one.
inline bool IsUtf8Continuation(unsigned char c) { return (c & 0xC0) == 0x80; }
// Appends one code point (at most U+10FFFF) in UTF-8.
void AppendUtf8(std::string& out, char32_t codePoint);
// Code points of UTF-8 text; malformed bytes are skipped.
std::u32string DecodeUtf8(std::string_view text);
// UTF-8 text as UTF-16 (malformed bytes skipped).
std::u16string Utf8ToUtf16(std::string_view text);
// UTF-16 to code points, and to UTF-8; a lone surrogate becomes U+FFFD.
std::u32string DecodeUtf16(std::u16string_view text);
std::string Utf16ToUtf8(std::u16string_view text);
// Byte offset of the code point after (or before) the one at Offset; stays
// within 0 .. size.
size_t NextUtf8(std::string_view text, size_t offset);
size_t PriorUtf8(std::string_view text, size_t offset);
