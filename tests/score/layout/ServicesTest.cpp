// The services the layout steps share: dynamics records, the position list
// (reaching into earlier measures, copies from them), rectangle scaling and
// the choice of a symbol font.

#include "LayoutFixture.h"

#include <climits>

#include "score/layout/LayoutServices.h"
#include "score/layout/ScoreLayoutRecords.h"
#include "score/model/ItemFactory.h"
#include "score/model/Lyric.h"
#include "score/model/Mark.h"
#include "score/model/Note.h"

namespace {

TEST_F(LayoutTest, DynamicsOfOnePartAtOnePositionKeepTheFirstLast) {
  MakePiece(2, 1);
  Layout();
  auto ctx = Context(0);
  TKVMark* d[5];
  for (TKVMark*& mark : d) mark = AddMark(Measure(0, 0), 110, 0);
  AddDynamic(*ctx, d[0], 128, 0, false);
  AddDynamic(*ctx, d[1], 128, 64, true);
  AddDynamic(*ctx, d[2], 128, 0, false);
  AddDynamic(*ctx, d[3], 256, 0, false);  // another position
  ctx->Part = piece->GetPart(1);
  AddDynamic(*ctx, d[4], 256, 0, false);  // another part
  const TKVItem* expected[] = {d[1], d[2], d[0], d[3], d[4]};
  ASSERT_EQ(ctx->Record->DynamicCount, 5);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(ctx->Record->GetDynamic(i)->Item, expected[i]) << i;
  EXPECT_EQ(ctx->Record->GetDynamic(0)->Length, 64);
  EXPECT_EQ(ctx->Record->GetDynamic(4)->PartIndex, 1);
}

TEST_F(LayoutTest, PositionEntriesKeepTickOrder) {
  MakePiece(1, 4);
  Layout();
  auto ctx = Context(3);
  TKVMark* a = AddMark(Measure(0, 3), 116, 0);
  TKVMark* b = AddMark(Measure(0, 3), 116, 0);
  TKVMark* c = AddMark(Measure(0, 3), 116, 0);
  InsertPositionEntry(*ctx, a, 128, 1);
  InsertPositionEntry(*ctx, b, 128, 1);
  InsertPositionEntry(*ctx, c, 128, 0);  // before the last of the equal ones
  InsertPositionEntry(*ctx, a, 64, 1);
  std::vector<std::pair<uint16_t, TKVItem*>> list;
  for (auto& e : ctx->Record->Positions) list.emplace_back(e->Position, e->Item);
  EXPECT_EQ(list, (std::vector<std::pair<uint16_t, TKVItem*>>{{64, a}, {128, a}, {128, c}, {128, b}}));
  // A grace note 40 ticks before measure 3 stands at 472 in measure 2.
  EXPECT_EQ(InsertPositionEntry(*ctx, a, -40, 1).Position, 472);
  EXPECT_EQ(Record(2).Positions.back()->Item, a);
  // Before the first measure: position 0 of record 0.
  InsertPositionEntry(*ctx, b, -4000, 1);
  EXPECT_EQ(Record(0).Positions.front()->Item, b);
  EXPECT_EQ(Record(0).Positions.front()->Position, 0);
}

// An entry reaching back into an earlier measure is made once per
// formatting: formatting the column again replaces it rather than adding a
// second one (the earlier measure is not set up again).
TEST_F(LayoutTest, FormattingAColumnAgainAddsNothingTwiceToEarlierMeasures) {
  MakePiece(1, 3);
  WithoutPages();
  TKVMark* grace = AddMark(Measure(0, 2), 116, 0);
  Service().Steps().LayoutStaff = [&](TKVFormatContext& ctx) {
    if (ctx.ColumnIndex == 2) InsertPositionEntry(ctx, grace, -40, 1);
  };
  Layout();
  const std::string once = Dump();
  ASSERT_EQ(Record(1).Positions.size(), 1u);
  ASSERT_TRUE(score->FormatMeasure(0, 2));
  ASSERT_TRUE(score->FormatMeasure(0, 2));
  EXPECT_EQ(Record(1).Positions.size(), 1u);
  EXPECT_EQ(Dump(), once);
}

TEST_F(LayoutTest, MeasureCopiesTakeTheStaffAndVoiceOfOnePart) {
  MakePiece(2, 3);
  Layout();
  auto source = Context(0);
  auto note = [&](int part, uint8_t staffVoice) {
    auto* n = static_cast<TKVNote*>(CreateItemByKind(20, Measure(part, 0)));
    n->SetStaffVoice(staffVoice);
    return n;
  };
  TKVItem* mine = note(0, 0x10);
  TKVItem* otherVoice = note(0, 0x11);
  TKVItem* otherPart = note(1, 0x10);
  TKVItem* lyricSameStaff = AddLyric(Measure(0, 0), 33, 0, {u"la"});
  static_cast<TKVLyric*>(lyricSameStaff)->SetStaffVoice(0x13);
  TKVItem* holdOtherStaff = AddMark(Measure(0, 0), 116, 0);
  TKVItem* columnWide = AddMark(Column(0), 27, 0);
  TKVItem* tempo = AddMark(Column(0), 6, 0);
  for (TKVItem* item : {mine, otherVoice, otherPart, lyricSameStaff, holdOtherStaff, columnWide, tempo})
    InsertPositionEntry(*source, item, 0, 1).Word = 7;
  auto ctx = Context(2);
  CopyMeasurePositions(*ctx, 0, 0, 0x10);
  std::vector<TKVItem*> copied;
  for (auto& e : ctx->Record->Positions) {
    copied.push_back(e->Item);
    EXPECT_EQ(e->Word, 7);
  }
  EXPECT_EQ(copied, (std::vector<TKVItem*>{mine, lyricSameStaff, columnWide}));
  // Only records before the column are copied from.
  for (int index : {-1, 2, 3}) CopyMeasurePositions(*ctx, index, 0, 0x10);
  EXPECT_EQ(ctx->Record->Positions.size(), 3u);
}

TEST_F(LayoutTest, RectanglesScaleTowardZeroWithinThirtyTwoBits) {
  MakePiece(1, 1);
  auto ctx = Context(0);
  EXPECT_EQ(ScaleLayoutRect(*ctx, -7, 5, 9, 11, 100), (TKVLayoutRect{-7, 5, 9, 11}));
  score->Settings().SetScale(150);
  EXPECT_EQ(ScaleLayoutRect(*ctx, -7, 5, 9, 11, 90), (TKVLayoutRect{-9, 6, 12, 14}));
  score->Settings().SetScale(INT32_MAX);  // the layout holds it at 10000 %
  EXPECT_EQ(ScaleLayoutRect(*ctx, -10000000, 0, 10000000, 1, 255), (TKVLayoutRect{INT32_MIN, 0, INT32_MAX, 255}));
}

TEST_F(LayoutTest, SymbolFontsReplaceMappedGlyphsOnly) {
  MakePiece(1, 1);
  auto ctx = Context(0);
  TKVSymbolFontEntry entry{"User Glyphs", 50, 0, {}};
  entry.Glyphs.resize(0x50);
  entry.Glyphs[0x41][0] = 0x1234;
  ScoreLayoutRecords(*score).SymbolFonts = {entry};
  ctx->Canvas.Font.Size = 144;
  ctx->Glyph = 0x41;
  SelectLayoutSymbolFont(*ctx, 12);
  EXPECT_EQ(ctx->Canvas.Font.Name, "User Glyphs");
  EXPECT_EQ(ctx->Canvas.Font.Size, 72);
  EXPECT_EQ(ctx->Glyph, 0x34);
  ctx->Glyph = 0x42;  // not mapped: music font 1, or entry 0 of a shorter list
  SelectLayoutSymbolFont(*ctx, 12);
  EXPECT_EQ(ctx->Canvas.Font.Name, "Ostinel Symbols");
  SelectLayoutSymbolFont(*ctx, 1);
  EXPECT_EQ(ctx->Canvas.Font.Name, "Ostinel Jazz Symbols");
  score->MusicFonts().Clear();
  SelectLayoutSymbolFont(*ctx, 1);
  EXPECT_EQ(ctx->Canvas.Font.Name, score->MusicFontName());
  EXPECT_EQ(ctx->Canvas.Font.Size, 72);
}

}  // namespace
