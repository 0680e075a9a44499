// The after-import passes: velocities from dynamics and accents, the played
// timing and effect notes of performance marks, the grace-note timings.

#include <gtest/gtest.h>

#include "score/import/performance/PerformancePasses.h"
#include "score/model/Measure.h"
#include "score/model/Note.h"
#include "score/model/Part.h"
#include "score/model/Piece.h"
#include "score/model/Score.h"
#include "score/model/ItemFactory.h"
#include "score/model/LayoutRecords.h"
#include "score/model/Mark.h"
#include "score/model/SimpleElements.h"
#include "score/model/Vorschlag.h"

namespace {

// One part of two measures of 512 ticks; notes are C5 (pitch 0x50).
class Passes : public testing::Test {
protected:
  Passes() {
    piece = score.NewPiece();
    TKVPart* part = piece->NewPart();
    for (int m = 0; m < 2; ++m) {
      measures[m] = part->NewMeasure();
      piece->Layout().MeasureRecords.push_back(std::make_unique<TKVMeasureRecord>());
      piece->Layout().MeasureRecords.back()->Length = 512;
    }
    piece->Layout().MeasureRecordCount = 2;
  }
  TKVNote* Note(uint16_t pos, uint16_t dur, int m = 0, TObject* owner = nullptr) {
    auto* note = new TKVNote(owner ? owner : measures[m]);
    note->SetPitch(0x50), note->SetPosition(pos), note->SetDuration(dur), note->SetValue(dur);
    return note;
  }
  TKVMark* Mark(uint8_t kind, uint16_t pos, uint8_t variant = 0, uint16_t value = 0, uint8_t flags = 0) {
    auto* mark = static_cast<TKVMark*>(CreateItemByKind(kind, measures[0]));
    mark->SetPosition(pos), mark->SetVariant(variant), mark->SetValue(value), mark->SetFlags(flags);
    return mark;
  }
  // Each note's timing and effect notes as "offset/played: position/length/step-difference ...".
  static std::string Timing(const std::vector<TKVNote*>& notes) {
    std::string text;
    for (const TKVNote* note : notes) {
      text += std::to_string(note->TimeOffset()) + "/" + std::to_string(note->PlayedLength()) + ":";
      for (TKVItem* item : note->Items())
        if (auto* e = dynamic_cast<TKVEffect*>(item))
          text += " " + std::to_string(e->Position()) + "/" + std::to_string(e->Length()) + "/" +
                  std::to_string(PitchLine(e->Pitch()) - note->Line());
    }
    return text;
  }

  TKVScore score;
  TKVPiece* piece;
  TKVMeasure* measures[2];
};

TEST_F(Passes, AccentMovesTheVelocityWithinTheDataByteRange) {
  EXPECT_EQ(AccentVelocity(score, 0x04, 80), 80) << "no handler";
  score.OnGetDinamics = [](TObject*, int32_t type, int32_t) { return type == 30 ? -200 : 0; };
  EXPECT_EQ(AccentVelocity(score, 0x08, 127), 0);
  score.OnGetDinamics = [](TObject*, int32_t, int32_t) { return 80; };
  EXPECT_EQ(AccentVelocity(score, 0x0C, 100), 127) << "not wrapped round to 52";
}

TEST_F(Passes, GraceNotesPlayAtTheLevelOfTheirGroup) {
  piece->Layout().MeasureRecords[0]->AddDynamic().StartVelocity = 90;
  TKVNote* grace = Note(0, 32, 0, new TKVVorschlag(measures[0]));
  ApplyVelocities(score);
  EXPECT_EQ(grace->Velocity(), 90);
}

struct TMarkCase {
  uint8_t Kind, Variant, Flags;
  uint16_t Value, Duration, Unit;  // Unit 0: the duration
  std::string Expected;
};
class MarkEffects : public Passes, public testing::WithParamInterface<TMarkCase> {};

TEST_P(MarkEffects, GiveTimingAndEffectNotes) {
  const TMarkCase& c = GetParam();
  TKVNote* note = Note(0, c.Duration);
  if (c.Unit) note->SetValue(c.Unit);
  Mark(c.Kind, 0, c.Variant, c.Value, c.Flags);
  ApplyEffects(score);
  EXPECT_EQ(Timing({note}), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, MarkEffects,
    testing::Values(TMarkCase{114, 0, 0, 0, 128, 0, "0/32: 32/32/-1 64/32/-2 96/32/0"},
                    TMarkCase{115, 0, 0, 0, 128, 0, "0/16: 16/16/1 32/96/0"},
                    TMarkCase{115, 3, 0, 0, 128, 0, "0/16: 16/16/-1 32/16/0 48/16/-1 64/64/0"},
                    TMarkCase{116, 0, 0, 0, 128, 0, "0/192:"}, TMarkCase{116, 7, 0, 0, 128, 0, "0/256:"},
                    TMarkCase{143, 0, 0x10, 2, 128, 0, "0/32: 32/32/0 64/32/0 96/32/0"},
                    TMarkCase{143, 0, 0x10, 1, 192, 128, "0/64: 64/64/0 128/64/0"},  // dotted: three strokes
                    TMarkCase{143, 0, 0x10, 200, 128, 0, "0/0:"},  // strokes bounded, then too short to play
                    TMarkCase{114, 0, 0, 0, 2, 0, "0/0:"}));       // no effect notes of length 0

TEST_F(Passes, TrillOfAHalfNoteAlternatesSixteenNotes) {
  TKVNote* note = Note(0, 256);
  Mark(113, 0, 3);
  ApplyEffects(score);
  EXPECT_EQ(Timing({note}).substr(0, 27), "0/16: 16/16/1 32/16/0 48/16");
  ASSERT_EQ(note->GetItemCount(), 15);
  EXPECT_EQ(note->GetItem(0)->Data().u8(EffectBlock::Accidental), 0x34);
}

TEST_F(Passes, StaccatoAndRollReachEveryChordNote) {
  TKVNote* chord[3] = {Note(0, 128), Note(0, 128), Note(0, 128)};
  Mark(141, 0);
  Mark(111, 0);
  ApplyEffects(score);
  EXPECT_EQ(Timing({chord[0], chord[1], chord[2]}), "0/64:21/64:42/64:");
  score.OnGetDinamics = [](TObject*, int32_t, int32_t) { return 4; };  // would divide by zero
  ApplyEffects(score);
  EXPECT_EQ(Timing({chord[2]}), "85/64:");
}

// Two half notes alternating in sixteenths, four times each; a second run changes nothing.
TEST_F(Passes, TwoNoteTremoloInterleavesThePair) {
  TKVNote* pair[2] = {Note(0, 256), Note(256, 256)};
  Mark(143, 0, 0, 2);
  EXPECT_TRUE(ApplyEffects(score));
  EXPECT_FALSE(ApplyEffects(score));
  EXPECT_EQ(Timing({pair[0]}), "0/64: 128/64/0 256/64/0 384/64/0");
  EXPECT_EQ(Timing({pair[1]}), "64/64: 64/64/0 192/64/0 448/64/0");
}

struct TGraceCase {
  uint8_t Flags;
  uint16_t Position;
  std::string Graces, Main;  // the grace notes' timing; the main notes' by measure
};
class GraceTimings : public Passes, public testing::WithParamInterface<TGraceCase> {};

// Two grace sixteenths; main notes at 0, 128, 256 (a half) and at 0 of measure 2.
TEST_P(GraceTimings, MakeRoomInTheirVoice) {
  const TGraceCase& c = GetParam();
  std::vector<TKVNote*> main = {Note(0, 128), Note(128, 128), Note(256, 256), Note(0, 128, 1)};
  auto* group = new TKVVorschlag(c.Position == 0 ? measures[1] : measures[0]);
  group->SetPosition(c.Position), group->SetFlags(c.Flags);
  std::vector<TKVNote*> graces = {Note(0, 32, 0, group), Note(32, 32, 0, group)};
  ApplyEffects(score);
  EXPECT_EQ(Timing(graces), c.Graces);
  EXPECT_EQ(Timing(main), c.Main);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, GraceTimings,
    testing::Values(TGraceCase{0x10, 128, "-64/0:-32/0:", "0/64:0/0:0/0:0/0:"},    // before the beat
                    TGraceCase{0x10, 0, "-64/0:-32/0:", "0/0:0/0:0/192:0/0:"},     // ... reaching back a measure
                    TGraceCase{0x00, 128, "0/0:32/0:", "0/0:64/64:0/0:0/0:"},      // on the beat
                    TGraceCase{0x11, 128, "128/0:160/0:", "0/0:0/0:64/192:0/0:"},  // after the main note
                    TGraceCase{0x11, 256, "256/0:288/0:", "0/0:0/0:0/0:64/64:"},   // ... into the next measure
                    TGraceCase{0x01, 128, "64/0:96/0:", "0/0:0/64:0/0:0/0:"}));    // at the main note's end

}  // namespace
