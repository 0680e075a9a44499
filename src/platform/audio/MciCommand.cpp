// The interpreter of the MCI command strings (Mci.h).

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "base/Strings.h"
#include "platform/audio/Mci.h"
#include "platform/audio/WaveRecording.h"

namespace audio {

namespace {

using TWords = std::vector<std::string>;

// Blank-separated words; a word that starts with a double quote runs to the
// next one and loses both quotes.
MCIERROR Split(const std::string& command, TWords& words) {
  size_t i = 0;
  auto blank = [&](size_t at) { return command[at] == ' ' || command[at] == '\t'; };
  while (i < command.size()) {
    if (blank(i)) {
      ++i;
    } else if (command[i] == '"') {
      const size_t close = command.find('"', i + 1);
      if (close == std::string::npos) return MCIERR_NO_CLOSING_QUOTE;
      words.push_back(command.substr(i + 1, close - i - 1));
      i = close + 1;
    } else {
      const size_t start = i;
      while (i < command.size() && !blank(i)) ++i;
      words.push_back(command.substr(start, i - start));
    }
  }
  return 0;
}

// The elements by alias in capitals; the main thread's alone.
std::map<std::string, std::unique_ptr<TWaveRecording>>& Elements() {
  static std::map<std::string, std::unique_ptr<TWaveRecording>> elements;
  return elements;
}

std::string& TakeJournal() {
  static std::string journal;
  return journal;
}

// Keyword-value pairs after a command's fixed words: the value of each
// keyword in Known, each at most once.
MCIERROR TakeValues(const TWords& words, size_t from, const std::vector<std::string>& known,
                    std::map<std::string, std::string>& values) {
  for (size_t i = from; i < words.size(); i += 2) {
    std::string key = UpperCase(words[i]);
    // The one keyword of two words.
    if (key == "TIME") {
      if (i + 1 >= words.size() || UpperCase(words[i + 1]) != "FORMAT") return MCIERR_UNRECOGNIZED_KEYWORD;
      key = "TIME FORMAT";
      ++i;
    }
    if (std::find(known.begin(), known.end(), key) == known.end()) return MCIERR_UNRECOGNIZED_KEYWORD;
    if (values.count(key)) return MCIERR_DUPLICATE_FLAGS;
    if (i + 1 >= words.size()) return MCIERR_MISSING_PARAMETER;
    values[key] = words[i + 1];
  }
  return 0;
}

MCIERROR Open(const TWords& words) {
  if (!SameText(words[1], "NEW")) return MCIERR_UNSUPPORTED_FUNCTION;
  std::map<std::string, std::string> values;
  if (MCIERROR e = TakeValues(words, 2, {"TYPE", "ALIAS"}, values)) return e;
  if (!values.count("TYPE")) return MCIERR_DEVICE_TYPE_REQUIRED;
  if (!SameText(values["TYPE"], "WAVEAUDIO")) return MCIERR_INVALID_DEVICE_NAME;
  if (!values.count("ALIAS")) return MCIERR_NEW_REQUIRES_ALIAS;
  const std::string alias = UpperCase(values["ALIAS"]);
  if (Elements().count(alias)) return MCIERR_DUPLICATE_ALIAS;
  auto device = CaptureDevice(InputDevice());
  if (!device) return MCIERR_WAVE_NOINPUTCHOSEN;
  Elements()[alias] = std::make_unique<TWaveRecording>(std::move(device), TakeJournal());
  return 0;
}

MCIERROR Set(TWaveRecording& element, const TWords& words) {
  static const std::vector<std::string> known = {"TIME FORMAT", "BITSPERSAMPLE", "CHANNELS", "ALIGNMENT",
                                                 "SAMPLESPERSEC", "BYTESPERSEC"};
  std::map<std::string, std::string> values;
  if (MCIERROR e = TakeValues(words, 2, known, values)) return e;
  if (values.empty()) return MCIERR_MISSING_PARAMETER;
  if (values.count("TIME FORMAT") && !SameText(values["TIME FORMAT"], "MS") &&
      !SameText(values["TIME FORMAT"], "MILLISECONDS"))
    return MCIERR_BAD_TIME_FORMAT;
  std::map<std::string, uint32_t> numbers;
  for (const auto& [key, text] : values) {
    long long n = 0;
    if (key == "TIME FORMAT") continue;
    if (!TryStrToInt(text, n) || n < 0 || n > 0xFFFFFFFFll) return MCIERR_BAD_INTEGER;
    numbers[key] = uint32_t(n);
  }
  if (numbers.empty()) return 0;
  // Items not given keep their value; alignment and bytes per second not
  // given follow the others.
  codec::TWaveFormat f = element.Format();
  auto item = [&](const char* key, uint32_t current) { return numbers.count(key) ? numbers[key] : current; };
  const uint32_t channels = item("CHANNELS", f.nChannels()), bits = item("BITSPERSAMPLE", f.wBitsPerSample());
  const uint32_t rate = item("SAMPLESPERSEC", f.nSamplesPerSec());
  const uint32_t align = item("ALIGNMENT", channels * bits / 8);
  const uint32_t bytes = item("BYTESPERSEC", align * rate);
  if (channels > 0xFFFF || bits > 0xFFFF || align > 0xFFFF) return MCIERR_OUTOFRANGE;
  f.SetChannels(uint16_t(channels));
  f.SetBitsPerSample(uint16_t(bits));
  f.SetSamplesPerSec(rate);
  f.SetBlockAlign(uint16_t(align));
  f.SetAvgBytesPerSec(bytes);
  return element.SetFormat(f);
}

MCIERROR Status(const TWaveRecording& element, const TWords& words, std::string* answer) {
  if (words.size() < 3) return MCIERR_MISSING_PARAMETER;
  if (words.size() > 3) return MCIERR_UNRECOGNIZED_KEYWORD;
  std::string text;
  if (SameText(words[2], "MODE")) text = element.Recording() ? "recording" : "stopped";
  else if (SameText(words[2], "LENGTH")) text = IntToStr(static_cast<long long>(element.Frames() * 1000 / element.Format().nSamplesPerSec()));
  else return MCIERR_UNRECOGNIZED_KEYWORD;
  if (answer) *answer = text;
  return 0;
}

}  // namespace

void SetTakeJournal(const std::string& path) { TakeJournal() = path; }

MCIERROR MciSendString(const std::string& command, std::string* returnString) {
  if (returnString) returnString->clear();
  TWords words;
  if (MCIERROR e = Split(command, words)) return e;
  if (words.empty()) return MCIERR_MISSING_COMMAND_STRING;
  const std::string verb = UpperCase(words[0]);
  static const std::vector<std::string> verbs = {"OPEN", "SET", "RECORD", "STOP", "SAVE", "CLOSE", "STATUS"};
  if (std::find(verbs.begin(), verbs.end(), verb) == verbs.end()) return MCIERR_UNRECOGNIZED_COMMAND;
  if (words.size() < 2) return MCIERR_MISSING_DEVICE_NAME;
  if (verb == "OPEN") return Open(words);

  auto found = Elements().find(UpperCase(words[1]));
  if (found == Elements().end()) return MCIERR_INVALID_DEVICE_NAME;
  TWaveRecording& element = *found->second;
  if (verb == "SET") return Set(element, words);
  if (verb == "STATUS") return Status(element, words, returnString);
  if (verb == "SAVE") {
    if (words.size() < 3) return MCIERR_FILENAME_REQUIRED;
    return words.size() > 3 ? MCIERR_UNRECOGNIZED_KEYWORD : element.Save(words[2]);
  }
  if (words.size() > 2) return MCIERR_UNRECOGNIZED_KEYWORD;
  if (verb == "RECORD") return element.Record();
  if (verb == "STOP") return element.Stop();
  Elements().erase(found);  // CLOSE
  return 0;
}

}  // namespace audio
