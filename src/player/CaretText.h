#pragma once
// An edited text as its caret sees it: lines of runs, each run characters
// in one font. A plain text or a lyric has one run a line in the item's
// font, its lines aligned as the item says; a formatted text has the runs
// the page layout lays out, each in its own font, size and style. The
// character under a point and the caret's x before a character come from
// one walk along the line, run by run in each run's font, so that a click
// and the caret drawn for it agree.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text/TextMeasurer.h"
#include "score/model/TextAlignment.h"

class TKVItem;

struct TKVCaretRun {
  text::TFontSpec Font;
  std::u16string_view Chars;  // into the item's lines or the caret text's own copy
};

struct TKVCaretLine {
  std::vector<TKVCaretRun> Runs;  // at least one
  size_t Length() const;
  // The tallest of its fonts, at least 1.
  int32_t Height() const;
};

struct TKVCaretText {
  std::vector<TKVCaretLine> Lines;  // at least one
  TKVTextAlign Align = TKVTextAlign::Left;
  // A formatted text's lines read one after another, which its runs view.
  std::unique_ptr<std::u16string> Whole;

  // The line under Y, Y counted from the first line's top; the first line
  // above it, the last below.
  size_t LineAt(int64_t Y) const;
  // The top of Line below the first line's top.
  int32_t LineTop(size_t Line) const;
};

// The lines of Item (a text or a lyric, else one empty line) in their fonts,
// sized by ScaleSize from points (0 points as 8). Item must outlive it.
TKVCaretText CaretTextOf(const TKVItem* Item, const std::function<int32_t(int32_t)>& ScaleSize);

// The caret character under X: the first character whose right edge
// reaches X, else the line's length; and the caret's x before character
// Char (the line's length at most). One walk along the line serves both,
// character by character, each in its run's font.
size_t CaretCharAt(const TKVCaretLine& Line, int32_t Left, int32_t X);
int32_t CaretX(const TKVCaretLine& Line, int32_t Left, size_t Char);
