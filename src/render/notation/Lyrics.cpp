// Lyric syllables (with their hyphen) and the texts of a staff: lines of
// Unicode text in their own font, colour and alignment, turned by their
// angle; the syllable being sung is highlighted while the view plays, and
// the text being edited in place is drawn upright with its selected
// characters highlighted.

#include "player/Window.h"
#include "render/page/PageDrawer.h"
#include "score/layout/page/PageRecords.h"
#include "score/model/ItemKinds.h"
#include "score/model/Lyric.h"

namespace render {

namespace {
constexpr uint8_t kHyphen = 0x01;
}  // namespace

void TKVPageDrawer::DrawLyric(TKVLyric& Lyric) {
  TKVDisplayItem& record = *CurrentRecord;
  // A part's name at a system start shows only where some staff of the
  // part does.
  if (Lyric.Kind() == ItemKind::LyricLine) {
    const TKVStaffLineRecord* line = record.StaffLine;
    if (!line || (line->PartRecord && (line->PartRecord->Flags & 1))) return;
  }
  Canvas.Font.Name = Lyric.FontName();
  Canvas.Font.SetSize(TextFontSize(Lyric.FontPoints()));
  Canvas.Font.Style = Lyric.FontStyle();
  const canvas::TColor own = Lyric.Color();
  if (IsSounding(Lyric)) {
    Canvas.Font.Color = SoundingColor(own);
  } else {
    Canvas.Font.Color = RuleColor(InEditVoice(Lyric.StaffVoice(), record), own);
  }
  Canvas.Brush.Style = canvas::bsClear;

  if (Lyric.Kind() == ItemKind::Syllable && (Lyric.Flags() & kHyphen)) {
    PlaceItemRect(record.Bounds);
    Canvas.TextOut(ItemRect.Left, ItemRect.Top, u"-");
  }

  ScaleItemRect(record.Bounds2, ItemRect);
  GetAnchorOffset();
  const bool edited = View.EditedText == &record;
  // A line of the edited text outside the selection is in the text's own
  // colour, never dimmed.
  DrawTextLines(Lyric.Lines(), ItemRect, Lyric.Alignment(), Lyric.Angle(), edited, own);
  Canvas.Font.Style = 0;
  if (!edited && IsItemSelected(record)) {
    ScaleItemRect(record.Bounds, ItemRect);
    GetAnchorOffset();
    DrawSelectionCorners(ItemRect);
  }
}

}  // namespace render
