#include "app/ProgramLog.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "base/Strings.h"

namespace {

FILE* gLog = nullptr;
constexpr int UnixEpochDay = 25569;  // 1 January 1970

// Days from 1 January 1970 of a civil date, and back (proleptic Gregorian).
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = unsigned(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + int64_t(doe) - 719468;
}

void CivilFromDays(int64_t z, int64_t& y, unsigned& m, unsigned& d) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = unsigned(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  y = int64_t(yoe) + era * 400 + (m <= 2);
}

std::tm Now() {
  std::time_t t = std::time(nullptr);
  std::tm local{};
  localtime_r(&t, &local);
  return local;
}

int DayOf(const std::tm& time) {
  return int(DaysFromCivil(time.tm_year + 1900, unsigned(time.tm_mon + 1), unsigned(time.tm_mday)) + UnixEpochDay);
}

}  // namespace

int Today() { return DayOf(Now()); }

std::string DateToStr(int day) {
  int64_t y;
  unsigned m, d;
  CivilFromDays(int64_t(day) - UnixEpochDay, y, m, d);
  return Format("%02u.%02u.%04lld", d, m, static_cast<long long>(y));
}

bool TryStrToDate(const std::string& text, int& day) {
  unsigned d = 0, m = 0, y = 0;
  int used = 0;
  if (text.size() != 10 || std::sscanf(text.c_str(), "%2u.%2u.%4u%n", &d, &m, &y, &used) != 3 || used != 10)
    return false;
  if (m < 1 || m > 12 || d < 1 || y < 1) return false;
  const int64_t first = DaysFromCivil(y, m, 1);
  const int64_t next = m == 12 ? DaysFromCivil(int64_t(y) + 1, 1, 1) : DaysFromCivil(y, m + 1, 1);
  if (d > next - first) return false;
  day = int(first + d - 1 + UnixEpochDay);
  return true;
}

std::string MillisecToStr(int64_t ms) {
  const int64_t seconds = std::max<int64_t>(ms, 0) / 1000;
  const int minutes = int(seconds / 60 % 60), rest = int(seconds % 60);
  if (seconds < 3600) return Format("%02d:%02d", minutes, rest);
  return Format("%lld:%02d:%02d", static_cast<long long>(seconds / 3600), minutes, rest);
}

bool OpenLog(const std::string& fileName) {
  CloseLog();
  // The log of the run before (which may have ended in a crash) stays
  // readable beside the new one.
  std::rename(fileName.c_str(), (fileName + ".old").c_str());
  gLog = std::fopen(fileName.c_str(), "wb");
  return gLog != nullptr;
}

void CloseLog() {
  if (gLog) std::fclose(gLog);
  gLog = nullptr;
}

void WriteLog(const std::string& text) {
  if (!gLog) return;
  // One reading of the clock, so that a line written at midnight has the
  // date of its time.
  const std::tm now = Now();
  std::fprintf(gLog, "%s %02d:%02d:%02d - %s\r\n", DateToStr(DayOf(now)).c_str(), now.tm_hour, now.tm_min, now.tm_sec,
               text.c_str());
  std::fflush(gLog);
}
