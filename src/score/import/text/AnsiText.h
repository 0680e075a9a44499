#pragma once
// Texts stored in files as plain bytes (MIDI text events) become UTF-8: bytes
// that already are valid UTF-8 stay as they are, anything else is read as
// Windows-1252, the code page such files were written in.

#include <string>
#include <string_view>

#include "base/Utf8.h"

std::string AnsiToUtf8(std::string_view bytes);
// The first Count code points of valid UTF-8 text.
std::string Utf8Left(std::string_view text, size_t count);
