#pragma once
// The log of the recording application and the small text routines its
// windows share. The log file is made (or emptied) at start and stays open;
// each line is "date time - text" with CR LF, written through at once so
// that a crash keeps what came before it.
//
// Dates are whole days numbered as the platform numbers them (day 0 is
// 30 December 1899) and written in one fixed ten-character form,
// "dd.mm.yyyy", which the reopen list reads back by position.

#include <cstdint>
#include <string>

int Today();
std::string DateToStr(int day);
// False for anything but a valid "dd.mm.yyyy" date.
bool TryStrToDate(const std::string& text, int& day);
// A time in milliseconds as the window shows every time: "mm:ss" under an
// hour, "h:mm:ss" from one hour on (the hours as many digits as they take);
// a time below 0 shows as 0.
std::string MillisecToStr(int64_t ms);

// False (and no log) when the file cannot be made. A log already there is
// kept as FileName + ".old" (replacing an older one).
bool OpenLog(const std::string& fileName);
void CloseLog();
// Nothing while no log is open.
void WriteLog(const std::string& text);
