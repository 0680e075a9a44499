#pragma once
// Small string and number routines with the engine's semantics: ASCII case
// folding, half-to-even rounding, MulDiv.

#include <cstdint>
#include <string>

std::string UpperCase(const std::string& s);
std::string LowerCase(const std::string& s);
bool SameText(const std::string& a, const std::string& b);
std::string Trim(const std::string& s);
std::string IntToStr(long long v);
// Decimal integer with optional sign and surrounding blanks; false on anything else.
bool TryStrToInt(const std::string& s, long long& value);
// Finite decimal with optional sign and surrounding blanks, the full stop as
// the separator whatever the locale (as files write numbers); false on
// anything else.
bool TryStrToFloat(const std::string& s, double& value);
std::string IntToHex(unsigned long long v, int digits);
// printf-style formatting into a std::string.
std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
bool StartsText(const std::string& prefix, const std::string& s);
// The extension of FileName after its last dot (with the dot), "" when none.
std::string ExtractFileExt(const std::string& fileName);
std::string ExtractFileName(const std::string& fileName);
std::string ExtractFilePath(const std::string& fileName);  // with trailing '/'
std::string ChangeFileExt(const std::string& fileName, const std::string& ext);

// Rounds to the nearest integer, exact halves to the even neighbour.
int64_t Round(double v);
// (a * b) / c rounded to nearest with halves away from zero; -1 when c is 0.
int32_t MulDiv(int32_t a, int32_t b, int32_t c);
