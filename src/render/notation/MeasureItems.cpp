// The notation of one measure record, in two passes over its display
// records: first what lies under the items (stems and flags, beam groups,
// measure lines of staff groups, ledger lines, selection frames), then every
// item by its kind.

#include "render/page/PageDrawer.h"
#include "score/layout/page/PageRecords.h"
#include "score/model/Chord.h"
#include "score/model/Frame.h"
#include "score/model/ItemKinds.h"
#include "score/model/Liga.h"
#include "score/model/Lyric.h"
#include "score/model/Mark.h"
#include "score/model/Note.h"
#include "score/model/Pause.h"

namespace render {

namespace {

// Records the drawers can rely on: an item that is not hidden.
bool Drawable(const TKVDisplayItem* Record) { return Record && !Record->Hidden; }

template <class T, class TDraw>
void DrawAs(TKVItem& Item, TDraw Draw) {
  if (auto* item = dynamic_cast<T*>(&Item)) Draw(*item);
}

}  // namespace

void TKVPageDrawer::DrawMeasureItems() {
  TKVMeasureRecord* measure = CurrentMeasure;
  if (!measure) return;
  size_t count = std::min<size_t>(measure->DisplayCount, measure->Displays.size());
  for (int pass = 1; pass <= 2; ++pass)
    for (size_t i = 0; i < count; ++i) {
      TKVDisplayItem* record = measure->Displays[i].get();
      if (!Drawable(record)) continue;
      // The glyph offsets and substitution of one record never reach the
      // next.
      GlyphDX = GlyphDY = 0;
      SymbolFontRecord = nullptr;
      CurrentRecord = record;
      if (pass == 1)
        DrawFirstPass(*record);
      else
        DrawItem(*record);
    }
  CurrentRecord = nullptr;
}

void TKVPageDrawer::DrawFirstPass(TKVDisplayItem& Record) {
  if (Record.StaffLine) LineSpacing = Record.StaffLine->DrawnLineSpacing;
  switch (Record.RecordType) {
    case DisplayRecordType::Stem: DrawStem(Record); break;
    case DisplayRecordType::BeamGroup: DrawBeamGroup(Record); break;
    case DisplayRecordType::Connector: DrawGroupMeasureLine(Record); break;
    case DisplayRecordType::Background: DrawSelectionFrame(Record); break;
    case DisplayRecordType::Item: DrawLedgerLines(Record); break;
    default: break;
  }
}

void TKVPageDrawer::DrawItem(TKVDisplayItem& Record) {
  if (Record.RecordType != DisplayRecordType::Item || !Record.Item) return;
  TKVItem& item = *Record.Item;
  auto mark = [&](void (TKVPageDrawer::*Draw)(TKVMark&)) { DrawAs<TKVMark>(item, [&](TKVMark& m) { (this->*Draw)(m); }); };
  using namespace ItemKind;
  switch (item.Kind()) {
    case Note: DrawAs<TKVNote>(item, [&](TKVNote& n) { DrawNote(n); }); break;
    case SecondNote: DrawAs<TKVNote>(item, [&](TKVNote& n) { DrawSecondNote(n); }); break;
    case Rest: DrawAs<TKVPause>(item, [&](TKVPause& r) { DrawRest(r); }); break;
    case Chord: DrawAs<TKVChord>(item, [&](TKVChord& c) { DrawChordSymbol(c); }); break;
    case StaffBracket: mark(&TKVPageDrawer::DrawStaffBracket); break;
    case Clef: mark(&TKVPageDrawer::DrawClef); break;
    case KeySignature: mark(&TKVPageDrawer::DrawKeySignature); break;
    case Meter: mark(&TKVPageDrawer::DrawTimeSignature); break;
    case TempoMark: mark(&TKVPageDrawer::DrawTempoMark); break;
    case BarLine: mark(&TKVPageDrawer::DrawBarLineMark); break;
    case TempoEquation: mark(&TKVPageDrawer::DrawRhythmEquation); break;
    case MeasureNumber: case RehearsalMark: mark(&TKVPageDrawer::DrawMeasureNumber); break;
    case Slur: DrawAs<TKVLiga>(item, [&](TKVLiga& l) { DrawSlur(l); }); break;
    case Syllable: case LyricText: case LyricLine: DrawAs<TKVLyric>(item, [&](TKVLyric& l) { DrawLyric(l); }); break;
    case Frame: DrawAs<TKVFrame>(item, [&](TKVFrame& f) { DrawChordFrame(f); }); break;
    case DoubleSlash: case BeatRepeat: case MeasureRepeat: case MultiMeasureRest:
      mark(&TKVPageDrawer::DrawRepeatStrokes);
      break;
    case Dot: mark(&TKVPageDrawer::DrawDotRow); break;
    case Accidental: mark(&TKVPageDrawer::DrawAccidental); break;
    case Tuplet: mark(&TKVPageDrawer::DrawTuplet); break;
    case Dynamic: mark(&TKVPageDrawer::DrawDynamic); break;
    case Bend: DrawBend(item); break;
    case HeadGlyphA: case HeadGlyphB: case HeadGlyphC: case Turn: case Ornament: case Fermata: case Accent:
    case Pedal: case SingleGlyph:
      mark(&TKVPageDrawer::DrawGlyphMark);
      break;
    case Arpeggio: case HalfBracket: case Trill: case HookedBracket: case WavyLine: case ContinuedGlyph:
    case SquareBracket:
      mark(&TKVPageDrawer::DrawLineMark);
      break;
    case OctaveLine: case BarreLine: case Volta: case HarmonicLine: mark(&TKVPageDrawer::DrawSpanLine); break;
    case Fingering: case TechniqueLetter: mark(&TKVPageDrawer::DrawFingering); break;
    case Segno: case Coda: case DaCapo: case DalSegno: case RepeatStart: case RepeatEnd: case DoubleBar:
    case FinalBar: case HeavyLightBar: case DynamicSymbol:
      mark(&TKVPageDrawer::DrawNavigationMark);
      break;
    case ExtensionLine: case GlyphMarkA: case GlyphMarkB: case TwoVariantGlyph: case Staccato: case Portamento:
    case Tremolo: case VerticalArrow:
      mark(&TKVPageDrawer::DrawStrokeMark);
      break;
    case OleObject: case Text: case Image: case Line: case Rectangle: case Ellipse: case Arc: case Pie:
    case ArcChord:
      DrawAttachedObject(item);
      break;
    default: break;  // grace groups, effects, page marks, MIDI events, sounds, unknown kinds
  }
}

}  // namespace render
