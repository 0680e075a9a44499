// Drivers, format tags, formats and format suggestion.

#include <algorithm>
#include <mutex>
#include <unordered_set>

#include "platform/codec/AcmInternal.h"

namespace codec {

using namespace detail;

namespace {

std::string Cut(const std::string& s, uint32_t chars) { return s.substr(0, chars - 1); }

std::vector<uint16_t> TagsOf(const TDriverInfo& d) {
  std::vector<uint16_t> tags{WAVE_FORMAT_PCM};
  for (const TCodecInfo* c : d.Codecs) tags.push_back(c->Tag);
  return tags;
}

ACMFORMATTAGDETAILS TagDetails(uint16_t tag, uint32_t index) {
  ACMFORMATTAGDETAILS d;
  d.dwFormatTagIndex = index;
  d.dwFormatTag = tag;
  d.fdwSupport = ACMDRIVERDETAILS_SUPPORTF_CODEC;
  std::vector<TWaveFormat> formats = StandardFormats(tag);
  d.cStandardFormats = uint32_t(formats.size());
  d.cbFormatSize = WAVEFORMATEX_SIZE;
  for (const TWaveFormat& f : formats) d.cbFormatSize = std::max(d.cbFormatSize, f.Size());
  const TCodecInfo* codec = FindCodec(tag);
  d.szFormatTag = Cut(codec ? codec->TagName : "PCM", ACMFORMATTAGDETAILS_FORMATTAG_CHARS);
  return d;
}

bool Matches(const TWaveFormat& f, const TWaveFormat& pattern, uint32_t flags) {
  return (!(flags & ACM_FORMATENUMF_WFORMATTAG) || f.wFormatTag() == pattern.wFormatTag()) &&
         (!(flags & ACM_FORMATENUMF_NCHANNELS) || f.nChannels() == pattern.nChannels()) &&
         (!(flags & ACM_FORMATENUMF_NSAMPLESPERSEC) || f.nSamplesPerSec() == pattern.nSamplesPerSec()) &&
         (!(flags & ACM_FORMATENUMF_WBITSPERSAMPLE) || f.wBitsPerSample() == pattern.wBitsPerSample());
}

constexpr uint32_t kFormatEnumFlags = ACM_FORMATENUMF_WFORMATTAG | ACM_FORMATENUMF_NCHANNELS |
                                      ACM_FORMATENUMF_NSAMPLESPERSEC | ACM_FORMATENUMF_WBITSPERSAMPLE |
                                      ACM_FORMATENUMF_CONVERT;

}  // namespace

namespace detail {

namespace {
std::mutex gHandlesLock;
std::unordered_set<const void*> gHandles;
}  // namespace

void AddLiveHandle(const void* handle) {
  std::lock_guard<std::mutex> lock(gHandlesLock);
  gHandles.insert(handle);
}

bool RemoveLiveHandle(const void* handle) {
  std::lock_guard<std::mutex> lock(gHandlesLock);
  return handle && gHandles.erase(handle) == 1;
}

bool IsLiveHandle(const void* handle) {
  std::lock_guard<std::mutex> lock(gHandlesLock);
  return handle && gHandles.count(handle) == 1;
}

std::vector<const TDriverInfo*> DriversOf(HACMDRIVER had) {
  if (had) return {had->Info};
  return AvailableDrivers();
}

std::vector<TWaveFormat> ConvertTargets(const TDriverInfo& driver, const TWaveFormat& src) {
  std::vector<TWaveFormat> targets;
  TBlockLayout layout;
  for (const TCodecInfo* c : driver.Codecs) {
    TWaveFormat f;
    if (CheckPcmFormat(src)) {
      if (BuildFormat(c->Kind, src.nChannels(), src.nSamplesPerSec(), f) && CheckCodecFormat(*c, f, true, layout))
        targets.push_back(f);
    } else if (CheckCodecFormat(*c, src, false, layout)) {
      targets.push_back(TWaveFormat::Pcm(src.nChannels(), src.nSamplesPerSec(), 16));
      targets.push_back(TWaveFormat::Pcm(src.nChannels(), src.nSamplesPerSec(), 8));
    }
  }
  return targets;
}

}  // namespace detail

MMRESULT acmMetrics(uint32_t metric, uint32_t& value) {
  switch (metric) {
    case ACM_METRIC_COUNT_DRIVERS:
      value = uint32_t(AvailableDrivers().size());
      return MMSYSERR_NOERROR;
    case ACM_METRIC_MAX_SIZE_FORMAT:
      value = WAVEFORMATEX_SIZE;
      for (const TDriverInfo* d : AvailableDrivers())
        for (uint16_t tag : TagsOf(*d)) value = std::max(value, TagDetails(tag, 0).cbFormatSize);
      return MMSYSERR_NOERROR;
    default:
      return MMSYSERR_NOTSUPPORTED;
  }
}

MMRESULT acmDriverEnum(const ACMDRIVERENUMCB& callback, uint32_t fdwEnum) {
  if (!callback) return MMSYSERR_INVALPARAM;
  if (fdwEnum != 0) return MMSYSERR_INVALFLAG;
  for (const TDriverInfo* d : AvailableDrivers())
    if (!callback(d->Id, ACMDRIVERDETAILS_SUPPORTF_CODEC)) break;
  return MMSYSERR_NOERROR;
}

MMRESULT acmDriverDetails(HACMDRIVERID hadid, ACMDRIVERDETAILS& details) {
  const TDriverInfo* d = FindDriver(hadid);
  if (!d) return MMSYSERR_INVALHANDLE;
  details.fdwSupport = ACMDRIVERDETAILS_SUPPORTF_CODEC;
  details.cFormatTags = uint32_t(TagsOf(*d).size());
  details.szShortName = Cut(d->ShortName, ACMDRIVERDETAILS_SHORTNAME_CHARS);
  details.szLongName = Cut(d->LongName, ACMDRIVERDETAILS_LONGNAME_CHARS);
  return MMSYSERR_NOERROR;
}

MMRESULT acmDriverOpen(HACMDRIVER& had, HACMDRIVERID hadid) {
  had = nullptr;
  const TDriverInfo* d = FindDriver(hadid);
  if (!d) return MMSYSERR_INVALHANDLE;
  had = new TAcmDriver{d};
  AddLiveHandle(had);
  return MMSYSERR_NOERROR;
}

MMRESULT acmDriverClose(HACMDRIVER had) {
  if (!RemoveLiveHandle(had)) return MMSYSERR_INVALHANDLE;
  delete had;
  return MMSYSERR_NOERROR;
}

MMRESULT acmFormatTagEnum(HACMDRIVER had, const ACMFORMATTAGENUMCB& callback, uint32_t fdwEnum) {
  if (had && !IsLiveDriver(had)) return MMSYSERR_INVALHANDLE;
  if (!callback) return MMSYSERR_INVALPARAM;
  if (fdwEnum != 0) return MMSYSERR_INVALFLAG;
  for (const TDriverInfo* d : DriversOf(had)) {
    std::vector<uint16_t> tags = TagsOf(*d);
    for (uint32_t i = 0; i < tags.size(); ++i)
      if (!callback(d->Id, TagDetails(tags[i], i), ACMDRIVERDETAILS_SUPPORTF_CODEC)) return MMSYSERR_NOERROR;
  }
  return MMSYSERR_NOERROR;
}

MMRESULT acmFormatTagDetails(HACMDRIVER had, ACMFORMATTAGDETAILS& details, uint32_t fdwDetails) {
  if (had && !IsLiveDriver(had)) return MMSYSERR_INVALHANDLE;
  if (fdwDetails != ACM_FORMATTAGDETAILSF_FORMATTAG) return MMSYSERR_INVALFLAG;
  for (const TDriverInfo* d : DriversOf(had)) {
    std::vector<uint16_t> tags = TagsOf(*d);
    auto it = std::find(tags.begin(), tags.end(), details.dwFormatTag);
    if (it == tags.end()) continue;
    details = TagDetails(*it, uint32_t(it - tags.begin()));
    return MMSYSERR_NOERROR;
  }
  return ACMERR_NOTPOSSIBLE;
}

MMRESULT acmFormatEnum(HACMDRIVER had, const ACMFORMATDETAILS& details, const ACMFORMATENUMCB& callback, uint32_t fdwEnum) {
  if (had && !IsLiveDriver(had)) return MMSYSERR_INVALHANDLE;
  if (!callback) return MMSYSERR_INVALPARAM;
  if (fdwEnum & ~kFormatEnumFlags) return MMSYSERR_INVALFLAG;
  const TWaveFormat& pattern = details.pwfx;
  for (const TDriverInfo* d : DriversOf(had)) {
    std::vector<TWaveFormat> formats;
    if (fdwEnum & ACM_FORMATENUMF_CONVERT)
      formats = ConvertTargets(*d, pattern);
    else
      for (uint16_t tag : TagsOf(*d)) {
        std::vector<TWaveFormat> more = StandardFormats(tag);
        formats.insert(formats.end(), more.begin(), more.end());
      }
    uint32_t index = 0;
    for (const TWaveFormat& f : formats) {
      if (!Matches(f, pattern, fdwEnum)) continue;
      ACMFORMATDETAILS found;
      found.dwFormatIndex = index++;
      found.dwFormatTag = f.wFormatTag();
      found.fdwSupport = ACMDRIVERDETAILS_SUPPORTF_CODEC;
      found.pwfx = f;
      found.szFormat = Cut(FormatText(f), ACMFORMATDETAILS_FORMAT_CHARS);
      if (!callback(d->Id, found, ACMDRIVERDETAILS_SUPPORTF_CODEC)) return MMSYSERR_NOERROR;
    }
  }
  return MMSYSERR_NOERROR;
}

MMRESULT acmFormatSuggest(HACMDRIVER had, const TWaveFormat& src, TWaveFormat& dst, uint32_t fdwSuggest) {
  if (had && !IsLiveDriver(had)) return MMSYSERR_INVALHANDLE;
  // The suggestion flags have the values of the matching enumeration flags.
  const uint32_t known = ACM_FORMATSUGGESTF_WFORMATTAG | ACM_FORMATSUGGESTF_NCHANNELS |
                         ACM_FORMATSUGGESTF_NSAMPLESPERSEC | ACM_FORMATSUGGESTF_WBITSPERSAMPLE;
  if (fdwSuggest & ~known) return MMSYSERR_INVALFLAG;
  for (const TDriverInfo* d : DriversOf(had))
    for (const TWaveFormat& f : ConvertTargets(*d, src))
      if (Matches(f, dst, fdwSuggest)) {
        dst = f;
        return MMSYSERR_NOERROR;
      }
  return ACMERR_NOTPOSSIBLE;
}

}  // namespace codec
