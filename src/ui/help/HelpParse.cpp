#include "ui/help/HelpParse.h"

#include <algorithm>

#include "base/Log.h"
#include "base/Strings.h"

namespace {

enum TName {
  nNone, nXml, nText, nUl, nLi, nColor, nMore, nName, nImage, nHref, nGref, nLref, nOpen, nClose, nFont, nSize,
  nUrl, nStyle, nLabel, nLine, nP, nBr, nEmbed
};

const char* const kNames[] = {"xml",  "text", "ul",  "li",   "color", "more", "name",  "image",
                              "href", "gref", "lref", "open", "close", "font", "size",  "url",
                              "style", "label", "line", "p",   "br",    "embed"};

int LookUp(const std::string& name) {
  for (int i = 0; i < int(std::size(kNames)); ++i)
    if (SameText(name, kNames[i])) return i + 1;
  return nNone;
}

constexpr int kEmbedDepth = 16;

// Blanks and control characters off both ends, then a pair of equal quotes.
std::string Unquote(const std::string& value) {
  std::string s = Trim(value);
  if (s.size() >= 2 && (s[0] == '"' || s[0] == '\'') && s.back() == s[0]) s = s.substr(1, s.size() - 2);
  return s;
}

canvas::TColor ColorOf(const std::string& text) {
  int digits[6] = {};
  int n = 0;
  for (char c : text) {
    if (n == 6) break;
    if (c >= '0' && c <= '9') digits[n++] = c - '0';
    else if (c >= 'A' && c <= 'F') digits[n++] = c - 'A' + 10;
  }
  return canvas::RGB(digits[0] * 16 + digits[1], digits[2] * 16 + digits[3], digits[4] * 16 + digits[5]);
}

unsigned StyleOf(const std::string& text, unsigned style) {
  std::string upper = UpperCase(text);
  if (upper.find("NORMAL") != std::string::npos) style = 0;
  const std::pair<const char*, unsigned> words[] = {
      {"ITALIC", text::fsItalic}, {"BOLD", text::fsBold}, {"UNDERLINE", text::fsUnderline},
      {"STRIKEOUT", text::fsStrikeOut}};
  for (const auto& [word, bit] : words)
    if (upper.find(word) != std::string::npos) style |= bit;
  return style;
}

// Sizes beyond any screen's use are held to this many points.
constexpr long long kLargestSize = 500;

std::uint16_t SizeOf(const std::string& text) {
  long long size;
  if (!TryStrToInt(text, size)) return 10;
  return std::uint16_t(std::clamp(size, 0LL, kLargestSize));
}

}  // namespace

THelpParser::THelpParser(THelpBlocks& blocks, int& maxDepth, const THelpStyle& baseStyle, THelpSources sources)
    : FBlocks(blocks), FMaxDepth(maxDepth), FBaseStyle(baseStyle), FSources(std::move(sources)),
      FSlots(kHelpMaxDepth + 1) {}

bool THelpParser::ParsePage(const std::string& name, const std::string& text) {
  Clear(0);
  FEmbedding = {UpperCase(name)};
  FPage = name;
  return WorkUsedUp(text.size()) || Parse(text, 0);
}

bool THelpParser::Parse(const std::string& text, int baseDepth) {
  FParsedBytes += text.size();
  std::vector<THelpToken> tokens;
  TokenizeHelpPage(text, baseDepth, tokens, FMaxDepth);
  for (const THelpToken& token : tokens) {
    if (WorkUsedUp()) return true;  // what was read so far is shown
    if (token.Kind != THelpTokenKind::Content) Name(token);
    else if (!Content(token)) return false;
  }
  return true;
}

bool THelpParser::WorkUsedUp(size_t moreBytes) {
  if (FBounded) return true;
  if (FBlocks.size() < kHelpMaxBlocks && FEmbeds <= kHelpMaxEmbeds && FParsedBytes + moreBytes <= kHelpMaxParsedBytes)
    return false;
  FBounded = true;
  Log("Help: " + FPage + " is shown as far as " + std::to_string(FBlocks.size()) + " blocks, " +
      std::to_string(FEmbeds) + " embedded pages and " + std::to_string(FParsedBytes) + " bytes of pages");
  return true;
}

void THelpParser::Clear(int depth) {
  for (int d = depth; d <= FTop; ++d) FSlots[d] = TSlot();
  FTop = depth;
}

int THelpParser::Below(int depth, int name) const {
  for (int d = depth - 1; d >= 0; --d)
    if (FSlots[d].Name == name) return d;
  return -1;
}

const THelpStyle& THelpParser::StyleBelow(int depth) const {
  for (int d = depth - 1; d >= 0; --d)
    if (FSlots[d].HasStyle) return FSlots[d].Style;
  return FBaseStyle;
}

void THelpParser::LinkBelow(int depth, THelpBlock& block) const {
  for (int d = depth - 1; d >= 0; --d)
    if (FSlots[d].Link != hlNone) {
      block.LinkKind = FSlots[d].Link;
      block.LinkTarget = FSlots[d].Url;
      return;
    }
}

THelpBlock& THelpParser::Add(THelpBlockKind kind, int depth, int styleDepth) {
  auto block = std::make_unique<THelpBlock>();
  block->Kind = kind;
  block->Depth = std::uint16_t(depth);
  block->Style = StyleBelow(styleDepth);
  FBlocks.push_back(std::move(block));
  return *FBlocks.back();
}

void THelpParser::Name(const THelpToken& token) {
  int d = token.Depth;
  Clear(d);
  int name = LookUp(token.Text);
  bool inFont = Below(d, nFont) >= 0;
  switch (name) {
    case nColor: case nName: case nSize: case nStyle:
      if (!inFont) return;
      break;
    case nOpen: case nClose:
      if (Below(d, nMore) < 0) return;
      break;
    case nLi:
      if (Below(d, nUl) < 0) return;
      break;
    case nUrl:
      if (Below(d, nHref) < 0 && Below(d, nGref) < 0 && Below(d, nLref) < 0) return;
      break;
    case nNone:
      return;
  }
  TSlot& slot = FSlots[d];
  slot.Name = name;
  static const std::pair<int, THelpBlockKind> blockKinds[] = {
      {nText, hbText}, {nP, hbText},         {nUl, hbList},       {nLi, hbListEntry}, {nMore, hbSection},
      {nImage, hbPicture}, {nGref, hbPageLink}, {nLref, hbOtherLink}, {nLine, hbRule},  {nBr, hbBreak}};
  for (const auto& [n, kind] : blockKinds)
    if (n == name) {
      slot.Block = &Add(kind, d, d);
      if (kind == hbPicture) LinkBelow(d, *slot.Block);
    }
  slot.FirstRun = name == nP;
  if (name == nFont) {
    slot.HasStyle = true;
    slot.Style = StyleBelow(d);
    slot.Style.Set = true;
  } else if (name == nHref || name == nGref || name == nLref) {
    slot.Link = name == nHref ? hlHost : name == nGref ? hlPage : hlOther;
    if (slot.Block) slot.Block->LinkKind = slot.Link;
  }
}

bool THelpParser::Content(const THelpToken& token) {
  int d = token.Depth;
  std::string raw = token.Value ? Unquote(token.Text) : token.Text;
  for (int j = d - 1; j >= 0; --j) {
    TSlot& slot = FSlots[j];
    switch (slot.Name) {
      case nText: case nP: case nLi: case nMore: {
        bool section = slot.Name == nMore;
        THelpBlock& run = Add(slot.Name == nLi ? hbListEntry : hbText, section ? j + 1 : j, d);
        run.Parent = section ? nullptr : slot.Block;
        run.Text = (slot.FirstRun ? "    " : "") + Trim(raw);
        slot.FirstRun = false;
        LinkBelow(d, run);
        return true;
      }
      case nColor: case nName: case nSize: case nStyle: {
        THelpStyle& style = FSlots[Below(j, nFont)].Style;
        if (slot.Name == nColor) style.Color = ColorOf(raw);
        else if (slot.Name == nName) style.Name = Trim(raw);
        else if (slot.Name == nSize) style.Size = SizeOf(raw);
        else style.Style = StyleOf(raw, style.Style);
        return true;
      }
      case nImage:
        slot.Block->Picture = std::make_unique<forms::TPicture>();
        if (FSources.Picture) FSources.Picture(raw, *slot.Block->Picture);
        return true;
      case nOpen: case nClose: {
        THelpBlock* section = FSlots[Below(j, nMore)].Block;
        (slot.Name == nOpen ? section->Text : section->SecondText) = Trim(raw);
        return true;
      }
      case nUrl:
        for (int k = j - 1; k >= 0; --k)
          if (FSlots[k].Link != hlNone) {
            FSlots[k].Url = raw;
            if (FSlots[k].Block) FSlots[k].Block->LinkTarget = raw;
            break;
          }
        return true;
      case nEmbed:
        return Embed(raw, d);
    }
  }
  return true;
}

bool THelpParser::Embed(const std::string& name, int depth) {
  std::string key = UpperCase(name);
  if (!FSources.Page || FEmbedding.size() > kEmbedDepth || FEmbedding.count(key)) return true;
  std::string text;
  ++FEmbeds;
  if (WorkUsedUp()) return true;
  THelpEmbed found = FSources.Page(name, text);
  if (found == THelpEmbed::Missing) return true;
  if (found == THelpEmbed::WrongMark) return false;
  if (WorkUsedUp(text.size())) return true;
  FEmbedding.insert(key);
  bool ok = Parse(text, depth);
  FEmbedding.erase(key);
  return ok;
}
