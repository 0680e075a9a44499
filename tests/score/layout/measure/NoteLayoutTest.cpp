// Notes of the per-staff layout: the key, channel and program they sound
// with, tablature strings and their position entries.

#include "score/layout/LayoutFixture.h"

#include "score/model/ItemFactory.h"
#include "score/model/Mark.h"
#include "score/model/Note.h"
#include "score/model/ScoreRecords.h"
#include "score/model/SimpleElements.h"
#include "score/model/Staff.h"
#include "score/model/Voice.h"

namespace {

constexpr uint8_t F4 = 0x53, MiddleC = 0x50;

class NoteLayout : public LayoutTest {
protected:
  TKVNote* Note(int Column, uint16_t Position, uint8_t Pitch, std::initializer_list<uint8_t> Signs = {},
                uint16_t Value = 128, uint8_t StaffVoice = 0) {
    TKVNote* note = AddNote(Measure(0, Column), Position, Pitch, Value, StaffVoice);
    for (uint8_t sign : Signs) AddMark(note, 50, 0, 0, sign);
    return note;
  }
  int EntriesOf(int Column, const TKVItem* Item) {
    int n = 0;
    for (auto& e : Record(Column).Positions) n += e->Item == Item;
    return n;
  }
};

TEST_F(NoteLayout, KeysFollowPitchAndStayInRange) {
  MakePiece(1, 1);
  TKVNote* c = Note(0, 0, MiddleC);
  TKVNote* low = Note(0, 128, 0x00, {1});   // C two octaves below key 0, double flat
  TKVNote* high = Note(0, 256, 0xA6, {3});  // B far above key 127
  TKVNote* slash = Note(0, 384, MiddleC);
  slash->SetHeadType(3);  // sounds an octave up
  Layout();
  EXPECT_EQ(c->MidiKey, 60);
  EXPECT_EQ(low->MidiKey, 0);
  EXPECT_EQ(high->MidiKey, 127);
  EXPECT_EQ(slash->MidiKey, 72);
  ASSERT_EQ(EntriesOf(0, c), 1);
  EXPECT_EQ(Record(0).Positions[0]->Word, 128);
}

struct TSignCase {
  std::vector<uint8_t> Signs;
  uint8_t Key, Accidental, Tuning;
};

class Signs : public NoteLayout, public ::testing::WithParamInterface<TSignCase> {};

TEST_P(Signs, AlterTheKeyAndTheAccidentalByte) {
  MakePiece(1, 1);
  TKVNote* note = Note(0, 0, F4);
  for (uint8_t sign : GetParam().Signs) AddMark(note, 50, 0, 0, sign);
  Layout();
  EXPECT_EQ(note->MidiKey, GetParam().Key);
  EXPECT_EQ(note->Accidental, GetParam().Accidental);
  EXPECT_EQ(note->Tuning, GetParam().Tuning);
  Layout();
  EXPECT_EQ(note->Accidental, GetParam().Accidental) << "a second layout adds nothing";
}

INSTANTIATE_TEST_SUITE_P(
    Variants, Signs,
    ::testing::Values(TSignCase{{0}, 64, 0x41, 0}, TSignCase{{1}, 63, 0x42, 0}, TSignCase{{2}, 66, 0x01, 0},
                      TSignCase{{3}, 67, 0x02, 0}, TSignCase{{4}, 65, 0x80, 0}, TSignCase{{5}, 64, 0xC1, 0},
                      TSignCase{{6}, 66, 0x81, 0}, TSignCase{{0, 0}, 63, 0x42, 0},
                      TSignCase{{101}, 64, 0x41, 101}, TSignCase{{137}, 64, 0x41, 137},
                      TSignCase{{104}, 66, 0x01, 104}, TSignCase{{138}, 66, 0x01, 138}, TSignCase{{200}, 65, 0, 0}));

TEST_F(NoteLayout, VoicesPlayOnTheirOwnOrThePartsProgram) {
  MakePiece(1, 1);
  TKVPart* part = piece->GetPart(0);
  part->Data().setU8(PartBlock::Program, 40);
  part->Data().setU8(PartBlock::Channel, 3);
  part->Data().setU16(PartBlock::Bank, 2);
  TKVVoice* own = part->GetStaff(0)->NewVoice();
  own->Data().setU8(VoiceBlock::Program, 7);
  own->Data().setU8(VoiceBlock::Channel, 21);  // no such channel
  part->GetStaff(0)->GetVoice(0)->Data().setU8(VoiceBlock::Program, 255);
  TKVNote* first = Note(0, 0, MiddleC);
  TKVNote* second = Note(0, 0, 0x52, {}, 128, 0x01);
  Layout();
  EXPECT_EQ(first->Channel, 3);
  EXPECT_EQ(first->Instrument, 40u + (2u << 8));
  EXPECT_EQ(first->Voice, part->GetStaff(0)->GetVoice(0));
  EXPECT_EQ(second->Channel, 0);
  EXPECT_EQ(second->Instrument, 7u);
}

TEST_F(NoteLayout, PercussionClefPlaysTheDrumKeys) {
  MakePiece(1, 1);
  AddMark(Measure(0, 0), 2, 0, 0, 15);
  score->NamedRecords().AddObject("kit", new TKVNamedRecord);
  TKVDrumEntry snare;
  snare.Data.setU8(0, 38);
  score->DrumMapByNotatedKey[60] = {&snare};
  TKVNote* mapped = Note(0, 0, MiddleC);
  mapped->SetHeadType(5);
  TKVNote* slash = Note(0, 128, MiddleC);
  slash->SetHeadType(4);  // below the head list
  TKVNote* outside = Note(0, 256, MiddleC);
  outside->SetHeadType(6);  // past the head list
  auto* roll = static_cast<TKVEffect*>(CreateItemByKind(22, mapped));
  roll->SetPitch(0x55);
  roll->SetPosition(64);
  Layout();
  EXPECT_EQ(mapped->MidiKey, 38);
  EXPECT_EQ(slash->MidiKey, 60);
  EXPECT_EQ(outside->MidiKey, 60);
  for (TKVNote* n : {mapped, slash, outside}) {
    EXPECT_EQ(n->Channel, 9);
    EXPECT_EQ(n->Instrument, 0u);
  }
  EXPECT_EQ(roll->MidiKey, 38) << "an effect plays its note's drum";
  EXPECT_EQ(roll->Channel, 9);
  EXPECT_EQ(EntriesOf(0, roll), 1);
}

TEST_F(NoteLayout, TablatureTakesTheLowestFret) {
  MakePiece(1, 1);
  TKVStaff* staff = piece->GetPart(0)->GetStaff(0);
  staff->Data().setU8(StaffBlock::Tablature, 1);
  staff->Data().setU8(StaffBlock::LineCount, 3);
  staff->SetRange(12);
  staff->LineArray()[0] = 40;
  staff->LineArray()[1] = 45;
  staff->LineArray()[2] = 50;
  TKVNote* a = Note(0, 0, 0x35);  // A, key 45
  TKVNote* set = Note(0, 128, 0x35);
  set->SetString(2);
  set->SetFret(4);  // chosen by the user: kept
  Layout();
  EXPECT_EQ(a->MidiKey, 45);
  EXPECT_EQ(a->String(), 1);
  EXPECT_EQ(a->Fret(), 1);
  EXPECT_EQ(set->String(), 2);
  EXPECT_EQ(set->Fret(), 4);
}

}  // namespace
