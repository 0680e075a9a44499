// The course of a run: start and chase, the tick loop over the play order,
// the end. Playing the cells and the sounding list: PlayCells.cpp.

#include "player/PlayEngine.h"

#include <algorithm>
#include <mutex>
#include <optional>

#include "base/Log.h"
#include "base/Strings.h"
#include "platform/midi/SendTime.h"
#include "platform/threads/Clock.h"
#include "platform/threads/MainQueue.h"
#include "player/ClipPlayer.h"
#include "player/PlayTime.h"
#include "player/Window.h"
#include "score/model/ItemKinds.h"
#include "score/model/LayoutRecords.h"
#include "score/model/Mark.h"
#include "score/model/Part.h"
#include "score/model/Piece.h"
#include "score/model/Score.h"
#include "score/model/Sound.h"
#include "score/model/Staff.h"
#include "score/model/Voice.h"

namespace {

constexpr int64_t MaxTempo = 32767;

// A piece tempo of 0 plays at 60, as the layout times it.
int32_t PieceTempo(const TKVPiece* Piece) { return Piece && Piece->Tempo() != 0 ? Piece->Tempo() : 60; }

// The first play of measure record Measure; a measure that is never played
// stands for the play of the same index.
int32_t FirstPlayOf(const TKVPiece* Piece, int32_t Measure) {
  if (!Piece) return Measure;
  const TKVPieceLayoutRecords& layout = Piece->Layout();
  for (int32_t e = 0; e < layout.PlayCount; ++e)
    if (int64_t(layout.GetPlay(e)->Measure) == Measure) return e;
  return Measure;
}

}  // namespace

TKVPlayEngine::TKVPlayEngine(TKVWindow& View) : FView(View) {}

TKVPlayState& TKVPlayEngine::Play() { return FView.FPlay; }

TKVPiece* TKVPlayEngine::PlayPiece() {
  TKVScore* score = FView.Score();
  return score ? score->GetPiece(Play().Piece) : nullptr;
}

void TKVPlayEngine::SetTempo(int64_t Tempo) {
  TKVPlayState& P = Play();
  P.Tempo = uint16_t(std::clamp<int64_t>(Tempo, 1, MaxTempo));
  P.MsPerTick = MsPerTick(P.Tempo, FView.TempoScale());
}

bool TKVPlayEngine::Start() {
  if (!FView.OnPlayShort || !FView.OnPlayLong) return false;
  std::lock_guard lock(FView.PlayLock());
  FProgramOverride.fill(0xFFFF);
  FInstrument.fill(65535);
  FCutTies.reset();
  TKVPlayState& P = Play();
  if (FView.Style() != wsRealTime) {
    P.Piece = FView.CursorPiece();
    P.Entry = FirstPlayOf(PlayPiece(), FView.CursorMeasure());
    P.Tick = FView.CursorTick();
  }
  FSounding.clear();
  Chase();
  P.ShownTick = uint16_t(P.Tick);
  StartupControllers();
  P.NextTickTime = FView.Clock().NowMs();
  if (OnRealTime()) midi::MarkScoreStart(midi::MonotonicNsOfMs(P.NextTickTime));
  return true;
}

// Real time is the MIDI layer's clock: messages can carry their tick's
// deadline, which a fake clock's time is not.
bool TKVPlayEngine::OnRealTime() { return dynamic_cast<TRealClock*>(&FView.Clock()) != nullptr; }

// Play records are walked in play order, not measure order, so that the
// start after a seek lies in the play the seek found, and the tempo marks
// count as well as the tempo changes: the run starts at the tempo that
// playing from the beginning would have reached.
void TKVPlayEngine::Chase() {
  TKVPlayState& P = Play();
  P.SeekPending = false;
  P.Entry = std::max(P.Entry, 0);
  P.Tick = std::max(P.Tick, 0);
  FNextCell = 0;
  FHold = false;
  FAlignBeat = true;
  TKVPiece* piece = PlayPiece();
  SetTempo(PieceTempo(piece));
  const TKVPieceLayoutRecords* layout = piece ? &piece->Layout() : nullptr;
  const TKVPlayRecord* start = layout ? layout->GetPlay(P.Entry) : nullptr;
  const double startTime = start ? FView.GetPositionTime(P.Piece, int32_t(start->Measure), P.Tick) : 0;
  for (int32_t e = 0; layout && e <= P.Entry && e < layout->PlayCount; ++e) {
    const TKVPlayRecord* play = layout->GetPlay(e);
    const TKVMeasureRecord* R = LaidOutRecord(piece, play->Measure);
    if (!R) continue;
    for (const auto& cell : R->Positions) {
      if (e == P.Entry && cell->Position >= P.Tick) break;
      ChaseCell(*cell, play->Measure, startTime);
      if (e == P.Entry) ++FNextCell;
    }
  }
  FStartEntry = P.Entry;
  FStartCell = FNextCell;
}

void TKVPlayEngine::ChaseCell(const TKVPositionEntry& Cell, uint32_t Measure, double StartTime) {
  TKVItem* item = Cell.Item;
  switch (item ? item->Kind() : 0) {
    case ItemKind::LyricText:
    case ItemKind::DynamicSymbol:
      PlayAction(Cell);
      break;
    case ItemKind::TempoMark:
    case ItemKind::MidiEvent:
      PlayCell(Cell);
      break;
    case ItemKind::Pedal:
      if (auto* pedal = ItemCast<TKVMark>(item)) PlayPedal(*pedal, false);
      break;
    case ItemKind::Sound:
      if (auto* sound = ItemCast<TKVSound>(item)) {
        const double own = FView.GetPositionTime(Play().Piece, int32_t(Measure), Cell.Position);
        // A clip met later in play order than its first time through may
        // lie after the start: it starts at its beginning.
        const auto offset = int32_t(std::max<int64_t>(Round((StartTime - own) / 1000), 0));
        if (offset < FView.ClipPlayer().TotalSeconds(*sound)) PlayClip(*sound, offset);
      }
      break;
    default:
      break;
  }
}

void TKVPlayEngine::StartupControllers() {
  TKVPiece* piece = PlayPiece();
  for (int32_t p = 0; piece && p < piece->GetPartCount(); ++p) {
    TKVPart* part = piece->GetPart(p);
    const int32_t avst = part->VSTHandle;
    const uint8_t control = uint8_t(0xB0 | (part->Channel() & 15));
    if (part->Volume() < 255) Short(control, 7, DataByte(part->Volume()), avst);
    if (part->Pan() < 255) Short(control, 10, DataByte(part->Pan()), avst);
    for (int32_t s = 0; s < part->GetStaffCount(); ++s) {
      TKVStaff* staff = part->GetStaff(s);
      for (int32_t v = 0; v < staff->GetVoiceCount(); ++v) {
        const TKVVoice* voice = staff->GetVoice(v);
        if (!voice->HasOwnSettings()) continue;
        const uint8_t voiceControl = uint8_t(0xB0 | (voice->Channel() & 15));
        const uint8_t volume = voice->Data().u8(VoiceBlock::Volume), pan = voice->Data().u8(VoiceBlock::Pan);
        if (volume < 255) Short(voiceControl, 7, DataByte(volume), avst);
        if (pan < 255) Short(voiceControl, 10, DataByte(pan), avst);
      }
    }
  }
}

bool TKVPlayEngine::Tick() {
  std::lock_guard lock(FView.PlayLock());
  if (!FView.Playing()) return false;
  // The tick's messages are meant for its deadline, not for when the
  // thread woke: a synthesiser places them there.
  std::optional<midi::TSendTime> stamp;
  if (OnRealTime()) stamp.emplace(midi::MonotonicNsOfMs(Play().NextTickTime));
  // A seek while playing: the notes of the old place end, and the new one
  // is chased as a start would chase it.
  if (Play().SeekPending) {
    Silence();
    Chase();
  }
  TStep step = Step();
  // A loop back plays its first tick at once; one that comes back to a
  // loop end at once waits for the next tick rather than spin.
  if (step == TStep::Restarted) step = Step();
  RemoveEnded();
  if (step == TStep::Ended) return false;
  Play().NextTickTime += Play().MsPerTick;
  return true;
}

TKVPlayEngine::TStep TKVPlayEngine::Step() {
  TKVPlayState& P = Play();
  TKVPiece* piece = PlayPiece();
  if (!piece) return EndOfScore();
  if (P.Entry >= piece->Layout().PlayCount) {
    if (FView.Score()->ViewStyle() == vsPart || !NextPiece()) return EndOfScore();
    piece = PlayPiece();
    P.Entry = 0;
    P.Tick = 0;
    FNextCell = 0;
    FNextBeat = 0;
    SetTempo(PieceTempo(piece));
  }
  const TKVPlayRecord& play = *piece->Layout().GetPlay(P.Entry);
  const TKVMeasureRecord* R = LaidOutRecord(piece, play.Measure);
  if (!R) {
    P.Tick = 0;
    FNextCell = 0;
    ++P.Entry;
    return TStep::Played;
  }
  const uint8_t denominator = R->Meter & 0xFF;
  FTicksPerBeat = denominator ? 512 / denominator : 128;
  FEntryStart = play.StartTick;
  P.Tick = std::max(P.Tick, FEntryStart);

  const TKVPlayRange& range = FView.PlayRange;
  if (range.Mode > 1 && (int64_t(play.Measure) > range.EndMeasure ||
                         (int64_t(play.Measure) == range.EndMeasure && P.Tick >= range.EndTick))) {
    if (!FView.Repeat) return TStep::Ended;
    P.Entry = FStartEntry;
    P.Tick = range.StartTick;
    FNextCell = FStartCell;
    return TStep::Restarted;
  }

  // Beats count from the measure's start, also when the run starts inside it.
  if (FAlignBeat) {
    FNextBeat = (P.Tick + FTicksPerBeat - 1) / FTicksPerBeat * FTicksPerBeat;
    FAlignBeat = false;
  }
  if (P.Tick >= FNextBeat) {
    if (FView.Metronome.On) Click(FNextBeat == 0 ? 0 : 1);
    FNextBeat += FTicksPerBeat;
  }

  // A cell that sends nothing keeps the index, so it is looked at again on
  // the next ticks until a later cell is played.
  uint16_t shown = R->Positions.empty() ? uint16_t(P.Tick) : P.ShownTick;
  const auto& cells = R->Positions;
  for (size_t i = FNextCell; i < cells.size() && cells[i]->Position <= P.Tick; ++i) {
    if (cells[i]->Position < FEntryStart || !PlayCell(*cells[i])) continue;
    FNextCell = i + 1;
    const uint8_t kind = cells[i]->Item->Kind();
    if (kind == ItemKind::Note || kind == ItemKind::Effect || kind == ItemKind::Rest || kind == ItemKind::TempoMark ||
        kind == ItemKind::LyricText)
      shown = uint16_t(P.Tick);
  }
  // A handler sought: the next tick starts where the seek put the play.
  if (P.SeekPending) return TStep::Played;

  Countdown();
  if (FHold && FHoldCount > 0) {
    --FHoldCount;
  } else {
    FHold = false;
    Advance(play, *R);
  }
  P.ShownTick = shown;
  return TStep::Played;
}

void TKVPlayEngine::Advance(const TKVPlayRecord& Play, const TKVMeasureRecord& R) {
  TKVPlayState& P = this->Play();
  const int32_t end = Play.EndTick == 0 ? R.Length : Play.EndTick;
  if (P.Tick >= end - 1) {
    P.Tick = 0;
    FNextCell = 0;
    ++P.Entry;
    FNextBeat = 0;
  } else {
    ++P.Tick;
  }
}

TKVPlayEngine::TStep TKVPlayEngine::EndOfScore() {
  if (!FView.Repeat) return TStep::Ended;
  TKVPlayState& P = Play();
  P.Piece = 0;
  P.Entry = 0;
  P.Tick = 0;
  FNextCell = 0;
  FNextBeat = 0;
  SetTempo(PieceTempo(PlayPiece()));
  return TStep::Restarted;
}

bool TKVPlayEngine::NextPiece() {
  TKVScore* score = FView.Score();
  TKVPiece* piece = PlayPiece();
  if (!piece || piece->Separate()) return false;
  for (int32_t p = Play().Piece + 1; p < score->GetPieceCount(); ++p) {
    const TKVPiece* next = score->GetPiece(p);
    if (next->Layout().PlayCount > 0 && !next->Separate()) {
      Play().Piece = p;
      return true;
    }
  }
  return false;
}

double TKVPlayEngine::Deadline() {
  std::lock_guard lock(FView.PlayLock());
  return Play().NextTickTime;
}

// The cursor is only stored: showing it is the main thread's work, and a
// view being destroyed keeps its cursor.
void TKVPlayEngine::Finish() {
  std::lock_guard lock(FView.PlayLock());
  Silence();
  if (!FView.FDestroying) {
    const int32_t tick = FView.SnapTick(FView.CursorTick());
    // A shown cursor moves on the main thread, which draws it.
    if (TKVWindow* view = FView.FControl ? &FView : nullptr)
      TMainQueue::Instance().Post([view, tick] { view->SetCursorTick(tick); }, view);
    else
      FView.FCursorTick = tick;
  }
  FView.SetPlaying(false);
  try {
    FView.DoStopPlay();
  } catch (...) {
    Failed("stop event");
  }
  if (FFailures > LoggedFailures) Log(Format("Play: %d more failures in this run", FFailures - LoggedFailures));
}

void TKVPlayEngine::Run(TSleepInterrupt& Interrupt) {
  bool started = false;
  try {
    started = Start();
    if (started)
      while (Tick()) FView.Clock().SleepUntil(Deadline(), Interrupt);
  } catch (...) {
    // Only a failed allocation gets here (every handler is guarded): the
    // run ends as if stopped.
    Failed("the run");
    started = true;
  }
  if (started) Finish();
}
