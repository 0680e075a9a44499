// Drivers, format tags, formats and their records, as the recorder's codec
// and driver lists and the clip reader ask for them.

#include <gtest/gtest.h>

#include <set>

#include "support/codec/CodecTestSupport.h"
#include "platform/codec/Acm.h"

using namespace codec;
using codectest::FirstOfferedFormat;

namespace {

// The first format of Tag at the record format's channels and rate, found
// like the codec list finds it (all drivers or one), then a trial stream.
bool FindCompressedFormat(HACMDRIVERID driver, uint16_t tag, const TWaveFormat& record, TWaveFormat& found) {
  HACMDRIVER had = nullptr;
  if (driver && acmDriverOpen(had, driver) != MMSYSERR_NOERROR) return false;
  bool any = FirstOfferedFormat(had, tag, record, found);
  MMRESULT r = MMSYSERR_NOERROR;
  HACMSTREAM has = nullptr;
  if (any) r = acmStreamOpen(has, had, record, found, 0);
  if (has) acmStreamClose(has);
  if (had) acmDriverClose(had);
  return r == MMSYSERR_NOERROR && any;
}

// The non-PCM tags offered for a record format, as the codec list fills itself.
std::vector<uint16_t> CodecList(const TWaveFormat& record, std::vector<std::string>* names = nullptr) {
  std::vector<uint16_t> tags;
  acmFormatTagEnum(
      nullptr,
      [&](HACMDRIVERID, const ACMFORMATTAGDETAILS& d, uint32_t) {
        uint16_t tag = uint16_t(d.dwFormatTag);
        TWaveFormat f;
        if (tag != WAVE_FORMAT_PCM && std::find(tags.begin(), tags.end(), tag) == tags.end() &&
            FindCompressedFormat(0, tag, record, f)) {
          tags.push_back(tag);
          if (names) names->push_back(d.szFormatTag);
        }
        return true;
      },
      0);
  return tags;
}

std::vector<HACMDRIVERID> DriverIds() {
  std::vector<HACMDRIVERID> ids;
  acmDriverEnum([&](HACMDRIVERID id, uint32_t) { ids.push_back(id); return true; }, 0);
  return ids;
}

TEST(AcmLists, EveryDriverHasDetailsWithinTheNameLimits) {
  std::vector<HACMDRIVERID> ids = DriverIds();
  ASSERT_EQ(ids.size(), 5u);
  uint32_t count = 0;
  ASSERT_EQ(acmMetrics(ACM_METRIC_COUNT_DRIVERS, count), MMSYSERR_NOERROR);
  EXPECT_EQ(count, 5u);
  std::set<std::string> names;
  for (HACMDRIVERID id : ids) {
    ACMDRIVERDETAILS d;
    ASSERT_EQ(acmDriverDetails(id, d), MMSYSERR_NOERROR);
    EXPECT_FALSE(d.szLongName.empty());
    EXPECT_LT(d.szLongName.size(), ACMDRIVERDETAILS_LONGNAME_CHARS);
    EXPECT_LT(d.szShortName.size(), ACMDRIVERDETAILS_SHORTNAME_CHARS);
    EXPECT_GE(d.cFormatTags, 2u);  // PCM and the driver's own
    names.insert(d.szLongName);
  }
  EXPECT_EQ(names.size(), ids.size());
  ACMDRIVERDETAILS d;
  EXPECT_EQ(acmDriverDetails(0, d), MMSYSERR_INVALHANDLE);
  EXPECT_EQ(acmDriverDetails(99, d), MMSYSERR_INVALHANDLE);
  HACMDRIVER had = nullptr;
  EXPECT_EQ(acmDriverOpen(had, 99), MMSYSERR_INVALHANDLE);
  EXPECT_EQ(had, nullptr);
}

TEST(AcmLists, EnumerationStopsWhenTheCallbackSaysSo) {
  int calls = 0;
  EXPECT_EQ(acmDriverEnum([&](HACMDRIVERID, uint32_t) { return ++calls < 2; }, 0), MMSYSERR_NOERROR);
  EXPECT_EQ(calls, 2);
  calls = 0;
  acmFormatTagEnum(nullptr, [&](HACMDRIVERID, const ACMFORMATTAGDETAILS&, uint32_t) { return ++calls < 3; }, 0);
  EXPECT_EQ(calls, 3);
}

TEST(AcmLists, CodecListFollowsTheRecordFormat) {
  std::vector<std::string> names;
  std::vector<uint16_t> mono8k = CodecList(TWaveFormat::Pcm(1, 8000, 16), &names);
  EXPECT_EQ(std::set<uint16_t>(mono8k.begin(), mono8k.end()),
            (std::set<uint16_t>{WAVE_FORMAT_ALAW, WAVE_FORMAT_MULAW, WAVE_FORMAT_IMA_ADPCM, WAVE_FORMAT_ADPCM,
                                WAVE_FORMAT_GSM610, WAVE_FORMAT_MPEGLAYER3}));
  for (const std::string& n : names) EXPECT_LT(n.size(), ACMFORMATTAGDETAILS_FORMATTAG_CHARS);
  // libgsm codes one channel: no GSM 6.10 for a stereo take.
  std::vector<uint16_t> stereo = CodecList(TWaveFormat::Pcm(2, 44100, 8));
  EXPECT_EQ(std::count(stereo.begin(), stereo.end(), WAVE_FORMAT_GSM610), 0);
  EXPECT_EQ(stereo.size(), 5u);
}

TEST(AcmLists, DriverListForACodecNamesTheDriverThatProvidesIt) {
  TWaveFormat record = TWaveFormat::Pcm(2, 22050, 16);
  for (uint16_t tag : {WAVE_FORMAT_IMA_ADPCM, WAVE_FORMAT_MPEGLAYER3}) {
    std::vector<HACMDRIVERID> providers;
    for (HACMDRIVERID id : DriverIds()) {
      TWaveFormat f;
      if (FindCompressedFormat(id, tag, record, f)) providers.push_back(id);
    }
    ASSERT_EQ(providers.size(), 1u);
    HACMDRIVER had = nullptr;
    ASSERT_EQ(acmDriverOpen(had, providers[0]), MMSYSERR_NOERROR);
    std::vector<uint32_t> tags;
    acmFormatTagEnum(had, [&](HACMDRIVERID, const ACMFORMATTAGDETAILS& d, uint32_t) {
      tags.push_back(d.dwFormatTag);
      return true;
    }, 0);
    EXPECT_EQ(tags, (std::vector<uint32_t>{WAVE_FORMAT_PCM, tag}));
    EXPECT_EQ(acmDriverClose(had), MMSYSERR_NOERROR);
  }
}

struct TRecordCase {
  const char* Name;
  uint16_t Tag;
  uint16_t Channels;
  uint32_t Rate;
  std::vector<uint8_t> Bytes;  // the whole record a Windows reader expects
};

std::vector<uint8_t> Record(std::initializer_list<uint32_t> fieldsAndWidths) {
  // Pairs of (value, width in bytes).
  std::vector<uint8_t> out;
  for (auto it = fieldsAndWidths.begin(); it != fieldsAndWidths.end(); it += 2)
    for (uint32_t i = 0; i < it[1]; ++i) out.push_back(uint8_t(it[0] >> (8 * i)));
  return out;
}

class FormatRecord : public testing::TestWithParam<TRecordCase> {};

TEST_P(FormatRecord, CarriesTheFieldsAndExtraBytesReadersExpect) {
  const TRecordCase& c = GetParam();
  TWaveFormat f;
  ASSERT_TRUE(FindCompressedFormat(0, c.Tag, TWaveFormat::Pcm(c.Channels, c.Rate, 16), f));
  EXPECT_EQ(f.Bytes(), c.Bytes);
  uint32_t maxSize = 0;
  ASSERT_EQ(acmMetrics(ACM_METRIC_MAX_SIZE_FORMAT, maxSize), MMSYSERR_NOERROR);
  EXPECT_LE(f.Size(), maxSize);
}

const std::vector<TRecordCase> kRecords = {
    {"ImaAdpcm8kMono", WAVE_FORMAT_IMA_ADPCM, 1, 8000,
     Record({0x11, 2, 1, 2, 8000, 4, 4055, 4, 256, 2, 4, 2, 2, 2, 505, 2})},
    {"ImaAdpcm44kStereo", WAVE_FORMAT_IMA_ADPCM, 2, 44100,
     Record({0x11, 2, 2, 2, 44100, 4, 44100 * 2048 / 2041, 4, 2048, 2, 4, 2, 2, 2, 2041, 2})},
    {"MsAdpcm8kMono", WAVE_FORMAT_ADPCM, 1, 8000,
     Record({2, 2, 1, 2, 8000, 4, 4096, 4, 256, 2, 4, 2, 32, 2, 500, 2, 7, 2, 256, 2, 0, 2, 512, 2, 0xFF00, 2, 0, 2, 0,
             2, 192, 2, 64, 2, 240, 2, 0, 2, 460, 2, 0xFF30, 2, 392, 2, 0xFF18, 2})},
    {"Gsm8kMono", WAVE_FORMAT_GSM610, 1, 8000, Record({0x31, 2, 1, 2, 8000, 4, 1625, 4, 65, 2, 0, 2, 2, 2, 320, 2})},
    {"Alaw8kStereo", WAVE_FORMAT_ALAW, 2, 8000, Record({6, 2, 2, 2, 8000, 4, 16000, 4, 2, 2, 8, 2, 0, 2})},
    {"Mulaw48kMono", WAVE_FORMAT_MULAW, 1, 48000, Record({7, 2, 1, 2, 48000, 4, 48000, 4, 1, 2, 8, 2, 0, 2})},
    // MPEGLAYER3WAVEFORMAT: wID 1, fdwFlags 0 (ISO padding), nBlockSize 417
    // (an unpadded 128 kbit/s frame), one frame per block, codec delay 1105.
    {"MpegLayer3_44kStereo", WAVE_FORMAT_MPEGLAYER3, 2, 44100,
     Record({0x55, 2, 2, 2, 44100, 4, 16000, 4, 1, 2, 0, 2, 12, 2, 1, 2, 0, 4, 417, 2, 1, 2, 1105, 2})},
    {"MpegLayer3_8kMono", WAVE_FORMAT_MPEGLAYER3, 1, 8000,
     Record({0x55, 2, 1, 2, 8000, 4, 2000, 4, 1, 2, 0, 2, 12, 2, 1, 2, 0, 4, 144, 2, 1, 2, 1105, 2})},
};

INSTANTIATE_TEST_SUITE_P(Codecs, FormatRecord, testing::ValuesIn(kRecords),
                         [](const testing::TestParamInfo<TRecordCase>& i) { return std::string(i.param.Name); });

TEST(AcmLists, ConvertEnumerationAndSuggestionGoBothWays) {
  // From a PCM take: the codecs' formats at its rate and channel count.
  ACMFORMATDETAILS pattern;
  pattern.pwfx = TWaveFormat::Pcm(1, 11025, 8);
  std::set<uint32_t> tags;
  acmFormatEnum(nullptr, pattern, [&](HACMDRIVERID, const ACMFORMATDETAILS& d, uint32_t) {
    EXPECT_EQ(d.pwfx.nSamplesPerSec(), 11025u);
    EXPECT_EQ(d.pwfx.nChannels(), 1);
    EXPECT_FALSE(d.szFormat.empty());
    tags.insert(d.dwFormatTag);
    return true;
  }, ACM_FORMATENUMF_CONVERT);
  EXPECT_EQ(tags.size(), 6u);
  EXPECT_EQ(tags.count(WAVE_FORMAT_PCM), 0u);

  // From a compressed clip back to PCM: 16 bits first, as the clip reader wants.
  TWaveFormat mp3, pcm;
  ASSERT_TRUE(FindCompressedFormat(0, WAVE_FORMAT_MPEGLAYER3, TWaveFormat::Pcm(2, 32000, 16), mp3));
  pcm.SetFormatTag(WAVE_FORMAT_PCM);
  ASSERT_EQ(acmFormatSuggest(nullptr, mp3, pcm, ACM_FORMATSUGGESTF_WFORMATTAG), MMSYSERR_NOERROR);
  EXPECT_EQ(pcm, TWaveFormat::Pcm(2, 32000, 16));
  pcm.SetBitsPerSample(8);
  ASSERT_EQ(acmFormatSuggest(nullptr, mp3, pcm, ACM_FORMATSUGGESTF_WFORMATTAG | ACM_FORMATSUGGESTF_WBITSPERSAMPLE),
            MMSYSERR_NOERROR);
  EXPECT_EQ(pcm, TWaveFormat::Pcm(2, 32000, 8));

  TWaveFormat gsm;
  gsm.SetFormatTag(WAVE_FORMAT_GSM610);
  EXPECT_EQ(acmFormatSuggest(nullptr, TWaveFormat::Pcm(2, 8000, 16), gsm, ACM_FORMATSUGGESTF_WFORMATTAG),
            ACMERR_NOTPOSSIBLE);
  EXPECT_EQ(acmFormatSuggest(nullptr, TWaveFormat::Pcm(1, 8000, 16), gsm, ACM_FORMATSUGGESTF_WFORMATTAG),
            MMSYSERR_NOERROR);
  EXPECT_EQ(gsm.nBlockAlign(), 65);
}

TEST(AcmLists, TagDetailsNameTheTagAndItsLargestRecord) {
  ACMFORMATTAGDETAILS d;
  d.dwFormatTag = WAVE_FORMAT_ADPCM;
  ASSERT_EQ(acmFormatTagDetails(nullptr, d, ACM_FORMATTAGDETAILSF_FORMATTAG), MMSYSERR_NOERROR);
  EXPECT_EQ(d.szFormatTag, "Microsoft ADPCM");
  EXPECT_EQ(d.cbFormatSize, 50u);
  EXPECT_EQ(d.cStandardFormats, 16u);
  d.dwFormatTag = 0x1234;
  EXPECT_EQ(acmFormatTagDetails(nullptr, d, ACM_FORMATTAGDETAILSF_FORMATTAG), ACMERR_NOTPOSSIBLE);
  EXPECT_EQ(acmFormatTagDetails(nullptr, d, 0), MMSYSERR_INVALFLAG);
}

}  // namespace
