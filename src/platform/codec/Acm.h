#pragma once
// The compression manager as the recorder and the clip reader use it:
// drivers, format tags and formats with their details, format suggestion,
// and conversion streams fed block by block. Calls return result codes
// (0 = success) so that callers can sum them; nothing here throws, and no
// library type shows through. Codecs: PCM to and from A-law, u-law, IMA
// ADPCM, Microsoft ADPCM, GSM 6.10 and MPEG Layer-3, backed by libavcodec.
// Every call is for one thread at a time per stream; the lists may be read
// from any thread.

#include <cstdint>
#include <functional>
#include <string>

#include "base/MmResults.h"
#include "platform/codec/WaveFormat.h"

namespace codec {

using namespace mmresult;  // result codes (base/MmResults.h)

// Driver ids are small numbers (0 = none), so a list can keep one as an integer.
using HACMDRIVERID = uint32_t;
struct TAcmDriver;
using HACMDRIVER = TAcmDriver*;
struct TAcmStream;
using HACMSTREAM = TAcmStream*;

// ---- Metrics
constexpr uint32_t ACM_METRIC_COUNT_DRIVERS = 1;
constexpr uint32_t ACM_METRIC_MAX_SIZE_FORMAT = 50;
MMRESULT acmMetrics(uint32_t metric, uint32_t& value);

// ---- Drivers
constexpr uint32_t ACMDRIVERDETAILS_SUPPORTF_CODEC = 0x00000001;
constexpr uint32_t ACMDRIVERDETAILS_SHORTNAME_CHARS = 32;  // with the terminating zero
constexpr uint32_t ACMDRIVERDETAILS_LONGNAME_CHARS = 128;

struct ACMDRIVERDETAILS {
  uint32_t fdwSupport = 0;
  uint32_t cFormatTags = 0;
  std::string szShortName;  // at most 31 characters
  std::string szLongName;   // at most 127 characters
};

// Called per enabled driver; returns true to go on.
using ACMDRIVERENUMCB = std::function<bool(HACMDRIVERID hadid, uint32_t fdwSupport)>;
MMRESULT acmDriverEnum(const ACMDRIVERENUMCB& callback, uint32_t fdwEnum);
MMRESULT acmDriverDetails(HACMDRIVERID hadid, ACMDRIVERDETAILS& details);
MMRESULT acmDriverOpen(HACMDRIVER& had, HACMDRIVERID hadid);
MMRESULT acmDriverClose(HACMDRIVER had);

// ---- Format tags
constexpr uint32_t ACMFORMATTAGDETAILS_FORMATTAG_CHARS = 48;
constexpr uint32_t ACM_FORMATTAGDETAILSF_FORMATTAG = 0x00000001;

struct ACMFORMATTAGDETAILS {
  uint32_t dwFormatTagIndex = 0;
  uint32_t dwFormatTag = 0;
  uint32_t cbFormatSize = 0;  // the largest record of the tag
  uint32_t fdwSupport = 0;
  uint32_t cStandardFormats = 0;
  std::string szFormatTag;  // at most 47 characters
};

using ACMFORMATTAGENUMCB = std::function<bool(HACMDRIVERID hadid, const ACMFORMATTAGDETAILS& details, uint32_t fdwSupport)>;
// Every driver lists PCM and its own tags; without a driver (nullptr) the
// tags of all drivers are listed, driver by driver.
MMRESULT acmFormatTagEnum(HACMDRIVER had, const ACMFORMATTAGENUMCB& callback, uint32_t fdwEnum);
// Details of the tag in Details.dwFormatTag (ACM_FORMATTAGDETAILSF_FORMATTAG).
MMRESULT acmFormatTagDetails(HACMDRIVER had, ACMFORMATTAGDETAILS& details, uint32_t fdwDetails);

// ---- Formats
constexpr uint32_t ACMFORMATDETAILS_FORMAT_CHARS = 128;
constexpr uint32_t ACM_FORMATENUMF_WFORMATTAG = 0x00010000;
constexpr uint32_t ACM_FORMATENUMF_NCHANNELS = 0x00020000;
constexpr uint32_t ACM_FORMATENUMF_NSAMPLESPERSEC = 0x00040000;
constexpr uint32_t ACM_FORMATENUMF_WBITSPERSAMPLE = 0x00080000;
constexpr uint32_t ACM_FORMATENUMF_CONVERT = 0x00100000;

struct ACMFORMATDETAILS {
  uint32_t dwFormatIndex = 0;
  uint32_t dwFormatTag = 0;
  uint32_t fdwSupport = 0;
  TWaveFormat pwfx;      // the full record including its extra bytes
  std::string szFormat;  // e.g. "8.000 kHz, 4 Bit, Mono"
};

using ACMFORMATENUMCB = std::function<bool(HACMDRIVERID hadid, const ACMFORMATDETAILS& details, uint32_t fdwSupport)>;
// Lists formats. Details.pwfx (and dwFormatTag) hold the template the flags
// restrict by: WFORMATTAG, NCHANNELS, NSAMPLESPERSEC, WBITSPERSAMPLE take
// that field of the template; CONVERT lists the formats the template can be
// converted to (a PCM template: the codecs' formats at its rate and channel
// count; a compressed one: the PCM formats it decodes to).
MMRESULT acmFormatEnum(HACMDRIVER had, const ACMFORMATDETAILS& details, const ACMFORMATENUMCB& callback, uint32_t fdwEnum);

constexpr uint32_t ACM_FORMATSUGGESTF_WFORMATTAG = 0x00010000;
constexpr uint32_t ACM_FORMATSUGGESTF_NCHANNELS = 0x00020000;
constexpr uint32_t ACM_FORMATSUGGESTF_NSAMPLESPERSEC = 0x00040000;
constexpr uint32_t ACM_FORMATSUGGESTF_WBITSPERSAMPLE = 0x00080000;
// Completes Dst with the first format Src converts to that keeps the Dst
// fields the flags name.
MMRESULT acmFormatSuggest(HACMDRIVER had, const TWaveFormat& src, TWaveFormat& dst, uint32_t fdwSuggest);

// ---- Conversion streams
constexpr uint32_t ACM_STREAMOPENF_QUERY = 0x00000001;
constexpr uint32_t ACM_STREAMOPENF_NONREALTIME = 0x00000004;
constexpr uint32_t ACM_STREAMSIZEF_SOURCE = 0x00000000;
constexpr uint32_t ACM_STREAMCONVERTF_BLOCKALIGN = 0x00000004;
constexpr uint32_t ACM_STREAMCONVERTF_START = 0x00000010;
constexpr uint32_t ACM_STREAMCONVERTF_END = 0x00000020;
constexpr uint32_t ACMSTREAMHEADER_STATUSF_DONE = 0x00010000;
constexpr uint32_t ACMSTREAMHEADER_STATUSF_PREPARED = 0x00020000;

struct ACMSTREAMHEADER {
  uint32_t fdwStatus = 0;
  const uint8_t* pbSrc = nullptr;
  uint32_t cbSrcLength = 0;
  uint32_t cbSrcLengthUsed = 0;
  uint8_t* pbDst = nullptr;
  uint32_t cbDstLength = 0;
  uint32_t cbDstLengthUsed = 0;
};

// Opens a stream from PCM to a codec's format or from a codec's format to
// PCM, same rate and channels (8- or 16-bit PCM). Had may be nullptr (any
// driver). With ACM_STREAMOPENF_QUERY it only answers whether it could.
MMRESULT acmStreamOpen(HACMSTREAM& has, HACMDRIVER had, const TWaveFormat& src, const TWaveFormat& dst,
                       uint32_t fdwOpen);
MMRESULT acmStreamClose(HACMSTREAM has);
// Destination bytes enough for one conversion of Input source bytes
// (ACM_STREAMSIZEF_SOURCE, the only size query).
MMRESULT acmStreamSize(HACMSTREAM has, uint32_t input, uint32_t& output, uint32_t fdwSize);
MMRESULT acmStreamPrepareHeader(HACMSTREAM has, ACMSTREAMHEADER& hdr);
MMRESULT acmStreamUnprepareHeader(HACMSTREAM has, ACMSTREAMHEADER& hdr);
// Converts Hdr's source into its destination. BLOCKALIGN (or no flag)
// converts whole codec blocks only and leaves the rest unconsumed
// (cbSrcLengthUsed tells); END converts everything, pads the last block and
// flushes what the codec holds; START begins a new stream. Output that does
// not fit the destination is kept and delivered by the next call.
MMRESULT acmStreamConvert(HACMSTREAM has, ACMSTREAMHEADER& hdr, uint32_t fdwConvert);

}  // namespace codec
