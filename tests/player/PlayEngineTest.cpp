// The play engine run on the test's thread and a fake clock: one tick's
// messages, ties, holds, chases, seeks, pieces, handlers. 3.90625 ms a tick.

#include <thread>

#include "PlayFixture.h"
#include "base/Log.h"
#include "player/ClipPlayer.h"
#include "score/model/Liga.h"
#include "score/model/Lyric.h"
#include "score/model/Part.h"
#include "score/model/SimpleElements.h"

namespace {

// Tick 128 of a 3/4 measure: the click, the note-off of the note that the
// new one of the same key replaces, its tuning, bank and program (a new
// instrument), its note-on, then the notes that end there from the last
// started to the first. An unchanged instrument sends only the note-on.
TEST_F(PlayTest, OneTickSendsInTheDocumentedOrder) {
  TKVPiece* piece = AddPiece(1, 120, false, 0x0304);
  for (uint8_t pitch : {0x50, 0x51, 0x52}) AddNote(piece, 0, 0, 128, pitch);
  AddNote(piece, 0, 0, 128, 0x53)->SetHeadType(2);  // a slash: never sounded
  TKVNote* next = AddNote(piece, 0, 128, 64, 0x51);
  score->Reformat(0);
  next->Instrument = 0x828305;  // program 5, bank 3 (low) and 2 (high)
  next->Tuning = 1;
  view.Metronome.On = true;
  PlayAll();
  EXPECT_EQ(Texts(0), (TTexts{"99 21 7f", "c0 00 00", "90 3c 40", "90 3e 40", "90 40 40"}));
  EXPECT_EQ(Texts(500), (TTexts{"99 21 64", "80 3e 00", "f0 7f 7f 08 02 05 01 3e 7f 7f 7f f7", "b0 00 02", "b0 20 03",
                             "c0 05 00", "90 3e 40", "80 40 00", "80 3c 00"}));
  EXPECT_EQ(Texts(1000), TTexts{"99 21 64"});
  EXPECT_EQ(stops, std::vector<size_t>{sent.size()});
}

// A tied note sounds on with the key its first note sent, even after a
// transposition, and ends with its own length; met with nothing sounding
// (a start inside the tie) it is struck. Stopping sends one note-off per
// sounding note and leaves the pedal down.
TEST_F(PlayTest, TiesKeepTheirKeyAndAStartInsideOneStrikes) {
  TKVPiece* piece = AddPiece(2);
  AddNote(piece, 0, 256, 256);
  TKVNote* tied = AddNote(piece, 1, 0, 256);
  AddNote(piece, 1, 0, 64, 0x54);
  AddNote(piece, 1, 128, 128, 0x52);
  score->Reformat(0);
  tied->PlayState |= 0x80;
  AddCell(piece, 1, 121, 0, 0)->SetVariant(1);
  view.SetTone(2);
  AfterShort([&](uint8_t status, uint8_t key) {
    if (status == 0x90 && key == 0x3e) view.SetTone(7);
  });
  PlayAll();
  EXPECT_EQ(Texts(), (TTexts{"c0 00 00", "90 3e 40", "b0 78 00", "90 4a 40", "b0 40 7f", "80 4a 00", "90 47 40",
                             "80 47 00", "80 3e 00"}));
  EXPECT_EQ(When("80 3e 00"), 3000);

  sent.clear();
  SetCursor(0, 1, 0);
  AfterShort([&](uint8_t status, uint8_t) {
    if (status == 0x90) view.Stop();
  });
  PlayAll();
  EXPECT_EQ(Texts(), (TTexts{"c0 00 00", "90 43 40", "90 4a 40", "b0 40 7f", "80 4a 00", "80 43 00"}));
}

// A strike of a key cuts off the tied note of that key sounding on the
// channel (another voice's): the note that continues the tie stays silent
// rather than strike the key again, and so does the rest of its chain. A
// tie whose sound is still on (the cutting note sounds yet) is taken over.
TEST_F(PlayTest, ATieCutOffByAStrikeOfItsKeyIsNotStruckAgain) {
  TKVPiece* piece = AddPiece(3);
  TKVNote* tied = AddNote(piece, 0, 0, 512);
  AddNote(piece, 0, 256, 128);
  TKVNote* on = AddNote(piece, 1, 0, 512);
  TKVNote* last = AddNote(piece, 2, 0, 128);
  AddNote(piece, 2, 256, 128, 0x52);
  for (TKVNote* note : {tied, on}) (new TKVLiga(note))->SetFlags(0x10);
  score->Reformat(0);
  on->PlayState |= 0x80;
  last->PlayState |= 0x80;
  PlayAll();
  EXPECT_EQ(Texts(), (TTexts{"c0 00 00", "90 3c 40", "80 3c 00", "90 3c 40", "80 3c 00", "90 40 40", "80 40 00"}));
  EXPECT_EQ(When("80 3c 00"), 1000);
  EXPECT_EQ(When("90 40 40"), 5000);

  // Held on by the strike that cut it, the tie takes that strike over.
  sent.clear();
  piece->GetPart(0)->GetMeasure(0)->GetItem(1)->Data().setU16(NoteBlock::Duration, 256);
  score->Reformat(0);
  on->PlayState |= 0x80;
  last->PlayState |= 0x80;
  PlayAll();
  EXPECT_EQ(Texts(2000), TTexts{});
  EXPECT_EQ(When("80 3c 00"), 1000);
}

// Holds at 128 keep the play there for their longest count; notes count on.
TEST_F(PlayTest, AHoldKeepsThePlayOnItsTick) {
  TKVPiece* piece = AddPiece(1);
  AddNote(piece, 0, 0, 192);
  AddNote(piece, 0, 256, 128, 0x52);
  score->Reformat(0);
  AddCell(piece, 0, 116, 128, 32);
  AddCell(piece, 0, 116, 128, 64);
  PlayAll();
  EXPECT_EQ(When("80 3c 00"), 750);
  EXPECT_EQ(When("90 40 40"), 1250);
  EXPECT_EQ(When("80 40 00"), 1750);
}

struct TClips : TKVClipPlayer {
  int32_t TotalSeconds(TKVSound&) override { return 10; }
  void Run(TKVSound&, int32_t Offset) override { Log.push_back(Offset); }
  void Stop(TKVSound&) override { Log.push_back(-1); }
  std::vector<int32_t> Log;
};

// A start inside measure 1 first sends the raw messages (of an event and a
// symbol's action) and the pedal of measure 0 in play order (a program change in them holds for the run),
// takes the tempo of its tempo mark and text tempo change, starts the clip
// at its current second, then the start-up controllers.
TEST_F(PlayTest, AStartInTheMiddleChasesWhatLiesBefore) {
  TKVPiece* piece = AddPiece(2);
  piece->GetPart(0)->SetVolume(100);
  const uint8_t program[] = {0xC0, 0x05};
  Add<TKVMIDIEvent>(piece->GetColumn(0), ItemKind::MidiEvent, 0)->SetData(program, 2);
  Add(piece->GetColumn(0), ItemKind::TempoMark, 0, 60, 2);
  CreateItemByKind(ItemKind::Sound, piece->GetColumn(0));
  AddNote(piece, 1, 128, 128);
  score->Reformat(0);
  AddCell(piece, 0, 121, 64, 0)->SetVariant(1);
  AddCell(piece, 0, ItemKind::DynamicSymbol, 128, 0, PositionAction::MidiMessage)->MidiBytes = {0xB0, 91, 32};
  AddCell<TKVLyric>(piece, 0, ItemKind::LyricText, 256, 140, PositionAction::TempoChange);
  TClips clips;
  view.SetClipPlayer(clips);
  SetCursor(0, 1, 128);
  PlayAll();
  EXPECT_EQ(Texts(), (TTexts{"c0 05", "b0 40 7f", "b0 5b 20", "b0 07 64", "90 3c 40", "80 3c 00"}));
  EXPECT_EQ(When("80 3c 00"), 600) << "tempo 100";
  EXPECT_EQ(clips.Log, (std::vector<int32_t>{5, -1}));
}

// Measure 1 repeats (plays 0 1 0 1 2) and sets tempo 60. A seek into the
// second play of measure 0 plays from there at 60; a seek while playing
// ends the notes at once and goes on from the new place at its tempo.
TEST_F(PlayTest, SeeksStartInThePlayFoundAtItsTempo) {
  TKVPiece* piece = AddPiece(3);
  Add(piece->GetColumn(1), 156, 512);
  Add(piece->GetColumn(1), ItemKind::TempoMark, 0, 60, 2);
  AddNote(piece, 0, 0, 128);
  AddNote(piece, 1, 0, 128, 0x52);
  AddNote(piece, 2, 128, 128, 0x54);
  score->Reformat(0);
  view.SetStyle(wsRealTime);
  view.SeekTime(6000);
  PlayAll();
  EXPECT_EQ(Texts(), (TTexts{"c0 00 00", "90 3c 40", "80 3c 00", "90 40 40", "80 40 00", "90 43 40", "80 43 00"}));
  EXPECT_EQ(When("90 43 40"), 9000);

  sent.clear();
  view.SeekTime(0);
  AfterShort([&](uint8_t status, uint8_t key) {
    if (status == 0x90 && key == 0x3c) view.SeekTime(12500);
  });
  PlayAll();
  EXPECT_EQ(Texts(), (TTexts{"c0 00 00", "90 3c 40", "80 3c 00", "90 43 40", "80 43 00"}));
  EXPECT_EQ(When("80 3c 00"), 3.90625);
  EXPECT_EQ(When("90 43 40"), 3.90625 + 64 * 7.8125);

  // Doubling the speed in measure 1 keeps its tempo 60 in force.
  sent.clear();
  view.SeekTime(0);
  AfterShort([&](uint8_t status, uint8_t key) {
    if (status == 0x90 && key == 0x40) view.SetTempoScale(200);
  });
  PlayAll();
  EXPECT_EQ(When("80 40 00") - When("90 40 40"), 500);
}

// An effect sends its instrument on its channel. A stop ends notes and
// effects, latest first, and leaves a held controller (142) on.
TEST_F(PlayTest, AStopEndsEffectsAndLeavesHeldControllersOn) {
  TKVPiece* piece = AddPiece(1);
  AddNote(piece, 0, 0, 512);
  score->Reformat(0);
  auto* effect = AddCell<TKVEffect>(piece, 0, ItemKind::Effect, 0, 0);
  effect->Channel = 9, effect->MidiKey = 38, effect->Instrument = 0x8105;
  effect->SetLength(192);
  AddCell(piece, 0, 142, 128, 64)->Channel = 2;
  AfterShort([&](uint8_t, uint8_t key) {
    if (key == 65) view.Stop();
  });
  PlayAll();
  EXPECT_EQ(Texts(), (TTexts{"c0 00 00", "90 3c 40", "b9 20 01", "c9 05 00", "99 26 40", "b2 41 7f", "89 26 00",
                             "80 3c 00"}));
}

// Plain pieces follow each other, each at its own tempo; a piece that plays
// separately is passed over.
TEST_F(PlayTest, PlainPiecesFollowEachOther) {
  AddPiece(1);
  AddNote(AddPiece(1, 60, true), 0, 0, 128, 0x52);
  AddNote(AddPiece(1, 60), 0, 0, 128);
  score->Reformat(0);
  PlayAll();
  EXPECT_EQ(Texts(), (TTexts{"c0 00 00", "90 3c 40", "80 3c 00"}));
  EXPECT_EQ(When("80 3c 00"), 3000);
}

// Without a long-message handler nothing is sent and the run waits for
// Stop; a handler that raises loses its own message only, the failure is
// logged (the first 20 of a run, then their count), and the run ends as
// usual with its stop event and the lock free.
TEST_F(PlayTest, HandlersMissingOrRaising) {
  TKVPiece* piece = AddPiece(1);
  for (uint8_t pitch = 0x50; pitch < 0x5C; ++pitch) AddNote(piece, 0, 0, 128, pitch);
  score->Reformat(0);
  const auto record = view.OnPlayLong;
  view.OnPlayLong = nullptr;
  PlayAll();
  EXPECT_TRUE(sent.empty() && stops.empty() && view.Playing());
  view.Stop();
  EXPECT_FALSE(view.Playing());

  view.OnPlayLong = record;
  AfterShort([](uint8_t, uint8_t) { throw std::runtime_error("device gone"); });
  view.OnStopPlay = [&](TObject*) {
    stops.push_back(sent.size());
    throw std::runtime_error("host failed");
  };
  std::vector<std::string> logged;
  SetLogHook([&](const std::string& line) { logged.push_back(line); });
  PlayAll();
  SetLogHook(nullptr);
  EXPECT_EQ(sent.size(), 25u);  // the program change, 12 note-ons and 12 note-offs
  EXPECT_EQ(stops.size(), 1u);
  ASSERT_EQ(logged.size(), 21u);
  EXPECT_EQ(logged[0], "Play: MIDI message C0 00 00 failed: device gone");
  EXPECT_EQ(logged[1], "Play: MIDI message 90 3C 40 failed: device gone");
  EXPECT_EQ(logged[20], "Play: 6 more failures in this run");  // 25 messages and the stop event
  std::thread([&] { EXPECT_TRUE(view.PlayLock().try_lock() && (view.PlayLock().unlock(), true)); }).join();
}

}  // namespace
