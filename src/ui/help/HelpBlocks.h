#pragma once
// What a help page turns into: blocks in document order, one per element
// that shows something and one per run of text, each with its style and its
// link. The viewer lays them out into lines.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/canvas/Graphics.h"
#include "platform/forms/Picture.h"

enum THelpBlockKind : std::uint8_t {
  hbText = 5, hbList = 10, hbListEntry = 11, hbSection = 12, hbBreak = 15, hbPageLink = 23, hbOtherLink = 24,
  hbPicture = 30, hbRule = 31
};
enum THelpLinkKind : std::uint8_t { hlNone = 0, hlHost = 9, hlPage = 10, hlOther = 11 };

// A style set by a "font" element; an unset style is the viewer's font.
struct THelpStyle {
  bool Set = false;
  std::string Name;
  canvas::TColor Color = canvas::clBlack;
  std::uint16_t Size = 0;  // points; 0 keeps the size
  unsigned Style = 0;      // text::TFontStyleBits
};

struct THelpBlock {
  THelpBlockKind Kind = hbText;
  std::string Text;        // bytes in the viewer font's character set
  std::string SecondText;  // a section's label while it is open
  THelpLinkKind LinkKind = hlNone;
  std::string LinkTarget;
  std::unique_ptr<forms::TPicture> Picture;
  THelpBlock* Parent = nullptr;  // for runs: the element they belong to
  std::uint16_t Depth = 0;
  bool Open = false;
  THelpStyle Style;
};

// A page's blocks in document order; a block's Parent points into the same list.
using THelpBlocks = std::vector<std::unique_ptr<THelpBlock>>;
