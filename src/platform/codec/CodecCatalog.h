#pragma once
// The layer's inner table of drivers and codecs: which format tags each
// driver offers, the standard formats a codec produces (with the extra bytes
// Windows readers expect), and which format records a codec can encode to or
// decode from. Nothing here touches libavcodec except the check that a
// codec's encoder and decoder exist at run time.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/codec/WaveFormat.h"

namespace codec::detail {

enum class TCodecKind { Alaw, Mulaw, ImaAdpcm, MsAdpcm, Gsm610, MpegLayer3 };

struct TCodecInfo {
  TCodecKind Kind;
  uint16_t Tag;
  const char* TagName;  // the format tag's name in the lists
  const char* Encoder;  // libavcodec names
  const char* Decoder;
};

struct TDriverInfo {
  uint32_t Id;  // 1-based, stable
  const char* ShortName;
  const char* LongName;
  std::vector<const TCodecInfo*> Codecs;  // the driver's non-PCM tags
};

// The drivers whose encoders and decoders all exist in this libavcodec.
const std::vector<const TDriverInfo*>& AvailableDrivers();
const TDriverInfo* FindDriver(uint32_t id);
const TCodecInfo* FindCodec(uint16_t tag);
// The driver that provides Tag (nullptr when none is available).
const TDriverInfo* DriverOfTag(uint16_t tag);

// The sample rates the program records at; every codec is offered at those it allows.
const std::vector<uint32_t>& RecordRates();

// The standard formats of a tag, in enumeration order (PCM: the source
// formats every driver accepts, 16 bits before 8).
std::vector<TWaveFormat> StandardFormats(uint16_t tag);
// A codec's format for a rate and channel count; false when it offers none.
bool BuildFormat(TCodecKind kind, uint16_t channels, uint32_t rate, TWaveFormat& out);

// What one block of a compressed format holds. Bytes is 0 for MPEG Layer-3,
// whose frames vary in size.
struct TBlockLayout {
  uint32_t SamplesPerBlock = 0;
  uint32_t BytesPerBlock = 0;
  uint32_t MaxBytesPerBlock = 0;
};

// True when Format is a record of Codec that this layer can encode to (Encode)
// or decode from; fills its block layout.
bool CheckCodecFormat(const TCodecInfo& codec, const TWaveFormat& format, bool encode, TBlockLayout& layout);
// True for the PCM formats the codecs take and give: 8 or 16 bits, 1 or 2 channels.
bool CheckPcmFormat(const TWaveFormat& format);

// MPEG Layer-3 frame length limits for a sample rate.
uint32_t Mp3SamplesPerFrame(uint32_t rate);
bool IsMp3Bitrate(uint32_t rate, uint32_t kbps);

// The description of a format the format lists show, e.g. "22.050 kHz, 4 Bit, Stereo".
std::string FormatText(const TWaveFormat& format);

}  // namespace codec::detail
