#pragma once
// What a mark that runs on into a later system shows at that system's
// start: the size code of its font (the music font at that many points) and
// the music-font character drawn there, 0 for none. One table for the
// layout, which measures the label, and for the renderer, which draws it.
//
//   kind 113 (trill)           code 48  sub-kinds 1-4: 157-160, others 157
//   kind 123 (glyph and line)  code 48  148 (sub-kinds 1-8; 0: none)
//   kind 120 (wavy line)       variant 0: code 32, 159; others: code 64, 160
//   kind 130 (extension line)  variant 0: code 24, others 64; 158
//   kind 110 (hairpin)         code 8 x its opening byte (32 when 0); none
//   kind 118                   code 16; none
//   kind 169                   code 32; none
//   kinds 170, 172             code 64; none
//   anything else              code 0; none

#include <cstdint>

struct TKVContinuationLabel {
  uint8_t FontCode = 0;
  uint8_t Glyph = 0;
};

TKVContinuationLabel ContinuationLabel(uint8_t Kind, uint8_t Variant, uint8_t OpeningByte);
