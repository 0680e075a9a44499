// Directions (dynamics, wedges, words, pedal marks) and harmony (chord
// symbols with root, kind and bass).

#include <algorithm>
#include <iterator>
#include <utility>

#include "base/Strings.h"
#include "platform/text/TextMeasurer.h"
#include "score/import/text/AnsiText.h"
#include "score/import/musicxml/MusicXMLWalk.h"
#include "score/model/Chord.h"
#include "score/model/ItemKinds.h"
#include "score/model/Lyric.h"
#include "score/model/Mark.h"
#include "score/model/Measure.h"
#include "score/model/Note.h"
#include "score/model/Part.h"
#include "score/model/Pause.h"
#include "score/model/Score.h"

namespace {

constexpr uint8_t CrescendoVariant = 50, DiminuendoVariant = 51;
constexpr uint8_t SharpBit = 0x10, FlatBit = 0x20;

void AddOffset(TByteBlock& data, size_t offset, int32_t delta) {
  data.setI16(offset, Clamp16(int64_t(data.i16(offset)) + delta));
}

// The sub-kind of each dynamic letter element.
int32_t DynamicVariant(TKVXMLElement code) {
  switch (code) {
    case xeP: return 0;
    case xePp: return 1;
    case xePpp: return 2;
    case xeMp: return 3;
    case xeFp: return 4;
    case xeMf: return 5;
    case xeF: return 6;
    case xeFf: return 7;
    case xeFff: return 8;
    case xeSf: return 9;
    case xeEsf: return 10;
    case xeFz: return 11;
    case xeSfz: return 12;
    default: return -1;
  }
}

// The chord block of each harmony kind: its size, byte 0 and the tones that
// follow the root (0 for none); augmented and diminished mark the root.
struct TKindBlock {
  int8_t Size;  // 0: the block stays as it is
  uint8_t Tones, Third, Fourth, RootBits;
};
constexpr TKindBlock KindBlocks[21] = {
    {5, 3, 0x30, 0x10, 0}, {5, 3, 0x20, 0x10, 0}, {4, 1, 0, 0, SharpBit}, {4, 1, 0, 0, FlatBit},
    {4, 2, 0x12, 0, 0},    {5, 3, 0x12, 0x30, 0}, {5, 3, 0x20, 0x12, 0}, {0, 0, 0, 0, 0},
    {0, 0, 0, 0, 0},       {0, 0, 0, 0, 0},       {5, 3, 0x30, 0x11, 0}, {5, 3, 0x20, 0x11, 0},
    {4, 2, 0x13, 0, 0},    {5, 3, 0x30, 0x13, 0}, {5, 3, 0x20, 0x13, 0}, {4, 2, 0x14, 0, 0},
    {5, 3, 0x30, 0x14, 0}, {5, 3, 0x20, 0x14, 0}, {4, 2, 0x15, 0, 0},    {5, 3, 0x30, 0x15, 0},
    {5, 3, 0x20, 0x15, 0}};

}  // namespace

bool TKVMusicXMLWalk::HandleDirection(TKVXMLElement Code) {
  if (int32_t variant = DynamicVariant(Code); variant >= 0) {
    if (ParentIs(xeDynamics) && FMark) FMark->SetVariant(uint8_t(variant));
    return true;
  }
  switch (Code) {
    case xeDirection:
      if (ParentIs(xeMeasure)) {
        SetScope(Code);
        FDirectionItems.clear();
        FDirectionTempo = nullptr;
      }
      return true;
    case xeDirectionType:
      if (ParentIs(xeDirection)) SetScope(Code);
      return true;
    case xePlacement:
      if (ParentIs(xeDirection))
        FAbove = Text() == "above";
      else if (ParentIs(xeDynamics) || ParentIs(xePedal, xeTurn))
        OnMarkAttribute(Code);
      return true;
    case xeDynamics:
      if (ParentIs(xeDirectionType, xeNotations)) OnDynamics();
      return true;
    case xeDefaultX:  // taken by none of them (see OnMarkAttribute)
      return true;
    case xeDefaultY:
      // A hairpin is placed by a default-y read before its wedge's type, as
      // wedges have always been read; a stop's places no hairpin.
      if (ParentIs(xeWedge) && (FWedgeStarts || FWedgeStops)) return true;
      if (ParentIs(xeWedge, xeWords) || ParentIs(xeDynamics) || ParentIs(xePedal, xeTurn)) NoteOffset(Code);
      return true;
    case xeRelativeX:
    case xeRelativeY:
      if (ParentIs(xeWedge, xeWords) || ParentIs(xeDynamics) || ParentIs(xePedal, xeArpeggiate)) NoteOffset(Code);
      return true;
    case xeWedge:
      if (ParentIs(xeDirectionType)) {
        SetScope(Code);
        FWedgeNumber = 1;
        FWedgeStarts = FWedgeStops = false;
      }
      return true;
    case xeNumber:
      if (!ParentIs(xeWedge)) return false;
      FWedgeNumber = Number(1);
      return true;
    case xeType:
      if (ParentIs(xeWedge))
        OnWedgeType();
      else if (ParentIs(xePedal) && FMark && FMark->Kind() == ItemKind::Pedal)
        FMark->SetVariant(Text() == "start" ? 1 : 0);
      return true;
    case xeWords:
      if (ParentIs(xeDirectionType)) OnWords();
      return true;
    case xeFontStyle:
    case xeFontWeight:
      if (ParentIs(xeWords)) OnWordsAttribute(Code);
      return true;
    case xePedal:
      if (ParentIs(xeDirectionType)) OnPedal();
      return true;
    case xeStaff:
      if (ParentIs(xeDirection)) OnDirectionStaff();
      return true;
    case xeDirective:
      if (ParentIs(xeMeasure)) OnDirective();
      return true;
    case xeHarmony:
      if (ParentIs(xeMeasure)) {
        SetScope(Code);
        FChord = nullptr;  // a bass or kind without a root has no chord symbol to go to
      }
      return true;
    case xeRoot:
      if (ParentIs(xeHarmony)) OnRoot();
      return true;
    case xeBass:
      if (ParentIs(xeHarmony)) SetScope(Code);
      return true;
    case xeRootStep:
    case xeBassStep:
      if (ParentIs(Code == xeRootStep ? xeRoot : xeBass)) OnChordStep(Code == xeBassStep);
      return true;
    case xeRootAlter:
    case xeBassAlter:
      if (ParentIs(Code == xeRootAlter ? xeRoot : xeBass)) OnChordAlter(Code == xeBassAlter);
      return true;
    case xeKind:
      if (ParentIs(xeHarmony)) OnKind();
      return true;
    case xeText:
      if (GrandParent() == xeHarmony) OnKindText();
      return true;
    default:
      return false;
  }
}

// ---- dynamics, wedges, words and pedals ----

// A direction's dynamic stands where the next note goes; one in a note's
// notations at that note, on its staff: at Next it stood under the note
// after it, and one of a measure's last note, past the measure's end, was
// dropped by the layout.
void TKVMusicXMLWalk::OnDynamics() {
  if (!FMeasure) return;
  FMark = new TKVMark(FMeasure);
  FMark->SetKind(ItemKind::Dynamic);
  const bool ofNote = ParentIs(xeNotations) && (FNote || FRest);
  FMark->SetPosition(uint16_t(ofNote ? NoteStart() : FNext));
  if (FNote)
    FMark->SetStaffVoice(FNote->StaffVoice());
  else if (ofNote)
    FMark->SetStaffVoice(FRest->StaffVoice());
  FMark->Data().setI16(MarkBlock::OffsetY, Clamp16(DynamicOffset(FAbove)));
  if (ParentIs(xeDirectionType)) FDirectionItems.push_back(FMark);
  SetScope(xeDynamics);
}

// The centre of a dynamic above or below its staff, from the staff's top line.
int32_t TKVMusicXMLWalk::DynamicOffset(bool Above) const {
  return Above ? 48 - LineSpaceUnits(5) : 48 + LineSpaceUnits(7);
}

// A relative position moves a mark right and up; the layout's y grows
// downwards. Added as it stands, a mark moved up went down by as much. A
// default-y is from the staff's top line, up.
void TKVMusicXMLWalk::NoteOffset(TKVXMLElement Code) {
  const int32_t tenths = TenthsOffset();
  if (Code == xeDefaultY) {
    FOffsets.HasDefaultY = true;
    FOffsets.DefaultY = -tenths;
  } else if (Code == xeRelativeX) {
    FOffsets.RelativeX += tenths;
  } else if (Code == xeRelativeY) {
    FOffsets.RelativeY -= tenths;
  }
}

bool TKVMusicXMLWalk::TakesOffsets(uint8_t Code) {
  switch (Code) {
    case xeLyric: case xeWords: case xeDynamics: case xeWedge: case xePedal: case xeTurn: case xeArpeggiate:
      return true;
    default: return false;
  }
}

// The default-y first, then the relative offsets from there. A syllable
// takes no relative offset; a wedge's offsets are its start's.
void TKVMusicXMLWalk::ApplyOffsets(uint8_t Code) {
  const TKVXMLOffsets offsets = std::exchange(FOffsets, {});
  TKVItem* item = nullptr;
  size_t x = MarkBlock::OffsetX, y = MarkBlock::OffsetY;
  int32_t top = 0;  // the default-y's place in the item from the point it names
  if (Code == xeLyric || Code == xeWords) {
    item = FLyric;
    x = LyricBlock::OffsetX;
    y = LyricBlock::OffsetY;
  } else {
    item = Code == xeWedge ? (FWedgeStarts ? FWedge : nullptr) : FMark;
  }
  if (!item) return;
  TByteBlock& data = item->Data();
  if (Code == xeWords && offsets.HasDefaultY) {
    // The words' default-y is their baseline from the staff's top line (not
    // a shift of their place above or below the staff, which put words
    // written below a piano's upper staff on the lower one); their offset
    // is the top of their text, a line's ascent (of the plain face,
    // whatever their style) above it. Words carry no font of their own.
    text::TFontSpec font = FLyric->LayoutFont();
    font.Style = 0;
    top = -text::CurrentMeasurer().GetTextMetrics(font).Ascent;
  }
  if (offsets.HasDefaultY) data.setI16(y, Clamp16(int64_t(offsets.DefaultY) + top));
  if (Code == xeLyric) return;
  AddOffset(data, x, offsets.RelativeX);
  AddOffset(data, y, offsets.RelativeY);
}

// Placement of the current dynamic, pedal or turn; its default-y, set when
// it ends, stands wherever the placement put it. The layout stands each of
// them at its tick already; a default-x, which an exporter measures from the
// measure's start for a direction written before the first note, only moved
// it (turned to the left) under the clef. This is why dynamics, wedges and
// words take no horizontal default offset.
//
// Placed below, a pedal or turn moves from the staff's top line to below
// the staff. A dynamic already stands above or below it: one above goes to
// the place of a dynamic below, one below stays; moved a staff's height
// further, it stood in the next staff of a piano part, or inside its own.
void TKVMusicXMLWalk::OnMarkAttribute(TKVXMLElement Code) {
  if (!FMark || Code != xePlacement || Text() != "below") return;
  TByteBlock& data = FMark->Data();
  if (FMark->Kind() != ItemKind::Dynamic)
    AddOffset(data, MarkBlock::OffsetY, LineSpaceUnits(4) + 48);
  else if (data.i16(MarkBlock::OffsetY) < 0)
    data.setI16(MarkBlock::OffsetY, Clamp16(DynamicOffset(false)));
}

// A wedge starts at the note before it and is measured, when it stops, to
// the tick where the next note goes. The number that pairs a start with its
// stop may come after the type, so both are settled when the wedge element
// ends, with its offsets. A default-y is the hairpin's middle from the
// staff's top line, above or below the staff: added to the place of a wedge
// below, it stood twice as far down, on the next staff of a piano part.
void TKVMusicXMLWalk::OnWedgeType() {
  if (!FMeasure) return;
  if (Text() == "crescendo" || Text() == "diminuendo") {
    FWedge = new TKVMark(FMeasure);
    FWedge->TKVItem::SetKind(ItemKind::Dynamic);
    FWedge->SetVariant(Text() == "crescendo" ? CrescendoVariant : DiminuendoVariant);
    FWedge->SetPosition(uint16_t(FTime));
    FWedge->Data().setI16(MarkBlock::OffsetY, Clamp16(DynamicOffset(FAbove)));
    FWedgeStarts = true;
    FDirectionItems.push_back(FWedge);
  } else if (Text() == "stop") {
    FWedgeStops = true;
  }
}

// A stop ends the newest open wedge of its number, except one read at this
// very point: exporters write a new hairpin before the stop of the one it
// follows, and that stop belongs to the older wedge. Wedges that never stop
// are forgotten beyond a few, so they cannot pile up.
void TKVMusicXMLWalk::FinishWedge() {
  constexpr size_t MostOpen = 16;
  if (FWedgeStarts && FWedge) {
    FOpenWedges.push_back({FWedge, FWedgeNumber, FMeasure, FNext});
    if (FOpenWedges.size() > MostOpen) FOpenWedges.erase(FOpenWedges.begin());
  }
  if (!FWedgeStops || !FMeasure) return;
  // The last open wedge of this number before End, or end() for none.
  auto lastBefore = [this](std::vector<TKVXMLWedge>::iterator End) {
    auto found = std::find_if(std::make_reverse_iterator(End), FOpenWedges.rend(),
                              [this](const TKVXMLWedge& w) { return w.Number == FWedgeNumber; });
    return found == FOpenWedges.rend() ? FOpenWedges.end() : std::prev(found.base());
  };
  auto stopped = lastBefore(FOpenWedges.end());
  if (stopped == FOpenWedges.end()) return;
  if (stopped->Measure == FMeasure && stopped->Next == FNext)
    if (auto older = lastBefore(stopped); older != FOpenWedges.end()) stopped = older;
  stopped->Mark->SetValue(uint16_t(std::clamp(WedgeSpan(*stopped->Mark) - 2, 0, 0xFFFF)));
  FOpenWedges.erase(stopped);
}

// Ticks from the wedge's start to Next of the current measure, over the
// measures between.
int32_t TKVMusicXMLWalk::WedgeSpan(const TKVMark& Wedge) const {
  const TKVMeasure* start = Wedge.GetMeasure();
  if (!start || start->Part() != FPart || start->Index() > FMeasure->Index()) return 0;
  if (start == FMeasure) return FNext - Wedge.Position();
  int32_t span = start->Length - Wedge.Position();
  for (int32_t i = start->Index() + 1; i < FMeasure->Index(); ++i) span += FPart->GetMeasure(i)->Length;
  return span + FNext;
}

// Words are the first part's only. They stand above or below the staff
// until their own default-y says where.
void TKVMusicXMLWalk::OnWords() {
  if (!FMeasure || !FPart || FPart->Index() != 0) return;
  FLyric = new TKVLyric(FMeasure);
  FLyric->SetKind(ItemKind::LyricText);
  FLyric->Lines().push_back(Utf8ToUtf16(Text()));
  FLyric->SetPosition(uint16_t(FNext));
  OnJumpWords(Text());
  SetScope(xeWords);
  FLyric->Data().setI16(LyricBlock::OffsetY, Clamp16(FAbove ? -160 : LineSpaceUnits(4) + 48));
  FMark = nullptr;
  FDirectionItems.push_back(FLyric);
}

// Bold and italic words. Their positions are set when they end (see
// ApplyOffsets).
void TKVMusicXMLWalk::OnWordsAttribute(TKVXMLElement Code) {
  if (!FLyric) return;
  TByteBlock& data = FLyric->Data();
  if (Code == xeFontStyle && Text() == "italic") {
    data.setU8(LyricBlock::FontStyle, data.u8(LyricBlock::FontStyle) | 2);
  } else if (Code == xeFontWeight && Text() == "bold") {
    data.setU8(LyricBlock::FontStyle, data.u8(LyricBlock::FontStyle) | 1);
  }
}

// A pedal mark stays inside its measure.
void TKVMusicXMLWalk::OnPedal() {
  if (!FMeasure) return;
  FMark = new TKVMark(FMeasure);
  FMark->SetKind(ItemKind::Pedal);
  FMark->SetPosition(uint16_t(FNext >= FMeasureLength ? std::max(FMeasureLength - 1, 0) : FNext));
  FMark->Data().setI16(MarkBlock::OffsetY, Clamp16(FAbove ? 0 : LineSpaceUnits(4) + 48));
  FDirectionItems.push_back(FMark);
  SetScope(xePedal);
}

// What a direction makes goes to the staff it names, once the voices are
// mapped: the note read before it may stand on another staff (the previous
// measure's left hand before a right-hand dynamic), and moving a mark by a
// staff's height from there put it in or under the wrong staff. A staff the
// part does not have is ignored.
void TKVMusicXMLWalk::OnDirectionStaff() {
  const int32_t staff = Number(1);
  if (!FPart || staff < 1 || staff > std::min(FPart->GetStaffCount(), 16)) return;
  for (const TKVItem* item : FDirectionItems) DirectionStaves[item] = uint8_t(staff - 1);
}

void TKVMusicXMLWalk::OnDirective() {
  if (!FMeasure) return;
  FLyric = new TKVLyric(FMeasure);
  FLyric->Lines().push_back(Utf8ToUtf16(Text()));
  FMark = nullptr;
}

// ---- harmony ----

void TKVMusicXMLWalk::OnRoot() {
  SetScope(xeRoot);
  if (!FMeasure) return;
  FChord = new TKVChord(FMeasure);
  FChord->SetNotesSize(3);
  FChord->Notes()[0] = 1;
  FChord->Notes()[1] = 0;
  FChord->SetPosition(uint16_t(FNext));
  FChord->Data().setI16(ChordBlock::OffsetY, -128);
}

// The root is byte 2; the bass follows the chord's tones.
void TKVMusicXMLWalk::OnChordStep(bool Bass) {
  if (!FChord) return;
  std::vector<uint8_t>& notes = FChord->Notes();
  if (Bass) {
    FChord->SetNotesSize(size_t(notes[0]) + 3);
    notes[1] = 1;
  }
  notes[Bass ? notes[0] + 2 : 2] = uint8_t(StepLetterIndex(Text()));
}

void TKVMusicXMLWalk::OnChordAlter(bool Bass) {
  if (!FChord) return;
  std::vector<uint8_t>& notes = FChord->Notes();
  const size_t at = Bass ? size_t(notes[0]) + 2 : 2;
  if (at >= notes.size()) return;
  const std::string alter = Trim(Text());
  if (alter == "1") notes[at] |= SharpBit;
  if (alter == "-1") notes[at] |= FlatBit;
}

void TKVMusicXMLWalk::OnKind() {
  if (!FChord) return;
  const TKindBlock& block = KindBlocks[HarmonyKindIndex(Text())];
  if (block.Size == 0) return;
  FChord->SetNotesSize(size_t(block.Size));
  std::vector<uint8_t>& notes = FChord->Notes();
  notes[0] = block.Tones;
  notes[2] |= block.RootBits;
  if (block.Third) notes[3] = block.Third;
  if (block.Fourth) notes[4] = block.Fourth;
}

void TKVMusicXMLWalk::OnKindText() {
  if (FChord) FChord->Entries().Add().Text = Text();
}
