#include "media/audio/ClipDecoders.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

#include "base/LittleEndian.h"

namespace wavein {

namespace {

constexpr int kMsAdaptation[16] = {230, 230, 230, 230, 307, 409, 512, 614, 768, 614, 512, 409, 307, 230, 230, 230};

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
