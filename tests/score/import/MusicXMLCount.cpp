#include "score/import/MusicXMLCount.h"

#include <expat.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cctype>
#include <memory>
#include <stdexcept>
#include <strings.h>

namespace {

struct TNode {
  std::string Name, Text;
  std::vector<std::pair<std::string, std::string>> Attributes;
  std::vector<std::unique_ptr<TNode>> Children;

  const TNode* Child(const char* name) const {
    for (const auto& c : Children)
      if (c->Name == name) return c.get();
    return nullptr;
  }
  std::string Attribute(const char* name) const {
    for (const auto& [n, v] : Attributes)
      if (n == name) return v;
    return "";
  }
};

std::unique_ptr<TNode> ParseTree(const std::string& document) {
  struct TState {
    std::unique_ptr<TNode> Root;
    std::vector<TNode*> Open;
  } state;
  XML_Parser parser = XML_ParserCreate(nullptr);
  XML_SetUserData(parser, &state);
  XML_SetElementHandler(
      parser,
      [](void* data, const XML_Char* name, const XML_Char** atts) {
        auto& s = *static_cast<TState*>(data);
        auto node = std::make_unique<TNode>();
        node->Name = name;
        for (int i = 0; atts[i]; i += 2) node->Attributes.emplace_back(atts[i], atts[i + 1]);
        TNode* raw = node.get();
        if (s.Open.empty())
          s.Root = std::move(node);
        else
          s.Open.back()->Children.push_back(std::move(node));
        s.Open.push_back(raw);
      },
      [](void* data, const XML_Char*) { static_cast<TState*>(data)->Open.pop_back(); });
  XML_SetCharacterDataHandler(parser, [](void* data, const XML_Char* text, int length) {
    auto& s = *static_cast<TState*>(data);
    if (!s.Open.empty()) s.Open.back()->Text.append(text, size_t(length));
  });
  bool ok = XML_Parse(parser, document.data(), int(document.size()), 1) == XML_STATUS_OK;
  XML_ParserFree(parser);
  if (!ok || !state.Root) throw std::runtime_error("not well-formed");
  return std::move(state.Root);
}

// A whole number written with an optional sign between blanks.
bool WholeNumber(const std::string& text, int& value) {
  size_t a = text.find_first_not_of(" \t\r\n"), b = text.find_last_not_of(" \t\r\n");
  if (a == std::string::npos) return false;
  std::string t = text.substr(a, b - a + 1);
  size_t digits = (t[0] == '-' || t[0] == '+') ? 1 : 0;
  if (digits == t.size() || !std::all_of(t.begin() + long(digits), t.end(), ::isdigit)) return false;
  value = std::stoi(t);
  return true;
}

int Key(const TNode* step, const TNode* alter, const TNode* octave, bool importRules) {
  static const std::string letters = "CDEFGAB";
  static const int semitones[] = {0, 2, 4, 5, 7, 9, 11};
  int key = 0;
  if (step) {
    size_t i = step->Text.size() == 1 ? letters.find(char(std::toupper(step->Text[0]))) : std::string::npos;
    key += semitones[i == std::string::npos ? 0 : i];
  }
  int value = 0;
  if (alter && WholeNumber(alter->Text, value))
    key += std::clamp(value, -63, 63);
  else if (alter && !importRules)
    key += int(std::lround(std::strtod(alter->Text.c_str(), nullptr)));
  if (octave) key += 12 * (std::clamp(WholeNumber(octave->Text, value) ? value : 5, 0, 9) + 1);
  return key;
}

}  // namespace

TXMLCount CountMusicXML(const std::string& document, bool ImportRules) {
  std::unique_ptr<TNode> root = ParseTree(document);
  TXMLCount count;
  std::vector<std::string> ids;
  std::vector<bool> labelMeasure;  // a part-name made the first measure
  if (const TNode* list = root->Child("part-list"))
    for (const auto& scorePart : list->Children)
      if (scorePart->Name == "score-part") {
        ids.push_back(scorePart->Attribute("id"));
        labelMeasure.push_back(scorePart->Child("part-name") != nullptr);
      }
  count.Parts = int(ids.size());
  count.Measures.assign(ids.size(), 0);
  count.Keys.assign(ids.size(), {});
  for (size_t p = 0; p < ids.size(); ++p) count.Measures[p] = labelMeasure[p] ? 1 : 0;
  for (const auto& part : root->Children) {
    if (part->Name != "part" || ids.empty()) continue;
    size_t p = ids.size();
    for (size_t i = 0; i < ids.size() && p == ids.size(); ++i)
      if (strcasecmp(ids[i].c_str(), part->Attribute("id").c_str()) == 0) p = i;
    if (p == ids.size()) {
      if (!ImportRules) continue;
      p = 0;
    }
    for (const auto& measure : part->Children) {
      if (measure->Name != "measure") continue;
      if (labelMeasure[p])
        labelMeasure[p] = false;
      else
        ++count.Measures[p];
      for (const auto& note : measure->Children) {
        if (note->Name != "note" || note->Child("rest")) continue;
        if (const TNode* pitch = note->Child("pitch"))
          count.Keys[p].push_back(Key(pitch->Child("step"), pitch->Child("alter"), pitch->Child("octave"), ImportRules));
        else if (const TNode* unpitched = note->Child("unpitched"))
          count.Keys[p].push_back(Key(unpitched->Child("display-step"), nullptr, unpitched->Child("display-octave"), ImportRules));
        else
          count.Keys[p].push_back(0);
      }
    }
  }
  for (auto& keys : count.Keys) std::sort(keys.begin(), keys.end());
  return count;
}

namespace {

// A duration's ticks (128 a quarter note).
double TicksOf(const TNode* duration, int divisions) {
  int value = 0;
  return duration && WholeNumber(duration->Text, value) ? value * 128.0 / divisions : 0;
}

// The furthest point a measure's notes, rests, backups and forwards reach.
double ContentTicks(const TNode& measure, int& divisions) {
  double at = 0, last = 0, end = 0;
  for (const auto& child : measure.Children) {
    if (const TNode* d = child->Name == "attributes" ? child->Child("divisions") : nullptr) {
      int value = 0;
      if (WholeNumber(d->Text, value) && value > 0) divisions = value;
    }
    const double ticks = TicksOf(child->Child("duration"), divisions);
    if (child->Name == "note" && !child->Child("grace")) {
      if (!child->Child("chord")) {
        last = at;
        at += ticks;
      }
      end = std::max(end, last + ticks);
    } else if (child->Name == "backup") {
      at = std::max(0.0, at - ticks);
    } else if (child->Name == "forward") {
      at += ticks;
    }
    end = std::max(end, at);
  }
  return end;
}

// The time signature of a measure: the first part that gives beats sets
// them (a number that is not whole counts as 4, over a quarter); every beat
// type of 1 to 255 that follows changes the denominator.
struct TMeter {
  int Beats = 0, Type = 4;
};

void ReadMeter(const TNode& time, TMeter& meter) {
  for (const auto& child : time.Children) {
    int value = 0;
    if (child->Name == "beats" && meter.Beats == 0) {
      meter.Beats = WholeNumber(child->Text, value) ? value : 4;
      meter.Type = 4;
    } else if (child->Name == "beat-type" && meter.Beats != 0 && WholeNumber(child->Text, value) && value >= 1 &&
               value <= 255) {
      meter.Type = value;
    }
  }
}

struct TRepeats {
  std::vector<bool> Start, End;
  int StartOf(int n) const {
    int nesting = 0;
    for (int i = n; i >= 0; --i) {
      if (Start[size_t(i)] && nesting-- == 0) return i;
      if (End[size_t(i)] && i < n) ++nesting;
    }
    return 0;
  }
};

// A barline's children in order: a repeat marks it, an ending after the
// repeat makes it a plain barline, and a bar style other than light-heavy,
// light-light, heavy-heavy and heavy-light takes it away.
void ReadRepeat(const TNode& barline, TRepeats& repeats, size_t m) {
  int kind = 0;  // 0 plain, 1 start, 2 end
  for (const auto& child : barline.Children) {
    const std::string& style = child->Text;
    if (child->Name == "bar-style" && style != "light-heavy" && style != "light-light" && style != "heavy-heavy" &&
        style != "heavy-light")
      return;
    if (child->Name == "bar-style" || child->Name == "ending") kind = 0;
    if (child->Name == "repeat") kind = child->Attribute("direction") == "backward" ? 2 : 1;
  }
  if (kind == 1) repeats.Start[m] = true;
  if (kind == 2) repeats.End[m] = true;
}

double PlayRange(const std::vector<double>& lengths, const TRepeats& r, int first, int last, std::vector<int>& active) {
  double ticks = 0;
  for (int k = first; k <= last; ++k) {
    ticks += lengths[size_t(k)];
    if (!r.End[size_t(k)] || std::find(active.begin(), active.end(), k) != active.end()) continue;
    active.push_back(k);
    ticks += PlayRange(lengths, r, r.StartOf(k), k, active);
    active.pop_back();
  }
  return ticks;
}

}  // namespace

double PlayTimeOfMusicXML(const std::string& document) {
  std::unique_ptr<TNode> root = ParseTree(document);
  double tempo = 0;
  std::vector<TMeter> meters;  // per measure
  std::vector<double> content;
  TRepeats repeats;
  bool firstPart = true;
  for (const auto& part : root->Children) {
    if (part->Name != "part") continue;
    int divisions = 1;
    size_t m = 0;
    for (const auto& measure : part->Children) {
      if (measure->Name != "measure") continue;
      if (meters.size() <= m) {
        meters.emplace_back();
        content.push_back(0);
        repeats.Start.push_back(false);
        repeats.End.push_back(false);
      }
      for (const auto& child : measure->Children) {
        const TNode* sound = child->Name == "sound" ? child.get() : child->Child("sound");
        if (sound && tempo == 0 && !sound->Attribute("tempo").empty())
          tempo = std::nearbyint(std::strtod(sound->Attribute("tempo").c_str(), nullptr));
        if (const TNode* time = child->Name == "attributes" ? child->Child("time") : nullptr)
          ReadMeter(*time, meters[m]);
        if (child->Name == "barline" && firstPart) ReadRepeat(*child, repeats, m);
      }
      content[m] = std::max(content[m], ContentTicks(*measure, divisions));
      ++m;
    }
    firstPart = false;
  }
  std::vector<double> lengths;
  int meter = 0;
  for (size_t m = 0; m < meters.size(); ++m) {
    if (meters[m].Beats != 0) meter = meters[m].Beats * 512 / meters[m].Type;
    lengths.push_back(meter != 0 ? meter : std::max(content[m], 1.0));
  }
  const double pickup = content.empty() ? 0 : std::round(content[0]);
  if (!lengths.empty() && pickup > 0 && pickup < lengths[0] && std::fmod(pickup, 4) == 0) lengths[0] = pickup;
  std::vector<int> active;
  double ticks = 0;
  for (int m = 0; m < int(lengths.size()); ++m) {
    ticks += lengths[size_t(m)];
    if (!repeats.End[size_t(m)]) continue;
    active.push_back(m);
    ticks += PlayRange(lengths, repeats, repeats.StartOf(m), m, active);
    active.pop_back();
  }
  return ticks * 60000.0 / ((tempo > 0 ? tempo : 100) * 128);
}
