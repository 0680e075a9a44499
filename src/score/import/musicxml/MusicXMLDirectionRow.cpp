// The marks of a direction stand one after another. MusicXML lays out the
// direction-types of one direction from left to right ("molto" then "f",
// "p" then "subito"), and an exporter gives each its own default-x; the
// walk takes no horizontal default offset (see MusicXMLDirections.cpp), so
// every mark of a direction stood at its tick, and a dynamic, the words
// after it and a hairpin starting there were drawn over each other. Each
// mark now starts a space after the marks of its direction read before it,
// and after those of other directions at the same tick of the same staff
// at a height where the two meet; a mark that meets none keeps its place.
// The extents are those the layout gives the marks at the offsets the walk
// has set.

#include <algorithm>

#include "platform/text/TextMeasurer.h"
#include "score/import/musicxml/MusicXMLWalk.h"
#include "score/model/ItemKinds.h"
#include "score/model/Lyric.h"
#include "score/model/Mark.h"
#include "score/model/MarkShapes.h"
#include "score/model/Score.h"

namespace {

constexpr uint8_t CrescendoVariant = 50, DiminuendoVariant = 51;
constexpr uint8_t NoStaff = 0xFF;
constexpr int32_t DynamicReach = 72;  // a line space and a half
constexpr size_t MostInRow = 32;

}  // namespace

// Where the layout will draw the item, from its tick and its staff's top
// line, and its tick in the current measure; false for an item that takes
// no part in a row.
bool TKVMusicXMLWalk::RowExtent(TKVItem& Item, TKVXMLRowMark& Extent) const {
  text::TTextMeasurer& measurer = text::CurrentMeasurer();
  if (const auto* words = ItemCast<const TKVLyric>(&Item); words && words->Kind() == ItemKind::LyricText) {
    // Without the room the layout leaves below the lines: words an exporter
    // stacks a line apart stay one under the other.
    const TKVTextSize size = LyricTextSize(measurer, *words);
    Extent = {words->OffsetX(), words->OffsetX() + size.Width, words->OffsetY(), words->OffsetY() + size.Height,
              &Item, words->Position(), FMeasure};
    return true;
  }
  const auto* mark = ItemCast<const TKVMark>(&Item);
  if (!mark || mark->Kind() != ItemKind::Dynamic) return false;
  const uint8_t variant = mark->Variant();
  if (variant == CrescendoVariant || variant == DiminuendoVariant) {
    // Only the hairpin's opening: it runs on to where it stops, and what
    // follows it in its direction starts after its opening.
    const int32_t half = HairpinHalfHeight(mark->Flags());
    Extent = {mark->OffsetX() - HairpinOpening, mark->OffsetX(), mark->OffsetY() - half, mark->OffsetY() + half,
              &Item, mark->Position(), FMeasure};
    Extent.Hairpin = true;
    return true;
  }
  if (variant > LastDynamicLetters) return false;
  // The letters of the dynamic: one music-font glyph centred at its tick.
  // The layout gives them a line space each way; an f's ascender and
  // descender reach half a line space further.
  const text::TFontSpec font{MusicFontAt(FScore, mark->FontIndex()), 144, 0};
  const int32_t width = measurer.TextWidth(font, std::string(1, char(DynamicGlyph(variant))));
  Extent = {mark->OffsetX() - width / 2, mark->OffsetX() - width / 2 + width, mark->OffsetY() - DynamicReach,
            mark->OffsetY() + DynamicReach, &Item, mark->Position(), FMeasure};
  return true;
}

// Once the direction ends (its staff is known): each mark of it, in the
// order written, after the marks of its direction and the marks of other
// directions it meets. A hairpin starts after the dynamics and words of its
// place whatever the order: one written before them (its offset later in
// the measure not taken) moves on past each of them as it comes.
void TKVMusicXMLWalk::FinishDirection() {
  if (!FMeasure) return;
  ++FDirectionSerial;
  // A row belongs to one point of one measure: marks of other points
  // cannot meet a new one.
  std::erase_if(FRow, [this](const TKVXMLRowMark& m) {
    return m.Measure != FMeasure || (m.Position != FTime && m.Position != FNext);
  });
  const int32_t gap = text::CurrentMeasurer().TextWidth({"Arial", 64, 0}, " ");
  auto meets = [gap](const TKVXMLRowMark& A, const TKVXMLRowMark& B) {
    return A.Position == B.Position && A.Staff == B.Staff && A.Left < B.Right + gap && B.Left < A.Right + gap &&
           (A.Direction == B.Direction || (A.Top < B.Bottom && B.Top < A.Bottom));
  };
  auto shift = [](TKVXMLRowMark& Mark, int32_t By) {
    TByteBlock& data = Mark.Item->Data();
    const size_t at = Mark.Item->Kind() == ItemKind::LyricText ? LyricBlock::OffsetX : MarkBlock::OffsetX;
    data.setI16(at, Clamp16(int64_t(data.i16(at)) + By));
    Mark.Left += By;
    Mark.Right += By;
  };
  for (TKVItem* item : FDirectionItems) {
    TKVXMLRowMark mark;
    if (!RowExtent(*item, mark)) continue;
    const auto staff = DirectionStaves.find(item);
    mark.Staff = staff != DirectionStaves.end() ? staff->second : NoStaff;
    mark.Direction = FDirectionSerial;
    std::vector<const TKVXMLRowMark*> before;
    for (const TKVXMLRowMark& m : FRow)
      if (mark.Hairpin || !m.Hairpin) before.push_back(&m);
    std::sort(before.begin(), before.end(), [](auto* A, auto* B) { return A->Left < B->Left; });
    for (const TKVXMLRowMark* m : before)
      if (meets(*m, mark)) shift(mark, m->Right + gap - mark.Left);
    if (!mark.Hairpin)
      for (TKVXMLRowMark& m : FRow)
        if (m.Hairpin && meets(m, mark)) shift(m, mark.Right + gap - m.Left);
    FRow.push_back(mark);
    // A row keeps its last few dozen marks, so that a file of thousands of
    // directions at one tick is not placed in quadratic time.
    if (FRow.size() > MostInRow) FRow.erase(FRow.begin());
  }
  // The metronome mark goes on after its words, wherever they now stand.
  if (FDirectionTempo) PlaceTempoBesideWords(*FDirectionTempo);
}
