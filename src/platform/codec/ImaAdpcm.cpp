#include "platform/codec/ImaAdpcm.h"

#include <algorithm>
#include <cstdint>

#include "base/LittleEndian.h"

namespace codec {

namespace {

constexpr int16_t kSteps[89] = {
    7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,    21,    23,    25,    28,
    31,    34,    37,    41,    45,    50,    55,    60,    66,    73,    80,    88,    97,    107,   118,
    130,   143,   157,   173,   190,   209,   230,   253,   279,   307,   337,   371,   408,   449,   494,
    544,   598,   658,   724,   796,   876,   963,   1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,
    2272,  2499,  2749,  3024,  3327,  3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,
    9493,  10442, 11487, 12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};
constexpr int8_t kIndexStep[16] = {-1, -1, -1, -1, 2, 4, 6, 8, -1, -1, -1, -1, 2, 4, 6, 8};

// The offset of sample K (from 1) of channel C in a block's codes.
size_t CodeByte(size_t k, int c, int channels) {
  const size_t j = (k - 1) % 8;
  return 4 * size_t(channels) + (k - 1) / 8 * 4 * size_t(channels) + 4 * size_t(c) + j / 2;
}

int PublishedDiff(int step, int code) {
  int diff = step >> 3;
  if (code & 4) diff += step;
  if (code & 2) diff += step >> 1;
  if (code & 1) diff += step >> 2;
  return diff;
}

int ExactDiff(int step, int code) { return ((2 * (code & 7) + 1) * step) >> 3; }

int Next(int sample, int diff, int code) { return std::clamp(code & 8 ? sample - diff : sample + diff, -32768, 32767); }

}  // namespace

int16_t TImaChannel::Decode(int code) {
  Sample = Next(Sample, PublishedDiff(kSteps[Index], code), code);
  Index = std::clamp(Index + kIndexStep[code & 15], 0, 88);
  return int16_t(Sample);
}

int TImaEncoder::TState::Encode(int16_t sample) {
  const int step = kSteps[Published.Index];
  int best = 0;
  int64_t bestCost = INT64_MAX;
  for (int code = 0; code < 16; ++code) {
    const int64_t a = Next(Published.Sample, PublishedDiff(step, code), code) - sample;
    const int64_t b = Next(Exact, ExactDiff(step, code), code) - sample;
    if (a * a + b * b < bestCost) {
      bestCost = a * a + b * b;
      best = code;
    }
  }
  Exact = Next(Exact, ExactDiff(step, best), best);
  Published.Decode(best);
  return best;
}

size_t DecodeImaBlock(const uint8_t* block, size_t bytes, int channels, size_t samplesPerBlock, int16_t* out) {
  if (bytes < size_t(4 * channels) || samplesPerBlock == 0) return 0;
  // Whole groups of 8 samples per channel follow the header.
  const size_t groups = (bytes - 4 * size_t(channels)) / (4 * size_t(channels));
  const size_t frames = std::min(samplesPerBlock, 1 + groups * 8);
  for (int c = 0; c < channels; ++c) {
    TImaChannel state{int16_t(le::load16(block + 4 * c)), std::min<int>(block[4 * c + 2], 88)};
    out[c] = int16_t(state.Sample);
    for (size_t k = 1; k < frames; ++k) {
      const uint8_t byte = block[CodeByte(k, c, channels)];
      out[k * channels + c] = state.Decode((k - 1) % 2 ? byte >> 4 : byte & 15);
    }
  }
  return frames;
}

bool TImaEncoder::Open(int channels, uint32_t blockAlign, uint32_t samplesPerBlock) {
  const uint32_t header = 4 * uint32_t(std::max(channels, 0));
  if (channels < 1 || channels > 2 || blockAlign <= header || (blockAlign - header) % header != 0 ||
      samplesPerBlock != (blockAlign - header) / header * 8 + 1)
    return false;
  FChannels = channels;
  FBlockAlign = blockAlign;
  FSamplesPerBlock = samplesPerBlock;
  FState[0] = FState[1] = TState();
  return true;
}

void TImaEncoder::Encode(const int16_t* samples, uint32_t frames, bool final, std::vector<uint8_t>& out) {
  const size_t channels = size_t(FChannels);
  uint32_t done = 0;
  for (; frames - done >= FSamplesPerBlock; done += FSamplesPerBlock) EncodeBlock(samples + done * channels, out);
  if (!final || done == frames) return;
  std::vector<int16_t> last(samples + done * channels, samples + size_t(frames) * channels);
  last.reserve(FSamplesPerBlock * channels);
  while (last.size() < FSamplesPerBlock * channels) last.push_back(last[last.size() - channels]);
  EncodeBlock(last.data(), out);
}

void TImaEncoder::EncodeBlock(const int16_t* samples, std::vector<uint8_t>& out) {
  uint8_t* block = &*out.insert(out.end(), FBlockAlign, uint8_t(0));
  for (int c = 0; c < FChannels; ++c) {
    TState& state = FState[c];
    state.Published.Sample = state.Exact = samples[c];
    le::store16(block + 4 * c, uint16_t(samples[c]));
    block[4 * c + 2] = uint8_t(state.Published.Index);
    for (size_t k = 1; k < FSamplesPerBlock; ++k) {
      const int code = state.Encode(samples[k * size_t(FChannels) + size_t(c)]);
      block[CodeByte(k, c, FChannels)] |= uint8_t((k - 1) % 2 ? code << 4 : code);
    }
  }
}

}  // namespace codec
