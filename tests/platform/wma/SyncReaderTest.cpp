// The Windows Media reader on clips ffmpeg made: the formats it offers
// under each setting, the samples in each width, the attributes and the
// order of calls.

#include <gtest/gtest.h>

#include "platform/wma/SyncReader.h"
#include "support/wma/MemorySource.h"
#include "support/wma/WindowsMediaClips.h"

using namespace wma;
using namespace wmatest;

namespace {

class Reader : public testing::Test {
protected:
  void Open(const TClip& clip) {
    Source = std::make_unique<TMemorySource>(clip.Bytes);
    ASSERT_EQ(R.OpenStream(*Source), S_OK);
  }
  void Setting(const char* name, TAttrDataType type, uint32_t value) {
    ASSERT_EQ(R.SetOutputSetting(0, name, type, reinterpret_cast<const uint8_t*>(&value), 4), S_OK);
  }
  // The offered formats as "channels/bits" words.
  std::string Offer() {
    uint32_t n = 0;
    EXPECT_EQ(R.GetOutputFormatCount(0, n), S_OK);
    std::string offer;
    for (uint32_t j = 0; j < n; ++j) {
      TMediaType t;
      EXPECT_EQ(R.GetOutputFormat(0, j, t), S_OK);
      EXPECT_EQ(t.Format.nSamplesPerSec(), 44100u);
      EXPECT_EQ(t.Format.nBlockAlign(), t.Format.nChannels() * t.Format.wBitsPerSample() / 8);
      offer += (offer.empty() ? "" : " ") + std::to_string(t.Format.nChannels()) + "/" +
               std::to_string(t.Format.wBitsPerSample());
    }
    return offer;
  }
  // Every sample of the output's current format.
  std::vector<uint8_t> ReadAll() {
    std::vector<uint8_t> all, sample;
    uint64_t time = 0;
    HRESULT r;
    while ((r = R.GetNextSample(1, sample, time)) == S_OK) all.insert(all.end(), sample.begin(), sample.end());
    EXPECT_EQ(r, NS_E_NO_MORE_SAMPLES);
    EXPECT_EQ(R.GetNextSample(1, sample, time), NS_E_NO_MORE_SAMPLES) << "the end stays the end";
    return all;
  }

  std::unique_ptr<TMemorySource> Source;
  TSyncReader R;
};

struct TOfferCase {
  const char* Name;
  bool Discrete;
  uint32_t Speakers;
  const char* Offer;
};

class Offers : public Reader, public testing::WithParamInterface<TOfferCase> {};

TEST_P(Offers, FollowTheSettings) {
  Open(StereoClip());
  TMediaType current;
  ASSERT_EQ(R.GetOutputProps(0, current), S_OK);
  EXPECT_EQ(current.MajorType, TMajorType::Audio);
  EXPECT_EQ(current.Format.nChannels(), 2);
  EXPECT_EQ(current.Format.wBitsPerSample(), 16);
  Setting("EnableDiscreteOutput", WMT_TYPE_BOOL, GetParam().Discrete ? 0xFFFFFFFF : 0);
  if (GetParam().Speakers) Setting("SpeakerConfig", WMT_TYPE_DWORD, GetParam().Speakers);
  EXPECT_EQ(Offer(), GetParam().Offer);
}

INSTANTIATE_TEST_SUITE_P(StereoClip, Offers,
                         testing::Values(TOfferCase{"Folded", false, 0, "2/16"},
                                         TOfferCase{"Discrete", true, 0, "2/16 2/24 2/32"},
                                         TOfferCase{"DiscreteSixSpeakers", true, 6, "2/16 2/24 2/32 6/16 6/24 6/32"},
                                         TOfferCase{"EightSpeakers", false, 8, "2/16 8/16 8/24 8/32"},
                                         TOfferCase{"TwoSpeakersAddNothing", true, 2, "2/16 2/24 2/32"}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(Reader, TakesOnlyAnOfferedFormatAndDecodesInIt) {
  Open(StereoClip());
  Setting("EnableDiscreteOutput", WMT_TYPE_BOOL, 1);
  TMediaType t;
  ASSERT_EQ(R.GetOutputFormat(0, 2, t), S_OK);
  ASSERT_EQ(R.SetOutputProps(0, t), S_OK);
  TMediaType current;
  ASSERT_EQ(R.GetOutputProps(0, current), S_OK);
  EXPECT_EQ(current.Format, t.Format);
  const std::vector<uint8_t> wide = ReadAll();

  TMediaType odd = t;
  odd.Format.SetSamplesPerSec(48000);
  EXPECT_EQ(R.SetOutputProps(0, odd), E_INVALIDARG);

  ASSERT_EQ(R.SetRange(0), S_OK);
  ASSERT_EQ(R.GetOutputFormat(0, 1, t), S_OK);
  ASSERT_EQ(R.SetOutputProps(0, t), S_OK);
  const std::vector<uint8_t> packed = ReadAll();
  // 24 bits are the top three bytes of the 32.
  ASSERT_EQ(packed.size() / 3, wide.size() / 4);
  for (size_t i = 0; i < packed.size() / 3; ++i)
    ASSERT_TRUE(std::equal(&packed[3 * i], &packed[3 * i + 3], &wide[4 * i + 1])) << i;
}

TEST_F(Reader, GivesTheDurationAndTheTextsAsAttributes) {
  const TClip& clip = StereoClip();
  Open(clip);
  TAttrDataType type;
  uint16_t length = 0;
  ASSERT_EQ(R.GetAttributeByName(0, "Duration", type, nullptr, length), S_OK);
  EXPECT_EQ(type, WMT_TYPE_QWORD);
  ASSERT_EQ(length, 8);
  uint64_t duration = 0;
  ASSERT_EQ(R.GetAttributeByName(0, "Duration", type, reinterpret_cast<uint8_t*>(&duration), length), S_OK);
  EXPECT_EQ(duration, 20420000u);  // ffmpeg's 2.042 s

  ASSERT_EQ(R.GetAttributeByName(0, "Author", type, nullptr, length), S_OK);
  EXPECT_EQ(type, WMT_TYPE_STRING);
  EXPECT_EQ(length, 2 * (6 + 1));  // "Артист" and a terminating zero
  std::vector<uint8_t> text(length);
  uint16_t tooShort = uint16_t(length - 1);
  EXPECT_EQ(R.GetAttributeByName(0, "Author", type, text.data(), tooShort), ASF_E_BUFFERTOOSMALL);
  EXPECT_EQ(tooShort, length);
  ASSERT_EQ(R.GetAttributeByName(0, "Author", type, text.data(), length), S_OK);
  EXPECT_EQ(text[0] | text[1] << 8, 0x0410);  // А
  EXPECT_EQ(text[length - 2] | text[length - 1] << 8, 0);

  ASSERT_EQ(R.GetAttributeByName(0, "WM/Track", type, nullptr, length), S_OK);
  EXPECT_EQ(length, 4);
  EXPECT_EQ(R.GetAttributeByName(0, "WM/Lyrics", type, nullptr, length), ASF_E_NOTFOUND);
  EXPECT_EQ(R.GetAttributeByName(1, "Author", type, nullptr, length), ASF_E_NOTFOUND);
}

TEST_F(Reader, AnswersOnlyWhenOpen) {
  uint32_t n;
  std::vector<uint8_t> sample;
  uint64_t time;
  EXPECT_EQ(R.GetOutputCount(n), NS_E_INVALID_REQUEST);
  EXPECT_EQ(R.GetNextSample(1, sample, time), NS_E_INVALID_REQUEST);
  TMemorySource wave(std::vector<uint8_t>{'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'});
  EXPECT_EQ(R.OpenStream(wave), NS_E_INVALID_DATA);
  EXPECT_EQ(R.GetOutputCount(n), NS_E_INVALID_REQUEST);
  Open(MonoClip());
  ASSERT_EQ(R.GetOutputCount(n), S_OK);
  EXPECT_EQ(n, 1u);
  uint16_t stream = 0;
  ASSERT_EQ(R.GetStreamNumberForOutput(0, stream), S_OK);
  EXPECT_EQ(R.SetReadStreamSamples(stream, false), S_OK);
  EXPECT_EQ(R.GetNextSample(uint16_t(stream + 1), sample, time), E_INVALIDARG);
  EXPECT_EQ(R.Close(), S_OK);
  EXPECT_EQ(R.GetNextSample(stream, sample, time), NS_E_INVALID_REQUEST);
}

TEST_F(Reader, NeverDecodesAProtectedClip) {
  Source = std::make_unique<TMemorySource>(WithHeaderObject(StereoClip().Bytes, ContentEncryptionObject()));
  ASSERT_EQ(R.OpenStream(*Source), S_OK);
  EXPECT_EQ(R.SetReadStreamSamples(1, false), NS_E_PROTECTED_CONTENT);
  std::vector<uint8_t> sample;
  uint64_t time;
  EXPECT_EQ(R.GetNextSample(1, sample, time), NS_E_PROTECTED_CONTENT);
}

}  // namespace
