#include "score/import/musicxml/MusicXMLCount.h"

#include <expat.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
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

// The key of the middle line of a staff under a clef of Sign: D3 for the
// F clef, C4 for the C clef, B4 for the others.
int MiddleLineKey(const std::string& Sign) { return Sign == "F" ? 50 : Sign == "C" ? 60 : 71; }

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
    std::map<std::string, std::string> clefs;  // sign by staff number
    for (const auto& measure : part->Children) {
      if (measure->Name != "measure") continue;
      if (labelMeasure[p])
        labelMeasure[p] = false;
      else
        ++count.Measures[p];
      for (const auto& note : measure->Children) {
        if (note->Name == "attributes")
          for (const auto& clef : note->Children)
            if (clef->Name == "clef" && clef->Child("sign"))
              clefs[clef->Attribute("number").empty() ? "1" : clef->Attribute("number")] = clef->Child("sign")->Text;
        if (note->Name != "note" || note->Child("rest")) continue;
        const TNode* unpitched = note->Child("unpitched");
        if (const TNode* pitch = note->Child("pitch"))
          count.Keys[p].push_back(Key(pitch->Child("step"), pitch->Child("alter"), pitch->Child("octave"), ImportRules));
        else if (unpitched && unpitched->Child("display-octave"))
          count.Keys[p].push_back(Key(unpitched->Child("display-step"), nullptr, unpitched->Child("display-octave"), ImportRules));
        else if (unpitched)
          count.Keys[p].push_back(MiddleLineKey(clefs[note->Child("staff") ? note->Child("staff")->Text : "1"]));
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

// A measure of the first part: its time signature, repeats, the passes of
// the ending it lies in and the jumps its sound elements give; its content
// is the furthest any part reaches.
struct TMeasureFacts {
  int Beats = 0, Type = 4, Times = 2;
  double Content = 0;
  bool Forward = false, Backward = false;
  bool DaCapo = false, DalSegno = false, Segno = false, Fine = false, ToCoda = false, Coda = false;
  std::vector<int> Passes;
};

std::vector<int> Numbers(const std::string& text) {
  std::vector<int> numbers;
  for (size_t i = text.find_first_of("0123456789"); i != std::string::npos; i = text.find_first_of("0123456789", i))
    numbers.push_back(int(std::strtol(text.c_str() + i, nullptr, 10))), i = text.find_first_not_of("0123456789", i);
  return numbers;
}

std::vector<TMeasureFacts> ReadFacts(const TNode& root, double& tempo) {
  std::vector<TMeasureFacts> facts;
  bool firstPart = true;
  for (const auto& part : root.Children) {
    if (part->Name != "part") continue;
    int divisions = 1, lastPass = 0;
    size_t m = 0;
    std::vector<int> open;  // the passes of an ending not yet stopped
    bool endedBefore = false;
    for (const auto& measure : part->Children) {
      if (measure->Name != "measure") continue;
      if (facts.size() <= m) facts.emplace_back();
      TMeasureFacts& f = facts[m++];
      bool ended = false;
      for (const auto& child : measure->Children) {
        const TNode* sound = child->Name == "sound" ? child.get() : child->Child("sound");
        if (sound && tempo == 0 && !sound->Attribute("tempo").empty())
          tempo = std::nearbyint(std::strtod(sound->Attribute("tempo").c_str(), nullptr));
        if (sound && firstPart) {
          f.DaCapo = f.DaCapo || sound->Attribute("dacapo") == "yes";
          f.DalSegno = f.DalSegno || !sound->Attribute("dalsegno").empty();
          f.Segno = f.Segno || !sound->Attribute("segno").empty();
          f.Fine = f.Fine || !sound->Attribute("fine").empty();
          f.ToCoda = f.ToCoda || !sound->Attribute("tocoda").empty();
          f.Coda = f.Coda || !sound->Attribute("coda").empty();
        }
        const TNode* time = child->Name == "attributes" ? child->Child("time") : nullptr;
        const TNode* beats = time ? time->Child("beats") : nullptr;
        int value = 0;
        if (beats && f.Beats == 0) f.Beats = WholeNumber(beats->Text, value) ? value : 4;
        if (beats && time->Child("beat-type") && WholeNumber(time->Child("beat-type")->Text, value) && value >= 1 &&
            value <= 255)
          f.Type = value;
        if (!firstPart || child->Name != "barline") continue;
        for (const auto& mark : child->Children) {
          const std::string direction = mark->Attribute("direction"), type = mark->Attribute("type");
          f.Forward = f.Forward || (mark->Name == "repeat" && direction == "forward");
          if (mark->Name == "repeat" && direction == "backward")
            f.Backward = true, f.Times = WholeNumber(mark->Attribute("times"), value) ? value : 2;
          if (mark->Name == "ending" && type == "start") {
            open = Numbers(mark->Attribute("number"));
            // Endings without numbers count on from one just before them.
            if (open.empty()) open = {endedBefore ? lastPass + 1 : 1};
            f.Passes = open;
          } else if (mark->Name == "ending" && !f.Passes.empty()) {
            lastPass = *std::max_element(f.Passes.begin(), f.Passes.end());
            open.clear(), ended = true;
          }
        }
      }
      if (f.Passes.empty()) f.Passes = open;
      endedBefore = ended;
      f.Content = std::max(f.Content, ContentTicks(*measure, divisions));
    }
    firstPart = false;
  }
  return facts;
}

bool Takes(const std::vector<int>& passes, int pass) {
  return std::find(passes.begin(), passes.end(), pass) != passes.end();
}

// The measure order MusicXML means: a backward repeat goes back to its
// forward repeat (or to where the repeat before it left off) until it has
// played times times, or, standing in an ending, as long as an ending of its
// group takes the next pass; an ending plays on its passes only. A D.C. or
// D.S. jumps once, after the repeat of its own measure: to the start or to
// the segno at or before it; from there the music plays as before, the jump
// measure's own repeat left out, until the fine (after its measure) or a "to
// coda" measure, after which the coda goes on.
std::vector<int> Unfold(const std::vector<TMeasureFacts>& f) {
  struct TSection {
    int Start, Pass;
  };
  const int n = int(f.size());
  auto in = [&](int i) { return i >= 0 && i < n && !f[size_t(i)].Passes.empty(); };
  auto firstOfEnding = [&](int i) {
    while (in(i - 1) && f[size_t(i - 1)].Passes == f[size_t(i)].Passes) --i;
    return i;
  };
  std::vector<TSection> sections = {{0, 1}};
  // The section an ending belongs to began before it.
  auto owner = [&](int i) -> TSection* {
    for (auto s = sections.rbegin(); s != sections.rend(); ++s)
      if (s->Start < firstOfEnding(i)) return &*s;
    return nullptr;
  };
  auto finish = [&](int next) {
    sections.pop_back();
    if (sections.empty()) sections.push_back({next, 1});
  };
  std::vector<int> taken(f.size(), 0), order;
  bool cameBack = false, done = false;  // a repeat played out: its section ends after its endings
  int jumpedFrom = -1;
  for (int i = 0; i < n && order.size() < 100000; ++i) {
    const TMeasureFacts& m = f[size_t(i)];
    if (done && (!in(i) || m.Backward)) finish(i), done = false;
    if (!in(i)) {
      // Leaving a later ending ends the section it belongs to.
      if (in(i - 1) && !order.empty() && in(order.back()) && owner(i - 1) == &sections.back() && sections.back().Pass > 1)
        finish(i);
    }
    // An ending that no backward repeat follows plays whatever its passes.
    bool repeatAfter = false;
    int run = i;
    while (in(run - 1)) --run;
    for (int k = run; k < n && !repeatAfter; ++k) repeatAfter = f[size_t(k)].Backward;
    if (in(i) && owner(i) && repeatAfter && !Takes(m.Passes, owner(i)->Pass)) {
      cameBack = false;
      continue;
    }
    if (m.Forward && !cameBack) {
      if (sections.back().Start == i)
        sections.back().Pass = 1;
      else
        sections.push_back({i, 1});
    }
    cameBack = false;
    order.push_back(i);
    const bool jumped = jumpedFrom >= 0;
    if (m.Backward && i != jumpedFrom) {
      TSection& top = sections.back();
      bool more = taken[size_t(i)] < m.Times - 1;
      if (in(i) && top.Start < firstOfEnding(i)) {
        more = false;
        for (int k = i; in(k); --k) more = more || Takes(f[size_t(k)].Passes, top.Pass + 1);
        for (int k = i; in(k); ++k) more = more || Takes(f[size_t(k)].Passes, top.Pass + 1);
      }
      if (more) {
        ++taken[size_t(i)], ++top.Pass;
        i = top.Start - 1, cameBack = true, done = false;
        continue;
      }
      taken[size_t(i)] = 0, done = true;
    }
    // The measure's repeat played, its fine, to-coda or jump acts.
    if (jumped && m.Fine) break;
    if (jumped && m.ToCoda) {
      int coda = i + 1;
      while (coda < n && !f[size_t(coda)].Coda) ++coda;
      i = coda - 1;
    } else if (!jumped && (m.DaCapo || m.DalSegno)) {
      int target = 0;
      for (int k = i; m.DalSegno && k >= 0 && target == 0; --k)
        if (f[size_t(k)].Segno) target = k;
      jumpedFrom = i, sections = {{target, 1}}, done = false;
      std::fill(taken.begin(), taken.end(), 0);
      i = target - 1;
    }
  }
  return order;
}

}  // namespace

std::vector<int> UnfoldMusicXML(const std::string& document) {
  double tempo = 0;
  return Unfold(ReadFacts(*ParseTree(document), tempo));
}

double PlayTimeOfMusicXML(const std::string& document) {
  double tempo = 0;
  const std::vector<TMeasureFacts> facts = ReadFacts(*ParseTree(document), tempo);
  std::vector<double> lengths;
  for (size_t m = 0, meter = 0; m < facts.size(); ++m) {
    if (facts[m].Beats != 0) meter = size_t(facts[m].Beats * 512 / facts[m].Type);
    // An empty measure lasts as its time signature says.
    lengths.push_back(facts[m].Content > 0 ? facts[m].Content : std::max(double(meter), 1.0));
  }
  double ticks = 0;
  for (int m : Unfold(facts)) ticks += lengths[size_t(m)];
  return ticks * 60000.0 / ((tempo > 0 ? tempo : 100) * 128);
}
