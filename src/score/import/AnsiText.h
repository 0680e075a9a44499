#pragma once
// Texts stored in files as plain bytes (MIDI text events) become UTF-8: bytes
// that already are valid UTF-8 stay as they are, anything else is read as
// Windows-1252, the code page such files were written in.

#include <string>
#include <string_view>

bool IsValidUtf8(std::string_view bytes);
std::string AnsiToUtf8(std::string_view bytes);
// Appends one code point (at most U+10FFFF) in UTF-8.
void AppendUtf8(std::string& out, char32_t codePoint);
// Valid UTF-8 text as UTF-16, the form of the model's wide texts.
std::u16string Utf8ToUtf16(std::string_view text);
// The first Count code points of valid UTF-8 text.
std::string Utf8Left(std::string_view text, size_t count);
