// The per-staff layout's small routines: the clef in force, the key
// signature's alterations, the chord-note search, point rotation and note
// overhang.

#include "score/layout/LayoutFixture.h"

#include "score/layout/LayoutServices.h"
#include "score/layout/staff/StaffSupport.h"
#include "score/model/ItemFactory.h"
#include "score/model/Mark.h"
#include "score/model/Note.h"
#include "score/model/Pause.h"

namespace {

TEST_F(LayoutTest, ClefInForceChangesAtItsTick) {
  MakePiece(1, 2);
  Layout();
  auto ctx = Context(1);
  auto& clefs = ctx->Record->PartRecords[0]->StaffRecords[0]->ClefList;
  // The carried clef counts from tick 0 whatever its own position.
  TKVMark* treble = AddMark(Measure(0, 0), 2, 300, 0, 1);
  TKVMark* bass = AddMark(Measure(0, 1), 2, 256, 0, 2);
  TKVMark* percussion = AddMark(Measure(0, 1), 2, 400, 0, 15);
  TKVDisplayItem d[3];
  d[0].Item = treble;
  d[1].Item = bass;
  d[2].Item = percussion;
  clefs = {&d[0]};
  EXPECT_EQ(GetClefOffset(*ctx, 511), 0);
  clefs = {&d[0], &d[1], &d[2]};
  EXPECT_EQ(GetClefOffset(*ctx, 255), 0);
  EXPECT_EQ(GetClefOffset(*ctx, 256), -12);
  EXPECT_FALSE(ctx->PercussionClef);
  EXPECT_EQ(GetClefOffset(*ctx, 400), 0);
  EXPECT_TRUE(ctx->PercussionClef);
  bass->SetVariant(17);  // a type past the table has no offset
  EXPECT_EQ(GetClefOffset(*ctx, 300), 0);
}

struct TKeyCase {
  uint8_t Key;
  std::array<int16_t, 7> Steps;  // C .. B
};

class KeyAccidentals : public LayoutTest, public ::testing::WithParamInterface<TKeyCase> {};

TEST_P(KeyAccidentals, FillEveryOctave) {
  MakePiece(1, 1);
  auto ctx = Context(0);
  TKVMark* key = AddMark(Measure(0, 0), 3, 0, 0, GetParam().Key);
  ApplyKeySignature(*ctx, *key);
  for (int line = 0; line < 70; ++line) EXPECT_EQ(ctx->KeyAccidentals[size_t(line)], GetParam().Steps[line % 7]) << line;
  EXPECT_EQ(KeyAccidental(*ctx, 75), GetParam().Steps[5]) << "a line past the table";
}

INSTANTIATE_TEST_SUITE_P(Keys, KeyAccidentals,
                         ::testing::Values(TKeyCase{3, {1, 0, 0, 1, 1, 0, 0}}, TKeyCase{12, {0, 0, -1, 0, 0, 0, -1}},
                                           TKeyCase{0, {}}, TKeyCase{10, {}}, TKeyCase{9, {1, 1, 1, 1, 1, 1, 1}}));

TEST_F(LayoutTest, KeysOfTheirOwnSetTheirSteps) {
  MakePiece(1, 2);
  Layout();
  auto ctx = Context(1);
  TKVMark* sharps = AddMark(Measure(0, 0), 3, 0, 0, 2);  // F#, C#
  TKVMark* own = AddMark(Measure(0, 1), 3, 128, 0, 20);
  own->Extra().setU16(0, 0x0308);  // F natural
  own->Extra().setU16(2, 0x0602);  // B double flat
  own->Extra().setU16(4, 0x0903);  // no such step
  TKVDisplayItem d[2];
  d[0].Item = sharps;
  d[1].Item = own;
  ctx->Record->PartRecords[0]->CurrentItems = {&d[0], &d[1]};
  // The own key stands later in this measure: the earlier key is in force.
  InitKeyAccidentals(*ctx);
  EXPECT_EQ(ctx->KeyAccidentals[3], 1);
  EXPECT_EQ(ctx->KeyAccidentals[6], 0);
  ApplyKeySignature(*ctx, *own);
  EXPECT_EQ(ctx->KeyAccidentals[3 + 7], 0);
  EXPECT_EQ(ctx->KeyAccidentals[0], 1);
  EXPECT_EQ(ctx->KeyAccidentals[6 + 14], -2);
}

TEST_F(LayoutTest, RotationRoundsHalvesToEven) {
  MakePiece(1, 1);
  auto ctx = Context(0);
  ctx->RotationCos = 0.5L;
  ctx->RotationSin = 0;
  EXPECT_EQ(RotatePoint(*ctx, {5, 3}), (TKVPoint{2, 2}));
  ctx->RotationCos = 0;
  ctx->RotationSin = 1;
  EXPECT_EQ(RotatePoint(*ctx, {10, 20}), (TKVPoint{20, -10}));
}

// The chord search extends over the notes that follow, up to and including
// the last used display item; it stops at a note on the other stem side and
// never runs into another part's notes.
TEST_F(LayoutTest, ChordSearchExtendsToTheLastNoteOfTheChord) {
  MakePiece(2, 1);
  Layout();
  auto ctx = Context(0);
  auto note = [&](int part, uint16_t position, uint8_t flags) {
    auto* n = static_cast<TKVNote*>(CreateItemByKind(20, Measure(part, 0)));
    n->SetPosition(position);
    n->SetFlags(flags);
    TKVDisplayItem& d = AddDisplayItem(*ctx, n, true);
    return &d;
  };
  TKVDisplayItem* a = note(0, 128, 0);
  TKVDisplayItem* b = note(0, 128, 0);
  TKVPart* first = piece->GetPart(0);
  EXPECT_EQ(FindNoteDisplayItem(*ctx, first, 0, 128, false, 4), b) << "the last used item extends the chord";
  EXPECT_EQ(FindNoteDisplayItem(*ctx, first, 0, 128, false, 0), a) << "a note on side 0 ends it";
  note(1, 128, 0);
  note(0, 128, 4);
  EXPECT_EQ(FindNoteDisplayItem(*ctx, first, 0, 128, false, 4), b);
  EXPECT_EQ(FindNoteDisplayItem(*ctx, first, 0, 64, false, 0), nullptr);
  auto* rest = static_cast<TKVPause*>(CreateItemByKind(21, Measure(0, 0)));
  rest->SetPosition(64);
  rest->SetStaffVoice(0x01);
  TKVDisplayItem& r = AddDisplayItem(*ctx, rest, true);
  EXPECT_EQ(FindNoteDisplayItem(*ctx, first, 0x00, 64, true, 0), &r);
}

TEST_F(LayoutTest, OverhangIsTheLongestPlayedExcess) {
  MakePiece(1, 1);
  auto ctx = Context(0);
  for (uint16_t played : {0, 200, 300}) {
    auto* n = static_cast<TKVNote*>(CreateItemByKind(20, Measure(0, 0)));
    n->SetPosition(128);
    n->SetDuration(128);
    n->Data().setU16(NoteBlock::PlayedLength, played);
  }
  EXPECT_EQ(GetMaxNoteOverhang(*ctx, 128), 172);
  EXPECT_EQ(GetMaxNoteOverhang(*ctx, 0), 0);
}

}  // namespace
