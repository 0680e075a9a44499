#pragma once
// The score view of the player. It lives without any window (this program
// never shows it) and is the playback engine: it links one score, keeps the
// edit cursor, the transposition and the tempo scale, maps score positions
// to play times and back, arranges the score's pages at its zoom, and holds
// what the play thread runs on: the play position and speed, the play lock
// that guards them (it lives as long as the view) and the play events
// through which the host receives every MIDI message.
//
// What only a visible view does (drawing the cursor, scroll bars, page
// buttons, rulers, repaints) is reached through hooks that do nothing here.
// No operation raises for an index out of range: it answers 0 or nil.

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "score/model/ScoreView.h"

class TClock;
class TKVClipPlayer;
class TKVPlayThread;
class TKVMeasure;
class TKVPiece;
class TKVVoice;
struct TKVMeasureRecord;
struct TKVPageRecord;
struct TKVDisplayItem;

enum TKVCursorType : uint8_t { ctStaff, ctPiece };
enum TKVDataStyle : uint8_t { dsAll, dsActiveVoice };

// A page's place in the arrangement of all pages, in pixels at the zoom.
struct TKVPageRect {
  int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
  bool operator==(const TKVPageRect&) const = default;
};

// Where and how fast the score plays; the play lock guards it.
struct TKVPlayState {
  int32_t Piece = 0;  // piece index
  int32_t Entry = 0;  // index into the piece's play records
  int32_t Tick = 0;   // tick within the entry's measure
  uint16_t ShownTick = 0;     // tick of the last onset played
  uint16_t Tempo = 0;         // quarter notes per minute in force
  double MsPerTick = 0;       // at the view's tempo scale
  double NextTickTime = 0;    // deadline of the next tick on the view's clock, ms
  bool SeekPending = false;   // SeekTime moved the position; the next tick starts over from it
};

struct TKVMetronome {
  bool On = false;
  // Index 0 the downbeat, 1 the other beats; channels count from 0.
  std::array<uint8_t, 2> Velocities{127, 100};
  std::array<uint8_t, 2> Channels{9, 9};
  std::array<uint8_t, 2> Keys{33, 33};
};

// A mode above 1 makes Play start at the range start and stop (or loop) at
// its end.
struct TKVPlayRange {
  int32_t Mode = 0;
  int32_t StartPiece = 10000, StartMeasure = 10000, StartTick = 10000;
  int32_t EndMeasure = -1, EndTick = 0;
};

class TKVWindow : public TKVScoreView {
public:
  TKVWindow();
  // Stops a run first. A class that overrides DoStopPlay stops in its own
  // destructor, before its part of the view is gone.
  ~TKVWindow() override;

  // ---- score link ----
  // Leaves the old score; joins the new one (not nil), takes its pages and
  // adjusts the scroll bars. Nothing when unchanged.
  void SetScore(TKVScore* Value);
  // Takes the count of the score's page records (the table only grows),
  // arranges the pages and validates the cursor against them; without a
  // score the page count becomes 0.
  void UpdatePageTable() override;

  // ---- properties (a writer does nothing when the value is unchanged) ----
  TKVWindowStyle Style() const { return FStyle; }
  void SetStyle(TKVWindowStyle Value) { FStyle = Value; }
  TKVDataStyle DataStyle() const { return FDataStyle; }
  void SetDataStyle(TKVDataStyle Value);
  // Semitones added to every played key. A change while playing sends
  // controller 120 (all sound off) on channel 1 under the play lock.
  int32_t Tone() const { return FTone; }
  void SetTone(int32_t Value);
  // At least 1. While playing the speed follows at once, at the tempo in
  // force.
  void SetTempoScale(int32_t Percent) override;
  // Within MinZoom..MaxZoom; the pages are arranged again.
  void SetZoom(int32_t Percent) override;
  int32_t PagePerHorz() const { return FPagePerHorz; }
  void SetPagePerHorz(int32_t Value);
  TKVCursorType CursorType() const { return FCursorType; }
  void SetCursorType(TKVCursorType Value);
  uint32_t CursorColor() const { return FCursorColor; }
  void SetCursorColor(uint32_t Value);
  int32_t ButtonsOffset() const { return FButtonsOffset; }
  void SetButtonsOffset(int32_t Value);
  int32_t VertOffset() const { return FVertOffset; }
  void SetVertOffset(int32_t Value);
  std::string LinkText = "Press Alt and click to link";
  // Level index of the cursor, bounded by the score's largest staff range:
  // 255 or more takes the last level, any other value past it level 0. The
  // hint shows it.
  uint8_t CursorLevel() const { return FCursorLevel; }
  void SetCursorLevel(int32_t Value);
  const std::string& Hint() const { return FHint; }

  // ---- cursor ----
  // Clamped to the score's pages; the cursor moves to the same staff line
  // and measure offset on the new page.
  void SetActivePage(int32_t Index) override;
  // With a score shown by parts, the score is laid out for the new part.
  void SetActivePart(int32_t Index) override;
  void SetActiveMeasure(int32_t Index) override;
  void SetCursorTick(int32_t Tick) override;
  // The line counts from the clef; the absolute line stays within 37..89.
  void SetCursorLine(int32_t Line) override;
  // Moves the cursor (snapping the tick to the cursor voice when Snap) and
  // announces it; nothing when it stands there already.
  void GotoPosition(int32_t Piece, int32_t Measure, bool Snap, int32_t Tick);
  void GotoMeasure(int32_t Measure, int32_t Tick, bool Snap);
  // In wsRealTime style they seek the play position to 0 or to the total
  // time; otherwise they move the cursor to the start or end of the cursor
  // piece when it plays separately, else of the first or last piece that
  // does not.
  void GotoStart();
  void GotoEnd();
  // Clamps every cursor index and shows the page that holds the cursor
  // measure.
  void ValidateCursor(bool KeepSpecialPage) override;
  // The nearest tick of a note, rest or beat-repeat mark of the cursor
  // voice in the cursor measure (the earlier one on a tie); in a measure
  // without meter its end counts too. 0 without cursor measure.
  int32_t SnapTick(int32_t Tick);
  TKVMeasure* GetCursorMeasure();
  TKVVoice* GetCursorVoice();
  // Shift of the clef in force at Tick of Staff of Part in measure record
  // Measure of the cursor piece; an argument below 0 takes the cursor's.
  int32_t GetClefShift(int32_t Part, int32_t Staff, int32_t Tick, int32_t Measure);
  // Repaints in dsActiveVoice style and raises OnActiveChanged(Voice).
  void CursorChanged(TObject* Voice) override;

  // ---- play time (ms at tempo scale 100 %) ----
  double GetPositionTime(int32_t Piece, int32_t Measure, int32_t Tick);
  // Of the play position while playing or in wsRealTime style, else of the
  // edit cursor.
  double GetCursorTime();
  // Of the separate piece that holds the play position (while playing or in
  // wsRealTime style) or the cursor, else of the whole score.
  double GetTotalTime();
  // Moves the play position to the last play that starts at or before Ms,
  // at the tick reached by then; nothing when no play starts that early.
  void SeekTime(double Ms);
  // The last tempo mark at or before the cursor measure in play order, else
  // the piece's tempo; 60 without cursor piece.
  uint16_t GetCursorTempo();
  // Index of the cursor staff among the staff lines of its page.
  int32_t GetCursorStaffLine();
  uint16_t GetCursorLineEntry() override;
  int32_t GetCursorSystemNumber() override;

  // ---- pages ----
  // (0, 0, width, height) of one page at the zoom.
  TKVPageRect GetPageSize();
  // Places the pages in rows of PagePerHorz, as folded sheets in book
  // layout; nothing while the score updates.
  void ArrangePages();
  int32_t PageCount() const { return FPageCount; }
  TKVPageRect PageRect(int32_t Index) const;  // empty out of range
  int32_t PageRows() const { return FPageRows; }

  // ---- scaling between layout units and pixels at the zoom ----
  int32_t ScaleSize(int32_t Value) const;
  int32_t PixelsToScore(int32_t Value) const;
  int32_t ScoreToPixels(int32_t Value) const;

  // ---- playback ----
  // Starts the play thread at time-critical priority: it plays from the
  // cursor (from the play position in wsRealTime style) to the end of the
  // score or until Stop, and raises every message through OnPlayShort and
  // OnPlayLong from that thread. Nothing without a score or while playing; a
  // run that ended by itself is joined first. Not from a play event.
  void Play();
  // Ends the run and joins its thread: the sleep is cut short, so this takes
  // at most one tick's work. Called from a play event it only ends the run
  // after the current tick.
  void Stop();
  // Play's preparation without the thread: the plug-in handles, the range
  // start and the playing flag. A caller that runs a TKVPlayEngine itself
  // (tests on a fake clock) starts with it; false when Play would do
  // nothing.
  bool BeginPlay();
  // Guards PlayState, and the play thread's own state, for the view's life.
  std::recursive_mutex& PlayLock() { return FPlayLock; }
  TKVPlayState& PlayState() { return FPlay; }  // with PlayLock held
  TClock& Clock() { return *FClock; }
  void SetClock(TClock& Clock) { FClock = &Clock; }
  // Plays the sound clips of the score; a player that plays nothing until
  // the media subsystem installs one.
  TKVClipPlayer& ClipPlayer() { return *FClipPlayer; }
  void SetClipPlayer(TKVClipPlayer& Player) { FClipPlayer = &Player; }
  TKVMetronome Metronome;

  // ---- selection, kept for an editing host; painting reads it ----
  // Emptied when the score changes or is laid out again: the records it
  // points at are the layout's.
  std::vector<TKVDisplayItem*> SelectedRecords;
  // Per piece, per measure index, the display records selected there.
  struct TKVSelectionGroup {
    TKVPiece* Piece = nullptr;
    std::vector<std::vector<TKVDisplayItem*>> Measures;
  };
  std::vector<TKVSelectionGroup> SelectionGroups;
  // The group of Piece, or nil when nothing of it is selected.
  const TKVSelectionGroup* FindSelected(const TKVPiece* Piece) const;
  void ClearSelection();
  // Text selection of an edited text: from the start up to, not including,
  // the end.
  struct TKVTextPosition {
    int32_t Char = 0, Line = 0;
  };
  TKVTextPosition TextSelStart, TextSelEnd;
  // The display record of the text being edited in place, or nil.
  TKVDisplayItem* EditedText = nullptr;
  // While playing, sounding notes and sung syllables are painted in the
  // highlight colour (the play thread sets their sounding bits under the
  // play lock).
  uint8_t PlayHighlight = 1;
  uint32_t PlayHighlightColor = 0x0000FF;
  bool Repeat = false;  // the play thread starts again at the end
  TKVPlayRange PlayRange;
  // Set by a run's start, its sounding changes and DoStopPlay: a repaint
  // hint for a visible view.
  std::atomic<uint8_t> PlayEnded{0};
  // Called by the play thread at the end of a run, under the play lock.
  virtual void DoStopPlay();

  TNotifyEvent OnActiveChanged;
  TECOnPlayLongEvent OnPlayLong;
  TNotifyEvent OnStopPlay;

protected:
  void SetPlaying(bool Value) { FPlaying = Value ? 1 : 0; }
  // This view has nothing to show: invalidations are dropped.
  bool CanShow() const override { return false; }
  // Hooks of a visible view.
  virtual void LayoutPageButtons() {}
  virtual void InvalidateRule(int32_t /*OldPage*/) {}

private:
  friend class TKVPlayEngine;

  TKVPageRecord* PageRecord(int32_t Index) const;
  int32_t PageRecordCount() const;
  const TKVMeasureRecord* CursorRecord();
  double PlayPositionTime();
  // Part, staff and voice indices within their lists (an empty list leaves
  // its index alone).
  void ClampCursorIndices();
  void MoveCursorToPage(int32_t Index);
  void ShowCursorPage();
  // The first (Step 1) or last (Step -1) piece that does not play
  // separately, or nil.
  TKVPiece* PlainPiece(int Step) const;

  TKVWindowStyle FStyle = wsNormal;
  TKVDataStyle FDataStyle = dsAll;
  int32_t FTone = 0;
  int32_t FPagePerHorz = 1;
  TKVCursorType FCursorType = ctStaff;
  uint32_t FCursorColor = 0x0000FFFF;  // yellow
  int32_t FButtonsOffset = 0;
  int32_t FVertOffset = 0;
  uint8_t FCursorLevel = 0;
  std::string FHint;
  int32_t FScreenResolution;  // pixels per inch

  int32_t FPageCount = 0;
  std::vector<TKVPageRect> FPageTable;
  int32_t FPageRows = 1;

  std::recursive_mutex FPlayLock;
  TKVPlayState FPlay;
  TClock* FClock;
  TKVClipPlayer* FClipPlayer;
  std::unique_ptr<TKVPlayThread> FPlayThread;  // main thread only
  std::atomic<bool> FDestroying{false};
};
