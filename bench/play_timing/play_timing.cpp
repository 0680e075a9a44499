// Timing of the play thread: a score of sixteenth notes at tempo 120 runs
// once on a fake clock, which gives every message its ideal time, and once
// for real through the MIDI output component into a recording sink, which
// stamps each message as it arrives. For every message: its deviation from
// the ideal time (from the run's first tick). Printed: the count, byte
// mismatches between the two runs, mean, p50, p99 and max of the deviation, and
// the drift (slope of the deviation over the ideal time) in ppm; once on an
// idle machine, once with every core kept busy.
//
// Usage: play_timing [seconds of music per run, default 20]

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/midi/MidiOut.h"
#include "platform/midi/RecordingSink.h"
#include "base/Log.h"
#include "support/BusyCores.h"
#include "platform/threads/Clock.h"
#include "platform/threads/MainQueue.h"
#include "platform/threads/PriorityThread.h"
#include "player/MidiOutput.h"
#include "player/PlayEngine.h"
#include "player/Window.h"
#include "score/layout/ScoreLayout.h"
#include "score/model/ItemFactory.h"
#include "score/model/ItemKinds.h"
#include "score/model/Measure.h"
#include "score/model/Note.h"
#include "score/model/Part.h"
#include "score/model/Piece.h"
#include "score/model/Score.h"
#include "score/model/Staff.h"

namespace {

struct TMessage {
  std::vector<uint8_t> Bytes;
  double Ms;  // ideal: from the first tick; real: steady clock
};

// Four four-four measures make eight seconds; sixteenths on a rising scale.
std::unique_ptr<TKVScore> MakeScore(int Seconds) {
  auto score = std::make_unique<TKVScore>();
  score->BeginUpdate();
  TKVPiece* piece = score->NewPiece();
  piece->SetMeter(0x0404);
  piece->SetTempo(120);
  TKVPart* part = piece->NewPart();
  part->NewStaff()->NewVoice();
  for (int m = 0; m < (Seconds + 1) / 2; ++m) {
    TKVMeasure* measure = part->NewMeasure();
    piece->NewColumn();
    for (int k = 0; k < 16; ++k) {
      auto* note = static_cast<TKVNote*>(CreateItemByKind(ItemKind::Note, measure));
      note->SetPosition(uint16_t(k * 32));
      note->SetDuration(32);
      note->SetPitch(uint8_t(0x50 + k % 7));
    }
  }
  score->EndUpdate();
  return score;
}

void Connect(TKVWindow& View, std::vector<TMessage>& Out) {
  View.OnPlayShort = [&](TObject*, uint8_t status, uint8_t data1, uint8_t data2, int32_t, bool) {
    Out.push_back({{status, data1, data2}, View.Clock().NowMs()});
  };
  View.OnPlayLong = [&](TObject*, const uint8_t* data, uint16_t length, int32_t) {
    Out.push_back({{data, data + length}, View.Clock().NowMs()});
  };
}

std::vector<TMessage> IdealRun(TKVScore& Score) {
  TFakeClock clock;
  TKVWindow view;
  view.SetScore(&Score);
  view.SetClock(clock);
  std::vector<TMessage> messages;
  Connect(view, messages);
  view.BeginPlay();
  TSleepInterrupt none;
  TKVPlayEngine(view).Run(none);
  return messages;
}

// The sink's stamps, with the run's first tick as 0.
std::vector<TMessage> RealRun(TKVScore& Score) {
  auto sink = std::make_shared<midi::TRecordingSink>();
  const int id = midi::AddDevice(sink);
  TMidiOutput out;
  out.SetDeviceID(id);
  if (!out.Open()) {
    std::fprintf(stderr, "the recording sink does not open\n");
    std::exit(1);
  }
  TKVWindow view;
  view.SetScore(&Score);
  double firstTick = -1;
  view.OnPlayShort = [&](TObject*, uint8_t status, uint8_t data1, uint8_t data2, int32_t, bool) {
    if (firstTick < 0) firstTick = view.PlayState().NextTickTime;
    out.PutShort(status, data1, data2);
  };
  view.OnPlayLong = [&](TObject*, const uint8_t* data, uint16_t length, int32_t) { out.PutLong(data, length); };
  std::promise<void> ended;
  view.OnStopPlay = [&](TObject*) { ended.set_value(); };
  view.Play();
  ended.get_future().wait();
  view.Stop();
  out.Close();
  TMainQueue::Instance().ProcessPending();
  midi::RemoveDevice(sink);
  std::vector<TMessage> messages;
  for (const midi::TRecordedMessage& m : sink->Messages()) {
    std::vector<uint8_t> bytes = m.Long;
    if (bytes.empty()) bytes = {uint8_t(m.Short), uint8_t(m.Short >> 8), uint8_t(m.Short >> 16)};
    messages.push_back({bytes, m.TimeNs / 1e6 - firstTick});
  }
  return messages;
}

void Report(const char* Condition, const std::vector<TMessage>& Ideal, const std::vector<TMessage>& Real) {
  const size_t n = std::min(Ideal.size(), Real.size());
  size_t mismatches = std::max(Ideal.size(), Real.size()) - n;
  std::vector<double> deviation(n), magnitude(n);
  double sumV = 0, sumD = 0, sumVV = 0, sumVD = 0;
  for (size_t i = 0; i < n; ++i) {
    mismatches += Ideal[i].Bytes != Real[i].Bytes;
    const double v = Ideal[i].Ms - Ideal[0].Ms, d = Real[i].Ms - v;
    deviation[i] = d;
    magnitude[i] = std::fabs(d);
    sumV += v, sumD += d, sumVV += v * v, sumVD += v * d;
  }
  std::sort(magnitude.begin(), magnitude.end());
  double mean = 0;
  for (double d : magnitude) mean += d / double(n);
  const double slope = (double(n) * sumVD - sumV * sumD) / (double(n) * sumVV - sumV * sumV);
  std::printf(
      "%-5s messages %zu, mismatches %zu, |deviation| mean %.3f ms, p50 %.3f ms, p99 %.3f ms, max %.3f ms, drift %.1f ppm\n",
      Condition, n, mismatches, mean, magnitude[n / 2], magnitude[std::min(n - 1, n * 99 / 100)], magnitude.back(),
      slope * 1e6);
}

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::max(2, std::atoi(argv[1])) : 20;
  std::string priority = "real-time (SCHED_FIFO)";
  SetLogHook([&](const std::string& note) { priority = note; });
  RegisterScoreLayout();
  std::unique_ptr<TKVScore> score = MakeScore(seconds);
  const std::vector<TMessage> ideal = IdealRun(*score);
  Report("idle", ideal, RealRun(*score));
  std::printf("priority: %s\n", priority.c_str());

  {
    TBusyCores busy;
    Report("busy", ideal, RealRun(*score));
  }
  return 0;
}
