// The RIFF WAVE reader against well-formed, unusual and damaged images,
// and the writer's files as sox reads them.

#include <gtest/gtest.h>

#include "support/codec/CodecTestSupport.h"
#include "support/codec/RiffImage.h"
#include "base/LittleEndian.h"
#include "platform/codec/RiffWave.h"
#include "support/Raised.h"

using namespace codec;
using namespace codectest;

namespace {

TWaveFileInfo Read(const std::vector<uint8_t>& image) {
  TMemoryStream stream(image);
  return ReadWaveHeader(stream);
}

const std::vector<uint8_t> kData(100, 0x11);

TEST(RiffWaveReader, FindsFormatAndDataPastOddAndUnknownChunks) {
  TRiffImage img;
  img.Chunk("LIST", std::vector<uint8_t>(5, 'x')).Fmt().Chunk("junk", std::vector<uint8_t>(3, 0)).Chunk("data", kData);
  img.Chunk("LIST", std::vector<uint8_t>(7, 'y'));  // after the data
  std::vector<uint8_t> bytes = img.Done();
  TWaveFileInfo info = Read(bytes);
  EXPECT_EQ(info.Format.nSamplesPerSec(), 8000u);
  EXPECT_EQ(info.Format.Size(), 18u);  // a 16-byte record reads as one without extra bytes
  EXPECT_EQ(info.DataSize, 100u);
  EXPECT_EQ(bytes[size_t(info.DataOffset)], 0x11);
  EXPECT_FALSE(info.HasFact);
}

TEST(RiffWaveReader, AcceptsFormatAfterDataLyingRiffSizeAndUnpaddedLastChunk) {
  // An odd data chunk at the end of the file may lack its pad byte.
  TRiffImage last;
  last.Fmt().Chunk("fact", {0x40, 0x1F, 0, 0}).Chunk("data", std::vector<uint8_t>(9, 1), -1, false);
  TWaveFileInfo info = Read(last.Done(0x7FFFFFF0));  // RIFF size far beyond the file
  EXPECT_EQ(info.DataSize, 9u);
  EXPECT_TRUE(info.HasFact);
  EXPECT_EQ(info.FactSamples, 8000u);
  TRiffImage dataFirst;
  dataFirst.Chunk("data", kData).Fmt(2, 4);
  EXPECT_EQ(Read(dataFirst.Done(4)).Format.nChannels(), 2);  // RIFF size too small: ignored
}

struct TDamageCase {
  const char* Name;
  std::vector<uint8_t> Image;
  const char* Message;
};

std::vector<TDamageCase> DamageCases() {
  std::vector<TDamageCase> cases;
  cases.push_back({"Empty", {}, "Not a RIFF WAVE file"});
  cases.push_back({"Garbage", std::vector<uint8_t>(64, 0xAB), "Not a RIFF WAVE file"});
  std::vector<uint8_t> avi = TRiffImage().Fmt().Chunk("data", kData).Done();
  std::copy_n("AVI ", 4, avi.begin() + 8);
  cases.push_back({"OtherRiffForm", avi, "Not a RIFF WAVE file"});
  cases.push_back({"NoData", TRiffImage().Fmt().Done(), "The WAVE file has no data chunk"});
  cases.push_back({"NoFormat", TRiffImage().Chunk("data", kData).Done(), "The WAVE file has no format chunk"});
  cases.push_back({"ShortFormat", TRiffImage().Chunk("fmt ", std::vector<uint8_t>(14, 1)).Chunk("data", kData).Done(),
                   "The WAVE format chunk is damaged"});
  std::vector<uint8_t> zero(16, 0);
  cases.push_back({"ZeroChannels", TRiffImage().Chunk("fmt ", zero).Chunk("data", kData).Done(),
                   "The WAVE format chunk is damaged"});
  // Sizes that claim more than the file holds, incl. ones near 4 GiB that
  // would allocate or seek wildly if believed.
  cases.push_back({"DataBeyondEnd", TRiffImage().Fmt().Chunk("data", kData, 0xFFFFFFF0).Done(),
                   "The WAVE file is truncated"});
  cases.push_back({"FormatBeyondEnd", TRiffImage().Chunk("fmt ", std::vector<uint8_t>(16, 1), 0xFFFFFFFF).Done(),
                   "The WAVE file is truncated"});
  cases.push_back({"CutInsideListBeforeData", TRiffImage().Fmt().Chunk("LIST", std::vector<uint8_t>(8), 1000).Done(),
                   "The WAVE file is truncated"});
  std::vector<uint8_t> cutData = TRiffImage().Fmt().Chunk("data", kData).Done();
  cutData.resize(cutData.size() - 10);
  cases.push_back({"CutInsideData", cutData, "The WAVE file is truncated"});
  std::vector<uint8_t> cutHeader = TRiffImage().Fmt().Done();
  cutHeader.resize(cutHeader.size() - 6);
  cases.push_back({"CutInsideFormat", cutHeader, "The WAVE file is truncated"});
  return cases;
}

class RiffWaveDamage : public testing::TestWithParam<TDamageCase> {};

TEST_P(RiffWaveDamage, GivesAClearError) {
  EXPECT_EQ(RaisedBy<EWaveError>([] { Read(GetParam().Image); }), GetParam().Message);
}

INSTANTIATE_TEST_SUITE_P(Images, RiffWaveDamage, testing::ValuesIn(DamageCases()),
                         [](const testing::TestParamInfo<TDamageCase>& i) { return std::string(i.param.Name); });

TEST(RiffWaveWriter, WritesAFileSoxReadsWithPaddingFactAndSizes) {
  TScratchDir dir;
  std::string path = dir.Path("w.wav");
  std::vector<uint8_t> data(4001, 0x80);  // odd: 8-bit mono
  {
    TFileStream file(path, fmCreate);
    TWaveFileWriter writer(file, TWaveFormat::Pcm(1, 8000, 8).Bytes(), true);
    writer.Write(data.data(), 1000);
    writer.Write(data.data() + 1000, 3001);
    writer.Finish(4001);
    file.Flush();
  }
  TChunkWalk walk = WalkChunks(path);
  EXPECT_EQ(walk.Ids, (std::vector<std::string>{"fmt ", "fact", "data"}));
  EXPECT_TRUE(walk.Even);
  EXPECT_TRUE(walk.FitsRiffSize);
  EXPECT_EQ(walk.Fact, 4001u);
  EXPECT_EQ(walk.DataSize, 4001u);
  EXPECT_EQ(ReadBytes(path).size() % 2, 0u);
  int status = 0;
  std::string soxi = codectest::Run("for o in r c s b; do soxi -$o " + Quote(path) + " || exit 1; done 2>&1", &status);
  EXPECT_EQ(status, 0) << soxi;
  EXPECT_EQ(soxi, "8000\n1\n4001\n8\n");
  TFileStream back(path, fmOpenRead);
  EXPECT_EQ(ReadWaveHeader(back).DataSize, 4001u);
}

// A stream that takes only so many bytes, like a full disk.
class TFullStream : public TMemoryStream {
public:
  explicit TFullStream(int64_t room) : FRoom(room) {}
  int64_t Write(const void* buffer, int64_t count) override {
    int64_t n = std::min(count, FRoom - GetPosition());
    return n > 0 ? TMemoryStream::Write(buffer, n) : 0;
  }

private:
  int64_t FRoom;
};

TEST(RiffWaveWriter, AFullStreamRaisesAWriteError) {
  std::vector<uint8_t> data(1000);
  TFullStream early(20);
  EXPECT_THROW(TWaveFileWriter(early, TWaveFormat::Pcm(1, 8000, 16).Bytes(), false), EWriteError);
  TFullStream late(500);
  TWaveFileWriter writer(late, TWaveFormat::Pcm(1, 8000, 16).Bytes(), false);
  EXPECT_THROW(writer.Write(data.data(), data.size()), EWriteError);
}

}  // namespace
