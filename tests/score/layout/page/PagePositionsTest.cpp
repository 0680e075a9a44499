// Display records moved to the page through a full layout: each kind's
// anchor against the rectangle the measure layout made (the same score laid
// out without the page composer), pieces of items across systems, voltas
// carried over the measures they cover, and positions made once per run.

#include "score/layout/LayoutFixture.h"
#include "score/layout/ItemFields.h"

#include <functional>
#include <map>

#include "score/layout/page/PageComposer.h"
#include "score/layout/ScoreLayoutRecords.h"
#include "score/model/ItemFactory.h"
#include "score/model/Liga.h"
#include "score/model/Lyric.h"
#include "score/model/Mark.h"
#include "score/model/Note.h"
#include "score/model/Pause.h"
#include "score/model/SimpleElements.h"
#include "score/model/Staff.h"

namespace {

// The x of Tick in a placed measure, and the widths at its start.
int64_t X(const TKVMeasureRecord& R, int Tick) { return int64_t(R.LeftX) + int32_t(R.TickTable.at(size_t(Tick))); }
int64_t Starts(const TKVMeasureRecord& R) { return int64_t(R.Extents[0]) + R.Extents[1] + R.Extents[2]; }

class PagePositions : public LayoutTest {
protected:
  // Lays the score out first without the page composer, keeping each
  // record's rectangles as the measure layout made them, then with it.
  void LayOutTwice() {
    auto composer = Service().Steps().PaginatePages;
    WithoutPages();
    Layout();
    relative.clear();
    for (int32_t c = 0; c < piece->Layout().MeasureRecordCount; ++c)
      for (int32_t i = 0; const TKVDisplayItem* d = Record(c).GetDisplay(i); ++i)
        relative[{c, i}] = {d->Bounds, d->Bounds2};
    Service().Steps().PaginatePages = composer;
    Layout();
  }
  int IndexOf(int Column, const TKVItem* Item, uint8_t Type = DisplayRecordType::Item) {
    for (int32_t i = 0; const TKVDisplayItem* d = Record(Column).GetDisplay(i); ++i)
      if (d->Item == Item && d->RecordType == Type) return i;
    ADD_FAILURE() << "no record";
    return 0;
  }
  TKVDisplayItem& Placed(int Column, const TKVItem* Item) { return *Record(Column).GetDisplay(IndexOf(Column, Item)); }
  TKVLayoutRect Relative(int Column, const TKVItem* Item) { return relative[{Column, IndexOf(Column, Item)}].first; }
  TKVScoreLayoutRecords& Store() { return ScoreLayoutRecords(*score); }
  std::string Plays() {
    std::string out;
    for (int32_t i = 0; const TKVPlayRecord* play = piece->Layout().GetPlay(i); ++i)
      out += (i ? " " : "") + std::to_string(play->Measure + 1);
    return out;
  }

  std::map<std::pair<int, int>, std::pair<TKVLayoutRect, TKVLayoutRect>> relative;
};

// One kind of each group of the positioning table, in column 1 of a
// two-part score, and where the group puts its anchor.
class Branch;
struct TBranchRow {
  const char* Name;
  std::function<TKVItem*(Branch&)> Make;
  std::function<std::pair<int64_t, int64_t>(const TKVMeasureRecord&, const TKVStaffLineRecord&)> Anchor;
};

class Branch : public PagePositions, public ::testing::WithParamInterface<TBranchRow> {
public:
  using PagePositions::AddMark;
  using PagePositions::AddNote;
  using PagePositions::AddRest;
  using PagePositions::AddLyric;
  using PagePositions::Column;
  using PagePositions::Measure;
  using PagePositions::piece;
};

TEST_P(Branch, AnchorFollowsTheRule) {
  MakePiece(2, 3);
  TKVItem* item = GetParam().Make(*this);
  LayOutTwice();
  const TKVDisplayItem& d = Placed(1, item);
  const TKVLayoutRect rel = Relative(1, item);
  ASSERT_NE(d.StaffLine, nullptr);
  const auto [x, y] = GetParam().Anchor(Record(1), *d.StaffLine);
  EXPECT_EQ(d.Bounds, (TKVLayoutRect{int32_t(x + rel.Left), int32_t(y + rel.Top), int32_t(x + rel.Left + rel.Width),
                                     int32_t(y + rel.Bottom)}));
}

using R = const TKVMeasureRecord&;
using L = const TKVStaffLineRecord&;
INSTANTIATE_TEST_SUITE_P(
    Groups, Branch,
    ::testing::Values(
        TBranchRow{"Note", [](Branch& t) { return t.AddNote(t.Measure(1, 1), 128, 0x54); },
                   [](R r, L l) { return std::pair(X(r, 128), int64_t(l.Top)); }},
        TBranchRow{"NoteOnOneLine",
                   [](Branch& t) {
                     t.piece->GetPart(0)->GetStaff(0)->Data().setU8(StaffBlock::LineCount, 1);
                     return t.AddNote(t.Measure(0, 1), 256, 0x54);
                   },
                   [](R r, L l) { return std::pair(X(r, 256), int64_t(l.Top) + l.LineSpacing / 2); }},
        TBranchRow{"NoteOnFourLines",
                   [](Branch& t) {
                     t.piece->GetPart(0)->GetStaff(0)->Data().setU8(StaffBlock::LineCount, 4);
                     return t.AddNote(t.Measure(0, 1), 0, 0x54);
                   },
                   [](R r, L l) { return std::pair(X(r, 0), int64_t(l.Top) + l.LineSpacing / 2); }},
        TBranchRow{"ShortMark", [](Branch& t) { return t.AddMark(t.Measure(0, 1), 116, 384); },
                   [](R r, L l) { return std::pair(X(r, 384), int64_t(l.Top)); }},
        TBranchRow{"DotsOfANote",
                   [](Branch& t) {
                     TKVNote* note = t.AddNote(t.Measure(0, 1), 256, 0x54, 128);
                     note->Data().setU8(NoteBlock::Dots, 4);
                     return t.AddMark(note, 45, 0);
                   },
                   [](R r, L l) { return std::pair(X(r, 256), int64_t(l.Top)); }},
        TBranchRow{"Rehearsal", [](Branch& t) { return t.AddMark(t.Column(1), 28, 256); },
                   [](R r, L l) { return std::pair(int64_t(r.LeftX) + Starts(r), int64_t(l.Top)); }},
        TBranchRow{"SegnoInside", [](Branch& t) { return t.AddMark(t.Column(1), 150, 128); },
                   [](R r, L l) { return std::pair(X(r, 128), int64_t(l.Top)); }},
        TBranchRow{"Syllable", [](Branch& t) { return t.AddLyric(t.Measure(0, 1), 33, 128, {u"la"}); },
                   [](R r, L l) { return std::pair(X(r, 128), int64_t(l.Top)); }},
        TBranchRow{"MeasureRepeat", [](Branch& t) { return t.AddMark(t.Measure(0, 1), 41, 0, 1); },
                   [](R r, L l) {
                     return std::pair(int64_t(r.LeftX) + (Starts(r) + r.TotalWidth) / 2, int64_t(l.Top));
                   }},
        TBranchRow{"HalfLineMark",
                   [](Branch& t) {
                     t.piece->GetPart(0)->GetStaff(0)->Data().setU8(StaffBlock::LineCount, 2);
                     return t.AddMark(t.Measure(0, 1), 40, 256, 256);
                   },
                   [](R r, L l) { return std::pair(X(r, 256), int64_t(l.Top) + l.LineSpacing / 2); }}),
    [](const ::testing::TestParamInfo<TBranchRow>& info) { return std::string(info.param.Name); });

// Marks of the measure's start and end and the spans of one measure.
TEST_F(PagePositions, StartEndAndSpanAnchors) {
  MakePiece(1, 3);
  TKVMark* meter = AddMark(Column(1), 4, 0, 0x0304);
  TKVMark* start = AddMark(Column(1), 155, 0);
  TKVMark* end = AddMark(Column(1), 156, 512);
  TKVMark* clefAtEnd = AddMark(Measure(0, 1), 2, 511, 0, 1);
  TKVMark* hairpin = AddMark(Measure(0, 1), 110, 128, 256, 50);
  TKVMark* volta = AddMark(Column(1), 171, 0, 1);
  volta->SetText2("1");
  auto* box = static_cast<TKVItem*>(CreateItemByKind(203, Measure(0, 1)));
  box->Data().setU16(RectangleBlock::Page, 256);
  AddNote(Measure(0, 1), 0, 0x54, 512);
  LayOutTwice();
  const TKVMeasureRecord& r = Record(1);
  const TKVStaffLineRecord& line = *Placed(1, meter).StaffLine;
  const int64_t starts = Starts(r);
  EXPECT_EQ(Placed(1, meter).Bounds.Left, r.LeftX + starts + Relative(1, meter).Left) << "a meter at the start";
  EXPECT_EQ(Placed(1, meter).Bounds.Bottom, line.Bottom + Relative(1, meter).Bottom) << "it spans its staff";
  EXPECT_EQ(Placed(1, start).Bounds.Left, r.LeftX + starts + Relative(1, start).Left) << "a repeat start";
  EXPECT_EQ(std::pair(Placed(1, start).Bounds.Top, Placed(1, start).Bounds.Bottom), std::pair(line.InnerTop, line.InnerBottom));
  const TKVLayoutRect endRel = Relative(1, end);
  EXPECT_EQ(Placed(1, end).Bounds.Width, r.RightX + endRel.Left + 4) << "a repeat end ends at the measure's end";
  const int64_t ends = int64_t(r.Extents[6]) + r.Extents[7] + r.Extents[8];
  EXPECT_EQ(Placed(1, clefAtEnd).Bounds.Left, r.RightX - (ends ? ends : 8) + Relative(1, clefAtEnd).Left);
  EXPECT_EQ(Placed(1, clefAtEnd).StaffBottom, line.Bottom);
  EXPECT_EQ(Placed(1, clefAtEnd).Bounds.Top, line.Top + Relative(1, clefAtEnd).Top);
  EXPECT_EQ(Placed(1, clefAtEnd).Bounds.Bottom, line.Bottom + Relative(1, clefAtEnd).Bottom) << "a clef spans its staff";
  EXPECT_EQ(Placed(1, hairpin).Bounds.Left, X(r, 128) + Relative(1, hairpin).Left);
  EXPECT_EQ(Placed(1, hairpin).Bounds.Width, X(r, 384)) << "a hairpin of one measure reaches its end tick";
  EXPECT_EQ(Placed(1, hairpin).Bounds2.Top, line.Top + (relative[{1, IndexOf(1, hairpin)}].second.Top)) << "its line";
  const TKVLayoutRect voltaRel = Relative(1, volta);
  const TKVLayoutRect voltaBox{int32_t(r.LeftX + starts + voltaRel.Left), line.InnerTop + voltaRel.Top, r.RightX,
                               line.InnerTop + voltaRel.Bottom};
  EXPECT_EQ(Placed(1, volta).Bounds, voltaBox) << "an ending of one measure";
  const TKVDisplayItem& object = Placed(1, box);
  EXPECT_EQ((std::pair<int64_t, int64_t>(object.Bounds2.Left, object.Bounds2.Top)), std::pair(X(r, 256), int64_t(line.Top)));
  EXPECT_EQ(object.Bounds, Relative(1, box)) << "an object keeps its box around its anchor";
}

TEST_F(PagePositions, KeyStandsRightOfTheClefAtEverySystemStart) {
  MakePiece(1, 24);
  AddMark(Measure(0, 0), 2, 0, 0, 1);
  AddMark(Measure(0, 0), 3, 0, 0, 4);
  for (int c = 0; c < 24; ++c) AddNote(Measure(0, c), 0, 0x54, 512);
  Layout();
  int systems = 0;
  for (int32_t p = 0; p < Store().PageCount; ++p)
    for (uint16_t s = 0; s < Store().Pages[size_t(p)]->SystemCount; ++s) {
      const TKVMeasureRecord& first = *Store().Pages[size_t(p)]->Systems[s]->Measures[0];
      const TKVDisplayItem *clef = nullptr, *key = nullptr;
      for (int32_t i = 0; const TKVDisplayItem* d = first.GetDisplay(i); ++i)
        if (d->Item && d->Item->Kind() == 2) clef = d;
        else if (d->Item && d->Item->Kind() == 3) key = d;
      ASSERT_TRUE(clef && key) << "system " << s;
      EXPECT_GE(key->Bounds.Left, clef->Bounds.Width) << "system " << s;
      EXPECT_GT(clef->Bounds.Left, first.LeftX - 1);
      ++systems;
    }
  EXPECT_GE(systems, 3);
}

// A triplet's bracket reaches over its three notes (under them with flag
// bit 4), a line space clear of every head and stem, and no further.
TEST_F(PagePositions, ATupletBracketSpansItsNotesClearOfThem) {
  MakePiece(1, 2);
  for (uint8_t flags : {0x00, 0x10}) {
    TKVMeasure* measure = Measure(0, flags ? 1 : 0);
    std::vector<TKVNote*> notes;
    for (uint8_t pitch : {0x50, 0x54, 0x52}) notes.push_back(AddNote(measure, uint16_t(notes.size() * 42), pitch, 64));
    notes[1]->Data().setU8(NoteBlock::Flags, notes[1]->Data().u8(NoteBlock::Flags) | 4);  // one stem down
    AddNote(measure, 128, 0x60, 384);
    AddMark(measure, 85, 0, 64, 3)->Data().setU8(MarkBlock::Flags, flags);
  }
  Layout();
  for (int c : {0, 1}) {
    const TKVMeasureRecord& r = Record(c);
    const TKVDisplayItem* bracket = nullptr;
    std::vector<const TKVDisplayItem*> group;
    for (int32_t i = 0; const TKVDisplayItem* d = r.GetDisplay(i); ++i)
      if (d->Item && d->Item->Kind() == 85) bracket = d;
      else if (d->Item && d->Item->Kind() == 20 && ItemPosition(d->Item) < 128 && d->RecordType <= DisplayRecordType::Stem)
        group.push_back(d);
    ASSERT_NE(bracket, nullptr);
    const TKVLayoutRect& line = bracket->Bounds2;
    int64_t left = INT64_MAX, right = INT64_MIN;
    for (const TKVDisplayItem* d : group) {
      left = std::min<int64_t>(left, d->Bounds.Left), right = std::max<int64_t>(right, d->Bounds.Width);
      const int64_t x = (int64_t(d->Bounds.Left) + d->Bounds.Width) / 2;
      const int64_t y = line.Top + (int64_t(line.Bottom) - line.Top) * (x - line.Left) / (line.Width - line.Left);
      const int64_t clear = c == 0 ? d->Bounds.Top - y : y - d->Bounds.Bottom;
      EXPECT_GE(clear, bracket->StaffLine->LineSpacing - 1) << c << " at " << x;
    }
    EXPECT_EQ(line.Left, left) << c;
    EXPECT_EQ(line.Width, right) << c;
  }
}

TEST_F(PagePositions, AWholeMeasureRestStandsInTheMiddle) {
  MakePiece(1, 3);
  TKVPause* rest = AddRest(Measure(0, 1), 0, 512);
  AddNote(Measure(0, 0), 0, 0x54, 512);
  LayOutTwice();
  const TKVMeasureRecord& r = Record(1);
  EXPECT_EQ(Placed(1, rest).Bounds.Left, (int64_t(r.LeftX) + r.RightX + Starts(r)) / 2 + Relative(1, rest).Left);
}

// A syllable reserves no room beside its note. A long one at the first
// note of a system moves right until it starts at the page's left edge, one
// at a note near the right edge moves left until it ends at the page's
// right edge; both keep their width. (Different parts: the two are not
// joined as one verse.)
TEST_F(PagePositions, ALongSyllableStaysOnThePage) {
  MakePiece(2, 2);
  TKVLyric* first = AddLyric(Measure(0, 0), 33, 0, {std::u16string(40, u'w')});
  TKVLyric* last = AddLyric(Measure(1, 1), 33, 384, {std::u16string(66, u'w')});
  LayOutTwice();
  ASSERT_EQ(Record(0).System, Record(1).System);
  const int32_t page = score->Page().GetWidthPixels() * 8;
  const TKVLayoutRect a = Relative(0, first), b = Relative(1, last);
  ASSERT_LT(X(Record(0), 0) + a.Left, 0) << "the text must reach left of the page";
  ASSERT_GT(X(Record(1), 384) + b.Left + b.Width, page) << "and past its right edge";
  EXPECT_EQ(Placed(0, first).Bounds, (TKVLayoutRect{0, Placed(0, first).Bounds.Top, a.Width, Placed(0, first).Bounds.Bottom}));
  EXPECT_EQ(Placed(1, last).Bounds.Left, page - b.Width);
  EXPECT_EQ(Placed(1, last).Bounds.Width, page);
  EXPECT_EQ(Placed(0, first).Bounds2, Placed(0, first).Bounds) << "the text is drawn where the record stands";
}

// The measure layout marks no measure as covered yet: the marks are set by
// hand before the composer runs on the records.
TEST_F(PagePositions, MeasuresUnderAMultiMeasureRestAreNeverMoved) {
  MakePiece(1, 5);
  AddMark(Column(1), 42, 0, 3);
  for (int c = 0; c < 4; ++c) AddNote(Measure(0, c), 0, 0x54, 512);
  const TKVNote* after = AddNote(Measure(0, 4), 0, 0x54, 512);
  LayOutTwice();
  auto composer = Service().Steps().PaginatePages;
  WithoutPages();
  Layout();
  Record(2).Covered = Record(3).Covered = 1;
  composer(*score, 0);
  for (int c : {2, 3})
    for (int32_t i = 0; const TKVDisplayItem* d = Record(c).GetDisplay(i); ++i)
      EXPECT_EQ(d->Bounds, (relative[{c, i}].first)) << c << " " << i;
  EXPECT_NE(Placed(4, after).Bounds, Relative(4, after)) << "the measure after is moved";
}

// A slur from the last note of a system to the second note of the next
// system's first measure: two pieces, the first to the system's end.
TEST_F(PagePositions, ASlurOverTheSystemEndComesInTwoPieces) {
  MakePiece(1, 4);
  for (int c = 0; c < 4; ++c)
    for (int t = 0; t < 512; t += 128) AddNote(Measure(0, c), uint16_t(t), 0x54);
  Column(1)->Data().setU8(ColumnBlock::SystemBreak, 1);
  auto* slur = static_cast<TKVLiga*>(CreateItemByKind(30, Measure(0, 1)->GetItem(3)));
  slur->Data().setU16(LigaBlock::Length, 256);
  slur->SetSecondOffset(-16);
  Layout();
  const TKVMeasureRecord &own = Record(1), &next = Record(2);
  ASSERT_NE(own.System, next.System);
  const TKVDisplayItem& first = Placed(1, slur);
  EXPECT_TRUE(first.Cut);
  EXPECT_EQ(first.Bounds2.Width, own.RightX) << "the first piece ends at its system's right edge";
  ASSERT_NE(first.Continuation, nullptr);
  const TKVDisplayItem& second = *first.Continuation;
  EXPECT_EQ(second.Owner, &next);
  EXPECT_EQ(second.Bounds2.Left, next.LeftX + Starts(next)) << "the second from the next system's start";
  EXPECT_EQ(second.Bounds2.Width, X(next, 128) - 16) << "to the note it ends at";
  EXPECT_EQ(slur->DisplayLink, &second);
  EXPECT_EQ(second.StaffLine->System, next.System);
  EXPECT_EQ(second.Bounds2.Top, second.Bounds2.Bottom);
}

struct TRecordsDump {
  std::string operator()(const TKVScore& Score) const {
    std::string out;
    for (int32_t p = 0; p < Score.GetPieceCount(); ++p)
      for (const auto& r : Score.GetPiece(p)->Layout().MeasureRecords)
        for (int32_t i = 0; const TKVDisplayItem* d = r->GetDisplay(i); ++i)
          out += std::to_string(d->Bounds.Left) + "," + std::to_string(d->Bounds.Top) + "," +
                 std::to_string(d->Bounds.Width) + "," + std::to_string(d->Bounds.Bottom) + "," +
                 std::to_string(d->Bounds2.Left) + "," + std::to_string(d->Bounds2.Top) + ";";
    return out;
  }
};

TEST_F(PagePositions, ASecondLayoutGivesTheSameRectanglesAlsoWithAPieceOnEveryPage) {
  MakePiece(1, 30);
  for (int c = 0; c < 30; ++c) AddNote(Measure(0, c), 0, 0x54, 512);
  TKVPiece* first = piece;
  MakePiece(1, 2);
  piece->SetSeparate(true);
  TKVNote* note = AddNote(Measure(0, 1), 128, 0x54);
  LayOutTwice();
  ASSERT_GE(Store().PageCount, 2) << "the separate piece stands on every page";
  const std::string once = TRecordsDump{}(*score);
  const TKVMeasureRecord& r = Record(1);
  EXPECT_EQ(Placed(1, note).Bounds.Left, X(r, 128) + Relative(1, note).Left) << "moved once, not once per page";
  score->Reformat(0);
  EXPECT_EQ(TRecordsDump{}(*score), once);
  score->Reformat(1);
  EXPECT_EQ(TRecordsDump{}(*score), once);
  piece = first;
}

// Records the composer cannot place: a staff the system does not have, an
// item standing past its measure's end; a slur running past the piece's
// end; syllables on two systems.
TEST_F(PagePositions, RecordsWithoutAPlaceAreNotDrawn) {
  MakePiece(1, 3);
  TKVNote* stray = AddNote(Measure(0, 0), 0, 0x54);
  TKVNote* late = AddNote(Measure(0, 0), 128, 0x54);
  TKVNote* last = AddNote(Measure(0, 2), 384, 0x54);
  auto* slur = static_cast<TKVLiga*>(CreateItemByKind(30, last));
  slur->Data().setU16(LigaBlock::Length, 2048);
  TKVLyric* before = AddLyric(Measure(0, 0), 33, 0, {u"Wiiiiiiiiide"});
  TKVLyric* after = AddLyric(Measure(0, 1), 33, 0, {u"Wiiiiiiiiide"});
  Column(0)->Data().setU8(ColumnBlock::SystemBreak, 1);
  auto composer = Service().Steps().PaginatePages;
  WithoutPages();
  Layout();
  Placed(0, stray).StaffIndex = 7;
  late->SetPosition(600);
  composer(*score, 0);
  EXPECT_TRUE(Placed(0, stray).DrawFlags & DisplayDrawFlag::Suppressed) << "no staff line of that staff";
  EXPECT_EQ(Placed(0, stray).StaffLine, nullptr);
  EXPECT_TRUE(Placed(0, late).DrawFlags & DisplayDrawFlag::Suppressed) << "past the measure's end";
  EXPECT_TRUE(Placed(2, slur).Cut);
  EXPECT_EQ(Placed(2, slur).Bounds2.Width, Record(2).RightX) << "ends with the last system";
  EXPECT_EQ(Placed(2, slur).Continuation, nullptr);
  EXPECT_EQ(before->SyllableLink, nullptr) << "syllables of two systems are not joined";
  EXPECT_NE(Record(0).System, Record(1).System);
  static_cast<void>(after);
}

// |: 1 2 [3 4]1 :| [5]2 with a system break inside the first ending.
TEST_F(PagePositions, AnEndingCutAtASystemEndCoversBothMeasures) {
  MakePiece(1, 5);
  TKVMark* first = AddMark(Column(2), 171, 0, 2);
  first->SetText2("1");
  AddMark(Column(3), 156, 512);
  AddMark(Column(4), 171, 0, 1)->SetText2("2");
  for (int c = 0; c < 5; ++c) AddNote(Measure(0, c), 0, 0x54, 512);
  Column(2)->Data().setU8(ColumnBlock::SystemBreak, 1);
  Layout();
  ASSERT_NE(Record(3).System, Record(2).System);
  EXPECT_EQ(Record(3).Volta, first);
  EXPECT_EQ(Plays(), "1 2 3 4 1 2 5");
}

}  // namespace
