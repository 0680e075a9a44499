#pragma once
// One run of the player, apart from the thread that drives it, so that a run
// can go step by step on any thread and clock (tests run it on a fake clock
// with no thread at all).
//
// Start takes the play position (the cursor's, or the view's play position
// in wsRealTime style), sends what lies before it in play order (raw MIDI
// messages, pedals, sound clips, with the tempo marks and tempo changes
// setting the tempo in force) and the start-up volume and pan controllers.
// Each Tick plays one tick of the play order: the metronome, the cells that
// start there, the countdown of what sounds, then the advance (or the hold).
// Finish silences what sounds and raises the stop event.
//
// Every step holds the view's play lock. Messages go out through the view's
// play events with the engine as Sender; a handler that raises loses that
// message (the failure goes to the program's log) and the run goes on, so a
// run always ends with its stop event and never leaves the lock held.

#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/Object.h"

class TKVItem;
class TKVEffect;
class TKVLyric;
class TKVMark;
class TKVNote;
class TKVPiece;
class TKVSound;
class TKVWindow;
class TSleepInterrupt;
struct TKVMeasureRecord;
struct TKVPlayRecord;
struct TKVPlayState;
struct TKVPositionEntry;

class TKVPlayEngine : public TObject {
public:
  explicit TKVPlayEngine(TKVWindow& View);

  // False, with nothing sent, when a play event is unassigned: such a run
  // never ends by itself (the view plays until Stop).
  bool Start();
  // Plays one tick; false once the run is over (the end of the score or of
  // the play range, or the view's playing flag cleared).
  bool Tick();
  // The deadline of the next tick on the view's clock.
  double Deadline();
  // Silences notes, effects, lyric highlights and clips (pedals and held
  // controllers stay as they are), clears the playing flag and raises the
  // stop event.
  void Finish();
  // The whole run on the calling thread: Start, ticks against absolute
  // deadlines (a late tick never delays the ones after it), Finish.
  // Interrupt cuts a sleep short.
  void Run(TSleepInterrupt& Interrupt);

private:
  enum class TStep { Played, Ended, Restarted };
  bool OnRealTime();
  // Something that sounds (a note, an effect, a held controller), a lyric
  // being highlighted or a clip being played. Item nil: ended this tick.
  struct TSounding {
    TKVItem* Item = nullptr;
    uint8_t Kind = 0;
    uint8_t Channel = 0;
    uint8_t Key = 0;      // as laid out: a new note of the same key replaces it
    uint8_t SentKey = 0;  // as sent, transposed: its note-off uses it
    uint16_t Remaining = 0;
  };

  TKVPlayState& Play();
  TKVPiece* PlayPiece();
  // The tempo in force and what lies before the play position, from the
  // start of its piece; the cells before the play tick are passed.
  void Chase();
  void ChaseCell(const TKVPositionEntry& Cell, uint32_t Measure, double StartTime);
  void StartupControllers();
  TStep Step();
  TStep EndOfScore();
  bool NextPiece();
  void Advance(const TKVPlayRecord& Play, const TKVMeasureRecord& R);

  // False when the cell sent nothing and is to be looked at again.
  bool PlayCell(const TKVPositionEntry& Cell);
  bool PlayNote(TKVNote& Note, uint16_t Value);
  bool PlayEffect(TKVEffect& Effect);
  bool PlayPedal(TKVMark& Mark, bool MuteCheck);
  bool PlaySustain(TKVMark& Mark, uint16_t Value);
  void PlayLyric(TKVLyric& Lyric);
  void PlayClip(TKVSound& Sound, int32_t OffsetSeconds);
  void PlayAction(const TKVPositionEntry& Cell);
  void SendInstrument(uint8_t Channel, uint32_t Instrument, int32_t AVST);
  // Raw bytes; a program change among them keeps its program on its
  // channel for the rest of the run.
  void SendBytes(const uint8_t* Bytes, size_t Length);
  void SetTempo(int64_t Tempo);
  void Countdown();
  // Ends the highlight of the lyrics of By's part that started before By
  // (or, with AtStart, at its start too).
  void EndLyrics(const TKVItem& By, uint16_t Position, bool AtStart);
  void Unhighlight(TSounding& S);
  // Note-offs for notes and effects, highlights and clips ended.
  void Silence();
  void RemoveEnded();
  std::vector<TSounding>::iterator FindSounding(uint8_t Kind, uint8_t Channel, uint8_t Key);

  // A key, velocity or controller value kept to 0..127.
  static uint8_t DataByte(int32_t Value);
  void Short(uint8_t Status, uint8_t Data1, uint8_t Data2, int32_t AVST, bool Show = true);
  void Long(const uint8_t* Data, size_t Length, int32_t AVST);
  void Click(int Beat);
  // From a catch block: logs what failed (the first LoggedFailures of a run).
  void Failed(const std::string& What) noexcept;
  static std::string Where(const TKVItem& Item);
  static constexpr int LoggedFailures = 20;

  TKVWindow& FView;
  std::array<uint16_t, 16> FProgramOverride{};  // 0xFFFF: none
  std::array<uint32_t, 16> FInstrument{};       // last sent per channel
  size_t FNextCell = 0;
  int32_t FNextBeat = 0;
  bool FAlignBeat = true;  // the next beat is the first at or after the tick
  int32_t FTicksPerBeat = 128;
  int32_t FEntryStart = 0;
  bool FHold = false;
  uint16_t FHoldCount = 0;
  int32_t FStartEntry = 0;
  size_t FStartCell = 0;
  std::array<uint8_t, 12> FTuning{0xF0, 0x7F, 0x7F, 0x08, 0x02, 0, 0x01, 0, 0x7F, 0x7F, 0x7F, 0xF7};
  std::vector<TSounding> FSounding;
  // Channel x 128 + key of each tie whose sound another strike of its key
  // cut off: the note that continues it stays silent rather than strike
  // the key a second time.
  std::bitset<16 * 128> FCutTies;
  int FFailures = 0;
};
