#include "platform/codec/ImaAdpcm.h"

#include <algorithm>
#include <array>
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
  FIndex[0] = FIndex[1] = 0;
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
  std::vector<uint8_t> codes;
  for (int c = 0; c < FChannels; ++c) {
    le::store16(block + 4 * c, uint16_t(samples[c]));
    block[4 * c + 2] = uint8_t(FIndex[c]);
    FIndex[c] = EncodeChannel(samples, c, {samples[c], samples[c], FIndex[c], 0}, codes);
    for (size_t k = 1; k < FSamplesPerBlock; ++k)
      block[CodeByte(k, c, FChannels)] |= uint8_t((k - 1) % 2 ? codes[k - 1] << 4 : codes[k - 1]);
  }
}

int TImaEncoder::EncodeChannel(const int16_t* samples, int c, TPath start, std::vector<uint8_t>& codes) {
  struct TChoice {
    TPath Path;
    uint8_t From = 0, Code = 0;
  };
  const size_t steps = FSamplesPerBlock - 1, channels = size_t(FChannels);
  FFrom.assign(steps * kPaths, 0);
  FCode.assign(steps * kPaths, 0);
  std::array<TChoice, kPaths> paths{}, kept{};
  size_t count = 1;
  paths[0].Path = start;
  for (size_t k = 0; k < steps; ++k) {
    const int sample = samples[(k + 1) * channels + size_t(c)];
    size_t keptCount = 0;
    // Keeps the cheapest paths in order of cost, one per decoder state:
    // paths in one state go on alike, so only the cheaper counts.
    auto offer = [&](const TPath& path, size_t from, int code) {
      if (keptCount == kPaths && path.Cost >= kept[kPaths - 1].Path.Cost) return;
      size_t at = keptCount;
      for (size_t i = 0; i < keptCount; ++i)
        if (kept[i].Path.Published == path.Published && kept[i].Path.Exact == path.Exact &&
            kept[i].Path.Index == path.Index) {
          if (path.Cost >= kept[i].Path.Cost) return;
          at = i;
          break;
        }
      if (at == keptCount && keptCount < kPaths) ++keptCount;
      if (at == keptCount) at = kPaths - 1;  // the dearest gives way
      for (; at > 0 && kept[at - 1].Path.Cost > path.Cost; --at) kept[at] = kept[at - 1];
      kept[at] = {path, uint8_t(from), uint8_t(code)};
    };
    for (size_t p = 0; p < count; ++p) {
      const TPath& from = paths[p].Path;
      const int step = kSteps[from.Index];
      auto tryCode = [&](int code) {
        TPath next;
        next.Published = Next(from.Published, PublishedDiff(step, code), code);
        next.Exact = Next(from.Exact, ExactDiff(step, code), code);
        next.Index = std::clamp(from.Index + kIndexStep[code], 0, 88);
        const int64_t a = next.Published - sample, b = next.Exact - sample;
        next.Cost = from.Cost + 16 * a * a + 3 * b * b;
        offer(next, p, code);
      };
      // The codes nearest for each decoder and two on either side (near
      // zero, either sign): the others seldom start a better path, and
      // leaving them out makes the search several times faster.
      unsigned codes = 0;
      for (const int predicted : {from.Published, from.Exact}) {
        const int diff = sample - predicted, sign = diff < 0 ? 8 : 0;
        const int nearest = std::min(7, std::abs(diff) * 4 / step);
        codes |= 31u << (sign + std::max(0, nearest - 2)) & 0xFFu << sign;
        if (nearest <= 1) codes |= 1u << (sign ^ 8);
      }
      for (int code = 0; code < 16; ++code)
        if (codes >> code & 1) tryCode(code);
    }
    for (size_t i = 0; i < keptCount; ++i) {
      FFrom[k * kPaths + i] = kept[i].From;
      FCode[k * kPaths + i] = kept[i].Code;
    }
    paths = kept;
    count = keptCount;
  }
  // The cheapest path, traced back from its end.
  codes.resize(steps);
  for (size_t k = steps, p = 0; k-- > 0;) {
    codes[k] = FCode[k * kPaths + p];
    p = FFrom[k * kPaths + p];
  }
  return steps ? paths[0].Path.Index : start.Index;
}

}  // namespace codec
