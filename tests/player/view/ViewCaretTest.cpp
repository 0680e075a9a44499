// The caret in an edited text formatted in runs of their own fonts (or
// plain) and in an edited lyric of its own font and alignment: the
// character a press lands on, where the caret is drawn and where the view
// scrolls to show it, worked out by hand from the fake measurer's widths;
// and runs that make no sense, which keep the caret inside the text.

#include "ViewFixture.h"
#include "platform/text/FakeMeasurer.h"
#include "score/model/Lyric.h"
#include "score/model/PageTexts.h"

namespace {

// The fake measurer, a bold character one pixel wider (as an emboldened
// glyph is) and one of the face "Courier" two. At 8 points "a" 9, "b" "c"
// "p" "w" 6, "d" 7; at 16 points "i" "w" 11; at 20 points "a" 22, "b" "p"
// 14, "c" 15, "d" 16; at 24 points "p" "w" 16; 13, 24, 31 and 37 high.
struct TBoldWider : text::TFakeMeasurer {
  TBoldWider() { KeepQueries = false; }
  int TextWidthW(const text::TFontSpec& Font, const std::u16string& Text) override {
    const int wider = ((Font.Style & text::fsBold) ? 1 : 0) + (Font.Name == "Courier" ? 2 : 0);
    return TFakeMeasurer::TextWidthW(Font, Text) + wider * int(Text.size());
  }
};

TKVTextRun TextRun(uint16_t Start, uint16_t Length, uint16_t Size, uint8_t Style = 0) {
  TKVTextRun run;
  run.Start = Start, run.Length = Length, run.Size = Size, run.Style = Style;
  return run;
}

struct CaretCase {
  const char* Name;
  bool Plain;
  int32_t X, Y;                     // of the press, from the first line's left and the box's top
  int32_t Line, Char, CaretX, Top;  // the caret's, from the same
  friend std::ostream& operator<<(std::ostream& S, const CaretCase& C) { return S << C.Name; }
};

// A page of 2000 x 1500 pixels, below and right of rulers of 24, with the
// edited item's first line from Left and its box from Top.
class CaretView : public ViewTest {
protected:
  void SetUp() override {
    text::InstallMeasurer(&measurer);
    MakeScore(1);
    PageOfPixels(2000, 1500);
  }
  void TearDown() override {
    view().EditedText = nullptr;
    text::InstallMeasurer(nullptr);
  }
  // Scrolled away right of it and below, the view comes back to the caret:
  // the content point it scrolls to.
  std::pair<int32_t, int32_t> ScrolledToCaret() {
    horz().SetPosition(1200), vert().SetPosition(900);
    view().ScrollToCursor(-1, false);
    return {view().HorzPosition() + 24, view().VertPosition() + 24};
  }
  // A press at (X, Y) from Left and Top puts the caret on Char of Line; it
  // is drawn at CaretX from Left, in its column only, its line Top below
  // the first's; and the view scrolls back to it.
  void ExpectCaret(int32_t X, int32_t Y, int32_t Line, int32_t Char, int32_t CaretX, int32_t Top) {
    view().SetCursorAtPoint({left + X, top + Y}, true);
    EXPECT_EQ(std::pair(view().CaretLine, view().CaretChar), std::pair(Line, Char));
    const int32_t x = left + CaretX, y = top + Top + 5;
    view().ShowCursor(false);
    const window::TScreenImage hidden = Snapshot();
    view().ShowCursor(true);
    const window::TScreenImage shown = Snapshot();
    for (int32_t dx : {-2, 0, 2})
      EXPECT_EQ(PixelIn(shown, control, {x + dx, y}) != PixelIn(hidden, control, {x + dx, y}), dx == 0) << dx;
    EXPECT_EQ(ScrolledToCaret(), std::pair(x, top + Top));
    view().ShowCursor(false);
  }

  TBoldWider measurer;
  int32_t left = 0, top = 0;
};

// A text of the score at (100, 100); its box starts 4 pixels before it, its
// lines 3 pixels into the box.
class ViewCaret : public CaretView, public ::testing::WithParamInterface<CaretCase> {
protected:
  // The text being edited, in place of the one before.
  void Edit(std::vector<std::u16string> Lines, std::vector<std::vector<TKVTextRun>> Runs) {
    view().EditedText = nullptr;
    delete edited;
    edited = static_cast<TKVText*>(CreateItemByKind(ItemKind::Text, score.get()));
    edited->Data().setI16(PageObjectBlock::X, 800), edited->Data().setI16(PageObjectBlock::Y, 800);
    edited->Lines().assign(Lines.begin(), Lines.end());
    edited->Runs = std::move(Runs);
    score->Reformat(0);
    Pump();
    const TKVPageRecord& page = PageRecordAt(0);
    for (uint16_t i = 0; i < page.PageObjectCount; ++i)
      if (page.PageObjects[i]->Item == edited) view().EditedText = page.PageObjects[i].get();
    // Where the layout put it: one wider than the page at the page's left.
    const TKVLayoutRect& b = view().EditedText->Bounds;
    left = 24 + view().PageRect(0).Left + b.Left / 8 - 1, top = 24 + view().PageRect(0).Top + b.Top / 8 - 4;
  }

  TKVText* edited = nullptr;  // the score's
};

// Formatted, line 0 in three runs: "ab" 8 points (9 + 6), "pw" 24 points
// bold (17 + 17), "c" 8 points (6), so edges 9, 15, 32, 49, 55 and 37 high;
// line 1 in two: "wi" 16 points bold (12 + 12), "ad" 8 points (9 + 7), so
// edges 12, 24, 33, 40, starting 37 down. Plain, "abpwc" twice at 8
// points: edges 9, 15, 21, 27, 33, lines 13 high. A press finds the first
// character whose right edge reaches it.
const CaretCase Cases[] = {
    {"in the first narrow run", false, 10, 3 + 5, 0, 1, 9, 0},
    {"on the edge between runs", false, 15, 3 + 5, 0, 1, 9, 0},
    {"one past that edge", false, 16, 3 + 5, 0, 2, 15, 0},
    {"inside the wide run", false, 40, 3 + 20, 0, 3, 32, 0},
    {"past the line's end", false, 300, 3 + 36, 0, 5, 55, 0},
    {"second line, run edge", false, 24, 3 + 37, 1, 1, 12, 37},
    {"second line, narrow run", false, 30, 3 + 60, 1, 2, 24, 37},
    {"below and past the text", false, 300, 500, 1, 4, 40, 37},
    {"above and left of it", false, -50, -50, 0, 0, 0, 0},
    {"plain, one run", true, 16, 3 + 5, 0, 2, 15, 0},
    {"plain, second line", true, 27, 3 + 13, 1, 3, 21, 13},
};

TEST_P(ViewCaret, APressPlacesTheCaretWhereItsLineIsMeasured) {
  const CaretCase& c = GetParam();
  if (c.Plain)
    Edit({u"abpwc", u"abpwc"}, {});
  else
    Edit({u"abpwc", u"wiad"}, {{TextRun(0, 2, 8), TextRun(2, 2, 24, text::fsBold), TextRun(4, 1, 8)},
                               {TextRun(5, 2, 16, text::fsBold), TextRun(7, 2, 8)}});
  ExpectCaret(c.X, c.Y, c.Line, c.Char, c.CaretX, c.Top);
}

INSTANTIATE_TEST_SUITE_P(Runs, ViewCaret, ::testing::ValuesIn(Cases));

// A text whose lines have no runs, a run past the text or reaching past
// it, runs of no characters, fonts of 0 points (8) and 10,000 points (em
// 13333: a bold "c" 7334, "d" 8001): any press leaves the caret within
// what the lines hold, and a host's caret far past the text is drawn at
// the end of the last line.
TEST_F(ViewCaret, RunsThatMakeNoSenseKeepTheCaretInsideTheText) {
  struct Case {
    const char* Name;
    std::vector<std::u16string> Lines;
    std::vector<std::vector<TKVTextRun>> Runs;
    std::vector<size_t> Lengths;  // of each line, as its runs address the text
    int32_t EndX;                 // of the last line
  } cases[] = {
      {"lines without runs", {u"abc"}, {{}, {}}, {0, 0}, 0},
      {"a run past the text", {u"ab"}, {{TextRun(0, 2, 8), TextRun(40, 5, 24)}}, {2}, 15},
      {"a run reaching past it", {u"ab"}, {{TextRun(1, 900, 8)}}, {1}, 6},
      {"runs of no characters", {u"ab"}, {{TextRun(0, 0, 8), TextRun(2, 0, 24), TextRun(0, 2, 8)}}, {2}, 15},
      {"sizes 0 and 10,000", {u"abcd"}, {{TextRun(0, 2, 0), TextRun(2, 2, 10000, text::fsBold)}}, {4}, 15 + 7334 + 8001},
      {"no lines at all", {}, {{TextRun(0, 3, 8)}}, {0}, 0},
  };
  for (const Case& c : cases) {
    Edit(c.Lines, c.Runs);
    for (canvas::TPoint p : {canvas::TPoint{left + 5, top + 5}, {-30000, -30000}, {INT32_MAX / 2, INT32_MAX / 2}}) {
      view().SetCursorAtPoint(p, true);
      ASSERT_TRUE(view().CaretLine >= 0 && size_t(view().CaretLine) < c.Lengths.size()) << c.Name;
      EXPECT_TRUE(view().CaretChar >= 0 && size_t(view().CaretChar) <= c.Lengths[size_t(view().CaretLine)]) << c.Name;
    }
    view().ShowCursor(false);
    view().CaretLine = 1000, view().CaretChar = 1000000;
    view().ShowCursor(true);
    const int32_t end = ScrolledToCaret().first;
    if (left + c.EndX < 1200)
      EXPECT_EQ(end, left + c.EndX) << c.Name;
    else
      EXPECT_GT(end, 1200) << c.Name << ": as far right as the bar goes";
    view().ShowCursor(false);
    horz().SetPosition(0), vert().SetPosition(0);
  }
}

struct LyricCaretCase {
  const char* Name;
  uint8_t Size, Style, Flags;  // of the lyric; flags bits 4-5 its alignment
  const char* Face;
  std::u16string First, Second;  // its lines
  int32_t X, Y;                     // of the press, from the box's left text edge and top
  int32_t Line, Char, CaretX, Top;  // the caret's, from the same
  friend std::ostream& operator<<(std::ostream& S, const LyricCaretCase& C) { return S << C.Name; }
};

// A lyric under the first note whose box the score keeps at 100 x 75
// pixels: with 4 pixels of box beyond either side and the lines 3 pixels
// into the box, they have 102 pixels, from Left, to align in.
class ViewLyricCaret : public CaretView, public ::testing::WithParamInterface<LyricCaretCase> {
protected:
  void Edit(const LyricCaretCase& C) {
    TKVMeasure* measure = score->GetPiece(0)->GetPart(0)->GetMeasure(0);
    auto* lyric = static_cast<TKVLyric*>(CreateItemByKind(ItemKind::Syllable, measure));
    lyric->SetOffsetY(480);
    lyric->SetBox(800, 600);
    lyric->SetFontSize(C.Size), lyric->SetFontStyle(C.Style), lyric->SetFlags(C.Flags);
    lyric->SetText(C.Face);
    lyric->Lines() = {C.First, C.Second};
    score->Reformat(0);
    Pump();
    view().EditedText = lyric->DisplayLink;
    ASSERT_NE(view().EditedText, nullptr);
    const TKVLayoutRect& b = view().EditedText->Bounds;
    ASSERT_EQ(b.Width - b.Left, 800) << "the box kept";
    left = 24 + view().PageRect(0).Left + b.Left / 8 - 1, top = 24 + view().PageRect(0).Top + b.Top / 8 - 4;
  }
};

// 20 points bold, left: "abd" 23 + 15 + 17, edges 23, 38, 55; "ca" 16 +
// 23, edges 16, 39; lines 31 high. Courier (two wider) at 0 points (8),
// centred: "abpwc" 11 + 8 + 8 + 8 + 8 = 43 from (102 - 43) div 2 = 29,
// edges 40, 48, 56, 64, 72; "ab" 11 + 8 = 19 from (102 - 19) div 2 = 41,
// edges 52, 60. Arial 8, right: "abpwc" 9 + 6 + 6 + 6 + 6 = 33 from 102 -
// 33 = 69, edges 78, 84, 90, 96, 102; "dab" 7 + 9 + 6 = 22 from 80, edges
// 87, 96, 102. Lines of 8 points are 13 high.
const LyricCaretCase LyricCases[] = {
    {"20 points bold, at its start", 20, text::fsBold, 0x00, "", u"abd", u"ca", 0, 3 + 5, 0, 0, 0, 0},
    {"20 points bold, inside", 20, text::fsBold, 0x00, "", u"abd", u"ca", 30, 3 + 10, 0, 1, 23, 0},
    {"20 points bold, past the end", 20, text::fsBold, 0x00, "", u"abd", u"ca", 300, 3 + 36, 1, 2, 39, 31},
    {"centred, left of its start", 0, 0, 0x10, "Courier", u"abpwc", u"ab", 5, 3 + 5, 0, 0, 29, 0},
    {"centred, inside", 0, 0, 0x10, "Courier", u"abpwc", u"ab", 55, 3 + 18, 1, 1, 52, 13},
    {"centred, past the end", 0, 0, 0x10, "Courier", u"abpwc", u"ab", 95, 3 + 5, 0, 5, 72, 0},
    {"right, at its start", 8, 0, 0x20, "", u"abpwc", u"dab", 70, 3 + 5, 0, 0, 69, 0},
    {"right, inside", 8, 0, 0x20, "", u"abpwc", u"dab", 96, 3 + 18, 1, 1, 87, 13},
    {"right, past the end", 8, 0, 0x20, "", u"abpwc", u"dab", 150, 3 + 5, 0, 5, 102, 0},
};

TEST_P(ViewLyricCaret, APressPlacesTheCaretWhereTheLyricsLineIsMeasuredAndAligned) {
  const LyricCaretCase& c = GetParam();
  Edit(c);
  ExpectCaret(c.X, c.Y, c.Line, c.Char, c.CaretX, c.Top);
}

INSTANTIATE_TEST_SUITE_P(Lyrics, ViewLyricCaret, ::testing::ValuesIn(LyricCases));

}  // namespace
