#pragma once
// The word tables of the MusicXML reader: element and attribute names (their
// position is the code the walk switches on), step letters, clef signs, note
// types and harmony kinds. Every comparison ignores letter case.

#include <cstdint>
#include <string>

// The element table in order; an entry's code is its 1-based position.
#define SONARID_XML_ELEMENTS(X) \
  X(Work, "work") \
  X(Identification, "identification") \
  X(PartList, "part-list") \
  X(Part, "part") \
  X(WorkNumber, "work-number") \
  X(WorkTitle, "work-title") \
  X(Creator, "creator") \
  X(Rights, "rights") \
  X(Encoding, "encoding") \
  X(ScorePart, "score-part") \
  X(Id, "id") \
  X(Measure, "measure") \
  X(Type, "type") \
  X(Software, "software") \
  X(EncodingDate, "encoding-date") \
  X(PartName, "part-name") \
  X(ScoreInstrument, "score-instrument") \
  X(MidiInstrument, "midi-instrument") \
  X(MidiChannel, "midi-channel") \
  X(MidiProgram, "midi-program") \
  X(Number, "number") \
  X(Attributes, "attributes") \
  X(Divisions, "divisions") \
  X(Key, "key") \
  X(Fifths, "fifths") \
  X(Mode, "mode") \
  X(Time, "time") \
  X(Staves, "staves") \
  X(Beats, "beats") \
  X(BeatType, "beat-type") \
  X(Clef, "clef") \
  X(Sign, "sign") \
  X(Line, "line") \
  X(Note, "note") \
  X(Rest, "rest") \
  X(Duration, "duration") \
  X(Voice, "voice") \
  X(Staff, "staff") \
  X(Pitch, "pitch") \
  X(Step, "step") \
  X(Alter, "alter") \
  X(Octave, "octave") \
  X(Stem, "stem") \
  X(Lyric, "lyric") \
  X(Syllabic, "syllabic") \
  X(Text, "text") \
  X(Chord, "chord") \
  X(Beam, "beam") \
  X(Direction, "direction") \
  X(Tie, "tie") \
  X(Backup, "backup") \
  X(Forward, "forward") \
  X(Notations, "notations") \
  X(Slur, "slur") \
  X(Articulations, "articulations") \
  X(Staccato, "staccato") \
  X(Portamento, "portamento") \
  X(Placement, "placement") \
  X(DirectionType, "direction-type") \
  X(Dynamics, "dynamics") \
  X(RelativeY, "relative-y") \
  X(RelativeX, "relative-x") \
  X(Sound, "sound") \
  X(Fff, "fff") \
  X(Ff, "ff") \
  X(F, "f") \
  X(Fp, "fp") \
  X(P, "p") \
  X(Pp, "pp") \
  X(Ppp, "ppp") \
  X(Directive, "directive") \
  X(Wedge, "wedge") \
  X(Barline, "barline") \
  X(BarStyle, "bar-style") \
  X(Repeat, "repeat") \
  X(Ending, "ending") \
  X(Location, "location") \
  X(TimeModification, "time-modification") \
  X(ActualNotes, "actual-notes") \
  X(NormalNotes, "normal-notes") \
  X(Dot, "dot") \
  X(DoubleDot, "double-dot") \
  X(Words, "words") \
  X(FontStyle, "font-style") \
  X(FontWeight, "font-weight") \
  X(Pedal, "pedal") \
  X(Print, "print") \
  X(NewSystem, "new-system") \
  X(NewPage, "new-page") \
  X(MovementNumber, "movement-number") \
  X(MovementTitle, "movement-title") \
  X(Fermata, "fermata") \
  X(Tied, "tied") \
  X(Tempo, "tempo") \
  X(NormalType, "normal-type") \
  X(StaffDetails, "staff-details") \
  X(StaffLines, "staff-lines") \
  X(StaffTuning, "staff-tuning") \
  X(TuningStep, "tuning-step") \
  X(TuningOctave, "tuning-octave") \
  X(Technical, "technical") \
  X(String, "string") \
  X(Fret, "fret") \
  X(Harmony, "harmony") \
  X(Root, "root") \
  X(RootStep, "root-step") \
  X(RootAlter, "root-alter") \
  X(Kind, "kind") \
  X(Bass, "bass") \
  X(BassStep, "bass-step") \
  X(BassAlter, "bass-alter") \
  X(Accent, "accent") \
  X(InstrumentName, "instrument-name") \
  X(Grace, "grace") \
  X(StealTimePrevious, "steal-time-previous") \
  X(StealTimeFollowing, "steal-time-following") \
  X(DefaultX, "default-x") \
  X(DefaultY, "default-y") \
  X(Defaults, "defaults") \
  X(Scaling, "scaling") \
  X(Millimeters, "millimeters") \
  X(Tenths, "tenths") \
  X(PageLayout, "page-layout") \
  X(PageHeight, "page-height") \
  X(PageWidth, "page-width") \
  X(PageMargins, "page-margins") \
  X(SystemLayout, "system-layout") \
  X(SystemMargins, "system-margins") \
  X(LeftMargin, "left-margin") \
  X(TopMargin, "top-margin") \
  X(RightMargin, "right-margin") \
  X(BottomMargin, "bottom-margin") \
  X(SystemDistance, "system-distance") \
  X(StaffLayout, "staff-layout") \
  X(StaffDistance, "staff-distance") \
  X(TopSystemDistance, "top-system-distance") \
  X(Mp, "mp") \
  X(Mf, "mf") \
  X(Sf, "sf") \
  X(Esf, "esf") \
  X(Fz, "fz") \
  X(Sfz, "sfz") \
  X(Orientation, "orientation") \
  X(Tuplet, "tuplet") \
  X(BezierX, "bezier-x") \
  X(BezierY, "bezier-y") \
  X(Arpeggiate, "arpeggiate") \
  X(Ornaments, "ornaments") \
  X(Turn, "turn") \
  X(AccidentalMark, "accidental-mark") \
  X(ScorePartwise, "score-partwise") \
  X(Version, "version") \
  X(Supports, "supports") \
  X(Attribute, "attribute") \
  X(Element, "element") \
  X(Value, "value") \
  X(Appearance, "appearance") \
  X(LineWidth, "line-width") \
  X(NoteSize, "note-size") \
  X(MusicFont, "music-font") \
  X(FontFamily, "font-family") \
  X(FontSize, "font-size") \
  X(WordFont, "word-font") \
  X(LyricFont, "lyric-font") \
  X(Name, "name") \
  X(Credit, "credit") \
  X(Page, "page") \
  X(CreditWords, "credit-words") \
  X(Justify, "justify") \
  X(Valign, "valign") \
  X(Halign, "halign") \
  X(XmlLang, "xml:lang") \
  X(Accidental, "accidental") \
  X(Extend, "extend") \
  X(Width, "width") \
  X(Height, "height") \
  X(DamperPedal, "damper-pedal") \
  X(Offset, "offset") \
  X(Spread, "spread") \
  X(Slash, "slash") \
  X(DisplayOctave, "display-octave") \
  X(DisplayStep, "display-step") \
  X(PageNumber, "page-number") \
  X(Symbol, "symbol") \
  X(LetterSpacing, "letter-spacing") \
  X(Metronome, "metronome") \
  X(Parentheses, "parentheses") \
  X(BeatUnit, "beat-unit") \
  X(BeatUnitDot, "beat-unit-dot") \
  X(PerMinute, "per-minute") \
  X(Dashes, "dashes") \
  X(OctaveShift, "octave-shift") \
  X(Size, "size") \
  X(Implicit, "implicit") \
  X(Notehead, "notehead") \
  X(Filled, "filled") \
  X(Bracket, "bracket") \
  X(Cue, "cue") \
  X(StrongAccent, "strong-accent") \
  X(PrintObject, "print-object") \
  X(DelayedTurn, "delayed-turn") \
  X(EndLine, "end-line") \
  X(EndParagraph, "end-paragraph") \
  X(ShowNumber, "show-number")

enum TKVXMLElement : uint8_t {
  xeNone = 0,
#define SONARID_XML_ELEMENT_CODE(id, name) xe##id,
  SONARID_XML_ELEMENTS(SONARID_XML_ELEMENT_CODE)
#undef SONARID_XML_ELEMENT_CODE
};

inline constexpr int XMLElementCount = 204;

// `LookupXMLElement`: the code of Name with the characters up to and including
// the space (codes 0..32) removed from both ends; 0 when it is not in the table.
TKVXMLElement LookupXMLElement(const std::string& name);
// The table's name of a code (1..204); "" for any other.
const char* XMLElementName(int code);

// `StepLetterIndex`: 0..6 for "C", "D", "E", "F", "G", "A", "B"; 0 for anything else.
int StepLetterIndex(const std::string& text);
// `ClefSignToKind`: G 1, F 2, C 3, TAB 13, Percussion 14; 1 for anything else.
int ClefSignToKind(const std::string& text);
// `NoteTypeToTicks`: whole 512 .. 64th 8; 64 for anything else (also "128th"
// and "256th", which the table holds but the routine does not compare).
int NoteTypeToTicks(const std::string& text);
// `HarmonyKindIndex`: 0..20 in the order of the harmony table; 1 for anything else.
int HarmonyKindIndex(const std::string& text);
