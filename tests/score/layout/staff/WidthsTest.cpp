// Widths of clefs, key signatures with their cancellations and time
// signatures, measured on the fake text measurer.

#include "score/layout/LayoutFixture.h"

#include "score/layout/staff/SignatureWidths.h"
#include "score/model/Mark.h"

namespace {

struct TClefCase {
  uint16_t Code;
  const char* Measured;  // text measured ("" for none)
  int Size;              // its size (0: the caller's, 18)
  int Add, Top, Bottom;
};

class ClefWidth : public LayoutTest, public ::testing::WithParamInterface<TClefCase> {};

TEST_P(ClefWidth, FollowsTheClefCode) {
  const TClefCase& c = GetParam();
  MakePiece(1, 1);
  auto ctx = Context(0);
  ctx->Canvas.Font.Size = 18;
  ctx->Glyph = '$';
  const int measured = *c.Measured ? FakeWidth(c.Measured, c.Size ? c.Size : 18) : 0;
  EXPECT_EQ(GetClefWidth(*ctx, c.Code), measured + c.Add);
  TKVDisplayItem display;
  SetClefExtent(c.Code, display);
  EXPECT_EQ(display.Bounds.Top, c.Top);
  EXPECT_EQ(display.Bounds.Bottom, c.Bottom);
}

// One code of each way of measuring; the other codes' constants would copy
// the code's own table row for row.
INSTANTIATE_TEST_SUITE_P(
    Codes, ClefWidth,
    ::testing::Values(TClefCase{1, "$", 0, 0, -96, 96}, TClefCase{7, "$", 0, 3, 48, 48},
                      TClefCase{13, "B", 9, 3, -24, 24}, TClefCase{14, "", 0, 8, 0, 0},
                      TClefCase{16, "\"", 0, 5, -96, 96}, TClefCase{18, "#", 0, 6, 0, 0},
                      TClefCase{19, "", 0, 0, 0, 0}));

struct TKeyCase {
  uint8_t Key, NewKey;
  int Width;
};

class KeyWidth : public LayoutTest, public ::testing::WithParamInterface<TKeyCase> {};

// Own widths count the accidentals (at most seven; 0 and 10 are no key);
// cancellations count the degrees the old key alters and the new one does
// not: five units each, flats one more.
TEST_P(KeyWidth, CountsAccidentalsAndCancellations) {
  MakePiece(1, 1);
  auto ctx = Context(0);
  EXPECT_EQ(GetKeySignatureWidth(*ctx, 0, GetParam().Key, nullptr, GetParam().NewKey, nullptr), GetParam().Width);
}

INSTANTIATE_TEST_SUITE_P(Keys, KeyWidth,
                         ::testing::Values(TKeyCase{3, 0, 120}, TKeyCase{9, 0, 280}, TKeyCase{10, 0, 0},
                                           TKeyCase{13, 0, 120}, TKeyCase{19, 0, 280}, TKeyCase{21, 0, 240},
                                           TKeyCase{13, 2, 128}, TKeyCase{3, 11, 120}, TKeyCase{4, 2, 80},
                                           TKeyCase{11, 1, 48}, TKeyCase{11, 16, 8}, TKeyCase{0, 2, 0},
                                           TKeyCase{10, 2, 0}));

TEST_F(LayoutTest, KeysOfTheirOwnMeasureTheirGlyphs) {
  MakePiece(1, 1);
  auto ctx = Context(0);
  TByteBlock table(14);
  table.setU16(0, 0x0302);  // F: double flat (glyph 'A')
  table.setU16(2, 0x0067);  // C: type 102 (glyph 0xE7)
  EXPECT_EQ(GetKeySignatureWidth(*ctx, 0, 20, &table, 0, nullptr),
            FakeWidth("A", 144) + 8 + FakeWidth("\xE7", 144) + 8);
  // Cancelled by one sharp (F): only C needs a natural.
  EXPECT_EQ(GetKeySignatureWidth(*ctx, 0, 20, &table, 1, nullptr), 6 * 8);
}

TEST_F(LayoutTest, MeterWidthsOfSymbolsNumbersAndAlternatives) {
  MakePiece(1, 1);
  auto ctx = Context(0);
  EXPECT_EQ(GetMeterWidth(*ctx, 0x0404, 1, nullptr), FakeWidth("'", 144));
  EXPECT_EQ(GetMeterWidth(*ctx, 0x0204, 2, nullptr), FakeWidth("(", 144));
  EXPECT_EQ(GetMeterWidth(*ctx, 0x0204, 1, nullptr), std::max(FakeWidth("2", 80), FakeWidth("4", 80)));
  TKVMark* mark = AddMark(Column(0), 4, 0, 0x0C08);
  EXPECT_EQ(GetMeterWidth(*ctx, 0x0C08, 0, mark), FakeWidth("12", 80));
  mark->Extra().Resize(6);
  mark->Extra().setU16(0, 0x0304);
  mark->Extra().setU16(2, 0x0204);
  EXPECT_EQ(GetMeterWidth(*ctx, 0x0C08, 0, mark), FakeWidth("12", 80) + FakeWidth("4", 88) + FakeWidth("4", 88) +
                                                      FakeWidth("()", 144));
  score->Settings().SetScale(200);
  EXPECT_EQ(GetMeterWidth(*ctx, 0x0404, 1, nullptr), FakeWidth("'", 288));
}

}  // namespace
