// Texts of a page: multi-line Unicode texts, plain (one font, aligned line
// by line, turned by their angle) or formatted (runs of their own font and
// colour), with the characters selected in the text being edited in place
// highlighted; and page marks, whose wording the page composer wrote,
// turned like a text's line.

#include <algorithm>

#include "base/Utf8.h"
#include "player/Window.h"
#include "render/page/PageDrawer.h"
#include "render/page/ScaledMath.h"
#include "render/page/TurnedFont.h"
#include "score/layout/page/PageRecords.h"
#include "score/model/ElementBlocks.h"
#include "score/model/PageTexts.h"

namespace render {

void TKVPageDrawer::DrawTextObject(TKVText& Text, const TKVDisplayItem* Record, const canvas::TRect& R) {
  const TByteBlock& data = Text.Data();
  const bool edited = Record && View.EditedText == Record;
  const TKVWideList& lines = Text.Lines();
  Canvas.Brush.Style = canvas::bsClear;

  if (!Text.Runs.empty()) {
    // Each run writes characters of one line at its own place in the box.
    for (const std::vector<TKVTextRun>& runs : Text.Runs)
      for (const TKVTextRun& run : runs) {
        if (run.Hidden || run.Segment >= Text.Segments.size()) continue;
        const TKVTextSegment& segment = Text.Segments[run.Segment];
        if (segment.Line >= lines.size()) continue;
        const std::u16string& line = lines[segment.Line];
        const size_t last = std::min<size_t>(segment.Last, line.size() == 0 ? 0 : line.size() - 1);
        if (segment.First >= line.size() || segment.First > last) continue;
        const std::u16string_view chars = std::u16string_view(line).substr(segment.First, last - segment.First + 1);
        Canvas.Font.Name = run.FontName.empty() ? "Arial" : run.FontName;
        Canvas.Font.SetSize(TextFontSize(run.Size == 0 ? 8 : run.Size));
        Canvas.Font.Style = run.Style;
        const canvas::TPoint at = ScaleObjectPoint(run.Left, run.Top);
        const TSelectedRange selected = edited ? SelectionOn(segment.Line, segment.First, chars.size()) : TSelectedRange{};
        WriteSelected(int64_t(R.Left) + at.X, int64_t(R.Top) + at.Y, chars, selected, run.Color);
      }
    Canvas.Font.Style = 0;
    return;
  }

  const uint8_t size = data.u8(TextBlock::FontSize);
  Canvas.Font.Name = Text.Text1().empty() ? "Arial" : Text.Text1();
  Canvas.Font.SetSize(TextFontSize(size == 0 ? 8 : size));
  Canvas.Font.Style = data.u8(TextBlock::FontStyle);
  Canvas.Font.Color = data.u32(TextBlock::FontColor);
  DrawTextLines(lines, R, TextAlignOf(data.u8(TextBlock::Flags)), data.u16(TextBlock::Angle), edited,
                Canvas.Font.Color);
  Canvas.Font.Style = 0;
}

void TKVPageDrawer::DrawPageMarkObject(const TKVPageMark& Mark, const TKVDisplayItem& Record, const canvas::TRect& R) {
  const TByteBlock& data = Mark.Data();
  Canvas.Font.Name = Mark.Text().empty() ? "Arial" : Mark.Text();
  Canvas.Font.SetSize(TextFontSize(data.u8(PageMarkBlock::FontSize)));
  Canvas.Font.Style = data.u8(PageMarkBlock::FontStyle);
  Canvas.Font.Color = data.u32(PageMarkBlock::FontColor);
  Canvas.Brush.Style = canvas::bsClear;
  const std::u16string text = Utf8ToUtf16(Record.Text);
  if (const int32_t angle = data.u16(PageMarkBlock::Angle) % 360; angle != 0) {
    // Turned like a text's single line, in a turned font.
    const canvas::TSize extent = Canvas.TextExtent(text);
    const canvas::TPoint offset = TurnedBlockOffset(angle, extent.Cx, extent.Cy);
    TTurnedFont turned(Canvas, angle);
    Canvas.TextOut(ClampCoordinate(int64_t(R.Left) + offset.X), ClampCoordinate(int64_t(R.Top) + offset.Y), text);
  } else {
    Canvas.TextOut(R.Left, R.Top, text);
  }
  Canvas.Font.Style = 0;
}

}  // namespace render
