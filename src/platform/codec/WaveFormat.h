#pragma once
// A wave format record as RIFF WAVE files and the compression manager carry
// it: the 18-byte WAVEFORMATEX head (tag, channels, samples per second,
// average bytes per second, block align, bits per sample, extra size) followed
// by the extra bytes a format needs (samples per block, coefficient tables,
// MPEG Layer-3 fields). The record is kept as those raw little-endian bytes
// so that writing it into a "fmt " chunk writes exactly what a reader expects.

#include <cstdint>
#include <vector>

#include "base/ByteBlock.h"

namespace codec {

// Registered RIFF WAVE format tags this layer knows.
constexpr uint16_t WAVE_FORMAT_PCM = 0x0001;
constexpr uint16_t WAVE_FORMAT_ADPCM = 0x0002;  // Microsoft ADPCM
constexpr uint16_t WAVE_FORMAT_ALAW = 0x0006;
constexpr uint16_t WAVE_FORMAT_MULAW = 0x0007;
constexpr uint16_t WAVE_FORMAT_IMA_ADPCM = 0x0011;
constexpr uint16_t WAVE_FORMAT_GSM610 = 0x0031;
constexpr uint16_t WAVE_FORMAT_MPEGLAYER3 = 0x0055;

// MPEGLAYER3WAVEFORMAT values.
constexpr uint16_t MPEGLAYER3_ID_MPEG = 1;
constexpr uint32_t MPEGLAYER3_FLAG_PADDING_ISO = 0;

constexpr uint32_t WAVEFORMATEX_SIZE = 18;

class TWaveFormat {
public:
  TWaveFormat() : FBlock(WAVEFORMATEX_SIZE) {}
  // Takes a format record as found in a "fmt " chunk: 16 bytes (no extra
  // size field) or 18 + extra size bytes. Bytes beyond 18 + extra size are
  // dropped; an extra size larger than the bytes given is cut to what is there.
  // Returns false (leaving the record unchanged) for fewer than 16 bytes.
  bool Assign(const uint8_t* bytes, size_t count);
  static TWaveFormat Pcm(uint16_t channels, uint32_t samplesPerSec, uint16_t bitsPerSample);

  uint16_t wFormatTag() const { return FBlock.u16(0); }
  uint16_t nChannels() const { return FBlock.u16(2); }
  uint32_t nSamplesPerSec() const { return FBlock.u32(4); }
  uint32_t nAvgBytesPerSec() const { return FBlock.u32(8); }
  uint16_t nBlockAlign() const { return FBlock.u16(12); }
  uint16_t wBitsPerSample() const { return FBlock.u16(14); }
  uint16_t cbSize() const { return FBlock.u16(16); }

  void SetFormatTag(uint16_t v) { FBlock.setU16(0, v); }
  void SetChannels(uint16_t v) { FBlock.setU16(2, v); }
  void SetSamplesPerSec(uint32_t v) { FBlock.setU32(4, v); }
  void SetAvgBytesPerSec(uint32_t v) { FBlock.setU32(8, v); }
  void SetBlockAlign(uint16_t v) { FBlock.setU16(12, v); }
  void SetBitsPerSample(uint16_t v) { FBlock.setU16(14, v); }
  // Resizes the extra bytes (new ones are zero) and sets the extra size.
  void SetExtraSize(uint16_t n);

  // The extra bytes' fields, by offset from the start of the record (the
  // extra bytes start at 18). Reading outside the record gives 0.
  uint16_t ExtraU16(size_t offset) const;
  uint32_t ExtraU32(size_t offset) const;
  void SetExtraU16(size_t offset, uint16_t v) { FBlock.setU16(offset, v); }
  void SetExtraU32(size_t offset, uint32_t v) { FBlock.setU32(offset, v); }

  // The whole record: 18 + extra size bytes.
  uint32_t Size() const { return uint32_t(FBlock.Size()); }
  const uint8_t* Data() const { return FBlock.Data(); }
  std::vector<uint8_t> Bytes() const { return {FBlock.Data(), FBlock.Data() + FBlock.Size()}; }

  bool IsPcm() const { return wFormatTag() == WAVE_FORMAT_PCM; }
  bool operator==(const TWaveFormat& other) const { return FBlock == other.FBlock; }

private:
  TByteBlock FBlock;
};

}  // namespace codec
