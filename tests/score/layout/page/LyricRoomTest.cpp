// Room between syllables and the steps that end a page, through a full
// layout: which syllables are joined, when a measure widens for "- " or " ",
// the staves spread down a page, hidden staff lines and the system
// separator.

#include "score/layout/LayoutFixture.h"

#include "platform/text/FakeMeasurer.h"
#include "score/layout/page/PageComposer.h"
#include "score/layout/ScoreLayoutRecords.h"
#include "score/model/ItemFactory.h"
#include "score/model/Lyric.h"
#include "score/model/Mark.h"
#include "score/model/Note.h"
#include "score/model/Page.h"

namespace {

class LyricRoom : public LayoutTest {
protected:
  // Four quarters in measure 0 of a one-part piece.
  void Notes() {
    MakePiece(1, 2);
    for (int t = 0; t < 512; t += 128) notes.push_back(AddNote(Measure(0, 0), uint16_t(t), 0x54));
  }
  TKVLyric* Syllable(uint16_t Tick, const std::u16string& Text, uint8_t Verse = 0, bool Continues = false) {
    TKVLyric* lyric = AddLyric(Measure(0, 0), 33, Tick, {Text});
    lyric->SetVerse(Verse);
    lyric->SetFlags(Continues ? 1 : 0);
    return lyric;
  }
  const TKVDisplayItem& Placed(const TKVItem* Item) {
    for (int32_t i = 0; const TKVDisplayItem* d = Record(0).GetDisplay(i); ++i)
      if (d->Item == Item && d->RecordType == DisplayRecordType::Item) return *d;
    ADD_FAILURE() << "no record";
    return *Record(0).GetDisplay(0);
  }
  // The notes' x and the measure's width, as laid out.
  std::vector<int32_t> Spacing() {
    std::vector<int32_t> xs;
    for (const TKVNote* note : notes) xs.push_back(Placed(note).Bounds.Left);
    xs.push_back(Record(0).TotalWidth);
    return xs;
  }
  // The same layout with the syllables taken out.
  std::vector<int32_t> SpacingWithout(std::vector<TKVLyric*> Syllables) {
    for (TKVLyric* s : Syllables) delete s;
    Layout();
    return Spacing();
  }
  // Room left between the texts of two placed syllables.
  int32_t Between(const TKVLyric* A, const TKVLyric* B) { return Placed(B).Bounds2.Left - Placed(A).Bounds2.Width; }

  std::vector<TKVNote*> notes;
};

// Pairs that leave the spacing as it is without them: two verses (not
// joined either), a pair with room enough, and any pair while measures are
// fixed per system.
struct TKeptRow {
  const char* Name;
  const char16_t* Text;
  uint16_t SecondTick;
  uint8_t SecondVerse, Align;
  bool Joined;
};

class KeptSpacing : public LyricRoom, public ::testing::WithParamInterface<TKeptRow> {};

TEST_P(KeptSpacing, StaysAsWithoutTheSyllables) {
  const TKeptRow row = GetParam();
  Notes();
  if (row.Align) score->SetAlign(row.Align);
  TKVLyric* first = Syllable(0, row.Text);
  TKVLyric* second = Syllable(row.SecondTick, row.Text, row.SecondVerse, true);
  Layout();
  EXPECT_EQ(first->SyllableLink, row.Joined ? second : nullptr);
  const std::vector<int32_t> spacing = Spacing();
  EXPECT_EQ(spacing, SpacingWithout({first, second}));
}

INSTANTIATE_TEST_SUITE_P(Pairs, KeptSpacing,
                         ::testing::Values(TKeptRow{"TwoVerses", u"Wiiiiiiiiiiide", 128, 1, 0, false},
                                           TKeptRow{"RoomEnough", u"a", 384, 0, 0, true},
                                           TKeptRow{"FixedMeasures", u"Wiiiiiiiiiiide", 128, 0, 104, true}),
                         [](const ::testing::TestParamInfo<TKeptRow>& info) { return std::string(info.param.Name); });

// Wide syllables on neighbouring quarters, with plain and with voice-wise
// spacing: the measure widens until "- " (or " ") fits between them.
TEST_F(LyricRoom, WideSyllablesWidenTheMeasureForTheirHyphenOrBlank) {
  for (const uint8_t flags : {0, 1}) {
    score = std::make_unique<TKVScore>();
    notes.clear();
    score->Settings().SetFlags(flags);
    Notes();
    TKVLyric* a = Syllable(0, u"Wiiiiiiiiiide");
    TKVLyric* b = Syllable(128, u"Wiiiiiiiiiide", 0, true);
    TKVLyric* c = Syllable(256, u"Wiiiiiiiiiide");
    Layout();
    const int32_t hyphen = FakeWidth("- ", 64), blank = FakeWidth(" ", 64);
    EXPECT_EQ(a->SyllableLink, b);
    EXPECT_EQ(b->SyllableLink, c);
    EXPECT_GE(Between(a, b), hyphen - 8) << "buffer " << int(flags);
    EXPECT_GE(Between(b, c), blank - 8) << "buffer " << int(flags);
    EXPECT_LT(Between(b, c), hyphen) << "no more than the blank needs, buffer " << int(flags);
    const int32_t before = Placed(b).Bounds.Left - Placed(a).Bounds2.Width;
    const int32_t after = Placed(b).Bounds2.Left - Placed(b).Bounds.Left - FakeWidth("-", 64);
    EXPECT_GT(before, 0);
    EXPECT_NEAR(before, after, 1) << "the hyphen stands midway, buffer " << int(flags);
  }
}

class PageEnd : public LayoutTest {
protected:
  TKVScoreLayoutRecords& Store() { return ScoreLayoutRecords(*score); }
  TKVPageRecord& Page(int Index) { return *Store().Pages.at(size_t(Index)); }
  // Top of each staff line of page 0.
  std::vector<int32_t> Tops() {
    std::vector<int32_t> tops;
    for (int32_t i = 0; const TKVStaffLineRecord* line = Page(0).GetStaffLine(i); ++i) tops.push_back(line->Top);
    return tops;
  }
  int32_t Units(long double Tenths) { return int32_t(std::lround(double(Tenths * 8 * 96 / 254))); }
};

// Two staves, the second hidden on every system: the shown lines move down
// by 0, g, 2g ... and the hidden ones with theirs.
TEST_F(PageEnd, JustifiedStavesMoveByEqualSteps) {
  score->Page().SetPaperSize(TKVPaperSize::A4);
  score->Page().SetOrientation(poPortrait);
  MakePiece(1, 40, 0x0404, 2);
  piece->Layout().StaffVisibility.assign(200, 0);
  for (size_t k = 1; k < 200; k += 2) piece->Layout().StaffVisibility[k] = 1;
  Layout();
  const std::vector<int32_t> before = Tops();
  ScoreLayoutRecords(*score).Composer.PageJustify = {1};
  Layout();
  const std::vector<int32_t> after = Tops();
  ASSERT_EQ(after.size(), before.size());
  std::vector<int32_t> shifts;
  const TKVPageRecord& page = Page(0);
  for (size_t i = 0; i < after.size(); ++i) {
    const TKVStaffLineRecord& line = *page.StaffLines[i];
    if (line.Flags & 1) {
      shifts.push_back(after[i] - before[i]);
    } else {
      ASSERT_NE(line.AttachedLine, nullptr);
      EXPECT_EQ(line.Top, line.AttachedLine->Top) << "hidden line " << i;
    }
  }
  ASSERT_GE(shifts.size(), 3u);
  EXPECT_EQ(shifts[0], 0);
  for (size_t i = 2; i < shifts.size(); ++i) EXPECT_NEAR(shifts[i] - shifts[i - 1], shifts[1], 1) << i;
  EXPECT_GT(shifts[1], 0);
  const TKVPage& settings = score->Page();
  const int32_t limit = Units(settings.InternalValue(pvHeight) - settings.InternalValue(pvBottomMargin) -
                              settings.InternalValue(pvLineSpace));
  int32_t lowest = 0;
  for (int32_t i = 0; const TKVStaffLineRecord* line = page.GetStaffLine(i); ++i) lowest = std::max(lowest, line->Bottom);
  EXPECT_LE(lowest, limit) << "no line ends below the bottom edge less the line space";
  EXPECT_GE(limit - lowest, shifts[1] - 1) << "a step's share stays below the last line";
}

// Cases where nothing may be spread: no line shown (a page of page texts
// only), a system taller than the page, and a line space of 0 whose
// reserve is the page's interval.
TEST_F(PageEnd, JustificationEdges) {
  MakePiece(1, 4);
  score->SetUserPages(2);
  ScoreLayoutRecords(*score).Composer.PageJustify = {0, 1};
  Layout();
  ASSERT_EQ(Store().PageCount, 2);
  EXPECT_EQ(Page(1).StaffLineCount, 0) << "a blank page divides by 1 and moves nothing";

  score->Page().SetComposedLength(pvHeight, 100);
  ScoreLayoutRecords(*score).Composer.PageJustify = {1};
  Layout();
  const int32_t top = Page(0).StaffLines[0]->Top;
  ScoreLayoutRecords(*score).Composer.PageJustify = {0};
  Layout();
  EXPECT_EQ(Page(0).StaffLines[0]->Top, top) << "a first system taller than the page is not pulled up";

  score = std::make_unique<TKVScore>();
  MakePiece(1, 30);
  score->Page().SetValue(pvLineSpace, 0);
  ScoreLayoutRecords(*score).Composer.PageJustify = {1};
  Layout();
  const TKVPage& settings = score->Page();
  int32_t lowest = 0;
  for (int32_t i = 0; const TKVStaffLineRecord* line = Page(0).GetStaffLine(i); ++i) lowest = std::max(lowest, line->Bottom);
  const int32_t limit = Units(settings.InternalValue(pvHeight) - settings.InternalValue(pvBottomMargin) -
                              settings.InternalValue(pvInterval));
  EXPECT_LE(lowest, limit);
  EXPECT_GT(lowest, limit - 8);
}

TEST_F(PageEnd, EverySystemButThePagesLastShowsTheSeparator) {
  MakePiece(1, 12);
  TKVMark* separator = AddMark(Column(0), 37, 0);
  for (int c = 0; c < 12; ++c) AddNote(Measure(0, c), 0, 0x54, 512);
  for (int c : {2, 5, 8}) Column(c)->Data().setU8(ColumnBlock::SystemBreak, 1);
  Layout();
  const TKVDisplayItem* previous = nullptr;
  int records = 0;
  for (int32_t p = 0; p < Store().PageCount; ++p)
    for (uint16_t s = 0; s < Page(p).SystemCount; ++s) {
      const TKVSystemRecord& system = *Page(p).Systems[s];
      const TKVMeasureRecord& first = *system.Measures[0];
      const TKVDisplayItem* bar = nullptr;
      for (int32_t i = 0; const TKVDisplayItem* d = first.GetDisplay(i); ++i)
        if (d->Item == separator) bar = d;
      const bool last = s + 1 == Page(p).SystemCount;
      ASSERT_EQ(bar != nullptr, !last) << "page " << p << " system " << s;
      if (!bar) continue;
      ++records;
      const TKVStaffLineRecord& line = *Page(p).StaffLines[system.LastStaffLine];
      const TKVStaffLineRecord& next = *Page(p).StaffLines[system.LastStaffLine + 1u];
      EXPECT_EQ(bar->Bounds.Left, line.LeftX);
      EXPECT_EQ(bar->Bounds.Top, (line.Bottom + next.Top) / 2) << "between the systems";
      EXPECT_EQ(bar->FontCode, 56);
      EXPECT_EQ(bar->Link, previous);
      previous = bar;
    }
  EXPECT_GE(records, 1);
  EXPECT_EQ(separator->DisplayLink, previous) << "the last made stands in front of the chain";
}

}  // namespace
