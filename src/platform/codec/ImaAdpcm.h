#pragma once
// IMA ADPCM in WAVE blocks by the published IMA/DVI step rule, which the
// system codecs, sox and libavcodec's decoder follow: 4 bits a sample, 1 or
// 2 channels. A block holds a 4-byte header per channel (the first sample
// as it is, the step index, a zero byte), then groups of 8 samples per
// channel, 4 bytes per channel in turn, low nibble first.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace codec {

// One channel's predictor: the last sample and the step index.
struct TImaChannel {
  int Sample = 0;
  int Index = 0;
  // The sample Code stands for; moves the predictor on.
  int16_t Decode(int code);
};

// Decodes one block of Bytes bytes into at most SamplesPerBlock interleaved
// frames at Out; returns the frames written (fewer when the block is short).
size_t DecodeImaBlock(const uint8_t* block, size_t bytes, int channels, size_t samplesPerBlock, int16_t* out);

// Encodes interleaved 16-bit frames into blocks of BlockAlign bytes, each
// channel's step index carried from block to block as a decoder leaves it.
// Decoders differ in one point: libavcodec's sums a code's step as the
// exact product ((2 x code + 1) x step / 8, rounded down), the published
// rule by shifts. The encoder follows both predictors and picks for each
// sample the code that keeps both nearest to it, so that neither drifts
// from the take across a block (which a quiet take would hear).
class TImaEncoder {
public:
  // False unless Channels is 1 or 2 and BlockAlign holds the header and
  // whole groups of 8 samples for SamplesPerBlock.
  bool Open(int channels, uint32_t blockAlign, uint32_t samplesPerBlock);
  // Appends a block for each whole SamplesPerBlock frames; with Final also
  // one for the rest, completed by holding its last sample.
  void Encode(const int16_t* samples, uint32_t frames, bool final, std::vector<uint8_t>& out);
  uint32_t SamplesPerBlock() const { return FSamplesPerBlock; }

private:
  void EncodeBlock(const int16_t* samples, std::vector<uint8_t>& out);

  struct TState {
    TImaChannel Published;
    int Exact = 0;  // the exact-product decoder's sample
    int Encode(int16_t sample);
  };

  int FChannels = 0;
  uint32_t FBlockAlign = 0, FSamplesPerBlock = 0;
  TState FState[2];
};

}  // namespace codec
