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
// rule by shifts. The encoder follows both predictors and chooses a block's
// codes to keep both near the take, the published one first (its squared
// error weighs 16, the other's 3), so that neither drifts from it
// across a block (which a quiet take would hear). It keeps the few best
// code sequences so far rather than the best code for each sample alone:
// a code that is a little worse now may leave the step where the next
// samples need it, which high notes depend on.
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

  // One code sequence: both decoders' samples after it, the step index
  // and the weighted squared error so far.
  struct TPath {
    int Published = 0, Exact = 0, Index = 0;
    int64_t Cost = 0;
  };
  static constexpr size_t kPaths = 4;
  // Encodes channel C's samples after the first, from the path Start;
  // Codes receives them in order. Returns the step index a decoder ends at.
  int EncodeChannel(const int16_t* samples, int c, TPath start, std::vector<uint8_t>& codes);

  int FChannels = 0;
  uint32_t FBlockAlign = 0, FSamplesPerBlock = 0;
  int FIndex[2] = {0, 0};  // each channel's step index where the last block left it
  // Per sample of the block: the path each kept path came from and its code.
  std::vector<uint8_t> FFrom, FCode;
};

}  // namespace codec
