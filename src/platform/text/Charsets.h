#pragma once
// 8-bit text as the platform's fonts read it: a byte string in a font's
// character set becomes Unicode code points. Symbol fonts are handled by the
// font engine (their bytes address glyphs directly).

#include <string>
#include <string_view>

#include "base/Utf8.h"

namespace text {

// GDI character-set numbers the program meets.
enum TCharset : int { csAnsi = 0, csDefault = 1, csSymbol = 2, csRussian = 204, csEastEurope = 238 };

// Code point of one byte: Windows-1251 for csRussian, Windows-1250 for
// csEastEurope, Windows-1252 otherwise (bytes 0x80-0x9F included).
char32_t DecodeByte(unsigned char byte, int charset);

// UTF-16 to code points; a lone surrogate becomes U+FFFD.
using ::DecodeUtf16;

}  // namespace text
