#include "platform/musicfont/GlyphMap.h"

#include <array>

#include "platform/musicfont/MusicFont.h"

namespace musicfont {

namespace {

using K = TEntryKind;
constexpr bool T = true, F = false;

// Accidentals: the renderer writes an accidental with its baseline on the
// note's line (the layout puts the rectangle's top the per-code lift above
// it, and a key signature's steps count from the staff's top line), where
// Emmentaler has the accidental's origin too.
// Rests: the renderer's baseline is half a space below the middle line,
// Emmentaler's rests stand on the middle line.
// Clefs: the G clef's origin is on the G line, one space above the baseline.
// Fermatas and pedal marks: the renderer's baseline lies a space (the pedal
// down mark 1 1/3 spaces) below the top of the mark's two-space rectangle,
// Emmentaler's glyphs stand on their origin: moved down, they fill the
// rectangle instead of rising over the note or staff above it.
const TGlyphEntry kEntries[] = {
    {0x21, K::Brace, {nullptr}, 0, 0, F, F, 0, "staff brace"},
    {0x22, K::Shape, {"clefs.G"}, 0, -1, F, F, 0, "G clef"},
    {0x23, K::Shape, {"clefs.F"}, 0, 0, F, F, 0, "F clef"},
    {0x24, K::Shape, {"clefs.C"}, 0, 0, F, F, 0, "C clef"},
    {0x27, K::Shape, {"timesig.C44"}, 0, 0, F, F, 0, "common time"},
    {0x28, K::Shape, {"timesig.C22"}, 0, 0, F, F, 0, "alla breve"},
    {0x29, K::Shape, {"noteheads.sM1"}, 0, 0, F, F, 0, "breve head"},
    {0x2A, K::Shape, {"noteheads.s0"}, 0, 0, F, F, 0, "whole head; whole tempo note"},
    {0x2B, K::Note, {"noteheads.s1", nullptr}, 0, 0, F, F, 0, "half tempo note"},
    {0x2C, K::Note, {"noteheads.s2", nullptr}, 0, 0, F, F, 0, "quarter tempo note"},
    {0x2D, K::Note, {"noteheads.s2", "flags.u3"}, 0, 0, F, F, 0, "eighth tempo note"},
    {0x2E, K::Note, {"noteheads.s2", "flags.u4"}, 0, 0, F, F, 0, "16th tempo note"},
    {0x2F, K::Note, {"noteheads.s2", "flags.u5"}, 0, 0, F, F, 0, "32nd tempo note"},
    {0x30, K::Note, {"noteheads.s2", "flags.u6"}, 0, 0, F, F, 0, "64th tempo note"},
    {0x34, K::Shape, {"noteheads.s1"}, 0, 0, F, F, 0, "half head"},
    {0x35, K::Shape, {"noteheads.s2"}, 0, 0, F, F, 0, "black head"},
    {0x36, K::Shape, {"flags.u3"}, 0, 0, F, F, 0, "eighth flag up"},
    {0x37, K::Shape, {"flags.d3"}, 0, 0, F, F, 0, "eighth flag down"},
    {0x38, K::Shape, {"flags.u3"}, 0, 0, F, F, 0, "flag segment up"},
    {0x39, K::Shape, {"flags.d3"}, 0, 0, F, F, 0, "flag segment down"},
    {0x3A, K::Shape, {"flags.u3"}, 0, 0, F, F, 0, "last flag up"},
    {0x3B, K::Shape, {"flags.d3"}, 0, 0, F, F, 0, "last flag down"},
    {0x40, K::Shape, {"accidentals.flat"}, 0, 0, F, F, 0, "flat"},
    {0x41, K::Shape, {"accidentals.flatflat"}, 0, 0, F, F, 0, "double flat"},
    {0x42, K::Shape, {"accidentals.sharp"}, 0, 0, F, F, 0, "sharp"},
    {0x43, K::Shape, {"accidentals.doublesharp"}, 0, 0, F, F, 0, "double sharp"},
    {0x44, K::Shape, {"accidentals.natural"}, 0, 0, F, F, 0, "natural"},
    {0x45, K::Placeholder, {nullptr}, 0, 0, F, F, 362, "accidental code 5"},
    {0x46, K::Placeholder, {nullptr}, 0, 0, F, F, 362, "accidental code 6"},
    {0x4D, K::Shape, {"rests.2"}, 0, -0.5, F, F, 0, "quarter rest"},
    {0x4E, K::Shape, {"rests.3"}, 0, -0.5, F, F, 0, "eighth rest"},
    {0x4F, K::Shape, {"rests.4"}, 0, -0.5, F, F, 0, "16th rest"},
    {0x50, K::Shape, {"rests.5"}, 0, -0.5, F, F, 0, "32nd rest"},
    {0x51, K::Shape, {"rests.6"}, 0, -0.5, F, F, 0, "64th rest"},
    {0x52, K::Shape, {"rests.7"}, 0, -0.5, F, F, 0, "128th rest"},
    {0x5A, K::Placeholder, {nullptr}, 0, 0, F, F, 250, "note mark 70, first"},
    {0x5B, K::Placeholder, {nullptr}, 0, 0, F, F, 250, "note mark 70, second"},
    {0x5C, K::Placeholder, {nullptr}, 0, 0, F, F, 250, "note mark 71, first"},
    {0x5D, K::Placeholder, {nullptr}, 0, 0, F, F, 250, "note mark 71, second"},
    {0x5E, K::Placeholder, {nullptr}, 0, 0, F, F, 250, "note mark 72"},
    {0x65, K::Shape, {"noteheads.s1cross"}, 0, 0, F, T, 0, "head shape 3, longer than a quarter"},
    {0x66, K::Shape, {"noteheads.s2cross"}, 0, 0, F, T, 0, "head shape 3, quarter or shorter"},
    {0x67, K::Placeholder, {nullptr}, 0, 0, F, F, 250, "mark 131"},
    {0x68, K::Placeholder, {nullptr}, 0, 0, F, F, 250, "mark 132"},
    {0x69, K::Sequence, {"p"}, 0, 0, F, F, 0, "p"},
    {0x6A, K::Sequence, {"p", "p"}, 0, 0, F, F, 0, "pp"},
    {0x6B, K::Sequence, {"p", "p", "p"}, 0, 0, F, F, 0, "ppp"},
    {0x6C, K::Sequence, {"m", "p"}, 0, 0, F, F, 0, "mp"},
    {0x6D, K::Sequence, {"f", "p"}, 0, 0, F, F, 0, "fp"},
    {0x6E, K::Sequence, {"m", "f"}, 0, 0, F, F, 0, "mf"},
    {0x6F, K::Sequence, {"f"}, 0, 0, F, F, 0, "f"},
    {0x70, K::Sequence, {"f", "f"}, 0, 0, F, F, 0, "ff"},
    {0x71, K::Sequence, {"f", "f", "f"}, 0, 0, F, F, 0, "fff"},
    {0x72, K::Sequence, {"s", "f"}, 0, 0, F, F, 0, "sf"},
    {0x73, K::Placeholder, {nullptr}, 0, 0, F, F, 750, "esf (the font has no letter e)"},
    {0x74, K::Sequence, {"f", "z"}, 0, 0, F, F, 0, "fz"},
    {0x75, K::Sequence, {"s", "f", "z"}, 0, 0, F, F, 0, "sfz"},
    {0x78, K::Shape, {"scripts.segno"}, 0, 0, T, F, 0, "segno"},
    {0x79, K::Shape, {"scripts.coda"}, 0, 0, T, F, 0, "coda"},
    {0x7A, K::Shape, {"pedal.Ped"}, 0, 0.62, F, F, 0, "pedal down"},
    {0x7B, K::Shape, {"pedal.*"}, 0, 0.5, F, F, 0, "pedal release"},
    {0x7C, K::Shape, {"scripts.turn"}, 0, 0, T, T, 0, "turn, sub-kind 0"},
    {0x7D, K::Shape, {"scripts.reverseturn"}, 0, 0, T, T, 0, "turn, sub-kind 1"},
    {0x7E, K::Shape, {"scripts.slashturn"}, 0, 0, T, T, 0, "turn, sub-kind 2"},
    {0x7F, K::Shape, {"scripts.haydnturn"}, 0, 0, T, T, 0, "turn, sub-kind 3"},
    {0x80, K::Placeholder, {nullptr}, 0, 0, F, F, 250, "mark 125"},
    {0x82, K::Placeholder, {nullptr}, 0, 0, F, F, 250, "mark 133, variant 0"},
    {0x83, K::Placeholder, {nullptr}, 0, 0, F, F, 250, "mark 133, variant 1"},
    {0x86, K::Shape, {"scripts.prall"}, 0, 0, T, T, 0, "ornament, variant 0"},
    {0x87, K::Shape, {"scripts.mordent"}, 0, 0, T, T, 0, "ornament, variant 1"},
    {0x88, K::Shape, {"scripts.prallprall"}, 0, 0, T, T, 0, "ornament, variant 2"},
    {0x89, K::Shape, {"scripts.prallmordent"}, 0, 0, T, T, 0, "ornament, variant 3"},
    {0x8C, K::Shape, {"scripts.ufermata"}, 0, 0.7, T, T, 0, "fermata, sub-kind 0"},
    {0x8D, K::Shape, {"scripts.dfermata"}, 0, -0.7, T, F, 0, "fermata, sub-kind 1 (inverted)"},
    {0x8E, K::Shape, {"scripts.ulongfermata"}, 0, 0.7, T, T, 0, "fermata, sub-kind 5"},
    {0x8F, K::Shape, {"scripts.uverylongfermata"}, 0, 0.7, T, T, 0, "fermata, sub-kind 6"},
    {0x90, K::Shape, {"scripts.uhenzeshortfermata"}, 0, 0.7, T, T, 0, "fermata, sub-kind 7"},
    {0x91, K::Shape, {"scripts.uhenzelongfermata"}, 0, 0.7, T, T, 0, "fermata, sub-kind 8"},
    {0x94, K::Placeholder, {nullptr}, 0, 0, F, F, 250, "line mark 1"},
    {0x95, K::Placeholder, {nullptr}, 0, 0, F, F, 250, "line mark 2"},
    {0x96, K::Placeholder, {nullptr}, 0, 0, F, F, 250, "line mark 3"},
    {0x97, K::Placeholder, {nullptr}, 0, 0, F, F, 250, "line mark 4"},
    {0x98, K::Placeholder, {nullptr}, 0, 0, F, F, 250, "line mark 5"},
    {0x99, K::Placeholder, {nullptr}, 0, 0, F, F, 250, "line mark 6"},
    {0x9A, K::Placeholder, {nullptr}, 0, 0, F, F, 250, "line mark 7"},
    {0x9B, K::Placeholder, {nullptr}, 0, 0, F, F, 250, "line mark 8"},
    {0x9D, K::Shape, {"scripts.trill"}, 0, 0, T, F, 0, "trill"},
    {0x9E, K::Placeholder, {nullptr}, 0, 0, F, F, 600, "trill, variant 2"},
    {0x9F, K::Placeholder, {nullptr}, 0, 0, F, F, 600, "trill, variant 3"},
    {0xA0, K::Placeholder, {nullptr}, 0, 0, F, F, 600, "trill, variant 4"},
    {0xA4, K::Placeholder, {nullptr}, 0, 0, F, F, 250, "articulation 0"},
    {0xA5, K::Shape, {"scripts.sforzato"}, 0, 0, T, F, 0, "accent"},
    {0xA6, K::Placeholder, {nullptr}, 0, 0, F, F, 250, "articulation 1"},
    {0xA8, K::Placeholder, {nullptr}, 0, 0, F, F, 250, "articulation 10"},
    {0xA9, K::Placeholder, {nullptr}, 0, 0, F, F, 250, "articulation 11"},
    {0xAA, K::Placeholder, {nullptr}, 0, 0, F, F, 250, "articulation 12"},
    {0xAB, K::Placeholder, {nullptr}, 0, 0, F, F, 250, "articulation 13"},
    {0xAC, K::Placeholder, {nullptr}, 0, 0, F, F, 250, "articulation 14"},
    {0xAD, K::Placeholder, {nullptr}, 0, 0, F, F, 250, "articulation 15"},
    {0xAE, K::Placeholder, {nullptr}, 0, 0, F, F, 250, "articulation 16"},
    {0xAF, K::Placeholder, {nullptr}, 0, 0, F, F, 250, "articulation 17"},
    {0xB0, K::Placeholder, {nullptr}, 0, 0, F, F, 250, "articulation 18"},
    {0xB1, K::Placeholder, {nullptr}, 0, 0, F, F, 250, "articulation 19"},
    {0xB2, K::Placeholder, {nullptr}, 0, 0, F, F, 250, "articulation 20"},
    {0xB3, K::Placeholder, {nullptr}, 0, 0, F, F, 250, "articulation 21"},
    {0xB4, K::Placeholder, {nullptr}, 0, 0, F, F, 250, "articulation 22"},
    {0xB5, K::Placeholder, {nullptr}, 0, 0, F, F, 250, "articulation 23"},
    {0xD3, K::Shape, {"noteheads.s2"}, 0, 0, F, T, 0, "fallback head"},
    {0xDF, K::Placeholder, {nullptr}, 0, 0, F, F, 250, "articulation 9"},
    {0xE6, K::Shape, {"accidentals.flat.arrowup"}, 0, 0, F, T, 0, "flat-like accidental 101"},
    {0xE7, K::Shape, {"accidentals.sharp.arrowup"}, 0, 0, F, T, 0, "sharp-like accidental 102"},
    {0xE8, K::Shape, {"accidentals.flat.arrowdown"}, 0, 0, F, T, 0, "flat-like accidental 103"},
    {0xE9, K::Shape, {"accidentals.sharp.arrowdown"}, 0, 0, F, T, 0, "sharp-like accidental 104"},
    {0xEA, K::Shape, {"accidentals.flat.arrowboth"}, 0, 0, F, T, 0, "flat-like accidental 133"},
    {0xEB, K::Shape, {"accidentals.sharp.arrowboth"}, 0, 0, F, T, 0, "sharp-like accidental 134"},
    {0xEC, K::Shape, {"accidentals.flat.slash"}, 0, 0, F, T, 0, "flat-like accidental 135"},
    {0xED, K::Shape, {"accidentals.sharp.slashslash.stem"}, 0, 0, F, T, 0, "sharp-like accidental 136"},
    {0xEE, K::Shape, {"accidentals.flat.slashslash"}, 0, 0, F, T, 0, "flat-like accidental 137"},
    {0xEF, K::Shape, {"accidentals.sharp.slashslashslash.stemstem"}, 0, 0, F, T, 0, "sharp-like accidental 138"},
};

// Direct lookup by code, built once from the table above.
const std::array<const TGlyphEntry*, 256>& Index() {
  static const std::array<const TGlyphEntry*, 256> index = [] {
    std::array<const TGlyphEntry*, 256> a{};
    for (const TGlyphEntry& e : kEntries) a[e.Code] = &e;
    return a;
  }();
  return index;
}

}  // namespace

const TGlyphEntry* FindEntry(std::uint8_t code) { return Index()[code]; }

bool IsMapped(std::uint8_t code) { return FindEntry(code) != nullptr; }

bool HasShape(std::uint8_t code) {
  const TGlyphEntry* e = FindEntry(code);
  return e && e->Kind != TEntryKind::Placeholder;
}

std::vector<std::uint8_t> MappedCodes() {
  std::vector<std::uint8_t> codes;
  for (int c = 0; c < 256; ++c)
    if (Index()[size_t(c)]) codes.push_back(std::uint8_t(c));
  return codes;
}

}  // namespace musicfont
