// The page composer on hand-built scores: the worked values of a new
// score's default page, the numbering across pages, the spacing parameters
// and the damaged page settings that must still end.

#include "score/layout/LayoutFixture.h"

#include <functional>

#include "score/layout/measure/MeasureSpacing.h"
#include "score/layout/page/LineStartGlyphs.h"
#include "score/layout/page/PageComposer.h"
#include "score/layout/staff/SignatureWidths.h"
#include "score/layout/ScoreLayoutRecords.h"
#include "score/model/Note.h"
#include "score/model/Staff.h"
#include "support/LayoutDump.h"

namespace {

class PageComposer : public LayoutTest {
protected:
  TKVScoreLayoutRecords& Store() { return ScoreLayoutRecords(*score); }
  TKVPageRecord& Page(int Index) { return *Store().Pages.at(size_t(Index)); }
  std::string Pages() { return DumpPages(Store().Pages, Store().PageCount); }
  // Measures placed on the systems of every page.
  int PlacedMeasures() {
    int measures = 0;
    for (int32_t p = 0; p < Store().PageCount; ++p)
      for (uint16_t k = 0; k < Page(p).SystemCount; ++k) measures += Page(p).Systems[k]->MeasureCount;
    return measures;
  }
};

TEST_F(PageComposer, DefaultPageGivesTheWorkedValues) {
  MakePiece(1, 12);
  TKVComposerContext ctx(*score, Service().Steps());
  SetPageArea(ctx);
  EXPECT_EQ(std::pair(ctx.PageWidth, ctx.PageHeight), std::pair(3024, 2416));
  ASSERT_GE(Store().PageCount, 2);
  const TKVPageRecord& first = Page(0);
  ASSERT_EQ(first.SystemCount, 2) << "a third system would end at 770.5 > 700";
  const TKVStaffLineRecord& l = *first.StaffLines[0];
  EXPECT_EQ((std::vector<int32_t>{l.LeftX, l.RightX, l.Top, l.Bottom, l.TopJoin, l.BottomJoin, l.LineSpacing,
                                  first.Systems[0]->Measures[0]->LeftX}),
            (std::vector<int32_t>{302, 2721, 665, 857, 302, 1220, 48, 302}));
  EXPECT_DOUBLE_EQ(double(l.Height), 183.5);
  // The second page goes on with the numbers of the first, + 1.
  EXPECT_EQ((std::vector<int32_t>{first.SystemCounter, Page(1).FirstSystemNumber, Page(1).Systems[0]->Number,
                                  Page(1).StaffLines[0]->Number, Page(1).FirstMeasure}),
            (std::vector<int32_t>{1, 2, 2, first.StaffLineCounter + 1, first.LastMeasure + 1}));
  const std::string full = Pages();
  score->Reformat(Store().PageCount + 3);
  EXPECT_EQ(Pages(), full) << "a run from past the last page composes from page 0";
}

struct TAlignmentRow {
  uint8_t Entry;
  int32_t NoteSpacing, Base;
  uint8_t Alignment;
  bool Stretch;
};

class Alignment : public PageComposer, public ::testing::WithParamInterface<TAlignmentRow> {};

TEST_P(Alignment, SetsTheSystemsSpacing) {
  const TAlignmentRow row = GetParam();
  MakePiece(1, 1);
  score->SetNoteInterval(192);
  piece->ByteList() = {0, 0, row.Entry};
  TKVComposerContext ctx(*score, Service().Steps());
  ctx.Piece = piece;
  ctx.SystemNumber = 2;
  SetSystemSpacing(ctx);
  EXPECT_EQ(ctx.NoteSpacing, row.NoteSpacing);
  EXPECT_EQ(ctx.SpacingBase, row.Base);
  EXPECT_EQ(ctx.Alignment, row.Alignment);
  EXPECT_EQ(ctx.Stretch, row.Stretch);
}

INSTANTIATE_TEST_SUITE_P(Entries, Alignment,
                         ::testing::Values(TAlignmentRow{30, 160, 106, 30, false}, TAlignmentRow{140, 16, 10, 12, true},
                                           TAlignmentRow{104, 192, 128, 104, false},
                                           TAlignmentRow{128, 16, 10, 12, true}));

// One measure of 8 ticks, notes at ticks 0 and 4 with room (before, after)
// of (3, 4) and (2, 4) pixels, start widths 10 + 20 + 30 + 4 + 6 = 70, note
// spacing 16, alignment 30, no room before the first or after the last
// tick. Plain: entry 0 = 70 + 3 * 8; a tick with room adds (after + next
// before) * 8 + 16, the ticks between share it evenly. Voice-wise: tick 0
// at 3 * 8 + 16, tick 4 at 40 + (4 + 2) * 8 + 16, the end after the widest
// room after (4 * 8), the ticks between shared evenly; then + 70.
TEST_F(PageComposer, BothSpacingPathsGiveTheHandComputedOffsets) {
  for (const bool buffer : {false, true}) {
    score = std::make_unique<TKVScore>();
    MakePiece(1, 1);
    score->Settings().SetMetricWord(0, 0);
    score->Settings().SetMetricWord(1, 0);
    TKVNote* notes[] = {AddNote(Measure(0, 0), 0, 60, 4), AddNote(Measure(0, 0), 4, 62, 4)};
    Layout();
    TKVMeasureRecord& record = Record(0);
    ASSERT_GE(record.TickTable.size(), 9u);
    std::tie(record.Length, record.Spaced) = std::pair(8, 0);
    record.Extents = {10, 20, 30, 0, 4, 6};
    for (int32_t i = 0; i < record.DisplayCount; ++i) {
      TKVDisplayItem& d = *record.GetDisplay(i);
      if (d.Item != notes[0] && d.Item != notes[1]) d.Item = nullptr;  // only the notes take room
      else std::tie(d.LeftSpace, d.RightSpace) = std::pair(d.Item == notes[0] ? 3 : 2, 4);
    }
    TKVComposerContext ctx(*score, Service().Steps());
    std::tie(ctx.Piece, ctx.SystemStart, ctx.Alignment, ctx.NoteSpacing, ctx.UseBuffer) =
        std::tuple(piece, 1, 30, 16, buffer);
    PlaceSystems(ctx);
    CalcMeasureSpacing(ctx);
    const std::vector<uint32_t> x(record.TickTable.begin(), record.TickTable.begin() + 9),
        plain{94, 110, 126, 142, 174, 186, 198, 210, 222}, voiceWise{110, 126, 142, 158, 174, 182, 190, 198, 206};
    EXPECT_EQ(x, buffer ? voiceWise : plain) << buffer;
    EXPECT_EQ(record.MusicWidth, buffer ? 136 : 152) << "the end x less the start widths";
  }
}

TEST(SpacingGrid, StepFollowsTheRoom) {
  for (auto [room, step] : {std::pair{300, 16}, {256, 32}, {257, 16}, {512, 16}, {513, 8}, {-40, 32}})
    EXPECT_EQ(SpacingGridStep(room), step) << room;
}

// Damaged page settings: a measure alone on each system, a system alone on
// each page, never more than 1001 pages.
struct TDamageRow {
  TKVPageValue Value;
  long double Setting;
  bool MeasureAlone, SystemAlone;
};

class DamagedPage : public PageComposer, public ::testing::WithParamInterface<TDamageRow> {};

TEST_P(DamagedPage, StillEnds) {
  const TDamageRow row = GetParam();
  MakePiece(2, 30);
  score->Page().SetComposedLength(pvWidth, 1000);
  if (row.Value == pvWidth || row.Value == pvHeight)
    score->Page().SetComposedLength(row.Value, row.Setting);
  else
    score->Page().SetValue(row.Value, row.Setting);
  if (row.Value == pvInterval) piece->SpacingArray(2).assign(40, uint16_t(-3000));
  Layout();
  ASSERT_LE(Store().PageCount, 1001);
  int measures = 0;
  for (int32_t p = 0; p < Store().PageCount; ++p) {
    EXPECT_TRUE(!row.SystemAlone || Page(p).SystemCount <= 1) << "page " << p;
    for (uint16_t s = 0; s < Page(p).SystemCount; ++s) {
      EXPECT_TRUE(!row.MeasureAlone || Page(p).Systems[s]->MeasureCount == 1);
      measures += Page(p).Systems[s]->MeasureCount;
    }
  }
  EXPECT_EQ(measures, 30);
}

INSTANTIATE_TEST_SUITE_P(Settings, DamagedPage,
                         ::testing::Values(TDamageRow{pvWidth, 0, true, false}, TDamageRow{pvHeight, 0, false, true},
                                           TDamageRow{pvLineSpace, 0, false, false},
                                           TDamageRow{pvLeftMargin, 5000, true, false},
                                           TDamageRow{pvTopMargin, 5000, false, true},
                                           TDamageRow{pvInterval, 120, true, false}));

// Values at their extremes, on both spacing paths (run under the
// sanitizers): the composer ends and every measure stands on a page.
TEST_F(PageComposer, ExtremeValuesStillCompose) {
  struct {  // Table: the spacing array filled with Word (staff distances 0, indents 1 and 2)
    const char* Name; int Parts, Columns, Staves; uint16_t Meter; int32_t Scale; uint8_t Size; int Table; uint16_t Word;
    int32_t NoteInterval = 0;
  } rows[] = {{"NoteInterval", 1, 6, 1, 0x0404, 100, 100, -1, 0, INT32_MAX},
              {"ScaleHuge", 1, 6, 1, 0x0404, INT32_MAX, 100, -1, 0}, {"Scale0", 1, 6, 1, 0x0404, 0, 100, -1, 0},
              {"ScaleLow", 1, 6, 1, 0x0404, INT32_MIN, 100, -1, 0},   {"Size0", 2, 6, 2, 0x0404, 100, 0, -1, 0},
              {"Size255", 2, 6, 2, 0x0404, 100, 255, -1, 0},          {"Distance", 2, 6, 2, 0x0404, 100, 100, 0, 0x7FFF},
              {"DistanceLow", 2, 6, 2, 0x0404, 100, 100, 0, 0x8000},  {"Left", 1, 6, 1, 0x0404, 100, 100, 1, 0x7FFF},
              {"LeftLow", 1, 6, 1, 0x0404, 100, 100, 1, 0x8000},      {"Right", 1, 6, 1, 0x0404, 100, 100, 2, 0x7FFF},
              {"RightLow", 1, 6, 1, 0x0404, 100, 100, 2, 0x8000},     {"Length0", 1, 4, 1, 0, 100, 100, -1, 0},
              {"Length65535", 1, 4, 1, 0xFF01, 100, 100, -1, 0},      {"NoParts", 0, 4, 1, 0x0404, 100, 100, -1, 0},
              {"NoStaves", 1, 4, 0, 0x0404, 100, 100, -1, 0},         {"NoMeasures", 1, 0, 1, 0x0404, 100, 100, -1, 0}};
  for (const auto& row : rows)
    for (uint8_t flags : {0, 1}) {
      SCOPED_TRACE(std::string(row.Name) + (flags ? " voice-wise" : " plain"));
      score = std::make_unique<TKVScore>();
      MakePiece(row.Parts, row.Columns, row.Meter, row.Staves);
      if (row.Parts && row.Staves && row.Columns) AddNote(Measure(0, 0), 0, 60, 64);
      score->Settings().SetFlags(flags);
      score->Settings().SetScale(row.Scale);
      if (row.NoteInterval) score->Settings().SetNoteInterval(row.NoteInterval);
      for (int p = 0; p < row.Parts; ++p)
        for (int k = 0; k < row.Staves; ++k) piece->GetPart(p)->GetStaff(k)->SetSizePercent(row.Size);
      if (row.Table >= 0) piece->SpacingArray(row.Table).assign(8, row.Word);
      Layout();
      ASSERT_TRUE(Store().Composer.LayoutDone);
      ASSERT_TRUE(Store().PageCount >= 1 && Store().PageCount <= 1001);
      const int measures = PlacedMeasures();
      EXPECT_TRUE(!row.Parts || !row.Staves || measures == row.Columns) << measures;
      EXPECT_TRUE((row.Parts && row.Staves && row.Columns) || Store().PageCount == 1) << "no music, one page";
    }
}

// Music that ends without a staff line or a measure record to place: the
// run ends with the pages the music needs.
TEST_F(PageComposer, MusicEndsWithoutStaffLinesOrMeasures) {
  auto separate = [this] { score->BeginUpdate(), piece->SetSeparate(true), score->EndUpdate(); };
  const std::pair<const char*, std::function<void()>> rows[] = {
      {"PieceWithoutPartsLast", [this] { MakePiece(1, 4), MakePiece(0, 0); }},
      {"PieceWithoutStavesLast", [this] { MakePiece(1, 4), MakePiece(1, 4, 0x0404, 0); }},
      {"OnlySeparatePieces", [&] { MakePiece(1, 4), separate(); }}};
  for (const auto& [name, make] : rows) {
    score = std::make_unique<TKVScore>();
    make();
    Layout();
    EXPECT_EQ(Store().PageCount, 1) << name;
    EXPECT_EQ(PlacedMeasures(), 4) << name;
  }
}

TEST_F(PageComposer, FillWithoutStopEndsAtPage1001) {
  MakePiece(1, 2);
  TKVComposerSettings& settings = Store().Composer;
  settings.Fill = true;
  settings.MinMeasureWidth = 3000;
  Layout();
  EXPECT_EQ(Store().PageCount, 1001);
  settings.FillStop = true;
  Layout();
  EXPECT_EQ(Store().PageCount, 1) << Pages();
}

}  // namespace

namespace {

// Clef codes: glyph (the character whose width counts, 0 for none), what
// is added to its width, and the vertical extent.
struct TClefRow {
  uint16_t Code;
  char Glyph;
  int Add, Top, Bottom;
};

class ClefGlyphs : public LayoutTest, public ::testing::WithParamInterface<TClefRow> {};

TEST_P(ClefGlyphs, FollowTheTable) {
  const TClefRow row = GetParam();
  MakePiece(1, 1);
  TKVFormatContext ctx(*score, *piece, 0);
  ctx.Canvas.Font.Size = 18;
  const int expected = row.Glyph ? FakeWidth(std::string(1, row.Glyph), 18) + row.Add : row.Add;
  EXPECT_TRUE(row.Code == 13 || ClefGlyphWidth(ctx, row.Code) == expected);
  TKVDisplayItem display;
  SetClefExtent(row.Code, display);
  EXPECT_EQ(display.Bounds.Top, row.Top);
  EXPECT_EQ(display.Bounds.Bottom, row.Bottom);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, ClefGlyphs,
    ::testing::Values(TClefRow{0, 0, 0, 0, 0}, TClefRow{1, 34, 0, -96, 96}, TClefRow{2, 35, 1, 0, 0},
                      TClefRow{3, 36, 3, 0, 0}, TClefRow{4, 34, 4, -96, 96}, TClefRow{5, 34, 4, -96, 96},
                      TClefRow{6, 35, 5, 0, 0}, TClefRow{7, 36, 3, 48, 48}, TClefRow{8, 36, 3, -48, -48},
                      TClefRow{9, 36, 3, 96, 96}, TClefRow{10, 36, 3, 48, 48}, TClefRow{11, 36, 3, -96, -96},
                      TClefRow{12, 34, 6, -96, 96}, TClefRow{13, 0, 0, -24, 24}, TClefRow{14, 0, 8, 0, 0},
                      TClefRow{15, 0, 6, 0, 0}, TClefRow{16, 34, 5, -96, 96}, TClefRow{17, 34, 5, -96, 96},
                      TClefRow{18, 35, 6, 0, 0}, TClefRow{19, 0, 0, 0, 0}));

TEST_F(LayoutTest, KeyWidthsCountAtMostSevenAccidentals) {
  MakePiece(1, 1);
  TKVFormatContext ctx(*score, *piece, 0);
  for (auto [count, width] : {std::pair{0, 0}, {3, 128}, {10, 0}, {13, 128}, {8, 288}, {25, 248}})
    EXPECT_EQ(KeySignatureWidth(ctx, 0, uint8_t(count), nullptr), width) << count;
}

TEST(MeasureNumbers, ShowByTheirMode) {
  struct {
    uint8_t Mode;
    bool SystemStart, PageStart;
    uint16_t Number;
    bool Shown;
  } rows[] = {{0, false, false, 7, true},  {1, true, false, 7, true},   {1, false, false, 7, false},
              {2, true, true, 7, true},    {2, true, false, 7, false},  {3, false, false, 20, true},
              {3, false, false, 21, false}, {0x13, false, false, 30, true}, {4, true, true, 10, false}};
  for (const auto& row : rows)
    EXPECT_EQ(ShowsMeasureNumber(row.Mode, row.SystemStart, row.PageStart, row.Number), row.Shown) << int(row.Mode);
}

// A later system starts with the room of the clef and key in force.
TEST_F(PageComposer, LaterSystemsTakeTheRoomOfTheClefAndKeyInForce) {
  MakePiece(1, 30);
  AddMark(Measure(0, 0), 2, 0, 0, 1);
  AddMark(Measure(0, 0), 3, 0, 0, 3);
  Layout();
  ASSERT_GE(Page(0).SystemCount, 2);
  const TKVMeasureRecord& start = *Page(0).Systems[1]->Measures[0];
  EXPECT_GE(start.Extents[ExtentWord::ClefWidth], FakeWidth("\"", 18) * 8 + score->Settings().MetricWord(2));
  EXPECT_GE(start.Extents[ExtentWord::KeyWidth], 128 + score->Settings().MetricWord(3));
}

// Hidden staves are drawn with a shown staff of their part; a system with
// none shown shows the first staff.
TEST_F(PageComposer, HiddenStavesAttachToAShownOne) {
  MakePiece(1, 4, 0x0404, 3);
  piece->Layout().StaffVisibility = {1, 0, 1};
  Layout();
  const TKVPageRecord& page = Page(0);
  ASSERT_GE(page.StaffLineCount, 3);
  EXPECT_EQ(page.StaffLines[0]->AttachedLine, page.StaffLines[1].get());
  EXPECT_EQ(page.StaffLines[2]->AttachedLine, page.StaffLines[1].get());
  piece->Layout().StaffVisibility = {1, 1, 1};
  Layout();
  EXPECT_EQ(Page(0).StaffLines[0]->Flags & 1, 1);
}

struct TPageOptionRow {
  const char* Name;
  std::function<void(TKVScore&)> Set;
  int32_t Pages, FirstLeft, SecondLeft, FirstRight;  // -1: not checked
};

class PageOptions : public PageComposer, public ::testing::WithParamInterface<TPageOptionRow> {};

TEST_P(PageOptions, ShapeThePages) {
  const TPageOptionRow& row = GetParam();
  MakePiece(1, 30);
  score->BeginUpdate();
  score->Page().SetRightMargin(30);  // mm
  row.Set(*score);
  score->EndUpdate();
  EXPECT_TRUE(row.Pages < 0 || Store().PageCount == row.Pages) << Store().PageCount;
  EXPECT_TRUE(row.FirstLeft < 0 || Page(0).Systems[0]->LeftX == row.FirstLeft);
  EXPECT_TRUE(row.SecondLeft < 0 || Page(1).Systems[0]->LeftX == row.SecondLeft) << Page(1).Systems[0]->LeftX;
  EXPECT_TRUE(row.FirstRight < 0 || Page(0).Systems[0]->RightX == row.FirstRight) << Page(0).Systems[0]->RightX;
}

INSTANTIATE_TEST_SUITE_P(
    Settings, PageOptions,
    ::testing::Values(TPageOptionRow{"Turn", [](TKVScore& s) { s.Page().SetTurn(true); }, -1, 302, 907, 2117},
                      TPageOptionRow{"Book", [](TKVScore& s) { s.Page().SetBook(true); }, -1, 302, 302, 605},
                      TPageOptionRow{"AutoSize", [](TKVScore& s) { s.Page().SetAutoSize(true); }, 1, -1, -1, -1},
                      TPageOptionRow{"UserPages", [](TKVScore& s) { s.SetUserPages(40); }, 40, -1, -1, -1}),
    [](const ::testing::TestParamInfo<TPageOptionRow>& info) { return std::string(info.param.Name); });

}  // namespace
