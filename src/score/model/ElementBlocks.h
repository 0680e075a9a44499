#pragma once
// The byte layout of every data block of the score tree and of every element
// class: the one place where a field's offset is named. The classes read and
// write their fields through accessors built on these offsets; bytes without
// a name here travel with the block (copied and read with it) and belong to
// the code that gives them a meaning once it exists.
//
// Widths: u8/i8 one byte, u16/i16 two, u32/i32 four (COLORREF values are
// u32), all little-endian.

#include <cstddef>

// ---- tree ----
namespace PieceBlock {
constexpr size_t Size = 20;
constexpr size_t Tempo = 4;      // u16, quarter notes per minute (60)
constexpr size_t Meter = 6;      // u16: meter of the first (pickup) measure, 0 = none
constexpr size_t Separate = 12;  // u8: played and numbered on its own
constexpr size_t Word14 = 14;    // u16 (1)
}  // namespace PieceBlock

namespace PartBlock {
constexpr size_t Size = 28;
constexpr size_t Program = 0;  // u8
constexpr size_t Channel = 1;  // u8, low four bits used
constexpr size_t Volume = 2;   // u8, controller 7; 255 = not set
constexpr size_t Pan = 3;      // u8, controller 10; 255 = not set
constexpr size_t Bank = 26;    // u16
}  // namespace PartBlock

namespace ColumnBlock {
constexpr size_t Size = 36;
constexpr size_t Meter = 0;         // u16: the column's own meter word, 0 = none
constexpr size_t EndRoom = 2;       // i16: room after the last tick; negative = none
constexpr size_t PageBreak = 10;    // u16, non-zero: a new page after this column
constexpr size_t SystemBreak = 12;  // u8, non-zero: a new system after this column
}  // namespace ColumnBlock

namespace MeasureBlock {
constexpr size_t Size = 24;
constexpr size_t BeamMode = 0;     // u8: the measure's own beaming
constexpr size_t BeamModeSet = 1;  // u8
constexpr size_t Flags = 2;        // u8: bit 0 single-pass rest filling, bit 4 beams continue
constexpr int SinglePassRests = 0, BeamsContinue = 4;  // bits of Flags
constexpr size_t Byte4 = 4;        // u8 (8)
}  // namespace MeasureBlock

namespace StaffBlock {
constexpr size_t Size = 12;
constexpr size_t LineCount = 1;     // u8 (5); strings of a tablature staff
constexpr size_t Tablature = 2;     // u8, non-zero: a tablature staff
constexpr size_t Range = 3;         // u8 (24): staff range, the fret count of a tablature staff
constexpr size_t PartIndex = 4;     // u16: the part's Index at creation
constexpr size_t Size100 = 6;       // u8 (100): size percent
constexpr size_t OldFileFlag = 7;   // u8 (1)
constexpr size_t CurrentVoice = 8;  // u8 (255)
constexpr size_t LineArrayBytes = 24;
}  // namespace StaffBlock

namespace VoiceBlock {
constexpr size_t Size = 16;
constexpr size_t Program = 0;         // u8; 255: follows the part's channel and program
constexpr size_t Channel = 1;         // u8 (0-15)
constexpr size_t Volume = 4;          // u8; 255 = not set
constexpr size_t Pan = 5;             // u8; 255 = not set
constexpr size_t Bank = 6;            // u16
constexpr size_t SecondStaffRef = 8;  // u16: second staff's Index + 1 while stored; 0 = none
constexpr size_t SecondPosition = 10; // u16: place in the second staff's voice list
constexpr size_t Visible = 12;        // u8 (1)
}  // namespace VoiceBlock

namespace UserSymbolBlock {
constexpr size_t Size = 8;
constexpr size_t Width = 0;   // u16, layout units
constexpr size_t Height = 2;  // u16, layout units
}  // namespace UserSymbolBlock

// ---- rhythmic elements ----
namespace NoteBlock {
constexpr size_t Size = 36;
constexpr size_t Pitch = 0;         // u8: octave nibble, step nibble
constexpr size_t Position = 2;      // u16 ticks from the measure start
constexpr size_t Value = 4;         // u16: unit value (the written value)
constexpr size_t Duration = 6;      // u16 ticks, dots and tuplet share included
constexpr size_t TimeOffset = 8;    // i16: played start minus written position
constexpr size_t PlayedLength = 10; // u16; 0 = as written
constexpr size_t Velocity = 12;     // u8 (64)
constexpr size_t StaffVoice = 13;   // u8: staff nibble, voice nibble
constexpr size_t Symbol = 14;       // u8, the head type: 0 and 255 normal, 1-4 other shapes, 5 and up
                                    // an entry of the head list; 1 after reading sets the cue bit
constexpr size_t StemLength = 15;   // u8 (20)
constexpr size_t Flags = 16;        // u8: see NoteFlag
constexpr size_t Join = 17;         // u8: bits 0-1 beamed to the next note, 2-3 accents, 4-6 flag count
constexpr size_t Dots = 18;         // u8: bits 2-3 non-zero, the head is dotted
constexpr size_t Size100 = 19;      // u8: size percent, 0 = unchanged
constexpr size_t Color = 20;        // u32
constexpr size_t String = 24;       // u8: tablature string
constexpr size_t Fret = 25;         // u8: tablature fret + 1, 0 = none
constexpr size_t OffsetX = 26;      // i16: horizontal offset of a second-kind head (kind 43), score units
constexpr size_t StemColor = 28;    // u32: stem, flags and beams
constexpr size_t FontCode = 32;     // u8: music font number
constexpr size_t FontStyle = 33;    // u8: style of the fret number and the brackets
}  // namespace NoteBlock

namespace NoteFlag {
constexpr int Chord = 0, OtherSide = 1, StemDown = 2, Shifted = 3, BeamFromPrevious = 4, NoStem = 6, Cue = 7;
}
// Fields of the note's join byte beside its beam bits.
namespace NoteJoin {
constexpr int BracketShift = 2;    // bits 2-3: brackets around the head (0 none)
constexpr int BeamCountShift = 4;  // bits 4-6: flags or beams beyond the first
}

namespace PauseBlock {
constexpr size_t Size = 20;
constexpr size_t Position = 0;    // u16
constexpr size_t Value = 2;       // u16: written value
constexpr size_t Duration = 4;    // u16
constexpr size_t StaffVoice = 6;  // u8
constexpr size_t OffsetY = 8;     // i16: vertical offset in 1/8 pixel, negative is up
constexpr size_t Flags = 10;      // u8: bit 7 hidden / not counted in the voice's end (a filler)
constexpr size_t FontCode = 11;   // u8
constexpr size_t Color = 12;      // u32
constexpr size_t FontStyle = 16;  // u8: style of the brackets
constexpr size_t Size100 = 17;    // u8 (100): size percent, 0 = unchanged
constexpr size_t OffsetX = 18;    // i16: horizontal offset, score units
}  // namespace PauseBlock
namespace PauseFlag {
constexpr int MovedRight = 0, Filler = 7;  // bits 2-3: dotted to the layout, the kind of brackets drawn
}

namespace ChordBlock {
constexpr size_t Size = 20;
constexpr size_t Position = 0;  // u16
constexpr size_t OffsetX = 2;   // i16, score units (laid out like a chord frame's)
constexpr size_t OffsetY = 4;   // i16
constexpr size_t StaffVoice = 6;  // u8
constexpr size_t Size100 = 7;   // u8: size percent, 0 = unchanged
constexpr size_t FontSize = 8;  // u8: canvas size / 8, 0 = 8
constexpr size_t FontStyle = 9; // u8
constexpr size_t Color = 12;    // u32
constexpr size_t EntryBytes = 15;
// An entry is one piece of the symbol's text, laid out after an earlier one.
constexpr size_t EntryStyle = 0;   // u8: added to the chord's font style
constexpr size_t EntryAnchor = 1;  // u8: index of the piece it follows
constexpr size_t EntryLevel = 2;   // i16: vertical step of 32 layout units
constexpr size_t EntryText = 5;    // bytes 5-8 of an entry hold its text
constexpr size_t EntryStartX = 9;  // i16, written by the layout: left end of the piece
constexpr size_t EntryY = 11;      // i16, written: top of the piece below the symbol's top
constexpr size_t EntryEndX = 13;   // i16, written: right end of the piece
}  // namespace ChordBlock

namespace VorschlagBlock {
constexpr size_t Size = 12;
constexpr size_t Position = 0;    // u16
constexpr size_t Value = 2;       // u16: length each grace note plays; 0 = its own
constexpr size_t OffsetX = 4;     // i16: horizontal offset of the members, score units
constexpr size_t StaffVoice = 6;  // u8
constexpr size_t Spacing = 7;     // u8: extra room between the members (the importer sets 1)
constexpr size_t Flags = 8;       // u8: bit 0 after the main note, bit 4 before the beat (a single
                                  // grace note drawn with a slash)
}

namespace LigaBlock {
constexpr size_t Size = 26;
constexpr size_t Length = 0;         // u16: slur number while importing, then the length in ticks
constexpr size_t EndStaffVoice = 2;  // u8
constexpr size_t Flags = 3;          // u8: bit 0 curve on the other side, bit 4 tie, bit 5 offsets set by the user
constexpr size_t FirstOffset = 4;    // i16 (x of the first point)
constexpr size_t FirstOffsetY = 6;   // i16
constexpr size_t SecondOffset = 8;   // i16 (x of the second point)
constexpr size_t SecondOffsetY = 10; // i16
constexpr size_t FirstCurve = 12;    // 2 x i16
constexpr size_t SecondCurve = 16;   // 2 x i16
constexpr size_t Color = 20;         // u32
constexpr size_t PenStyle = 24;      // u8: TPenStyle order, 0 solid
}  // namespace LigaBlock

namespace LigaFlag {
// SlurOnly: a slur that is never read as a tie, even where it spans its note
// between two notes of one key (MusicXML writes ties apart from slurs).
constexpr int OtherSide = 0, Tie = 4, UserOffsets = 5, SlurOnly = 6;
}

// ---- marks and texts ----
namespace MarkBlock {
constexpr size_t Size = 28;
constexpr size_t Variant = 0;     // u8: sub-kind (clef, key, count, volta number ...)
constexpr size_t Position = 2;    // u16 ticks
constexpr size_t Value = 4;       // u16: meter word, tempo, length of a span ...
constexpr size_t Flags = 6;       // u8
constexpr size_t Height = 7;      // u8: height of an octave line in eighths of a space
constexpr size_t OffsetX = 8;     // i16
constexpr size_t OffsetY = 10;    // i16
constexpr size_t Extent = 12;     // i16: signed vertical extent of a span mark
constexpr size_t StaffVoice = 14; // u8
constexpr size_t Size100 = 15;    // u8 (100): size percent, 0 = unchanged
constexpr size_t Color = 16;      // u32
constexpr size_t LineStyle = 20;  // u8 (2)
constexpr size_t FontIndex = 21;  // u8: music font
constexpr size_t TextX = 22;      // i16
constexpr size_t ExtraWidth = 22; // i16: the same word, read by the layout as room added to a mark's width
constexpr size_t TextY = 24;      // i16
constexpr size_t TextStyle = 26;  // u8
constexpr size_t KeyTableBytes = 14;  // the key signature's seven 16-bit entries
}  // namespace MarkBlock

// The dynamics setting of a lyric or a mark: five plain bytes and a text.
// A user symbol or a staff text reads the same record as a play action:
// action kind, first value (the relative word) and second value.
namespace DynamicsBlock {
constexpr size_t Size = 5;
constexpr size_t Action = 0;    // u8: play action kind (1 dynamics, 2 tempo, 3 MIDI, 4 jump)
constexpr size_t Relative = 1;  // u16: non-zero changes the level, zero sets it
constexpr size_t Value = 3;     // i16
}  // namespace DynamicsBlock

namespace LyricBlock {
constexpr size_t Size = 24;
constexpr size_t Position = 0;    // u16
constexpr size_t StaffVoice = 2;  // u8
constexpr size_t Flags = 3;       // u8: bit 0 continues a word, bit 1 new line, bits 4-5 alignment
constexpr size_t OffsetX = 4;     // i16
constexpr size_t OffsetY = 6;     // i16
constexpr size_t FontSize = 8;    // u8, 0 = 8
constexpr size_t FontStyle = 9;   // u8
constexpr size_t Verse = 10;      // u8: the verse of a syllable, 0 the first
constexpr size_t Color = 12;      // u32
constexpr size_t Angle = 16;      // u16 degrees; 0 = not turned
constexpr size_t BoxWidth = 18;   // u16: measured box, cached by the layout (0 = measure again)
constexpr size_t BoxHeight = 20;  // u16
}  // namespace LyricBlock

namespace BendBlock {
constexpr size_t Size = 28;
constexpr size_t Variant = 0;   // u8
constexpr size_t Position = 2;  // u16
constexpr size_t Length1 = 4;   // u16
constexpr size_t Length2 = 6;   // u16
constexpr size_t Length3 = 8;   // u16
constexpr size_t Height = 10;   // u16
constexpr size_t OffsetX = 12;  // i16
constexpr size_t OffsetY = 14;  // i16
constexpr size_t StaffVoice = 18;  // u8
constexpr size_t Size100 = 19;  // u8 (100)
constexpr size_t Color = 20;    // u32
constexpr size_t FontStyle = 24;  // u8: of the one-half signs
}  // namespace BendBlock

namespace FrameBlock {
constexpr size_t Size = 16;
constexpr size_t Position = 0;     // u16
constexpr size_t OffsetX = 2;      // i16, as a chord symbol's
constexpr size_t OffsetY = 4;      // i16
constexpr size_t StaffVoice = 6;   // u8
constexpr size_t Size100 = 7;      // u8: size percent, 0 = unchanged
constexpr size_t EntryCount = 8;   // u8: strings (the diagram's columns), the length of the entry array
constexpr size_t Byte9 = 9;        // u8 (24)
constexpr size_t ValueCount = 10;  // u8 (5): fret rows, the length of the byte array
constexpr size_t Numeral = 11;     // u8: the first fret shown; non-zero shows it as a Roman numeral
constexpr size_t FontStyle = 12;   // u8
constexpr size_t Color = 13;       // 3 x u8: red, green, blue
constexpr size_t EntryBytes = 3;
}  // namespace FrameBlock

namespace EffectBlock {
constexpr size_t Size = 9;
constexpr size_t Pitch = 0;       // u8: octave nibble, step nibble
constexpr size_t Position = 2;    // u16 ticks from the measure start
constexpr size_t Length = 4;      // u16 ticks
constexpr size_t Velocity = 6;    // u8 (64)
constexpr size_t Accidental = 7;  // u8
constexpr size_t Source = 8;      // u8: the mark kind that made the effect
}  // namespace EffectBlock

// ---- free page objects: X, Y, width and height first; the page word is
// what GetItemPage reads. An object held by a measure reads that word as its
// tick and keeps its staff (high nibble) in a byte of its own ----
namespace PageObjectBlock {
constexpr size_t X = 0;       // i16
constexpr size_t Y = 2;       // i16
constexpr size_t Width = 4;   // u16
constexpr size_t Height = 6;  // u16
}  // namespace PageObjectBlock

// The place every page object's block starts with: x and y (i16, score
// units), then the width and height (u16) of its box, or a line's end point
// (i16).
namespace ObjectBlock {
constexpr size_t X = 0, Y = 2, Width = 4, Height = 6, X2 = 4, Y2 = 6;
}

namespace TextBlock {
constexpr size_t Size = 28;
constexpr size_t Page = 8;        // u16
constexpr size_t Flags = 10;      // u8: bit 0 behind the notation, bits 4-5 alignment
constexpr size_t FontSize = 11;   // u8
constexpr size_t FontStyle = 12;  // u8
constexpr size_t FontColor = 16;  // u32
constexpr size_t Angle = 20;      // u16 degrees
constexpr size_t Staff = 13;      // u8
}  // namespace TextBlock

namespace ImageBlock {
constexpr size_t Size = 16;
constexpr size_t Page = 8;    // u16
constexpr size_t Flags = 10;  // u8
constexpr size_t Staff = 11;  // u8
}  // namespace ImageBlock

namespace LineBlock {
constexpr size_t Size = 20;
constexpr size_t Page = 8;        // u16
constexpr size_t Arrows = 10;     // u8
constexpr size_t LineWidth = 11;  // u8
constexpr size_t LineColor = 12;  // u32
constexpr size_t PenStyle = 16;   // u8
constexpr size_t Staff = 17;      // u8
}  // namespace LineBlock

namespace RectangleBlock {
constexpr size_t Size = 26;
constexpr size_t Page = 8;         // u16
constexpr size_t Flags = 10;       // u8
constexpr size_t LineWidth = 11;   // u8
constexpr size_t LineColor = 12;   // u32
constexpr size_t PenStyle = 16;    // u8
constexpr size_t FillColor = 17;   // u32
constexpr size_t BrushStyle = 21;  // u8
constexpr size_t Staff = 22;       // u8
}  // namespace RectangleBlock

namespace ArcBlock {
constexpr size_t Size = 34;
constexpr size_t StartX = 8, StartY = 10, EndX = 12, EndY = 14;  // i16
constexpr size_t Page = 16;        // u16
constexpr size_t Flags = 18;       // u8
constexpr size_t PenStyle = 19;    // u8
constexpr size_t BrushStyle = 20;  // u8
constexpr size_t Staff = 21;       // u8
}  // namespace ArcBlock

namespace PageMarkBlock {
constexpr size_t Size = 28;
constexpr size_t Numbered = 8;           // u8
constexpr size_t Page = 10;              // u16: page + 1 of a numbered mark, else 0
constexpr size_t Flags = 12;             // u8: bit 0 behind the notation
constexpr size_t FontSize = 13;          // u8
constexpr size_t FontStyle = 14;         // u8
constexpr size_t FontColor = 16;         // u32
constexpr size_t Angle = 20;             // u16
constexpr size_t PageNumberOffset = 22;  // u16
constexpr size_t Format = 24;            // u8
}  // namespace PageMarkBlock

namespace OleBlock {
constexpr size_t Size = 16;
constexpr size_t Page = 8;    // u16
constexpr size_t Flags = 10;  // u8
constexpr size_t Staff = 11;  // u8
}  // namespace OleBlock

namespace MidiEventBlock {
constexpr size_t Size = 4;
constexpr size_t Position = 0;    // u16
constexpr size_t DataLength = 2;  // u16
}  // namespace MidiEventBlock

namespace SoundBlock {
constexpr size_t Size = 4;
constexpr size_t Format = 0;  // u8: 0 WAVE, 1 or 2 Windows Media audio
}
