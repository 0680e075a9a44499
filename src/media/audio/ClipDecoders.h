#pragma once
// The sample decoders of the WAVE clip input: one Microsoft ADPCM block at
// a time into interleaved 16-bit frames, and float samples into 32-bit
// integers.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace wavein {

// IMA ADPCM blocks decode through the codec layer's DecodeImaBlock
// (platform/codec/ImaAdpcm.h), the same rule the take's encoder follows.

// A Microsoft ADPCM block (1 or 2 channels): a 7-byte header per channel
// field by field, then the codes, high nibble first. Coefficients holds the
// file's pairs. Returns the frames written; 0 when a predictor index names
// no pair.
size_t DecodeMsAdpcmBlock(const uint8_t* block, size_t bytes, int channels, size_t samplesPerBlock,
                          const std::vector<int16_t>& coefficients, int16_t* out);

// Float samples to 32-bit integers: 1 and above the top, -1 and below (and
// not-a-number) the bottom, else Floor(x x 2147483647).
int32_t FloatToInt32(double x);
// Converts Count samples in place (32-bit floats) or into the first half of
// the buffer (64-bit floats); returns the bytes that hold the integers.
size_t ConvertFloats(uint8_t* samples, size_t count, int bits);

}  // namespace wavein
