#pragma once
// The header of a RIFF WAVE clip as the clip input reads it: the walk to
// "fmt ", an optional "fact" and "data", with every field checked before
// the decoders rely on it. A header that fails a check has kind Invalid.

#include <cstdint>
#include <vector>

class TStream;

namespace wavein {

enum TWaveKind : uint8_t {
  Invalid = 0,
  Pcm = 1,
  ImaAdpcm = 2,
  MsAdpcm = 3,
  MpegLayer3 = 4,
  IeeeFloat = 5,
  ExtensiblePcm = 6,
  ExtensibleFloat = 7,
};

// The sub-format GUIDs of WAVE_FORMAT_EXTENSIBLE, as stored.
extern const uint8_t KSDATAFORMAT_SUBTYPE_PCM[16];
extern const uint8_t KSDATAFORMAT_SUBTYPE_IEEE_FLOAT[16];

// A stream that never ends gets this much header, then the walk gives up.
constexpr int64_t MaxHeaderBytes = 4096;

struct TWaveHeader {
  TWaveKind Kind = Invalid;
  uint16_t Channels = 0;
  uint32_t SampleRate = 0;
  uint16_t BlockAlign = 0;
  uint16_t Bits = 0;
  uint16_t SamplesPerBlock = 0;  // the ADPCM kinds
  uint32_t FactSamples = 0;      // 0 without a "fact" chunk
  std::vector<int16_t> Coefficients;  // Microsoft ADPCM: pairs, as stored
  uint32_t DataSize = 0;
  int64_t DataOffset = 0;  // stream position of the first data byte
};

// Walks the header from the stream's position; the stream is left at the
// first data byte. Kind Invalid when it is no WAVE clip this input plays.
TWaveHeader ReadWaveHeader(TStream& stream);

}  // namespace wavein
