#include "player/CaretText.h"

#include <algorithm>
#include <limits>

#include "base/Saturate.h"
#include "score/model/ElementBlocks.h"
#include "score/model/Lyric.h"
#include "score/model/PageTexts.h"

namespace {

text::TFontSpec FontOf(const std::string& Name, int32_t Points, unsigned Style,
                       const std::function<int32_t(int32_t)>& ScaleSize) {
  return {Name.empty() ? "Arial" : Name, ScaleSize(Points ? Points : 8), Style};
}

// One run a line in one font.
void PlainLines(TKVCaretText& T, const TKVWideList& Lines, const text::TFontSpec& Font) {
  for (const std::u16string& line : Lines) T.Lines.push_back({{{Font, line}}});
}

// The runs of each line with the characters they address; a line without
// runs is empty, in the text's own font.
void FormattedLines(TKVCaretText& T, const TKVText& Text, const text::TFontSpec& Own,
                    const std::function<int32_t(int32_t)>& ScaleSize) {
  T.Whole = std::make_unique<std::u16string>(Text.WholeText());
  for (const std::vector<TKVTextRun>& runs : Text.Runs) {
    TKVCaretLine& line = T.Lines.emplace_back();
    for (const TKVTextRun& run : runs)
      line.Runs.push_back({FontOf(run.FontName, run.Size, run.Style, ScaleSize), TKVText::RunChars(*T.Whole, run)});
    if (line.Runs.empty()) line.Runs.push_back({Own, {}});
  }
}

// Where a walk along a line stopped: the characters passed and the x reached.
struct TKVCaretStop {
  size_t Char = 0;
  int32_t X = 0;
};

// Walks Line from Left character by character, each in its run's font, and
// stops before the first character whose right edge reaches X, before
// character Stop, or at the line's end.
TKVCaretStop WalkCaretLine(const TKVCaretLine& Line, int32_t Left, int64_t X, size_t Stop) {
  text::TTextMeasurer& measurer = text::CurrentMeasurer();
  size_t passed = 0;
  int64_t x = Left;
  for (const TKVCaretRun& run : Line.Runs)
    for (const char16_t c : run.Chars) {
      if (passed >= Stop) return {passed, Saturate32(x)};
      const int64_t right = x + measurer.TextWidthW(run.Font, std::u16string(1, c));
      if (right >= X) return {passed, Saturate32(x)};
      x = right;
      ++passed;
    }
  return {passed, Saturate32(x)};
}

}  // namespace

size_t TKVCaretLine::Length() const {
  size_t n = 0;
  for (const TKVCaretRun& run : Runs) n += run.Chars.size();
  return n;
}

int32_t TKVCaretLine::Height() const {
  int32_t h = 1;
  for (const TKVCaretRun& run : Runs) h = std::max(h, text::CurrentMeasurer().TextHeight(run.Font));
  return h;
}

size_t TKVCaretText::LineAt(int64_t Y) const {
  int64_t bottom = 0;
  for (size_t k = 0; k < Lines.size(); ++k)
    if (Y < (bottom += Lines[k].Height())) return k;
  return Lines.size() - 1;
}

int32_t TKVCaretText::LineTop(size_t Line) const {
  int64_t top = 0;
  for (size_t k = 0; k < Line && k < Lines.size(); ++k) top += Lines[k].Height();
  return Saturate32(top);
}

TKVCaretText CaretTextOf(const TKVItem* Item, const std::function<int32_t(int32_t)>& ScaleSize) {
  TKVCaretText t;
  text::TFontSpec own = FontOf("", 0, 0, ScaleSize);
  if (auto* text = dynamic_cast<const TKVText*>(Item)) {
    const TByteBlock& data = text->Data();
    own = FontOf(text->Text1(), data.u8(TextBlock::FontSize), data.u8(TextBlock::FontStyle), ScaleSize);
    if (text->Runs.empty()) {
      PlainLines(t, text->Lines(), own);
      t.Align = TextAlignOf(data.u8(TextBlock::Flags));
    } else {
      // Runs follow one another from the line's left; they have no alignment.
      FormattedLines(t, *text, own, ScaleSize);
    }
  } else if (auto* lyric = dynamic_cast<const TKVLyric*>(Item)) {
    own = FontOf(lyric->FontName(), lyric->FontPoints(), lyric->FontStyle(), ScaleSize);
    PlainLines(t, lyric->Lines(), own);
    t.Align = lyric->Alignment();
  }
  if (t.Lines.empty()) t.Lines.push_back({{{own, {}}}});
  return t;
}

size_t CaretCharAt(const TKVCaretLine& Line, int32_t Left, int32_t X) {
  return WalkCaretLine(Line, Left, X, std::numeric_limits<size_t>::max()).Char;
}

int32_t CaretX(const TKVCaretLine& Line, int32_t Left, size_t Char) {
  return WalkCaretLine(Line, Left, std::numeric_limits<int64_t>::max(), Char).X;
}
