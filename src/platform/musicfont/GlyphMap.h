#pragma once
// The map from the music font's byte codes to Emmentaler glyph names.
// Offsets are in staff spaces (a quarter of the em), y downwards; they move
// Emmentaler's own glyph origin onto the baseline where the renderer writes
// the code. Rows marked tentative are a reasonable guess at a shape whose
// meaning the score format does not name; rows without a known shape draw a
// labelled placeholder of a fixed advance.

#include <cstdint>

namespace musicfont {

enum class TEntryKind : std::uint8_t {
  Shape,        // one glyph
  Sequence,     // glyphs set one after another (dynamics letters)
  Note,         // head, stem and optional flag (tempo-mark notes)
  Placeholder,  // no known shape
  Brace,        // staff brace, chosen by height from the brace font
};

struct TGlyphEntry {
  std::uint8_t Code;
  TEntryKind Kind;
  const char* Names[3];  // glyph names; unused slots are nullptr
  double Dx, Dy;         // staff spaces
  bool Centred;          // Emmentaler centres the glyph on x = 0: start the ink at the origin
  bool Tentative;
  int PlaceholderUnits;  // advance of a placeholder, in font units (1000 per em)
  const char* Meaning;
};

// The entry of a code, or nullptr when the code is not mapped.
const TGlyphEntry* FindEntry(std::uint8_t code);

// Geometry of composites, in staff spaces.
constexpr double kStemWidthSp = 0.13;
constexpr double kStemLengthSp = 3.5;

}  // namespace musicfont
