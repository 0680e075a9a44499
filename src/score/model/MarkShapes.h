#pragma once
// The shapes of dynamics as the layout sets them: the music-font glyph of a
// dynamic's letters and the opening of a hairpin, and the music font a
// symbol is measured in. The layout draws marks by them and the MusicXML
// import leaves room for marks by them, so the two cannot come apart.

#include <cstdint>
#include <string>

class TKVScore;

// Dynamics 0 (p) to 12 (sfz) are letters, one glyph each.
constexpr uint8_t LastDynamicLetters = 12;
inline uint8_t DynamicGlyph(uint8_t Variant) { return uint8_t(0x69 + Variant); }

// A hairpin opens over the units before its tick, half its height each way:
// eight units for each step of its flags, half a line space when they are 0.
constexpr int32_t HairpinOpening = 32;
inline int32_t HairpinHalfHeight(uint8_t Flags) { return Flags ? Flags * 8 : 32; }

// The score's music font of FontIndex, else its first one, else the music
// font it names.
std::string MusicFontAt(TKVScore& Score, uint8_t FontIndex);
