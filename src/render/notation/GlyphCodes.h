#pragma once
// The music-font codes the notation drawers write, in one place. The shape
// behind each code is the music-font service's (its glyph map); what a code
// stands for is settled here.

#include <cstdint>

#include "score/layout/RestShape.h"

namespace render::glyph {

constexpr uint8_t Brace = 0x21;
constexpr uint8_t GClef = 0x22, FClef = 0x23, CClef = 0x24;
constexpr uint8_t BreveHead = ')', WholeHead = '*', HalfHead = '4', BlackHead = '5';
constexpr uint8_t CrossHeadLong = 'e', CrossHeadShort = 'f';  // head shape 3
constexpr uint8_t MissingHead = 0xD3;  // a user head shape the score's table does not hold
constexpr uint8_t EighthFlagUp = '6', EighthFlagDown = '7';
constexpr uint8_t FlagSegmentUp = '8', FlagSegmentDown = '9';
constexpr uint8_t LastFlagUp = ':', LastFlagDown = ';';
constexpr uint8_t CommonTime = 0x27, AllaBreve = 0x28;
constexpr uint8_t TempoNoteBase = 0x2A;  // + the note value's variant: 0 whole, 1 half, 2 quarter ...
constexpr uint8_t Flat = 0x40, Sharp = 0x42, Natural = 0x44;

// Head by shape (0, 1, 255 and, for the second note kind, 2 and 4; 3 the
// cross head) and duration in ticks.
constexpr uint8_t HeadGlyph(uint8_t Shape, uint16_t Duration) {
  if (Shape == 3) return Duration > 128 ? CrossHeadLong : CrossHeadShort;
  return Duration == 1024 ? BreveHead : Duration == 512 ? WholeHead : Duration == 256 ? HalfHead : BlackHead;
}

// Rest glyph by written value in ticks, as the layout measured it.
constexpr uint8_t RestGlyph(uint16_t Value) { return RestGlyphCode(Value); }

// The glyph of an accidental code (0 flat, 1 double flat, 2 sharp, 3
// double sharp, 4 natural, 5 and 6, and the quarter-tone codes 101-104 and
// 133-138); 0 for a code without one.
constexpr uint8_t AccidentalGlyph(uint8_t Code) {
  if (Code <= 6) return uint8_t(Flat + Code);
  if (Code >= 101 && Code <= 104) return uint8_t(0xE6 + Code - 101);
  if (Code >= 133 && Code <= 138) return uint8_t(0xEA + Code - 133);
  return 0;
}

// The glyph of an accidental of a key of its own, whose entries store the
// accidental code + 1 (0 is an empty entry); the two codes without a key
// form (5 and 6) and codes outside the table have none.
constexpr uint8_t FreeKeyGlyph(uint8_t Entry) {
  if (Entry == 0 || Entry == 6 || Entry == 7) return 0;
  return AccidentalGlyph(uint8_t(Entry - 1));
}

}  // namespace render::glyph
