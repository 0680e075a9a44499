#pragma once
// Help page tokens to blocks: a table of 22 names, shared by elements and
// attributes, with per-depth records of names, blocks, styles and links.
// Embedded pages are parsed in place; a page that embeds itself, directly or
// through others, is skipped at the repeat, and embedding stops 16 deep.
// The work of one parser (all the pages it reads) is bounded too, so that
// pages that each embed the next many times cannot multiply it: it stops
// at kHelpMaxBlocks blocks, kHelpMaxEmbeds embedded pages or
// kHelpMaxParsedBytes of page text, keeping what it read up to there.

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "ui/help/HelpBlocks.h"
#include "ui/help/HelpTokens.h"

enum class THelpEmbed { Found, Missing, WrongMark };

constexpr size_t kHelpMaxBlocks = 20000;
constexpr int kHelpMaxEmbeds = 2000;
constexpr size_t kHelpMaxParsedBytes = 16 << 20;

struct THelpSources {
  // The text of an embedded page.
  std::function<THelpEmbed(const std::string& name, std::string& text)> Page;
  // Loads a named picture (it stays empty when there is none).
  std::function<void(const std::string& name, forms::TPicture& picture)> Picture;
};

class THelpParser {
public:
  // BaseStyle is the viewer's font, the style outside every "font" element.
  THelpParser(THelpBlocks& blocks, int& maxDepth, const THelpStyle& baseStyle, THelpSources sources);

  // Parses the page Name at depth 0; false when an embedded page had a
  // wrong mark, which ends the page.
  bool ParsePage(const std::string& name, const std::string& text);
  // The bound above was reached: what follows it was not read.
  bool Bounded() const { return FBounded; }

private:
  struct TSlot {
    int Name = 0;
    THelpBlock* Block = nullptr;
    bool HasStyle = false;
    THelpStyle Style;
    THelpLinkKind Link = hlNone;
    std::string Url;
    bool FirstRun = false;  // a "p" whose first run is still to come
  };

  bool Parse(const std::string& text, int baseDepth);
  void Clear(int depth);
  int Below(int depth, int name) const;  // the nearest depth under Depth holding Name, -1 when none
  const THelpStyle& StyleBelow(int depth) const;
  void LinkBelow(int depth, THelpBlock& block) const;
  THelpBlock& Add(THelpBlockKind kind, int depth, int styleDepth);
  void Name(const THelpToken& token);
  bool Content(const THelpToken& token);
  bool Embed(const std::string& name, int depth);
  // True (and the bound noted) once the parser's work is used up.
  bool WorkUsedUp(size_t moreBytes = 0);

  THelpBlocks& FBlocks;
  int& FMaxDepth;
  THelpStyle FBaseStyle;
  THelpSources FSources;
  std::vector<TSlot> FSlots;
  int FTop = 0;
  std::set<std::string> FEmbedding;
  int FEmbeds = 0;
  size_t FParsedBytes = 0;
  bool FBounded = false;
  std::string FPage;  // the page being read, for the log
};
