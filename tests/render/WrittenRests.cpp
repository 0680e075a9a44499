#include "render/WrittenRests.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr uint16_t ShortestRest = 4;  // the 128th rest
constexpr uint16_t WholeRest = 512;

// The value of attribute Name in a tag's attribute text, "" when absent.
std::string Attribute(const std::string& Attributes, const std::string& Name) {
  for (size_t at = Attributes.find(Name); at != std::string::npos; at = Attributes.find(Name, at + 1)) {
    const size_t after = at + Name.size();
    if ((at > 0 && !isspace(static_cast<unsigned char>(Attributes[at - 1]))) || after >= Attributes.size() ||
        Attributes[after] != '=' || after + 1 >= Attributes.size())
      continue;
    const char quote = Attributes[after + 1];
    const size_t end = Attributes.find(quote, after + 2);
    if (end != std::string::npos) return Attributes.substr(after + 2, end - after - 2);
  }
  return "";
}

// "3+2" counts 5 beats.
int BeatsOf(const std::string& Text) {
  int sum = 0;
  for (size_t at = 0; at < Text.size();) {
    sum += std::atoi(Text.c_str() + at);
    const size_t plus = Text.find('+', at);
    if (plus == std::string::npos) break;
    at = plus + 1;
  }
  return sum;
}

// The longest type whose value Ticks holds.
uint16_t LongestTypeIn(int64_t Ticks) {
  for (uint16_t value = 1024; value > ShortestRest; value /= 2)
    if (Ticks >= value) return value;
  return ShortestRest;
}

struct TNote {
  bool Rest = false, WholeMeasure = false, Skipped = false;
  std::string Type;
  int Dots = 0;
  int64_t Duration = 0;
};

}  // namespace

uint16_t NoteTypeTicks(const std::string& Type) {
  static const std::pair<const char*, uint16_t> types[] = {
      {"breve", 1024}, {"whole", 512}, {"half", 256}, {"quarter", 128}, {"eighth", 64}, {"16th", 32},
      {"32nd", 16},    {"64th", 8},    {"128th", 4},  {"256th", 2},     {"512th", 1},   {"1024th", 1}};
  for (auto [name, ticks] : types)
    if (Type == name) return ticks;
  return 0;
}

TWrittenRests ReadWrittenRests(const std::string& Xml) {
  TWrittenRests rests;
  int part = -1, measure = -1, divisions = 1, beats = 0, beatType = 0;
  bool inNote = false;
  TNote note;
  std::vector<std::string> listed;
  std::string text;
  for (size_t at = Xml.find('<'); at != std::string::npos; at = Xml.find('<', at)) {
    size_t end;
    if (Xml.compare(at, 4, "<!--") == 0) {
      end = Xml.find("-->", at);
      at = end == std::string::npos ? end : end + 3;
      continue;
    }
    end = Xml.find('>', at);
    if (end == std::string::npos) break;
    std::string tag = Xml.substr(at + 1, end - at - 1);
    const size_t textStart = end + 1;
    at = end + 1;
    if (tag.empty() || tag[0] == '?' || tag[0] == '!') continue;
    const bool closing = tag[0] == '/', selfClosing = tag.back() == '/';
    if (closing) tag.erase(0, 1);
    if (selfClosing) tag.pop_back();
    const size_t nameEnd = std::min(tag.find_first_of(" \t\r\n"), tag.size());
    const std::string name = tag.substr(0, nameEnd), attributes = tag.substr(nameEnd);
    if (!closing) {
      // The text of a leaf element runs to the next tag.
      const size_t next = Xml.find('<', textStart);
      text = Xml.substr(textStart, (next == std::string::npos ? Xml.size() : next) - textStart);
      if (name == "score-part") {
        listed.push_back(Attribute(attributes, "id"));
      } else if (name == "part") {
        // Parts count in the order of the part list; one it leaves out
        // writes nothing here.
        const auto at = std::find(listed.begin(), listed.end(), Attribute(attributes, "id"));
        part = at == listed.end() ? -1 : int(at - listed.begin());
        measure = -1, divisions = 1, beats = beatType = 0;
      } else if (name == "measure") {
        if (part >= 0) rests[{part, ++measure}];
      } else if (name == "note") {
        inNote = !selfClosing;
        note = TNote{};
      } else if (inNote && name == "rest") {
        note.Rest = true;
        note.WholeMeasure = Attribute(attributes, "measure") == "yes";
      } else if (inNote && (name == "grace" || name == "cue")) {
        note.Skipped = true;
      } else if (inNote && name == "dot") {
        ++note.Dots;
      } else if (name == "senza-misura") {
        beats = beatType = 0;
      }
      continue;
    }
    if (name == "divisions") {
      divisions = std::max(std::atoi(text.c_str()), 1);
    } else if (name == "beats") {
      beats = BeatsOf(text);
    } else if (name == "beat-type") {
      beatType = std::atoi(text.c_str());
    } else if (inNote && name == "type") {
      note.Type = text;
    } else if (inNote && name == "duration") {
      note.Duration = std::atoll(text.c_str());
    } else if (name == "note" && inNote) {
      inNote = false;
      if (!note.Rest || note.Skipped || part < 0 || measure < 0) continue;
      const int64_t ticks = note.Duration * 128 / divisions;
      const int64_t measureTicks = beatType > 0 ? int64_t(512) * beats / beatType : 0;
      const uint16_t typed = NoteTypeTicks(note.Type);
      TWrittenRest rest{typed, note.Dots};
      if (note.WholeMeasure || (typed == 0 && measureTicks > 0 && ticks >= measureTicks))
        rest = {WholeRest, 0};
      else if (typed == 0)
        rest.Ticks = LongestTypeIn(ticks);
      rest.Ticks = std::max(rest.Ticks, ShortestRest);
      rests[{part, measure}].push_back(rest);
    }
  }
  return rests;
}
