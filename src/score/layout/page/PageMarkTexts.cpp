#include "score/layout/page/PageMarkTexts.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <ctime>
#include <mutex>

#include "score/model/ScoreRoutines.h"

namespace {

std::atomic<char> Separator{'/'};
std::mutex ClockLock;
std::function<TKVDateTime()> Clock;

// Two digits, or four for a year: fields out of range are held to the
// calendar's, so that a clock at its limits still gives a text of the
// format's length.
std::string Digits(int32_t Value, int32_t Low, int32_t High, int Width) {
  std::string text = std::to_string(std::clamp(Value, Low, High));
  return std::string(size_t(std::max<int>(Width - int(text.size()), 0)), '0') + text;
}

}  // namespace

TKVDateTime PageMarkNow() {
  {
    std::lock_guard<std::mutex> lock(ClockLock);
    if (Clock) return Clock();
  }
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec};
}

void SetPageMarkClock(std::function<TKVDateTime()> NewClock) {
  std::lock_guard<std::mutex> lock(ClockLock);
  Clock = std::move(NewClock);
}

char DateSeparator() { return Separator.load(); }
void SetDateSeparator(char Value) { Separator.store(Value); }

std::string PageNumberText(uint32_t Format, int64_t P) {
  P = std::clamp<int64_t>(P, 0, INT32_MAX - 1);
  switch (Format) {
    case 1: return "-" + std::to_string(P + 1) + "-";
    case 2: {
      std::string letters = IntToLetters(int32_t(P));
      for (char& c : letters) c = char(std::tolower(static_cast<unsigned char>(c)));
      return letters;
    }
    case 3: return IntToLetters(int32_t(P));
    case 4: return IntToRoman(int32_t(P + 1));
    default: return std::to_string(P + 1);
  }
}

bool DateTimeText(uint32_t Format, const TKVDateTime& When, std::string& Text) {
  if (Format > 9) return false;
  // Per format: month first, the time's fields, the separator it sets (0
  // keeps the one in force).
  struct TFormat {
    bool MonthFirst;
    int TimeFields;  // 0 none, 2 hh:nn, 3 hh:nn:ss
    bool Date;
    char Sets;
  };
  static const TFormat formats[10] = {{false, 0, true, '.'}, {false, 0, true, '/'}, {false, 2, true, '.'},
                                      {false, 3, true, 0},   {true, 0, true, '/'},  {true, 0, true, '.'},
                                      {true, 2, true, '/'},  {true, 3, true, '/'},  {false, 2, false, 0},
                                      {false, 3, false, 0}};
  const TFormat& f = formats[Format];
  if (f.Sets) SetDateSeparator(f.Sets);
  const std::string separator(1, DateSeparator());
  std::string text;
  if (f.Date) {
    const std::string day = Digits(When.Day, 1, 31, 2), month = Digits(When.Month, 1, 12, 2);
    text = (f.MonthFirst ? month : day) + separator + (f.MonthFirst ? day : month) + separator +
           Digits(When.Year, 0, 9999, 4);
  }
  if (f.TimeFields) {
    if (!text.empty()) text += " ";
    text += Digits(When.Hour, 0, 23, 2) + ":" + Digits(When.Minute, 0, 59, 2);
    if (f.TimeFields == 3) text += ":" + Digits(When.Second, 0, 59, 2);
  }
  Text = text;
  return true;
}
