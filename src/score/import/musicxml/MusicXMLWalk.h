#pragma once
// The second pass of the MusicXML import: one walk over the entry list, from
// the score-partwise entry to the end, that turns entries into score objects
// of the piece made at the start of the import.
//
// Each container entry stores its element code at its depth (the scope
// array); an entry's parent is the code one level up, its grandparent two
// levels up, and a handler that names a parent does nothing under another.
// A note is complete only when its level closes: its position, its tuplet
// share and the next note's tick are settled then, and so is a slur.
//
// Units: a quarter note is 128 ticks; a duration D becomes D x 128 div
// Divisions ticks. Offsets in tenths become tenths x 24 div 5 layout units
// (1/8 pixel at 96 dpi); page values in tenths of a millimetre become
// Round(v x 96 / 254) x 8 layout units; page-layout values are scaled by the
// document's millimetres per tenths.
//
// What the walk leaves for the finishing pass is public below; the walk state
// it works with while reading is private.

#include <algorithm>
#include <array>
#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <tuple>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "score/import/musicxml/MusicXMLWords.h"
#include "score/import/musicxml/XMLEntryList.h"

// The scope code of an unpitched note's level (beyond the element table).
inline constexpr uint8_t XMLScopeUnpitched = XMLElementCount + 1;

// Offsets and positions are 16-bit: larger values are held at the ends.
inline int16_t Clamp16(int64_t v) { return int16_t(std::clamp<int64_t>(v, INT16_MIN, INT16_MAX)); }

class TKVChord;
class TKVColumn;
class TKVItem;
class TKVLiga;
class TKVLyric;
class TKVMark;
class TKVMeasure;
class TKVNote;
class TKVPart;
class TKVPause;
class TKVPiece;
class TKVScore;
class TKVStaff;
class TKVText;
class TKVVoice;

// A page text of the header (work, movement, creator, rights).
struct TKVXMLPageText {
  TKVText* Text = nullptr;
  uint8_t Alignment = 0;  // 1 title, 2 centred, 3 right, 4 left, 5 centred at the foot
  uint8_t Size = 0;       // points
};

// A distance read from a print element's layout, applied to the piece's
// spacing arrays by the finishing pass.
struct TKVXMLSpacingRecord {
  TKVMeasure* Measure = nullptr;
  uint16_t SystemCount = 0;
  int16_t StaffIndex = 0;  // -1 the distance below the part, 0 the distance above the system
  int16_t Value = 0;       // tenths of a millimetre
};

// A slur with the note where it ends (nil while open or when never closed).
struct TKVXMLSlur {
  TKVLiga* Slur = nullptr;
  TKVNote* EndNote = nullptr;
  uint16_t Number = 0;
  uint8_t Type = 0;  // the last part paired: 0 start, 1 stop
  bool Open = true;  // still waiting for its other end
};

// A hairpin waiting for its stop, with the number that pairs it and the
// point (measure and Next) where it was read.
struct TKVXMLWedge {
  TKVMark* Mark = nullptr;
  int32_t Number = 1;
  const TKVMeasure* Measure = nullptr;
  int32_t Next = 0;
};

// The default-y and relative offsets of the element being read, in layout
// units right and down from its staff's top line (MusicXML's up is the
// layout's down-negative).
struct TKVXMLOffsets {
  bool HasDefaultY = false;
  int32_t DefaultY = 0, RelativeX = 0, RelativeY = 0;
};

// A mark of a direction where the layout will draw it, in layout units
// from its tick and its staff's top line (a hairpin: its opening), with its
// tick, its measure, the staff its direction names (0xFF for none) and the
// direction's number in the walk.
struct TKVXMLRowMark {
  int32_t Left = 0, Right = 0, Top = 0, Bottom = 0;
  TKVItem* Item = nullptr;
  int32_t Position = 0;
  const TKVMeasure* Measure = nullptr;
  uint8_t Staff = 0;
  bool Hairpin = false;
  uint32_t Direction = 0;
};

// A repeat ending of the first part: the columns it covers and the passes
// it is played on, as the document numbers them ("1, 2"; empty when it
// gives none).
struct TKVXMLEnding {
  int32_t First = 0, Last = -1;
  std::string Passes;
  bool Open = true;
  bool Closed = false;  // a stop: the bracket's right end hooks down
};

// The jumps of a column of the first part, from sound attributes, signs and
// words.
struct TKVXMLJumps {
  bool Segno = false, Coda = false, ToCoda = false, DaCapo = false, DalSegno = false, Fine = false;
  bool ToCodaAtStart = false;  // the jump leaves before the column's first note
  TKVLyric* FineText = nullptr;
  uint16_t FinePosition = 0;
  uint16_t SegnoPosition = 0, CodaPosition = 0;  // where a written sign stands
};

class TKVMusicXMLWalk {
public:
  TKVMusicXMLWalk(TKVScore& Score, TKVPiece& Piece, const TKVXMLEntryList& List);

  // The whole walk. Raises EConvertError for a scaling or page-layout value
  // that is not a decimal number; what was built so far stays.
  void Run();

  // ---- left for the finishing pass ----
  // Page texts to align once more with their own fonts (work, rights).
  std::vector<TKVXMLPageText> TextsToAlign;
  std::vector<TKVXMLSpacingRecord> SpacingRecords;
  // Every slur made, in order. A stop that never met its start is released
  // at the end of the walk and is not listed.
  std::vector<TKVXMLSlur> Slurs;
  // The meter word of the piece's first column (4/4 until one is read).
  uint16_t FirstMeter = 0x0404;
  // A measure numbered 0 was read.
  bool Pickup = false;
  // The page's line space in layout units.
  int32_t LineSpace8 = 0;
  // By column: the furthest tick the notes, rests, backups and forwards of
  // any part reached, 0 for a column without any.
  std::vector<int32_t> ColumnEnds;
  // Dynamics, hairpins, pedals and words whose direction names a staff of
  // its part, with that staff's index: they go to it once the voices are
  // mapped, whatever note was read before them.
  std::unordered_map<const TKVItem*, uint8_t> DirectionStaves;

  // Layout units of a length in tenths of a millimetre.
  static int32_t PageUnits(long double Tenths);

private:
  // ---- the walk (MusicXMLWalk.cpp) ----
  void Handle(TKVXMLElement Code);
  bool HandleHeader(TKVXMLElement Code);
  bool HandleMeasure(TKVXMLElement Code);
  bool HandleLayout(TKVXMLElement Code);
  bool HandleNote(TKVXMLElement Code);
  bool HandleNotation(TKVXMLElement Code);
  bool HandleDirection(TKVXMLElement Code);
  // Closes levels From down to To, deepest first.
  void CloseLevels(int32_t From, int32_t To);
  uint8_t ScopeAt(int32_t Depth) const;
  void SetScopeAt(int32_t Depth, uint8_t Code);
  void SetScope(uint8_t Code) { SetScopeAt(FDepth, Code); }
  uint8_t Parent() const { return ScopeAt(FDepth - 1); }
  uint8_t GrandParent() const { return ScopeAt(FDepth - 2); }
  bool ParentIs(TKVXMLElement A) const { return Parent() == A; }
  bool ParentIs(TKVXMLElement A, TKVXMLElement B) const { return Parent() == A || Parent() == B; }

  // ---- reading the current entry ----
  const std::string& Text() const { return FEntry->Text; }
  // The trimmed text as a whole number, or Default.
  int32_t Number(int32_t Default) const;
  // The trimmed text as a decimal number; EConvertError when it is none.
  long double Decimal() const;
  // A position or offset in tenths (a decimal) as layout units: the nearest
  // whole tenths x 24 div 5; 0 when the text is no number.
  int16_t TenthsOffset() const;
  // A page-layout value in tenths of a millimetre, scaled by the document.
  long double Scaled() const;
  // The tick of a point Divs divisions after the division base: the running
  // count is exact and only the point is rounded, so uneven divisions never
  // add up to a drift.
  int32_t TicksAt(int64_t Divs) const;
  // Moves Next on by Divs divisions (Time to where it was) and notes how far
  // the measure reaches.
  void Advance(int64_t Divs);
  void ReachColumn(int32_t Tick);

  // ---- header and part list (MusicXMLHeader.cpp) ----
  TKVText* NewPageText(const std::string& Text, uint8_t Size, uint8_t Alignment, int32_t X, int32_t Y);
  int32_t PageTextWidth(const std::u16string& Text, int32_t Size) const;
  int32_t PageWidth8() const;
  void OnWorkText(uint8_t Size, uint8_t Alignment, int32_t Lines);
  void OnCreatorType();
  void OnRights();
  void OnMovement(bool Title);
  void OnScorePart();
  void OnPartId();
  void OnPartName();
  void OnMidiValue(bool Channel);
  TKVPart* FindPartById() const;

  // ---- measures, attributes, barlines, print and sound (MusicXMLMeasures.cpp) ----
  TKVColumn* EnsureColumn(int32_t Index);
  void OnMeasure();
  void OnDivisions();
  void OnFifths();
  void OnBeats();
  void OnBeatType();
  void OnStaves();
  void OnClef();
  void OnStaffLines();
  void OnStaffTuning();
  void OnTuning(bool Octave);
  void OnBarline();
  void OnBarStyle();
  void FinishBarline();
  void OnBreak(bool Page);
  void OnTempo();
  void PlaceTempoBesideWords(TKVMark& Tempo) const;

  // ---- repeats, endings and jumps (MusicXMLJumps.cpp) ----
  // Names beyond the element table that repeats and jumps use; false for
  // any other.
  bool HandleJumpName(const std::string& Name);
  void OnEnding();
  void OnEndingNumber();
  void OnEndingType();
  void OnRepeatTimes();
  // The jumps of the current column, nil outside the first part.
  TKVXMLJumps* ColumnJumps();
  void OnJumpWords(const std::string& Words);
  // The marks of every ending, repeat count and jump, once the walk is over.
  void PlaceJumps();
  void PlaceEndings();

  // ---- page and system layout (MusicXMLLayout.cpp) ----
  void OnScaling(bool Millimeters);
  void OnPageValue(int32_t Index);
  void OnSystemMargin(bool Right);
  void OnSystemDistance();
  void OnStaffDistance();
  void AddSpacingRecord(int16_t StaffIndex);

  // ---- notes and rests (MusicXMLNotes.cpp) ----
  void OnNote();
  void OnRest();
  void OnPitchPart(TKVXMLElement Code);
  void OnDuration();
  void OnVoiceOrStaff(bool Staff);
  void OnType();
  void OnDot();
  void OnBeam();
  void OnTieType();
  // Settles the note or rest of a closing level; false without one.
  bool FinishNote();
  // The tick where the note or rest being read starts: Time, or Next for a
  // grace note, which takes no time.
  int32_t NoteStart() const;
  void ApplyTupletSlot(const TKVMark& Tuplet, uint16_t Value, uint16_t& Duration);

  // ---- attachments: slurs, articulations, ornaments, lyrics (MusicXMLAttachments.cpp) ----
  void OnSlur();
  void OnSlurAttribute(TKVXMLElement Code);
  void FinishSlur();
  void PairSlur();
  TKVMark* NewNoteMark(uint8_t Kind);
  void OnArticulation(uint8_t Kind, uint8_t Variant);
  void OnFermata();
  void OnArpeggiate();
  void OnTechnical(bool Fret);
  void OnTurn();
  void OnAccidentalMark();
  void OnLyric();
  void OnLyricAttribute(TKVXMLElement Code);
  // The current lyric's verse and its line below the staff.
  void SetVerse(int64_t Verse);

  // ---- directions and harmony (MusicXMLDirections.cpp) ----
  void OnDynamics();
  int32_t DynamicOffset(bool Above) const;
  void OnMarkAttribute(TKVXMLElement Code);
  // A relative-x or relative-y in layout units: right and down positive.
  // Offsets are gathered while an element's attributes are read and set
  // once it ends, as XML attributes come in any order: a default-y read
  // after a relative-y or a verse number undid them, a wedge's relative-y
  // read before its type was lost.
  void NoteOffset(TKVXMLElement Code);
  static bool TakesOffsets(uint8_t Code);
  void ApplyOffsets(uint8_t Code);
  void OnWedgeType();
  void FinishWedge();
  int32_t WedgeSpan(const TKVMark& Wedge) const;
  void OnWords();
  void OnWordsAttribute(TKVXMLElement Code);
  void OnPedal();
  void OnDirectionStaff();
  // ---- the marks of one place in a row (MusicXMLDirectionRow.cpp) ----
  void FinishDirection();
  bool RowExtent(TKVItem& Item, TKVXMLRowMark& Extent) const;
  void OnDirective();
  void OnRoot();
  void OnChordStep(bool Bass);
  void OnChordAlter(bool Bass);
  void OnKind();
  void OnKindText();
  int32_t LineSpaceUnits(int32_t Spaces) const;

  TKVScore& FScore;
  TKVPiece& FPiece;
  const TKVXMLEntryList& FList;

  // The entry being handled.
  size_t FIndex = 0;
  const TKVXMLEntry* FEntry = nullptr;
  int32_t FDepth = 0;
  std::vector<uint8_t> FScopes;
  bool FStopped = false;

  // ---- walk state ----
  TKVPart* FPart = nullptr;
  TKVStaff* FStaff = nullptr;
  TKVVoice* FVoice = nullptr;
  TKVMeasure* FMeasure = nullptr;
  TKVNote* FNote = nullptr;
  TKVNote* FPreviousNote = nullptr;
  TKVPause* FRest = nullptr;
  int32_t FTime = 0, FNext = 0;
  // Time and Next as divisions after the tick FDivisionBase (the measure's
  // start, or where the divisions last changed).
  int64_t FTimeDivs = 0, FNextDivs = 0;
  int32_t FDivisionBase = 0;
  // The current note's sounding length from its duration element, -1
  // without one.
  int32_t FNoteTicks = -1;
  int32_t FDivisions = 1;
  int32_t FMeasureLength = 512;
  std::unordered_set<TKVPart*> FFirstMeasureMade;
  TKVMark* FKeyMark = nullptr;
  TKVMark* FMeterMark = nullptr;
  TKVMark* FClefMark = nullptr;
  // The clef kind in force on each staff of the current part, by staff
  // number from 0; and whether the current note is unpitched.
  std::array<uint8_t, 16> FStaffClefs{};
  bool FUnpitched = false;
  TKVMark* FWedge = nullptr;  // the last wedge started
  // Wedges of the current part not yet stopped, oldest first; the number
  // and the stop of the wedge element being read.
  std::vector<TKVXMLWedge> FOpenWedges;
  int32_t FWedgeNumber = 1;
  bool FWedgeStarts = false, FWedgeStops = false;
  TKVMark* FMark = nullptr;
  TKVLyric* FLyric = nullptr;
  // The marks and words made by the direction being read.
  std::vector<TKVItem*> FDirectionItems;
  // The metronome mark of the direction being read, nil without one.
  TKVMark* FDirectionTempo = nullptr;
  // The marks of directions at the current point, as they stand, and the
  // number of directions ended.
  std::vector<TKVXMLRowMark> FRow;
  uint32_t FDirectionSerial = 0;
  TKVText* FLastText = nullptr;
  TKVChord* FChord = nullptr;
  TKVLiga* FSlur = nullptr;  // the current slur or tie
  std::string FCreatorText;
  int32_t FComposers = 0, FLyricists = 0;  // creator texts made on each side
  uint16_t FSystemCount = 0;
  int32_t FLastBreakColumn = -1;
  bool FTempoSeen = false;
  bool FMovementSeen = false;
  long double FMillimeters = 1.0L, FTenths = 10.0L;
  int32_t FTuningLine = 0;

  // Repeats, endings and jumps of the first part.
  std::vector<TKVXMLEnding> FEndings;
  std::map<int32_t, TKVXMLJumps> FJumps;
  std::vector<std::pair<TKVMark*, int32_t>> FRepeatTimes;  // repeat ends played more than twice
  // The bar mark of the barline being read, until a bar style or a repeat
  // gives it its kind.
  TKVMark* FPlainBar = nullptr;
  std::string FEndingNumber;     // of the ending element being read
  bool FEndingOpened = false;    // it opened the last ending

  // Notes: beams and tuplets (the tuplet values are reset by each note).
  int32_t FOpenBeams = 0;
  int32_t FTupletCount = 0;
  uint8_t FTupletType = 0;       // 0 none, 1 start, 2 stop
  bool FShowNumber = true;
  bool FBracketShown = true;
  uint8_t FTupletPlacement = 0;  // 0 by the stem, 1 above, 2 below

  TKVXMLOffsets FOffsets;
  // Slurs and a slur's default-x.
  uint8_t FSlurType = 0;     // 0 start, 1 stop, 2 continue
  int32_t FSlurNumber = 0;   // also the staff number of a staff layout
  int16_t FDefaultX = 0;
  // The slurs waiting for their other end by part, number and type, as
  // indexes into Slurs in the order they were made.
  std::map<std::tuple<const TKVPart*, uint16_t, uint8_t>, std::deque<size_t>> FOpenSlurs;
  // Indexes into Slurs of the slurs that the current note starts or ends:
  // a rest read inside the note looks at these instead of every slur.
  std::vector<size_t> FNoteSlurs;
  int16_t FCurveX = 0, FCurveY = 0;
  bool FAbove = false;
};
