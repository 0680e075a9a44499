#include "media/audio/ClipDecoders.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

#include "base/LittleEndian.h"

namespace wavein {

namespace {

constexpr int16_t kImaSteps[89] = {
    7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,    21,    23,    25,    28,
    31,    34,    37,    41,    45,    50,    55,    60,    66,    73,    80,    88,    97,    107,   118,
    130,   143,   157,   173,   190,   209,   230,   253,   279,   307,   337,   371,   408,   449,   494,
    544,   598,   658,   724,   796,   876,   963,   1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,
    2272,  2499,  2749,  3024,  3327,  3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,
    9493,  10442, 11487, 12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};
constexpr int8_t kImaIndex[16] = {-1, -1, -1, -1, 2, 4, 6, 8, -1, -1, -1, -1, 2, 4, 6, 8};
constexpr int kMsAdaptation[16] = {230, 230, 230, 230, 307, 409, 512, 614, 768, 614, 512, 409, 307, 230, 230, 230};

struct TImaChannel {
  int Sample;
  int Index;
  int16_t Next(int code) {
    const int step = kImaSteps[Index];
    int diff = step >> 3;
    if (code & 4) diff += step;
    if (code & 2) diff += step >> 1;
    if (code & 1) diff += step >> 2;
    Sample = std::clamp(code & 8 ? Sample - diff : Sample + diff, -32767, 32767);
    Index = std::clamp(Index + kImaIndex[code], 0, 88);
    return int16_t(Sample);
  }
};

struct TMsChannel {
  int Coef1, Coef2;
  int64_t Delta;
  int Sample1, Sample2;
  int16_t Next(int code) {
    const int64_t prediction = (int64_t(Sample1) * Coef1 + int64_t(Sample2) * Coef2) / 256;
    const int signedCode = code >= 8 ? code - 16 : code;
    const int sample = int(std::clamp<int64_t>(prediction + Delta * signedCode, -32768, 32767));
    // Bounded so that a damaged block cannot overflow the delta.
    Delta = std::clamp<int64_t>(Delta * kMsAdaptation[code] / 256, 16, INT_MAX / 768);
    Sample2 = Sample1;
    Sample1 = sample;
    return int16_t(sample);
  }
};

}  // namespace

size_t DecodeImaBlock(const uint8_t* block, size_t bytes, int channels, size_t samplesPerBlock, int16_t* out) {
  if (bytes < size_t(4 * channels) || samplesPerBlock == 0) return 0;
  // Whole groups of 8 samples per channel follow the header.
  const size_t groups = (bytes - 4 * size_t(channels)) / (4 * size_t(channels));
  const size_t frames = std::min(samplesPerBlock, 1 + groups * 8);
  for (int c = 0; c < channels; ++c) {
    TImaChannel state{int16_t(le::load16(block + 4 * c)), std::min<int>(block[4 * c + 2], 88)};
    out[c] = int16_t(state.Sample);
    for (size_t k = 1; k < frames; ++k) {
      const size_t j = (k - 1) % 8;
      const uint8_t byte = block[4 * channels + ((k - 1) / 8) * 4 * channels + 4 * c + j / 2];
      out[k * channels + c] = state.Next(j % 2 ? byte >> 4 : byte & 15);
    }
  }
  return frames;
}

size_t DecodeMsAdpcmBlock(const uint8_t* block, size_t bytes, int channels, size_t samplesPerBlock,
                          const std::vector<int16_t>& coefficients, int16_t* out) {
  if (bytes < size_t(7 * channels) || samplesPerBlock < 2) return 0;
  TMsChannel state[2];
  const uint8_t* p = block + channels;
  for (int c = 0; c < channels; ++c) {
    const size_t pair = block[c];
    if (2 * pair + 1 >= coefficients.size()) return 0;
    state[c].Coef1 = coefficients[2 * pair];
    state[c].Coef2 = coefficients[2 * pair + 1];
    state[c].Delta = int16_t(le::load16(p + 2 * c));
    state[c].Sample1 = int16_t(le::load16(p + 2 * channels + 2 * c));
    state[c].Sample2 = int16_t(le::load16(p + 4 * channels + 2 * c));
    out[c] = int16_t(state[c].Sample2);
    out[channels + c] = int16_t(state[c].Sample1);
  }
  const uint8_t* codes = block + 7 * channels;
  const size_t nibbles = (bytes - 7 * size_t(channels)) * 2;
  const size_t frames = std::min(samplesPerBlock, 2 + nibbles / size_t(channels));
  for (size_t n = 0; n < (frames - 2) * size_t(channels); ++n) {
    const int code = n % 2 ? codes[n / 2] & 15 : codes[n / 2] >> 4;
    out[2 * channels + n] = state[n % channels].Next(code);
  }
  return frames;
}

int32_t FloatToInt32(double x) {
  if (x >= 1) return INT32_MAX;
  if (x <= -1 || std::isnan(x)) return INT32_MIN;
  return int32_t(std::floor(x * 2147483647.0));
}

size_t ConvertFloats(uint8_t* samples, size_t count, int bits) {
  for (size_t i = 0; i < count; ++i) {
    double x;
    if (bits == 64) {
      x = le::loadDouble(samples + 8 * i);
    } else {
      float f;
      std::memcpy(&f, samples + 4 * i, 4);
      x = f;
    }
    le::store32(samples + 4 * i, uint32_t(FloatToInt32(x)));
  }
  return count * 4;
}

}  // namespace wavein
