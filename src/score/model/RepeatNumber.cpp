#include "score/model/RepeatNumber.h"

#include <cstdint>
#include <string>

#include "base/Strings.h"
#include "score/model/Mark.h"

namespace {

// The walk over a number text: numbers separated by any non-digit, a '-'
// opening a range whose end is the next number.
class TPassList {
public:
  explicit TPassList(int32_t pass) : FPass(pass) {}

  bool Matches(const std::string& text) {
    bool anyDigit = false;
    for (char c : text) {
      if (c >= '0' && c <= '9') {
        FDigits += c;
        anyDigit = true;
      } else if (c == '-') {
        // A hyphen straight after digits ends that number first, so that
        // "1-3" reads as the range 1 to 3.
        if (!FDigits.empty() && Check()) return true;
        FDigits.clear();
        FRange = true;
      } else if (!FDigits.empty()) {
        if (Check()) return true;
        FDigits.clear();
      }
    }
    // A text that ends after its last number ("1.") has nothing left to
    // check; only a text without any number is read as 0.
    return (!FDigits.empty() || !anyDigit) && Check();
  }

private:
  bool Check() {
    // Empty, or beyond 32 bits: not a number, read as 0.
    long long parsed = 0;
    int32_t value = 0;
    if (!FDigits.empty() && TryStrToInt(FDigits, parsed) && parsed <= INT32_MAX) value = int32_t(parsed);
    if (!FRange) {
      FStart = value;
      return FPass == value;
    }
    if (FPass >= FStart && value >= FPass) return true;
    FRange = false;
    FStart = value;
    return false;
  }

  int32_t FPass;
  std::string FDigits;
  int32_t FStart = 0;
  bool FRange = false;
};

}  // namespace

int32_t CompareRepeatNumber(const TKVMark* Item, int32_t Pass) {
  if (!Item) return -1;
  if (Item->Text2().empty()) {
    int32_t number = Item->Variant();
    return number == Pass ? 0 : number < Pass ? -1 : 1;
  }
  return TPassList(Pass).Matches(Item->Text2()) ? 0 : -1;
}
