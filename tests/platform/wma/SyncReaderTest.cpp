// The Windows Media reader on a clip ffmpeg made: the formats it offers
// under each setting and the samples in each width (the rest of what it
// does is tested through the clip input).

#include <gtest/gtest.h>

#include "platform/wma/SyncReader.h"
#include "support/wma/MemorySource.h"
#include "support/wma/WindowsMediaClips.h"

using namespace wma;

namespace {

HRESULT Set(TSyncReader& r, const char* name, TAttrDataType type, uint32_t value) {
  return r.SetOutputSetting(0, name, type, reinterpret_cast<const uint8_t*>(&value), 4);
}

// The offered formats as "channels/bits" words.
std::string Offer(TSyncReader& r) {
  uint32_t n = 0;
  std::string offer;
  TMediaType t;
  for (uint32_t j = 0; r.GetOutputFormatCount(0, n) == S_OK && j < n && r.GetOutputFormat(0, j, t) == S_OK; ++j)
    offer += (j ? " " : "") + std::to_string(t.Format.nChannels()) + "/" + std::to_string(t.Format.wBitsPerSample());
  return offer;
}

TEST(WindowsMediaReader, OffersFormatsByTheSettings) {
  const struct {
    uint32_t Discrete, Speakers;
    const char* Offer;
  } cases[] = {{0, 0, "2/16"},
               {0xFFFFFFFF, 0, "2/16 2/24 2/32"},
               {1, 6, "2/16 2/24 2/32 6/16 6/24 6/32"},
               {0, 8, "2/16 8/16 8/24 8/32"},
               {1, 2, "2/16 2/24 2/32"}};
  for (const auto& c : cases) {
    wmatest::TMemorySource source(wmatest::StereoClip().Bytes);
    TSyncReader r;
    ASSERT_EQ(r.OpenStream(source), S_OK);
    TMediaType current;
    ASSERT_EQ(r.GetOutputProps(0, current), S_OK);
    EXPECT_EQ(current.Format, codec::TWaveFormat::Pcm(2, 44100, 16));
    ASSERT_EQ(Set(r, "EnableDiscreteOutput", WMT_TYPE_BOOL, c.Discrete), S_OK);
    ASSERT_EQ(Set(r, "SpeakerConfig", WMT_TYPE_DWORD, c.Speakers), S_OK);
    EXPECT_EQ(Offer(r), c.Offer);
  }
}

TEST(WindowsMediaReader, DecodesInTheFormatTakenAndOnlyInAnOfferedOne) {
  wmatest::TMemorySource source(wmatest::StereoClip().Bytes);
  TSyncReader r;
  ASSERT_EQ(r.OpenStream(source), S_OK);
  ASSERT_EQ(Set(r, "EnableDiscreteOutput", WMT_TYPE_BOOL, 1), S_OK);
  std::vector<uint8_t> decoded[2];
  for (uint32_t j : {1, 2}) {  // 24 and 32 bits
    TMediaType t;
    ASSERT_EQ(r.GetOutputFormat(0, j, t), S_OK);
    ASSERT_EQ(r.SetOutputProps(0, t), S_OK);
    ASSERT_EQ(r.SetRange(0), S_OK);
    std::vector<uint8_t> sample;
    uint64_t time = 0;
    while (r.GetNextSample(1, sample, time) == S_OK)
      decoded[j - 1].insert(decoded[j - 1].end(), sample.begin(), sample.end());
    EXPECT_EQ(r.GetNextSample(1, sample, time), NS_E_NO_MORE_SAMPLES) << "the end stays the end";
    t.Format.SetSamplesPerSec(48000);
    EXPECT_EQ(r.SetOutputProps(0, t), E_INVALIDARG);
  }
  // 24 bits are the top three bytes of the 32.
  const std::vector<uint8_t>&packed = decoded[0], &wide = decoded[1];
  ASSERT_EQ(packed.size() / 3, wide.size() / 4);
  for (size_t i = 0; i < packed.size() / 3; ++i)
    ASSERT_TRUE(std::equal(&packed[3 * i], &packed[3 * i + 3], &wide[4 * i + 1])) << i;
}

}  // namespace
