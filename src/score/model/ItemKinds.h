#pragma once
// Item kinds by name. The factory's table (ItemFactory.cpp) maps every kind
// value to its element class; kinds 1 to 173 other than those of their own
// classes are marks.

#include <cstdint>

namespace ItemKind {
constexpr uint8_t StaffBracket = 1;  // the bracket that joins the staves of a part
constexpr uint8_t Clef = 2;
constexpr uint8_t KeySignature = 3;
constexpr uint8_t Meter = 4;
constexpr uint8_t TempoMark = 6;
constexpr uint8_t BarLine = 7;
constexpr uint8_t TempoEquation = 8;
constexpr uint8_t Note = 20;
constexpr uint8_t Rest = 21;
constexpr uint8_t Effect = 22;
constexpr uint8_t MeasureNumber = 27;
constexpr uint8_t RehearsalMark = 28;
constexpr uint8_t Slur = 30;
constexpr uint8_t Chord = 31;
constexpr uint8_t GraceGroup = 32;
constexpr uint8_t Syllable = 33;
constexpr uint8_t LyricText = 34;
constexpr uint8_t LyricLine = 35;
constexpr uint8_t Frame = 36;
constexpr uint8_t DoubleSlash = 37;
constexpr uint8_t BeatRepeat = 40;
constexpr uint8_t MeasureRepeat = 41;
constexpr uint8_t MultiMeasureRest = 42;
constexpr uint8_t SecondNote = 43;
constexpr uint8_t Dot = 45;
constexpr uint8_t Accidental = 50;
// The three glyph marks anchored at a note head.
constexpr uint8_t HeadGlyphA = 70;
constexpr uint8_t HeadGlyphB = 71;
constexpr uint8_t HeadGlyphC = 72;
constexpr uint8_t Tuplet = 85;
constexpr uint8_t Dynamic = 110;  // a dynamic or a hairpin
constexpr uint8_t Arpeggio = 111;
constexpr uint8_t HalfBracket = 112;
constexpr uint8_t Trill = 113;
constexpr uint8_t Turn = 114;
constexpr uint8_t Ornament = 115;
constexpr uint8_t Fermata = 116;  // also holds the measure at its tick
constexpr uint8_t Accent = 117;   // the accent family of articulations
constexpr uint8_t HookedBracket = 118;
constexpr uint8_t Bend = 119;
constexpr uint8_t WavyLine = 120;
constexpr uint8_t Pedal = 121;
constexpr uint8_t Fingering = 122;
constexpr uint8_t ContinuedGlyph = 123;  // a glyph with a continuation line
constexpr uint8_t TechniqueLetter = 124;
constexpr uint8_t SingleGlyph = 125;
constexpr uint8_t ExtensionLine = 130;
constexpr uint8_t GlyphMarkA = 131;
constexpr uint8_t GlyphMarkB = 132;
constexpr uint8_t TwoVariantGlyph = 133;
constexpr uint8_t Staccato = 141;
constexpr uint8_t Portamento = 142;
constexpr uint8_t Tremolo = 143;  // a group of slanted strokes
constexpr uint8_t VerticalArrow = 149;
constexpr uint8_t Segno = 150;
constexpr uint8_t Coda = 151;
constexpr uint8_t DaCapo = 153;
constexpr uint8_t DalSegno = 154;
constexpr uint8_t RepeatStart = 155;
constexpr uint8_t RepeatEnd = 156;
constexpr uint8_t DoubleBar = 157;
constexpr uint8_t FinalBar = 158;
constexpr uint8_t HeavyLightBar = 159;
constexpr uint8_t DynamicSymbol = 160;  // a mark with a dynamics setting of its own
constexpr uint8_t OleObject = 161;
constexpr uint8_t OctaveLine = 169;
constexpr uint8_t BarreLine = 170;
constexpr uint8_t Volta = 171;
constexpr uint8_t HarmonicLine = 172;
constexpr uint8_t SquareBracket = 173;
constexpr uint8_t Text = 200;
constexpr uint8_t Image = 201;
constexpr uint8_t Line = 202;
constexpr uint8_t Rectangle = 203;
constexpr uint8_t Ellipse = 204;
constexpr uint8_t Arc = 205;
constexpr uint8_t Pie = 206;
constexpr uint8_t ArcChord = 207;
constexpr uint8_t PageMark = 215;
constexpr uint8_t MidiEvent = 220;
constexpr uint8_t Sound = 221;
}  // namespace ItemKind
