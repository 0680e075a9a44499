#pragma once
// Item kinds the model treats by name. The factory's table
// (ItemFactory.cpp) maps every kind value to its element class.

#include <cstdint>

namespace ItemKind {
constexpr uint8_t Clef = 2;
constexpr uint8_t KeySignature = 3;
constexpr uint8_t Meter = 4;
constexpr uint8_t TempoMark = 6;
constexpr uint8_t Note = 20;
constexpr uint8_t Rest = 21;
constexpr uint8_t Effect = 22;
constexpr uint8_t Slur = 30;
constexpr uint8_t Chord = 31;
constexpr uint8_t GraceGroup = 32;
constexpr uint8_t Syllable = 33;
constexpr uint8_t LyricText = 34;
constexpr uint8_t LyricLine = 35;
constexpr uint8_t Frame = 36;
constexpr uint8_t BeatRepeat = 40;
constexpr uint8_t MeasureRepeat = 41;
constexpr uint8_t SecondNote = 43;
constexpr uint8_t Tuplet = 85;
constexpr uint8_t Dynamic = 110;
constexpr uint8_t Accent = 117;
constexpr uint8_t Bend = 119;
constexpr uint8_t DynamicSymbol = 160;  // a mark with a dynamics setting of its own
constexpr uint8_t OleObject = 161;
constexpr uint8_t Volta = 171;
constexpr uint8_t Text = 200;
constexpr uint8_t Image = 201;
constexpr uint8_t Line = 202;
constexpr uint8_t Rectangle = 203;
constexpr uint8_t Ellipse = 204;
constexpr uint8_t Arc = 205;
constexpr uint8_t PageMark = 215;
constexpr uint8_t MidiEvent = 220;
constexpr uint8_t Sound = 221;
}  // namespace ItemKind
