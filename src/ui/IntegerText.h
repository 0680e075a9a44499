#pragma once
// The two integer readers of the window bounds ("Left,Top,Width,Height") and
// of collection indexes in property paths.

#include <string>

// The decimal integer in Text (32-bit, optional sign, surrounding blanks
// allowed), or Default when Text holds none.
int StrToIntDefault(const std::string& text, int defaultValue);

// When Text contains Separator: the integer before its first occurrence
// (Default when that is no integer), and Text is cut to what follows the
// separator. Otherwise Default, and Text stays as it is.
int CutNextInt(const std::string& separator, std::string& text, int defaultValue);
