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

// The furthest point a measure's notes, rests, backups and forwards reach.
double ContentTicks(const TNode& measure, int& divisions) {
  double at = 0, last = 0, end = 0;
  for (const auto& child : measure.Children) {
    int value = 0;
    const TNode* d = child->Name == "attributes" ? child->Child("divisions") : nullptr;
    if (d && WholeNumber(d->Text, value) && value > 0) divisions = value;
    const TNode* given = child->Child("duration");
    const double ticks = given && WholeNumber(given->Text, value) ? value * 128.0 / divisions : 0;
    if (child->Name == "note" && !child->Child("grace")) {
      if (!child->Child("chord")) last = at, at += ticks;
      end = std::max(end, last + ticks);
    }
    if (child->Name == "backup") at = std::max(0.0, at - ticks);
    if (child->Name == "forward") at += ticks;
    end = std::max(end, at);
  }
  return end;
}

struct TMeasureFacts {
  int Beats = 0, Type = 4;
  double Content = 0;
  bool Start = false, End = false;  // repeats
};

void ReadMeter(const TNode& time, TMeasureFacts& m) {
  for (const auto& child : time.Children) {
    int value = 0;
    if (child->Name == "beats" && m.Beats == 0) m.Beats = WholeNumber(child->Text, value) ? value : 4, m.Type = 4;
    if (child->Name == "beat-type" && m.Beats != 0 && WholeNumber(child->Text, value) && value >= 1 && value <= 255)
      m.Type = value;
  }
}

void ReadRepeat(const TNode& barline, TMeasureFacts& m) {
  int kind = 0;  // 0 plain, 1 start, 2 end
  for (const auto& child : barline.Children) {
    if (child->Name == "ending") kind = 0;
    if (child->Name == "repeat") kind = child->Attribute("direction") == "backward" ? 2 : 1;
  }
  m.Start = m.Start || kind == 1;
  m.End = m.End || kind == 2;
}

int RepeatStart(const std::vector<TMeasureFacts>& facts, int n) {
  for (int i = n, nesting = 0; i >= 0; --i) {
    if (facts[size_t(i)].Start && nesting-- == 0) return i;
    if (facts[size_t(i)].End && i < n) ++nesting;
  }
  return 0;
}

// Measures First to Last, each repeat end among them not already replaying
// followed by its range once more.
double PlayRange(const std::vector<TMeasureFacts>& facts, const std::vector<double>& lengths, int first, int last,
                 std::vector<int>& active) {
  double ticks = 0;
  for (int k = first; k <= last; ++k) {
    ticks += lengths[size_t(k)];
    if (!facts[size_t(k)].End || std::find(active.begin(), active.end(), k) != active.end()) continue;
    active.push_back(k);
    ticks += PlayRange(facts, lengths, RepeatStart(facts, k), k, active);
    active.pop_back();
  }
  return ticks;
}

}  // namespace

double PlayTimeOfMusicXML(const std::string& document) {
  std::unique_ptr<TNode> root = ParseTree(document);
  double tempo = 0;
  std::vector<TMeasureFacts> facts;
  bool firstPart = true;
  for (const auto& part : root->Children) {
    int divisions = 1;
    size_t m = 0;
    for (const auto& measure : part->Children) {
      if (part->Name != "part" || measure->Name != "measure") continue;
      if (facts.size() <= m) facts.emplace_back();
      for (const auto& child : measure->Children) {
        const TNode* sound = child->Name == "sound" ? child.get() : child->Child("sound");
        if (sound && tempo == 0 && !sound->Attribute("tempo").empty())
          tempo = std::nearbyint(std::strtod(sound->Attribute("tempo").c_str(), nullptr));
        if (const TNode* time = child->Name == "attributes" ? child->Child("time") : nullptr) ReadMeter(*time, facts[m]);
        if (child->Name == "barline" && firstPart) ReadRepeat(*child, facts[m]);
      }
      facts[m].Content = std::max(facts[m].Content, ContentTicks(*measure, divisions));
      ++m;
    }
    firstPart = firstPart && part->Name != "part";
  }
  std::vector<double> lengths;
  for (size_t m = 0, meter = 0; m < facts.size(); ++m) {
    if (facts[m].Beats != 0) meter = size_t(facts[m].Beats * 512 / facts[m].Type);
    lengths.push_back(meter != 0 ? double(meter) : std::max(facts[m].Content, 1.0));
  }
  const double pickup = facts.empty() ? 0 : std::round(facts[0].Content);
  if (pickup > 0 && pickup < lengths[0] && std::fmod(pickup, 4) == 0) lengths[0] = pickup;
  std::vector<int> active;
  return PlayRange(facts, lengths, 0, int(lengths.size()) - 1, active) * 60000.0 / ((tempo > 0 ? tempo : 100) * 128);
}
