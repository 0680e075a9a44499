// Chord symbols: the pieces of text the chord holds, each in its own style
// at the place the layout gave it inside the symbol's rectangle.

#include "player/Window.h"
#include "render/page/PageDrawer.h"
#include "render/page/ScaledMath.h"
#include "score/layout/LayoutServices.h"
#include "score/model/Chord.h"
#include "score/model/Score.h"

namespace render {

void TKVPageDrawer::DrawChordSymbol(TKVChord& Chord) {
  TKVDisplayItem& record = *CurrentRecord;
  Canvas.Font.Name = TextFontName(*Score, 10, Chord.Text());
  // Chords are greyed by voice, part and piece (not by staff); one without
  // a staff line keeps its colour.
  ItemColor = RuleColor(InEditVoice(Chord.StaffVoice(), record), Chord.Color());
  Canvas.Font.Color = ItemColor;
  Canvas.Brush.Style = canvas::bsClear;
  ScaleCurrentRect();
  int64_t size = SymbolFontSize(8);
  if (Chord.FontSize() != 0)
    size = View.Style() == wsPrint ? Chord.FontSize() : Chord.FontSize() * ScaleProduct / 10000;
  TKVChordEntryList& runs = Chord.Entries();
  for (int32_t i = 0; i < runs.Count(); ++i) {
    const TKVChordEntry& run = *runs.Get(i);
    Canvas.Font.SetSize(ClampCoordinate(size));
    Canvas.Font.Style = run.Record.u8(ChordBlock::EntryStyle) | Chord.FontStyle();
    const int64_t x = ItemRect.Left + int64_t(run.Record.i16(ChordBlock::EntryStartX)) * ScaleProduct / 10000 / 8;
    const int64_t y = ItemRect.Top + int64_t(run.Record.i16(ChordBlock::EntryY)) * ScaleProduct / 10000 / 8;
    Canvas.TextOutA(ClampCoordinate(x), ClampCoordinate(y), run.Text);
  }
  if (IsItemSelected(record)) DrawSelectionCorners(ItemRect);
}

}  // namespace render
