// The ASF header walk on a clip ffmpeg made, whole and damaged at the
// header's sizes; the walk never reads past the header's bytes.

#include <gtest/gtest.h>

#include <functional>

#include "base/LittleEndian.h"
#include "platform/wma/AsfHeader.h"
#include "support/wma/MemorySource.h"
#include "support/wma/WindowsMediaClips.h"

using namespace wmatest;

namespace {

struct THeaderCase {
  const char* Name;
  std::function<void(std::vector<uint8_t>&, size_t properties)> Damage;
  bool Asf, Encrypted;
  uint64_t Duration;
};

// ffmpeg's 2.042 s in 100-ns units.
constexpr uint64_t kClipDuration = 20420000;

class HeaderWalk : public testing::TestWithParam<THeaderCase> {};

TEST_P(HeaderWalk, FindsWhatTheHeaderHolds) {
  std::vector<uint8_t> bytes = StereoClip().Bytes;
  const size_t properties = FindObject(bytes, FilePropertiesGuid);
  ASSERT_NE(properties, std::string::npos);
  const uint64_t headerSize = le::load64(bytes.data() + 16);
  GetParam().Damage(bytes, properties);
  TMemorySource source(bytes);
  const wma::TAsfHeaderFacts facts = wma::WalkAsfHeader(source, 0);
  EXPECT_EQ(facts.Asf, GetParam().Asf);
  EXPECT_EQ(facts.Encrypted, GetParam().Encrypted);
  EXPECT_EQ(facts.Duration(), GetParam().Duration);
  EXPECT_LE(uint64_t(source.Furthest), std::max<uint64_t>(headerSize + 40, 30));
}

void SetU64(std::vector<uint8_t>& b, size_t at, uint64_t v) { le::store64(b.data() + at, v); }

INSTANTIATE_TEST_SUITE_P(
    Clips, HeaderWalk,
    testing::Values(
        THeaderCase{"Whole", [](auto&, size_t) {}, true, false, kClipDuration},
        THeaderCase{"NotAsf", [](auto& b, size_t) { b[0] ^= 1; }, false, false, 0},
        THeaderCase{"Encrypted", [](auto& b, size_t) { b = WithHeaderObject(b, ContentEncryptionObject()); }, true,
                    true, kClipDuration},
        THeaderCase{"ExtendedEncryption",
                    [](auto& b, size_t) {
                      std::vector<uint8_t> object = ContentEncryptionObject();
                      const uint8_t guid[16] = {0x14, 0xE6, 0x8A, 0x29, 0x22, 0x26, 0x17, 0x4C,
                                                0xB9, 0x35, 0xDA, 0xE0, 0x7E, 0xE9, 0x28, 0x9C};
                      std::copy(guid, guid + 16, object.begin());
                      b = WithHeaderObject(b, object);
                    },
                    true, true, kClipDuration},
        THeaderCase{"PlayShorterThanPreroll", [](auto& b, size_t p) { SetU64(b, p + 64, 10000); }, true, false, 0},
        THeaderCase{"HeaderSizePastTheFile",
                    [](auto& b, size_t) {
                      SetU64(b, 16, UINT64_MAX);
                      b.resize(1000);
                    },
                    true, false, kClipDuration},
        THeaderCase{"ObjectPastTheHeader", [](auto& b, size_t p) { SetU64(b, p + 16, le::load64(b.data() + 16)); },
                    true, false, 0},
        THeaderCase{"ObjectOfSizeZero", [](auto& b, size_t p) { SetU64(b, p + 16, 0); }, true, false, 0},
        THeaderCase{"NoObjects", [](auto& b, size_t) { le::store32(b.data() + 24, 0); }, true, false, 0},
        THeaderCase{"CutInsideTheFileProperties", [](auto& b, size_t p) { b.resize(p + 70); }, true, false, 0},
        THeaderCase{"CutInsideTheHead", [](auto& b, size_t) { b.resize(20); }, false, false, 0}),
    [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
