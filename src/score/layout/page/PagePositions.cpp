// The display records of a composed page moved from their measure and
// staff to the page: each system and part takes the extent of its staff
// lines, each measure the system's, and every record the x of its time
// position (or of the measure's start or end, by its kind) and the y of its
// staff line. Afterwards a rectangle is (left, top, right, bottom) on the
// page, except for grace groups, which keep the measure layout's (left, top,
// width, bottom), and for objects held by a measure, whose rectangle stays
// relative to the anchor point kept in the first two values of Bounds2.

#include <algorithm>
#include <map>

#include "score/layout/ItemFields.h"
#include "score/layout/page/PageComposer.h"
#include "score/layout/page/PagePlaces.h"
#include "score/model/ItemKinds.h"
#include "score/model/Lyric.h"
#include "score/model/Mark.h"
#include "score/model/Measure.h"
#include "score/model/Part.h"
#include "score/model/Pause.h"
#include "score/model/Score.h"
#include "score/model/ScoreRoutines.h"
#include "score/model/Staff.h"

namespace {

namespace K = ItemKind;

enum class TBranch : uint8_t {
  None, Note, Attached, Rest, Slur, Span, Volta, Mark, HalfMark, Start, Centred, MultiRest, Jump, Clef, Key,
  Meter, Bar, Lyric, LyricLine, Slash, Bracket, Object, Unchanged
};

TBranch BranchOf(const TKVItem& Item) {
  switch (Item.Kind()) {
    case K::Note: case K::SecondNote: return TBranch::Note;
    case K::Accidental: case K::Dot: case K::Staccato: case K::Portamento: case K::VerticalArrow:
      return TBranch::Attached;
    case K::Rest: return TBranch::Rest;
    case K::Slur: return TBranch::Slur;
    case K::Dynamic: {
      const uint8_t variant = static_cast<const TKVMark&>(Item).Variant();
      return variant == 50 || variant == 51 ? TBranch::Span : TBranch::Mark;
    }
    case K::Trill: case K::HookedBracket: case K::WavyLine: case K::ContinuedGlyph: case K::ExtensionLine:
    case K::OctaveLine: case K::BarreLine: case K::HarmonicLine:
      return TBranch::Span;
    case K::Volta: return TBranch::Volta;
    case K::GraceGroup: return TBranch::Unchanged;
    case K::TempoMark: case K::TempoEquation: case K::Arpeggio: case K::HalfBracket: case K::Turn: case K::Ornament:
    case K::Fermata: case K::Accent: case K::Pedal: case K::Fingering: case K::TechniqueLetter: case K::SingleGlyph:
    case K::GlyphMarkA: case K::GlyphMarkB: case K::TwoVariantGlyph: case K::Tremolo: case K::SquareBracket:
    case K::Chord: case K::Frame: case K::Bend: case K::DynamicSymbol: case K::Tuplet:
      return TBranch::Mark;
    case K::BeatRepeat: case K::HeadGlyphA: case K::HeadGlyphB: case K::HeadGlyphC: return TBranch::HalfMark;
    case K::MeasureNumber: case K::RehearsalMark: return TBranch::Start;
    case K::MeasureRepeat: return TBranch::Centred;
    case K::MultiMeasureRest: return TBranch::MultiRest;
    case K::Segno: case K::Coda: case K::DaCapo: case K::DalSegno: return TBranch::Jump;
    case K::Clef: return TBranch::Clef;
    case K::KeySignature: return TBranch::Key;
    case K::Meter: return TBranch::Meter;
    case K::BarLine: case K::RepeatStart: case K::RepeatEnd: case K::DoubleBar: case K::FinalBar: case K::HeavyLightBar:
      return TBranch::Bar;
    case K::Syllable: case K::LyricText: return TBranch::Lyric;
    case K::LyricLine: return TBranch::LyricLine;
    case K::DoubleSlash: return TBranch::Slash;
    case K::StaffBracket: return TBranch::Bracket;
    case K::OleObject: case K::Text: case K::Image: case K::Line: case K::Rectangle: case K::Ellipse: case K::Arc:
    case K::Pie: case K::ArcChord:
      return TBranch::Object;
    default: return TBranch::None;
  }
}

// One measure of a page being positioned.
struct TPlacing {
  TKVComposerContext& Ctx;
  TKVMeasureRecord& R;
  // How far the syllables under each staff line of the system move down
  // (VerseDrop), by the line's index; nil when none move.
  const std::map<int32_t, int64_t>* VerseDrops = nullptr;

  // Moves the record by (X, Y); a record cut at a system end has its x on
  // the page already.
  void Move(TKVDisplayItem& D, int64_t X, int64_t Y) const {
    if (!D.Cut) return MoveRect(D.Bounds, X, Y);
    D.Bounds.Top = Saturate32(D.Bounds.Top + Y);
    D.Bounds.Bottom = Saturate32(D.Bounds.Bottom + Y);
  }

  // The tick of a clef or key; one laid out at a system's start for a clef
  // or key of an earlier measure stands at the start.
  int32_t OwnTick(const TKVDisplayItem& D) const {
    const TKVMeasure* home = D.Item->GetMeasure();
    return home && home->Index() == R.ColumnIndex ? AnchorTick(D.Item) : 0;
  }

  void Rest(TKVDisplayItem& D, const TKVStaffLineRecord& Line, int64_t Top) const {
    const auto& rest = static_cast<const TKVPause&>(*D.Item);
    const int32_t lines = Line.Staff ? Line.Staff->LineCount() : 5, ls = Line.LineSpacing;
    const int32_t value = std::max(rest.Value(), rest.Duration());
    int64_t y = Top;
    if (value == 512 || value == 256 || value >= R.Length) y += lines == 1 ? ls : lines == 2 || lines == 4 ? ls / 2 : 0;
    const TKVMeasure* measure = rest.GetMeasure();
    const int32_t staff = Line.Staff ? Line.Staff->Index() : 0;
    const bool oneVoice = !measure || !measure->StaffHasVoices(staff);
    const bool grace = AnchorTick(&rest) != rest.Position();
    int64_t x = TickX(R, AnchorTick(&rest));
    if (oneVoice && !grace && value >= R.Length)
      x = (int64_t(R.LeftX) + R.RightX + StartWidths(R)) / 2;  // a whole-measure rest stands in the middle
    Move(D, x, y);
    const bool longRest = value >= 256;
    if (longRest && (D.Bounds.Top <= int64_t(Line.InnerTop) - ls || D.Bounds.Bottom >= int64_t(Line.InnerBottom) + ls))
      D.DrawFlags |= DisplayDrawFlag::RestLedger;
  }

  // The points of a slur: from its note to its end tick, both on the
  // staff; the piece of a slur cut at a system end has its x already.
  void Slur(TKVDisplayItem& D, int64_t Y) const {
    TKVLayoutRect& p = D.Bounds2;
    if (!D.Cut) {
      p.Left = Saturate32(TickX(R, AnchorTick(D.Item)) + p.Left);
      p.Width = Saturate32(TickX(R, D.Param) + p.Width);
    }
    p.Top = Saturate32(p.Top + Y);
    p.Bottom = Saturate32(p.Bottom + Y);
    D.Bounds = {std::min(p.Left, p.Width), std::min(p.Top, p.Bottom), std::max(p.Left, p.Width),
                std::max(p.Top, p.Bottom)};
  }

  // A mark over a range of ticks that ends in its own measure reaches its
  // end tick; one that runs on was cut by the system step.
  void Span(TKVDisplayItem& D, int64_t Top) const {
    const int64_t left = TickX(R, AnchorTick(D.Item));
    Move(D, left, Top);
    D.Bounds2.Top = Saturate32(D.Bounds2.Top + Top);
    const auto& mark = static_cast<const TKVMark&>(*D.Item);
    if (!D.Cut && mark.Value() > 0 && D.Param <= R.Length)
      D.Bounds.Width = Saturate32(std::max<int64_t>(D.Bounds.Width, TickX(R, D.Param)));
  }

  void Bar(TKVDisplayItem& D, const TKVStaffLineRecord& Line) const {
    const TKVStaffLineRecord* last = SystemStaffLine(R, D.LastStaff);
    if (!last) last = &Line;
    auto reach = [](const TKVStaffLineRecord& l) {
      const int32_t lines = l.Staff ? l.Staff->LineCount() : 5;
      return lines == 1 ? l.LineSpacing : lines == 2 ? l.LineSpacing / 2 : 0;
    };
    D.Bounds.Top = Saturate32(int64_t(Line.InnerTop) - reach(Line) + D.Bounds.Top);
    D.Bounds.Bottom = Saturate32(int64_t(last->InnerBottom) + reach(*last) + D.Bounds.Bottom);
    const uint8_t kind = D.Item->Kind();
    const int32_t tick = AnchorTick(D.Item), length = R.Length;
    const int64_t left = D.Bounds.Left, width = D.Bounds.Width;
    int64_t x;
    const bool closing = kind == K::RepeatEnd || kind == K::DoubleBar || kind == K::FinalBar;
    if (closing && tick >= length - 1)
      x = int64_t(R.RightX) - width + 4;  // ends at the measure's right end
    else if (closing || (tick > 0 && tick < length && kind != K::BarLine))
      x = TickX(R, tick);
    else if (tick >= length)
      x = int64_t(R.RightX) - width;
    else if (tick == 0)
      x = kind == K::HeavyLightBar || kind == K::BarLine ? R.LeftX : R.LeftX + StartWidths(R);
    else
      x = (TickX(R, tick) + TickX(R, D.AnchorTick)) / 2;
    D.Bounds.Left = Saturate32(x + left);
    D.Bounds.Width = Saturate32(x + left + width);
  }

  void Bracket(TKVDisplayItem& D, const TKVStaffLineRecord& Line) const {
    const TKVSystemRecord& system = *R.System;
    const TKVStaffLineRecord* last = &Line;
    const TKVPart* part = Line.Staff ? Line.Staff->Part() : nullptr;
    const auto& mark = static_cast<const TKVMark&>(*D.Item);
    if (part && !Ctx.PartView()) {
      const int64_t lastPart = std::min<int64_t>(int64_t(part->Index()) + mark.Value(), int64_t(system.Parts.size()) - 1);
      if (lastPart >= 0 && system.Parts[size_t(lastPart)]->System == &system)
        if (TKVStaffLineRecord* l = system.Page->GetStaffLine(system.Parts[size_t(lastPart)]->LastStaffLine))
          if (l->System == &system) last = l;
    } else if (part && part->GetStaffCount() > 0) {
      if (TKVStaffLineRecord* l = SystemStaffLine(R, part->GetStaff(part->GetStaffCount() - 1)->LayoutIndex)) last = l;
    }
    bool shown = false;
    for (int32_t i = Line.Index; i <= last->Index; ++i)
      if (const TKVStaffLineRecord* l = system.Page->GetStaffLine(i)) shown = shown || (l->Flags & 1);
    if (!shown) D.DrawFlags |= DisplayDrawFlag::Suppressed;
    MoveRect(D.Bounds, R.LeftX, 0);
    D.Bounds.Top = Saturate32(int64_t(Line.Top) + D.Bounds.Top);
    D.Bounds.Bottom = Saturate32(int64_t(last->Bottom) + D.Bounds.Bottom);
  }

  void Meter(TKVDisplayItem& D, const TKVStaffLineRecord& Line) const {
    const auto& mark = static_cast<const TKVMark&>(*D.Item);
    const TKVStaffLineRecord* last = (mark.Flags() & 0x0C) ? SystemStaffLine(R, D.LastStaff) : nullptr;
    const int32_t tick = mark.Position();
    MoveRect(D.Bounds, tick == 0 ? int64_t(R.LeftX) + StartWidths(R) : TickX(R, tick), 0);
    D.Bounds.Top = Saturate32(int64_t(Line.Top) + D.Bounds.Top);
    D.Bounds.Bottom = Saturate32(int64_t((last ? last : &Line)->Bottom) + D.Bounds.Bottom);
  }

  void LyricLine(TKVDisplayItem& D, const TKVStaffLineRecord& Line) const {
    const auto& lyric = static_cast<const TKVLyric&>(*D.Item);
    const TKVPageRecord& page = *R.System->Page;
    const TKVSystemPartRecord* part = Line.PartRecord;
    const TKVStaffLineRecord* first = part ? page.GetStaffLine(part->FirstStaffLine) : nullptr;
    const TKVStaffLineRecord* last = part ? page.GetStaffLine(part->LastStaffLine) : nullptr;
    const int64_t top = first ? first->Top : Line.Top, bottom = last ? last->Bottom : Line.Bottom;
    const int64_t height = int64_t(D.Bounds.Bottom) - D.Bounds.Top;
    const int64_t staffSize = Line.Staff ? Line.Staff->SizePercent() : 100;
    const int64_t x = int64_t(R.LeftX) + int64_t(lyric.OffsetX()) * Ctx.Scale() * staffSize / 10000;
    const int64_t y = (top + bottom) / 2 - height / 2;
    MoveRect(D.Bounds, x, y);
    D.Bounds2 = D.Bounds;
  }

  // A tuplet's bracket runs over the group it covers (under it with flag
  // bit 4): the heads, stems and rests of its voice from its position for
  // its span, from the first one's left to the last one's right, sloped as
  // the group's first and last ends stand and a line space clear of every
  // one of them; the measure layout's offset moves it. Without such notes it
  // keeps its place at its tick.
  void Tuplet(TKVDisplayItem& D) const {
    if (!D.StaffLine || (D.DrawFlags & DisplayDrawFlag::Suppressed)) return;
    const auto& mark = static_cast<const TKVMark&>(*D.Item);
    const int64_t from = mark.Position(), to = from + TupletScale(mark.Variant(), mark.Value());
    const bool below = (mark.Flags() & 0x10) != 0;
    struct TEnd {
      int64_t Tick, Left, Right, Edge;  // Edge: the side the bracket stands on
    };
    std::vector<TEnd> group;
    for (int32_t i = 0; const TKVDisplayItem* d = R.GetDisplay(i); ++i) {
      const TKVItem* item = d->Item;
      if (!item || d->Hidden || d->StaffLine != D.StaffLine || (item->Kind() != K::Note && item->Kind() != K::Rest) ||
          (d->RecordType != DisplayRecordType::Item && d->RecordType != DisplayRecordType::Stem) ||
          ItemStaffVoice(item) != mark.StaffVoice() || AnchorTick(item) != ItemPosition(item))
        continue;
      const int64_t tick = ItemPosition(item);
      if (tick >= from && tick < to) group.push_back({tick, d->Bounds.Left, d->Bounds.Width, below ? d->Bounds.Bottom : d->Bounds.Top});
    }
    if (group.empty()) return;
    // The outermost edge of the group at its first and last tick.
    auto outer = [below](int64_t A, int64_t B) { return below ? std::max(A, B) : std::min(A, B); };
    auto [first, last] = std::minmax_element(group.begin(), group.end(), [](const TEnd& a, const TEnd& b) { return a.Tick < b.Tick; });
    int64_t left = first->Left, right = last->Right, y1 = first->Edge, y2 = last->Edge;
    for (const TEnd& e : group) {
      left = std::min(left, e.Left), right = std::max(right, e.Right);
      if (e.Tick == first->Tick) y1 = outer(y1, e.Edge);
      if (e.Tick == last->Tick) y2 = outer(y2, e.Edge);
    }
    // Lift (or lower) the line until every member stands clear of it.
    const int64_t clear = below ? D.StaffLine->LineSpacing : -int64_t(D.StaffLine->LineSpacing);
    int64_t move = 0;
    for (const TEnd& e : group) {
      const int64_t x = (e.Left + e.Right) / 2;
      const int64_t lineY = right > left ? y1 + (y2 - y1) * (x - left) / (right - left) : y1;
      move = below ? std::max(move, e.Edge + clear - lineY) : std::min(move, e.Edge + clear - lineY);
    }
    // The measure layout left the bracket's stub 32 units (scaled) left of
    // the tick, moved by the mark's offsets.
    const TKVLayoutRect& own = D.Bounds2;
    const int64_t dx = own.Left - TickX(R, AnchorTick(D.Item)) + int64_t(32) * Ctx.Scale() * D.SizePercent / 10000;
    const int64_t dy = int64_t(own.Top) - D.StaffLine->Top;
    D.Bounds2 = {Saturate32(left + dx), Saturate32(y1 + move + dy), Saturate32(right + dx), Saturate32(y2 + move + dy)};
    D.Bounds = {D.Bounds2.Left, std::min(D.Bounds2.Top, D.Bounds2.Bottom) - D.StaffLine->LineSpacing, D.Bounds2.Width,
                std::max(D.Bounds2.Top, D.Bounds2.Bottom) + D.StaffLine->LineSpacing / 2};
  }

  // A part's name never reaches into the staves or the brackets before
  // them: at the latest it ends a line space left of them, in the room the
  // system's start leaves for names.
  void KeepNamesLeft() const {
    int64_t limit = R.LeftX;
    for (int32_t i = 0; const TKVDisplayItem* d = R.GetDisplay(i); ++i)
      if (d->Item && d->Item->Kind() == K::StaffBracket && !d->Hidden && d->StaffLine &&
          !(d->DrawFlags & DisplayDrawFlag::Suppressed))
        limit = std::min<int64_t>(limit, d->Bounds.Left);
    for (int32_t i = 0; TKVDisplayItem* d = R.GetDisplay(i); ++i)
      if (d->Item && d->Item->Kind() == K::LyricLine && !d->Hidden && d->StaffLine) {
        const int64_t over = int64_t(d->Bounds.Width) - (limit - d->StaffLine->LineSpacing);
        if (over <= 0) continue;
        d->Bounds.Left = Saturate32(d->Bounds.Left - over);
        d->Bounds.Width = Saturate32(d->Bounds.Width - over);
        d->Bounds2 = d->Bounds;
      }
  }

  // How far a syllable under its staff moves down with the verses there.
  int64_t SyllableDrop(const TKVDisplayItem& D, const TKVStaffLineRecord& Line) const {
    if (!VerseDrops || D.Item->Kind() != K::Syllable ||
        !SyllableUnderStaff(D.Bounds.Top, int64_t(Line.Bottom) - Line.Top))
      return 0;
    const auto drop = VerseDrops->find(Line.Index);
    return drop == VerseDrops->end() ? 0 : drop->second;
  }

  // A syllable or staff text reserves no room beside its note: a long one
  // at a system's first note (a MIDI file's title, say) would start left
  // of the page, one at its last note end past it. It moves onto the page,
  // the left edge first; one whose note stands past the page (a measure
  // wider than the page) keeps its place.
  void KeepTextOnPage(TKVDisplayItem& D, int64_t NoteX) const {
    if (D.Cut || NoteX < 0 || NoteX > Ctx.PageWidth) return;
    int64_t shift = std::min<int64_t>(int64_t(Ctx.PageWidth) - D.Bounds.Width, 0);
    shift = std::max<int64_t>(shift, -int64_t(D.Bounds.Left));
    if (shift == 0) return;
    D.Bounds.Left = Saturate32(D.Bounds.Left + shift);
    D.Bounds.Width = Saturate32(D.Bounds.Width + shift);
  }

  void MultiRest(TKVDisplayItem& D, int64_t Top, int32_t LineSpace) const {
    const auto& mark = static_cast<const TKVMark&>(*D.Item);
    const int64_t room = int64_t(R.RightX) - R.LeftX - StartWidths(R);
    const int64_t length = mark.Variant() == 0 ? room - 2 * int64_t(LineSpace) : mark.Variant() == 1 ? LineSpace / 2
                                                                                                       : 2 * LineSpace;
    const int64_t left = int64_t(R.LeftX) + StartWidths(R) + (room - length) / 2 + D.Bounds2.Left;
    TKVLayoutRect& b = D.Bounds2;
    b = {Saturate32(left), Saturate32(Top + b.Top), Saturate32(left + std::max<int64_t>(length, 0)),
         Saturate32(Top + b.Bottom)};
    D.Bounds = b;
  }

  void Position(TKVDisplayItem& D) {
    if (!D.Item || D.Hidden) return;
    const TBranch branch = BranchOf(*D.Item);
    if (branch == TBranch::None) return;
    TKVStaffLineRecord* line = SystemStaffLine(R, D.StaffIndex);
    D.StaffLine = line;
    if (!line) {
      D.DrawFlags |= DisplayDrawFlag::Suppressed;
      return;
    }
    const int64_t top = line->Top, half = HalfLineSpace(*line);
    const int32_t tick = AnchorTick(D.Item);
    // Something standing past its measure's end is not drawn.
    if (tick > R.Length && branch != TBranch::Bar && branch != TBranch::Clef && branch != TBranch::Key &&
        branch != TBranch::Jump && branch != TBranch::Object) {
      D.DrawFlags |= DisplayDrawFlag::Suppressed;
      return;
    }
    switch (branch) {
      case TBranch::Note:
      case TBranch::Attached:
      case TBranch::HalfMark: Move(D, TickX(R, tick), top + half); break;
      case TBranch::Rest: Rest(D, *line, top); break;
      case TBranch::Slur: Slur(D, top + half); break;
      case TBranch::Span: Span(D, top); break;
      case TBranch::Volta:
        if (!D.Cut) {
          MoveRect(D.Bounds, int64_t(R.LeftX) + StartWidths(R), line->InnerTop);
          D.Bounds.Width = std::max(D.Bounds.Width, R.RightX);
        } else {
          Move(D, 0, line->InnerTop);
        }
        break;
      case TBranch::Mark:
        Move(D, TickX(R, tick), top);
        if (D.Item->Kind() == K::Tuplet || D.Item->Kind() == K::Bend) MoveRect(D.Bounds2, TickX(R, tick), top);
        if (D.Item->Kind() == K::Tremolo) D.Bounds2.Top = Saturate32(D.Bounds2.Top + top);
        break;
      case TBranch::Start: Move(D, int64_t(R.LeftX) + StartWidths(R), top); break;
      case TBranch::Centred:
        Move(D, (static_cast<const TKVMark&>(*D.Item).Flags() & 1) ? R.RightX
                                                                   : int64_t(R.LeftX) + (StartWidths(R) + R.TotalWidth) / 2,
             top + half);
        break;
      case TBranch::MultiRest: MultiRest(D, top, line->LineSpacing); break;
      case TBranch::Jump:
        Move(D, tick >= R.Length - 1 ? int64_t(R.RightX) - D.Bounds.Width : TickX(R, tick), top);
        break;
      case TBranch::Clef: {
        D.StaffTop = line->Top;
        D.StaffBottom = line->Bottom;
        const int32_t own = OwnTick(D);
        const int64_t end = EndWidths(R);
        const int64_t x = own == 0                ? int64_t(R.LeftX) + R.Extents[ExtentWord::ExtraLeft]
                          : own < R.Length - 1 ? TickX(R, own)
                                               : int64_t(R.RightX) - (end != 0 ? end : 8);
        // The clef's extent reaches from above the staff's top line to below
        // its bottom line: a tablature or percussion clef fills the staff.
        MoveRect(D.Bounds, x, top);
        D.Bounds.Bottom = Saturate32(int64_t(D.Bounds.Bottom) - top + line->Bottom);
        break;
      }
      case TBranch::Key: {
        // A key stands after the clef at the measure's start, at its tick
        // inside, or in the end room (the naturals closing the measure).
        const int32_t own = OwnTick(D);
        int64_t x = int64_t(R.RightX) - R.Extents[ExtentWord::EndKeyWidth];
        if (!(D.Flags & 0x20) && own == 0)
          x = int64_t(R.LeftX) + R.Extents[ExtentWord::ExtraLeft] + R.Extents[ExtentWord::ClefWidth];
        else if (!(D.Flags & 0x20) && (own < R.Length - 1 || R.Length < 2))
          x = TickX(R, own);
        Move(D, x, top);
        break;
      }
      case TBranch::Meter: Meter(D, *line); break;
      case TBranch::Bar: Bar(D, *line); break;
      case TBranch::Lyric:
        Move(D, TickX(R, tick), top + SyllableDrop(D, *line));
        KeepTextOnPage(D, TickX(R, tick));
        D.Bounds2 = D.Bounds;
        break;
      case TBranch::LyricLine: LyricLine(D, *line); break;
      case TBranch::Slash: {
        const TKVStaffLineRecord* next = R.System->Page->GetStaffLine(line->Index + 1);
        Move(D, TickX(R, tick), next ? (int64_t(line->Bottom) + next->Top) / 2 : line->Bottom);
        break;
      }
      case TBranch::Bracket: Bracket(D, *line); break;
      case TBranch::Object:
        D.Bounds2.Left = Saturate32(TickX(R, GetItemPage(D.Item)));
        D.Bounds2.Top = line->Top;
        break;
      default: break;
    }
  }

  // The bar lines joining a group of staves: at the measure's end, from the
  // top line of the group's first staff to the bottom line of its last.
  void Connector(TKVDisplayItem& D) {
    TKVStaffLineRecord* line = SystemStaffLine(R, D.StaffIndex);
    const TKVStaffLineRecord* last = SystemStaffLine(R, D.LastStaff);
    D.StaffLine = line;
    if (!line) {
      D.DrawFlags |= DisplayDrawFlag::Suppressed;
      return;
    }
    MoveRect(D.Bounds, R.RightX, 0);
    D.Bounds.Top = line->InnerTop;
    D.Bounds.Bottom = (last ? last : line)->InnerBottom;
  }
};

// Top and bottom of the staff lines First .. Last that carry y values.
std::pair<int32_t, int32_t> LinesExtent(const TKVPageRecord& Page, int32_t First, int32_t Last, int32_t Top,
                                        int32_t Bottom) {
  bool any = false;
  for (int32_t i = First; i <= Last; ++i) {
    const TKVStaffLineRecord* line = Page.GetStaffLine(i);
    if (!line || !(line->Flags & 1)) continue;
    Top = any ? std::min(Top, line->Top) : line->Top;
    Bottom = any ? std::max(Bottom, line->Bottom) : line->Bottom;
    any = true;
  }
  return {Top, Bottom};
}

}  // namespace

void PositionPageItems(TKVComposerContext& Ctx) {
  TKVPageRecord& page = *Ctx.Page;
  for (uint16_t s = 0; s < page.SystemCount && s < page.Systems.size(); ++s) {
    TKVSystemRecord& system = *page.Systems[s];
    std::tie(system.Top, system.Bottom) =
        LinesExtent(page, system.FirstStaffLine, system.LastStaffLine, system.Top, system.Bottom);
    for (auto& part : system.Parts)
      if (part->System == &system)
        std::tie(part->Top, part->Bottom) =
            LinesExtent(page, part->FirstStaffLine, part->LastStaffLine, system.Top, system.Bottom);
    const std::vector<TKVMeasureRecord*> measures(
        system.Measures.begin(), system.Measures.begin() + std::min<size_t>(system.MeasureCount, system.Measures.size()));
    std::map<int32_t, int64_t> drops;
    for (int32_t i = system.FirstStaffLine; i <= system.LastStaffLine; ++i)
      if (const TKVStaffLineRecord* line = page.GetStaffLine(i); line && line->Staff && (line->Flags & 1))
        drops[i] = VerseDrop(line->Staff, measures, int64_t(line->Bottom) - line->Top, Ctx.LineSpace);
    for (TKVMeasureRecord* record : measures) {
      if (!record || record->Positioned) continue;
      record->Positioned = 1;
      record->TopY = system.Top;
      record->BottomY = system.Bottom;
      if (record->Covered) continue;
      TPlacing placing{Ctx, *record, &drops};
      for (int32_t i = 0; TKVDisplayItem* display = record->GetDisplay(i); ++i) {
        if (display->RecordType == DisplayRecordType::Connector)
          placing.Connector(*display);
        else if (display->RecordType != DisplayRecordType::Background)
          placing.Position(*display);
      }
      // Brackets over the notes once they all stand on the page.
      for (int32_t i = 0; TKVDisplayItem* display = record->GetDisplay(i); ++i)
        if (display->Item && !display->Hidden && display->Item->Kind() == K::Tuplet &&
            display->RecordType == DisplayRecordType::Item)
          placing.Tuplet(*display);
      placing.KeepNamesLeft();
    }
    PlaceLyricHyphens(Ctx, system);
  }
}

void PositionKeptPageEnd(TKVComposerContext& Ctx, int32_t FromPage) {
  if (FromPage < 1 || size_t(FromPage) > Ctx.Store.Pages.size()) return;
  const TKVPageRecord& kept = *Ctx.Store.Pages[size_t(FromPage - 1)];
  if (kept.SystemCount == 0 || kept.SystemCount > kept.Systems.size()) return;
  const TKVSystemRecord& system = *kept.Systems[kept.SystemCount - 1u];
  TKVMeasureRecord* last = system.MeasureCount > 0 && system.MeasureCount <= system.Measures.size()
                               ? system.Measures[system.MeasureCount - 1u]
                               : nullptr;
  if (!last || !last->Positioned || last->System != &system) return;
  TPlacing placing{Ctx, *last};
  for (int32_t i = 0; TKVDisplayItem* d = last->GetDisplay(i); ++i)
    if ((d->Flags & 0x20) && d->Item && d->Item->Kind() == K::KeySignature && !d->StaffLine &&
        !(d->DrawFlags & DisplayDrawFlag::Suppressed))
      placing.Position(*d);
}
