#pragma once
// The wording of a page mark, made when its page is composed: the page
// number in one of five forms, or the date and time in one of ten. The date
// separator is process-wide, as the formats that set it leave it set for
// the formats that keep it. The clock can be replaced for tests.

#include <cstdint>
#include <functional>
#include <string>

struct TKVDateTime {
  int32_t Year = 0, Month = 1, Day = 1, Hour = 0, Minute = 0, Second = 0;
};

// The local date and time, or what the installed clock says.
TKVDateTime PageMarkNow();
// Installs Clock for PageMarkNow; nil restores the local time.
void SetPageMarkClock(std::function<TKVDateTime()> Clock);

char DateSeparator();
void SetDateSeparator(char Separator);

// Page P (0 = the first page) by Format: 1 "-1-", 2 "a" (letters after z
// go on as aa, ab ...), 3 "A", 4 Roman "I", anything else decimal "1".
std::string PageNumberText(uint32_t Format, int64_t P);
// The date and time by Format 0 .. 9, setting the date separator first
// where the format sets it; false (Text untouched) for any other format.
bool DateTimeText(uint32_t Format, const TKVDateTime& When, std::string& Text);
