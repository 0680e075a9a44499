// The play thread driven from the main thread, a view destroyed while it
// plays, and a score played on the synthesiser in real time.

#include <future>

#include "PlayFixture.h"
#include "platform/threads/MainQueue.h"
#include "player/MidiOutput.h"
#include "score/model/Part.h"

namespace {

class PlayThread : public PlayTest {
protected:
  std::future<void> NextNoteOn() {
    noteOn = std::promise<void>();
    AfterShort([this](uint8_t status, uint8_t) {
      if (status == 0x90) noteOn.set_value();
    });
    return noteOn.get_future();
  }
  std::promise<void> noteOn;
};

// On the fake clock a run races through the score: some runs end by
// themselves and are joined by the next Play, others are stopped at any
// point. Every run sends its start-up controller once and ends with one
// stop event, and every note-on gets its note-off.
TEST_F(PlayThread, PlayAndStopAThousandTimes) {
  TKVPiece* piece = AddPiece(2);
  piece->GetPart(0)->SetVolume(100);
  AddNote(piece, 0, 0, 128);
  AddNote(piece, 1, 0, 512, 0x52);
  score->Reformat(0);
  view.SetStyle(wsRealTime);
  view.OnStopPlay = [&, record = view.OnStopPlay](TObject* sender) {
    record(sender);
    view.Stop();  // from the play thread, while the main thread may be in Play
  };
  for (int i = 0; i < 1000; ++i) {
    view.Play();
    if (i % 4 == 0) view.SeekTime(i % 4000);
    if (i % 4 == 1) view.SetTempoScale(50 + i % 150);
    if (i % 4 == 2) view.SetTone(i % 5 + (view.GetCursorTime() > 0));
    if (i % 2) view.Stop();
    while (i % 8 == 6 && view.Playing()) std::this_thread::yield();
  }
  view.Stop();
  auto count = [&](const char* prefix) {
    return size_t(std::count_if(sent.begin(), sent.end(), [&](const TSent& s) { return s.Text.starts_with(prefix); }));
  };
  EXPECT_EQ(count("b0 07"), stops.size());
  EXPECT_GE(stops.size(), 625u);
  EXPECT_EQ(count("90"), count("80"));
}

// At tempo 1 and 1 % a tick lasts 47 s: Stop cuts its sleep short. A view
// destroyed while it plays ends its run first.
TEST_F(PlayThread, StopCutsTheSleepShortAndAViewEndsItsRun) {
  TKVPiece* piece = AddPiece(1, 1);
  AddNote(piece, 0, 0, 128);
  score->Reformat(0);
  view.SetClock(TRealClock::Instance());
  view.SetTempoScale(1);
  std::future<void> sounding = NextNoteOn();
  view.Play();
  sounding.wait();
  view.Stop();
  EXPECT_LT(TRealClock::Instance().NowMs(), view.PlayState().NextTickTime);
  EXPECT_EQ(Texts(), (TTexts{"c0 00 00", "90 3c 40", "80 3c 00"}));

  auto other = std::make_unique<TKVWindow>();
  other->SetScore(score.get());
  sounding = NextNoteOn();
  other->OnPlayShort = view.OnPlayShort;
  other->OnPlayLong = view.OnPlayLong;
  other->OnStopPlay = view.OnStopPlay;
  other->Play();
  sounding.wait();
  other.reset();
  EXPECT_EQ(stops.size(), 2u);
}

// Through the MIDI output component into the synthesiser, in real time.
TEST_F(PlayThread, AShortScorePlaysOnTheSynthesiser) {
  TKVPiece* piece = AddPiece(1, 240);
  for (uint8_t pitch : {0x50, 0x52, 0x54, 0x60}) AddNote(piece, 0, uint16_t((pitch & 7) * 64), 128, pitch);
  score->Reformat(0);
  TMidiOutput out;
  out.SetDeviceID(0);
  ASSERT_TRUE(out.Open());
  view.SetClock(TRealClock::Instance());
  view.OnPlayShort = [&](TObject*, uint8_t status, uint8_t key, uint8_t velocity, int32_t, bool) {
    out.PutShort(status, key, velocity);
  };
  view.OnPlayLong = [&](TObject*, const uint8_t* data, uint16_t length, int32_t) { out.PutLong(data, length); };
  std::promise<void> ended;
  view.OnStopPlay = [&](TObject*) { ended.set_value(); };
  view.Play();
  ASSERT_EQ(ended.get_future().wait_for(std::chrono::seconds(60)), std::future_status::ready);
  view.Stop();
  EXPECT_EQ(out.LastError(), midi::MMSYSERR_NOERROR);
  out.Close();
  TMainQueue::Instance().ProcessPending();
}

}  // namespace
