#pragma once
// The Windows Media synchronous reader, as the Windows Media clip input
// calls it: opened over a clip's bytes from the source's position on, it
// lists one output per stream of the clip, offers PCM formats for each
// audio output, and hands out the decoded PCM one buffer at a time.
//
// Formats offered for an audio output (all at the clip's own rate):
// - without discrete output: 16 bits, the clip's channels folded to at most
//   two;
// - with discrete output ("EnableDiscreteOutput" TRUE): the clip's own
//   channels at 16, 24 and 32 bits;
// - after a "SpeakerConfig" of 6 or 8: that channel count at 16, 24 and 32
//   bits as well (the channels are mixed to it).
// An output's current format is the one set with SetOutputProps, else the
// first offered. Samples are packed little-endian integers.
//
// Only the clip's Windows Media audio streams (versions 1 and 2, 9
// Professional, Lossless, Voice) are audio outputs. A clip whose header
// holds a content-encryption object is protected: its samples are never
// decoded. Damaged packets are skipped.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/codec/WaveFormat.h"
#include "platform/wma/ByteSource.h"

namespace wma {

using HRESULT = int32_t;
constexpr HRESULT S_OK = 0;
constexpr HRESULT E_INVALIDARG = HRESULT(0x80070057);
constexpr HRESULT NS_E_INVALID_REQUEST = HRESULT(0xC00D002B);  // not open, or a call out of order
constexpr HRESULT NS_E_INVALID_DATA = HRESULT(0xC00D002F);     // not a clip this reader can open
constexpr HRESULT NS_E_PROTECTED_CONTENT = HRESULT(0xC00D0BBD);
constexpr HRESULT NS_E_NO_MORE_SAMPLES = HRESULT(0xC00D0BCF);
constexpr HRESULT ASF_E_NOTFOUND = HRESULT(0xC00D07F0);
constexpr HRESULT ASF_E_BUFFERTOOSMALL = HRESULT(0xC00D07F1);

enum class TMajorType { Audio, Other };
enum class TFormatType { WaveFormatEx, Other };

// An output's media type: audio or not, and its WAVEFORMATEX record.
struct TMediaType {
  TMajorType MajorType = TMajorType::Other;
  TFormatType FormatType = TFormatType::Other;
  codec::TWaveFormat Format;
};

enum TAttrDataType : int {
  WMT_TYPE_DWORD = 0,
  WMT_TYPE_STRING = 1,
  WMT_TYPE_BINARY = 2,
  WMT_TYPE_BOOL = 3,
  WMT_TYPE_QWORD = 4,
};

class TSyncReader {
public:
  TSyncReader();
  ~TSyncReader();
  TSyncReader(const TSyncReader&) = delete;
  TSyncReader& operator=(const TSyncReader&) = delete;

  // Opens the clip that starts at Source's position (the source must stay
  // while the reader is open). NS_E_INVALID_DATA when it is not ASF or
  // cannot be read.
  HRESULT OpenStream(TByteSource& source);
  HRESULT GetOutputCount(uint32_t& outputs);
  HRESULT GetOutputProps(uint32_t output, TMediaType& props);
  // Takes one of the PCM formats the output offers.
  HRESULT SetOutputProps(uint32_t output, const TMediaType& props);
  HRESULT GetOutputFormatCount(uint32_t output, uint32_t& formats);
  HRESULT GetOutputFormat(uint32_t output, uint32_t format, TMediaType& props);
  // "EnableDiscreteOutput" (WMT_TYPE_BOOL, 4 bytes) and "SpeakerConfig"
  // (WMT_TYPE_DWORD, 4 bytes).
  HRESULT SetOutputSetting(uint32_t output, const std::string& name, TAttrDataType type, const uint8_t* value,
                           uint16_t length);
  HRESULT GetStreamNumberForOutput(uint32_t output, uint16_t& stream);
  // Decoded samples only (Compressed false); NS_E_PROTECTED_CONTENT for a
  // protected clip.
  HRESULT SetReadStreamSamples(uint16_t stream, bool compressed);
  // The next buffer of the stream's PCM into Sample, with its time in
  // 100-ns units; NS_E_NO_MORE_SAMPLES at the end.
  HRESULT GetNextSample(uint16_t stream, std::vector<uint8_t>& sample, uint64_t& time);
  // Reads from Start (100-ns units) to the end.
  HRESULT SetRange(uint64_t start);
  // File attributes (stream 0): "Duration" (QWORD, 100-ns units: the play
  // duration less the preroll; not found when that is 0) and the clip's
  // texts (UTF-16 with a terminating zero; numbers as decimal text). Without
  // a buffer, Length gets the bytes needed.
  HRESULT GetAttributeByName(uint16_t stream, const std::string& name, TAttrDataType& type, uint8_t* value,
                             uint16_t& length);
  HRESULT Close();

private:
  struct TState;
  std::unique_ptr<TState> FState;
};

}  // namespace wma
