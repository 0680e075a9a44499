#pragma once
// The score view of the player. It lives without any window (this program
// never shows it) and is the playback engine: it links one score, keeps the
// edit cursor, the transposition and the tempo scale, maps score positions
// to play times and back, arranges the score's pages at its zoom, and holds
// what the play thread runs on: the play position and speed, the play lock
// that guards them (it lives as long as the view) and the play events
// through which the host receives every MIDI message.
//
// A view shows a score only when a control hosts it (TKVViewControl): then
// it has scroll bars, rulers and page buttons, an edit cursor drawn over the
// pages, and it answers the mouse and the keys. A view without control (the
// program's own) keeps its page table and cursor but does nothing that
// needs a window. No operation raises for an index out of range: it answers
// 0 or nil.

#include <array>
#include <functional>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/canvas/Graphics.h"
#include "platform/window/Input.h"
#include "score/model/ScoreView.h"

namespace canvas {
class TCanvas;
}
namespace forms {
class TControl;
class TScrollBar;
}
class TClock;
class TKVRule;
class TKVScoreRenderer;
class TKVStaff;
class TKVViewControl;
struct TKVStaffLineRecord;
struct TKVSystemRecord;
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

// What lies under the point HitTest last looked at.
struct TKVHitRecord {
  uint16_t Page = 0, Piece = 0, Part = 0, Staff = 0, Measure = 0;
  uint16_t Line = 0;    // pitch line relative to the clef
  uint16_t String = 0;  // tablature string, 0 the lowest
  uint16_t Tick = 0;    // snapped to the notes, rests and marks of the staff
  int16_t YInStaff = 0, YInSystem = 0;  // 1/8 px below the staff's and the system's top
  TKVStaffLineRecord* StaffLine = nullptr;  // kept when the point lies on no page
  TKVMeasureRecord* MeasureRecord = nullptr;
  TKVStaffLineRecord* PreviousStaffLine = nullptr;  // at the last cursor placement
  int32_t BoundaryMeasure = -1;  // the measure whose right bar line is near the point
  // Below the top of the system's first staff, of the part's first staff and
  // of the staff, in layout units at the score's scale.
  int32_t SystemOffset = 0, PartOffset = 0, StaffOffset = 0;
  int32_t XOffset = 0;  // layout units from the hit tick's x to the point
};

// Ruler marker positions in pixels before the scroll positions.
struct TKVRuleMarkers {
  int32_t SystemLeft = 0, SystemRight = 0, MeasureMark = 0, TickX = 0, StaffTopY = 0;
  bool operator==(const TKVRuleMarkers&) const = default;
};

// Slots of the page-button bar.
namespace PageButton {
constexpr int Text = 0, First = 1, Previous = 2, Choose = 3, Next = 4, Last = 5, MorePages = 6, FewerPages = 7,
              AddState = 8, Count = 9;
}

using TKVItemClickEvent = std::function<void(TObject* Sender, TKVDisplayItem* Item)>;
using TOnCursorChangedEvent = std::function<void(TObject* Sender, bool Visible)>;
using TOnGetButtonTextEvent = std::function<std::string(TObject* Sender, int32_t Button)>;
using TOnGotoLinkEvent = std::function<void(TObject* Sender, const std::string& Text)>;
using TECOnPlayNoteEvent = std::function<void(TObject* Sender, uint8_t AChannel, uint8_t ATembr, uint8_t APitch,
                                               uint16_t ADuration, uint8_t AVelocity, int32_t AVST)>;

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
  // Forgets the records of the score it leaves (hit record, links, edited
  // text, selection).
  void LinkScore(TKVScore* Score) override;
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
  TKVPageRecord* PageRecord(int32_t Index) const;  // nil out of range
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

  // ================= the visible view =================
  // The control that shows the view, nil for a view without one.
  TKVViewControl* Control() const { return FControl; }
  // A control on a form: what every window operation needs.
  bool HasWindow() const;
  TKVRule& Rule() { return *FRule; }
  const TKVRule& Rule() const { return *FRule; }
  void SetRule(const TKVRule& Value);
  void SetRuleVisible(bool Visible) override;
  // Screen pixels per inch, taken when the control is made.
  int32_t ScreenResolution() const { return FScreenResolution; }
  // The control's colour (white without control).
  canvas::TColor Color() const;

  // ---- geometry: client pixels ----
  // The client area without the visible scroll bars; the view rectangle is
  // that area inside the visible rulers.
  canvas::TRect GetClientAreaRect() const;
  canvas::TRect GetViewRect() const;
  // Scroll positions: where the visible part of the arranged pages starts.
  int32_t HorzPosition() const;
  int32_t VertPosition() const;
  forms::TScrollBar* HorzScrollBar() const;
  forms::TScrollBar* VertScrollBar() const;
  bool ScrollVisible() const;
  void SetScrollVisible(bool Value);
  // Ranges and page sizes of the scroll bars from the pages; RaiseEvent
  // raises OnZoomChanged. AdjustScrollBars (the score's and the page
  // composer's call) also sets the large steps.
  void UpdateScrollBars(bool RaiseEvent);
  void AdjustScrollBars() override;
  // OnScroll of both bars, and the way the cursor and panning move them
  // (code scPosition): clamps, repaints the strip that came into view and
  // keeps the hit record on the content.
  void ScrollBarScroll(TObject* Sender, uint8_t ScrollCode, int& ScrollPos);
  void ScrollBarMouseDown(TObject* Sender);
  // Places the bars and the page buttons for the client size.
  void WMResize();
  void LayoutPageButtons();
  void UpdatePageButtons() override;
  // Repaints the top ruler when the page parity changed (mirrored margins).
  void InvalidateRule(int32_t OldPage);
  void InvalidateRulers() override;
  void InvalidateModeIndicator() override;
  // Recomputes the ruler markers and repaints the strips of those that moved.
  void UpdateRuleMarkers() override;
  // The paper of one page, origin at its top-left corner.
  void DrawPageBackground(canvas::TCanvas& Canvas);
  std::array<canvas::TRect, PageButton::Count> PageButtonRect{};  // client pixels
  std::array<uint8_t, PageButton::Count> PageButtonEnabled{};      // 1..8
  int32_t PressedPageButton = 0;
  canvas::TPoint PageTextPos() const { return {PageButtonRect[0].Left, PageButtonRect[0].Top}; }
  TKVRuleMarkers RuleMarkers;
  int32_t RuleMarkOffset = -140;  // layout units from the vertical marker to the second one
  // The ruler being dragged by a marker (0 none; 1 to 6 the marker): only
  // its ruler is repainted meanwhile.
  uint8_t RulerDragMode = 0;
  // Numbered buttons on the vertical ruler, in unscrolled client pixels;
  // OnGetRuleButton gives their hints.
  struct TKVRuleButton {
    bool Visible = false;
    canvas::TRect Rect;
  };
  std::array<TKVRuleButton, 10> RuleButtons{};
  // The application's current shape settings: arcs are drawn with them.
  canvas::TColor ObjectPenColor = canvas::clBlack;
  int32_t ObjectPenWidth = 0;  // units; 0 the page's one-unit width
  canvas::TColor ObjectFillColor = canvas::clWhite;

  // ---- between client pixels and layout units ----
  // The staff's line spacing in pixels at the zoom (1.3 times for tablature).
  int32_t GetLineSpacing(const TKVStaff* Staff) const;
  canvas::TPoint ClientToScroll(canvas::TPoint P) const;
  canvas::TPoint ClientToScore(canvas::TPoint P, int32_t Page) const;
  int32_t ScoreXToClient(int32_t X, int32_t Page) const;
  canvas::TPoint ScorePointToClient(const TKVDisplayItem* Item, canvas::TPoint P, int32_t Page) const;
  canvas::TRect ScoreRectToClient(const TKVDisplayItem* Item, const canvas::TRect& R, int32_t Page) const;
  // A record's rectangle in pixels relative to its page.
  canvas::TRect GetItemScoreRect(const TKVDisplayItem* Item, const canvas::TRect& R) const;
  // A record's rectangle, 32 units larger all round, in client pixels.
  canvas::TRect GetItemRect(const TKVDisplayItem* Item, const canvas::TRect& R, bool PageLevel) const;
  canvas::TRect RectFromAnchor(int32_t X, int32_t Y) const;
  static canvas::TRect SortRect(const canvas::TRect& R);
  // Fills the hit record for a client point; nothing while playing.
  void HitTest(canvas::TPoint P);
  TKVHitRecord Hit;
  // The record of a linked text or picture under a client point, or nil.
  TKVDisplayItem* FindLinkAt(canvas::TPoint P);

  // ---- the edit cursor on the screen ----
  void ShowCursor(bool Show) override;
  // Draws (Show) or erases the cursor on Canvas, counting nested hides: it
  // draws only when it becomes visible or hidden.
  void DrawCursor(canvas::TCanvas& Canvas, bool Show);
  int32_t CursorShowCounter() const { return FCursorShowCounter; }
  // Shows a hidden cursor and notes the time of the input.
  void WakeCursor();
  TKVSystemRecord* GetCursorSystem();
  void CursorLeft(bool StayInPiece);
  void CursorRight(bool StayInPiece, bool AnyVoice);
  void CursorUp();
  void CursorDown();
  void CursorToSystemStart();
  void CursorToSystemEnd();
  void CursorToPieceStart();
  void CursorToPieceEnd();
  // Scrolls the cursor (or the caret) into view; TopHint, when 1 or more,
  // is the vertical position to start from.
  void ScrollToCursor(int32_t TopHint, bool Flag) override;
  void SetCursorAtPoint(canvas::TPoint P, bool Force);
  int32_t CursorString = 0;  // tablature string, 0 the lowest
  // While a host edits a text (EditedText), the cursor is a caret at
  // CaretChar of CaretLine.
  int32_t CaretChar = 0, CaretLine = 0;
  bool Focused() const { return FFocused; }

  // ---- input (the control hands its messages here) ----
  void Paint();
  void FocusChanged(bool Focused);
  void MouseDown(window::TMouseButton Button, window::TShiftState Shift, int X, int Y);
  void MouseMove(window::TShiftState Shift, int X, int Y);
  void MouseUp(window::TMouseButton Button, window::TShiftState Shift, int X, int Y);
  bool DoMouseWheel(window::TShiftState Shift, int WheelDelta, canvas::TPoint MousePos);
  void KeyDown(int& Key, window::TShiftState Shift);
  void MouseLeave();
  void SetHoverLink(TKVDisplayItem* Item);
  // Toggles the renderer's hover overlay on the window.
  void DrawHoverOverlay(bool Update);
  bool HoverShown = false;
  TKVDisplayItem* HoverLink() const { return FHoverLink; }

  // ---- what an editing host draws, drags or enters with the mouse ----
  // The overlays show it and write the results below; nothing in this
  // program sets it. Every record pointer here is forgotten when the score
  // changes or is laid out again.
  TKVDisplayItem* FocusedRecord = nullptr;  // the selected record under the mouse
  canvas::TRect DragRect;                   // from the anchor (where the button went down) to the mouse
  int32_t DragHandle = 0, DrawKind = 0;     // grip dragged, kind of object drawn; cleared by every release
  TKVDisplayItem* DragRecord = nullptr;     // the record dragged by DragHandle
  uint8_t InsertShape = 0;                  // a slur drawn: 0 curved up, 8 straight, else curved down
  uint8_t InsertFlags = 0;                  // bit 4: a level slur
  uint8_t InputMarkerMode = 0;              // 0 none, 1 note input, 2-16 what an element attaches to
  uint8_t InputHintOn = 0;                  // the marker shows the hovered note's letter
  int32_t LastInputLine = 0;                // the pitch line last hinted and sounded
  int32_t TargetMeasure = -1;               // a measure record of the hovered piece, -1 none
  // The pitch line under the input marker (0 the C of MIDI key 60), apart
  // from the hit test's line.
  int16_t HitLine = 0;
  // What a drag would commit: the staff line (index on its page) a bar line
  // reaches, the part a bracket reaches, a span's new length in ticks or a
  // volta's measure count.
  int32_t DragStaffLine = 0, DragPart = 0, DragValue = 0;
  // The measure record and column the last connector of a moved selection
  // pointed at.
  TKVMeasureRecord* AnchorRecord = nullptr;
  int32_t AnchorColumn = 0;
  bool MoveFeedback = false, DragLocked = false;
  bool Dragging = false, SnapToScore = false;  // cleared by every release
  uint8_t HitTestOptions = 0;                 // kept for the host; the hit test has no options
  // Fired with the pitch under the input marker while a note is dragged.
  TECOnPlayNoteEvent OnPlayNote;
  // The input marker's hint at once at client point Position: the number
  // of the cursor level on tablature, else the letter of LastInputLine.
  // Nothing while no marker is shown.
  void ShowInputHint(canvas::TPoint Position, bool IsTablature);

  TNotifyEvent OnScoreClick;
  TKVItemClickEvent OnItemClick;
  TNotifyEvent OnSelectedChanged;
  TNotifyEvent OnChoosePage;
  TNotifyEvent OnZoomChanged;
  TNotifyEvent OnPasteChanged;
  TOnCursorChangedEvent OnCursorChanged;
  TOnGetButtonTextEvent OnGetRuleButton;
  TOnGetButtonTextEvent OnGetPageButton;
  TNotifyEvent OnSetFocus;
  TNotifyEvent OnAddState;
  TNotifyEvent OnChangeLevel;
  TOnGotoLinkEvent OnGotoLink;

protected:
  void SetPlaying(bool Value) { FPlaying = Value ? 1 : 0; }
  // Invalidations reach only a view on a form.
  bool CanShow() const override { return HasWindow(); }
  void InvalidateScoreArea() override;
  void InvalidateRulerArea() override;

private:
  friend class TKVPlayEngine;
  friend class TKVViewControl;

  // Drops every pointer into the layout's records (the selection, the
  // focused, dragged and anchor records).
  void ForgetRecords();
  // The control attaches itself when it is made and detaches before it goes.
  void AttachControl(TKVViewControl* Control);
  void SetHint(const std::string& Text);
  // Shows Control's hint at once, through the application's hint path, and
  // leaves Pause as the application's hint delay.
  static void ShowHintNow(forms::TControl& Control, int32_t Pause, canvas::TPoint At);
  void InvalidateClient(const canvas::TRect& R, bool Erase);
  // Moves the bars to H and V through ScrollBarScroll, with one repaint.
  void ScrollTo(int32_t H, int32_t V);
  // The frame of every cursor move: the cursor (and with Overlay the hover
  // overlay) off before the change; after it the view scrolls to the cursor,
  // the markers follow, and both come back. Announce: 0 nothing, 1
  // CursorChanged, 2 OnActiveChanged alone.
  void BeginMove(bool Overlay);
  int32_t NextStop(int Step, bool AnyVoice);
  void StepToStop(int32_t Tick);
  void EndMove(bool Overlay, int Announce);
  // The staff line of the cursor on the active page, or nil.
  TKVStaffLineRecord* CursorStaffLineRecord();
  // Steps to staff line Line of page Page (Up: its last voice, else its
  // first).
  void CursorToStaffLine(int32_t Page, int32_t Line, bool Up);
  bool CaretGeometry(int32_t& X, int32_t& Top, int32_t& Bottom);
  bool NoteCursorGeometry(int32_t& X, int32_t& Top, int32_t& Bottom, int32_t& MarkY);
  void HitStaffLine(const TKVPageRecord& Page, int32_t Y, int32_t X);
  void HitPosition(TKVMeasureRecord& R, const TKVSystemRecord& System, int32_t X);
  void ButtonAction(int32_t Button);
  std::string RuleButtonHint(int32_t X, int32_t Y);
  std::string PageButtonHint(int32_t X, int32_t Y);
  bool BookSpreads() const;
  bool InPanningStyle() const { return FStyle == wsPreview || FStyle == wsView || FStyle == wsSimple; }

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

  TKVViewControl* FControl = nullptr;
  std::unique_ptr<TKVRule> FRule;
  std::unique_ptr<TKVScoreRenderer> FRenderer;  // made for a view with control
  int32_t FCursorShowCounter = 9999;            // never drawn yet
  bool FFocused = false;
  bool FBothBars = false;  // one repaint serves two scroll moves
  canvas::TPoint FAnchor;  // the last left press, where panning started
  bool FPanning = false;
  window::TCursor FStoredCursor = window::crDefault;
  TKVDisplayItem* FHoverLink = nullptr;
  uint32_t FLastInputTime = 0;
};
