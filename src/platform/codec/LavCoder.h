#pragma once
// libavcodec behind two small classes: an encoder that takes interleaved
// 16-bit frames and gives a codec's packets as bytes, and a decoder that
// takes packets and gives interleaved 16-bit frames. The libavcodec types stay
// in LavCoder.cpp.

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/codec/CodecCatalog.h"

namespace codec::detail {

struct TLavContext;

class TLavEncoder {
public:
  TLavEncoder();
  ~TLavEncoder();
  // Opens the encoder for Coded; false when libavcodec refuses it or would
  // code blocks other than Layout says (the format record would then lie).
  bool Open(const TCodecInfo& codec, const TWaveFormat& coded, const TBlockLayout& layout);
  // Encodes Frames frames; with Final the last partial block is coded too
  // (short when the codec allows it, else padded with silence). Appends the
  // coded bytes to Out.
  bool Encode(const int16_t* samples, uint32_t frames, bool final, std::vector<uint8_t>& out);
  // Drains what the codec still holds; the encoder must be opened again after.
  bool Flush(std::vector<uint8_t>& out);

private:
  bool SendFrame(const int16_t* samples, uint32_t frames, uint32_t frameSamples, std::vector<uint8_t>& out);
  bool Drain(std::vector<uint8_t>& out);

  std::unique_ptr<TLavContext> FContext;
  uint32_t FChannels = 0;
  uint32_t FFrameSize = 0;  // 0: any number of samples per call
  bool FShortLastFrame = false;
};

class TLavDecoder {
public:
  TLavDecoder();
  ~TLavDecoder();
  bool Open(const TCodecInfo& codec, const TWaveFormat& coded);
  // Decodes one packet; a damaged packet is skipped (true, nothing added).
  // Appends interleaved 16-bit frames to Out.
  bool Decode(const uint8_t* packet, uint32_t size, std::vector<int16_t>& out);
  bool Flush(std::vector<int16_t>& out);

private:
  bool Drain(std::vector<int16_t>& out);

  std::unique_ptr<TLavContext> FContext;
  uint32_t FChannels = 0;
};

}  // namespace codec::detail
