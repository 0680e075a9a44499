// Saving a take: the conversion's edges (tail flush, short and trailing
// chunks, progress, stop), failures that must leave no file, and the copy.

#include <gtest/gtest.h>

#include <cerrno>

#include "support/codec/CodecTestSupport.h"
#include "platform/codec/Acm.h"
#include "platform/codec/RiffWave.h"
#include "platform/codec/WaveSave.h"

using namespace codec;
using namespace codectest;

namespace {

class WaveSave : public testing::Test {
protected:
  std::string Take(uint32_t rate, uint16_t channels, double seconds, uint16_t bits = 16) {
    std::string path = Dir.Path("take.wav");
    Signal = WritePcmWave(path, TakeSignal(rate, channels, seconds), rate, channels, bits);
    return path;
  }
  TScratchDir Dir;
  std::vector<int16_t> Signal;
};

// A take of a whole number of 100 ms blocks ends without a short read: the
// codec's last block comes only from the closing END round.
TEST_F(WaveSave, ExactMultipleOf100msKeepsTheCodecsLastBlock) {
  std::string take = Take(8000, 1, 1.0), out = Dir.Path("ima.wav");
  TWaveFormat ima = Offered(WAVE_FORMAT_IMA_ADPCM, TWaveFormat::Pcm(1, 8000, 16));
  TWaveSaveResult r = ConvertWaveFile(take, out, ima, 0);
  ASSERT_TRUE(r.Ok()) << r.Detail;
  EXPECT_EQ(r.Samples, 8000u);
  TChunkWalk walk = WalkChunks(out);
  EXPECT_EQ(walk.DataSize, 16u * 256);  // ceil(8000 / 505) blocks
  std::vector<int16_t> decoded = FfDecode(out, 1);
  ASSERT_GE(decoded.size(), 8000u);
  // The last 100 ms decode to the take's last 100 ms.
  std::vector<int16_t> tailIn(Signal.end() - 800, Signal.end()), tailOut(decoded.begin() + 7200, decoded.begin() + 8000);
  EXPECT_GE(Correlation(tailIn, tailOut, 1, 0), 0.99);
}

TEST_F(WaveSave, ConvertsOnlyTheDataChunkOfAnEightBitTakeWithTrailingChunks) {
  std::string take = Take(11025, 2, 1.05, 8);
  // Append an odd-sized LIST chunk after the data, as other recorders do.
  std::vector<uint8_t> bytes = ReadBytes(take);
  std::vector<uint8_t> list = {'L', 'I', 'S', 'T', 5, 0, 0, 0, 'I', 'N', 'F', 'O', 'x', 0};
  bytes.insert(bytes.end(), list.begin(), list.end());
  WriteBytes(take, bytes);
  std::string out = Dir.Path("alaw.wav");
  TWaveSaveResult r = ConvertWaveFile(take, out, Offered(WAVE_FORMAT_ALAW, TWaveFormat::Pcm(2, 11025, 8)), 0);
  ASSERT_TRUE(r.Ok()) << r.Detail;
  uint32_t frames = uint32_t(Signal.size() / 2);
  EXPECT_EQ(r.Samples, frames);
  EXPECT_EQ(WalkChunks(out).DataSize, frames * 2);
  EXPECT_GE(Correlation(Signal, FfDecode(out, 2), 2, 0), 0.999);
}

TEST_F(WaveSave, ReportsProgressPerBlockUpToTheWholeData) {
  std::string take = Take(22050, 1, 2.05);
  std::vector<std::pair<uint64_t, uint64_t>> seen;
  TWaveSaveEvents events;
  events.OnProgress = [&](uint64_t done, uint64_t total) { seen.emplace_back(done, total); };
  TWaveSaveResult r = ConvertWaveFile(take, Dir.Path("mp3.wav"), Offered(WAVE_FORMAT_MPEGLAYER3, TWaveFormat::Pcm(1, 22050, 16)),
                                      0, events);
  ASSERT_TRUE(r.Ok()) << r.Detail;
  EXPECT_EQ(r.Samples, Signal.size());
  ASSERT_GE(seen.size(), 21u);  // the start and at least one report per 100 ms block
  EXPECT_EQ(seen.front().first, 0u);
  EXPECT_EQ(seen.back().first, Signal.size() * 2);
  for (size_t i = 1; i < seen.size(); ++i) {
    EXPECT_GT(seen[i].first, seen[i - 1].first);
    EXPECT_EQ(seen[i].second, Signal.size() * 2);
  }
}

TEST_F(WaveSave, AStoppedSaveLeavesNoFileAndKeepsAnOlderOne) {
  std::string take = Take(44100, 2, 2.0);
  TWaveFormat ms = Offered(WAVE_FORMAT_ADPCM, TWaveFormat::Pcm(2, 44100, 16));
  TWaveSaveEvents events;
  int blocks = 0;
  events.Aborted = [&] { return ++blocks == 3; };
  TWaveSaveResult r = ConvertWaveFile(take, Dir.Path("new.wav"), ms, 0, events);
  EXPECT_EQ(r.Status, TWaveSaveStatus::wsAborted);
  EXPECT_EQ(blocks, 3);
  EXPECT_EQ(Dir.FileCount(), 1u);  // the take only

  WriteBytes(Dir.Path("old.wav"), {1, 2, 3});
  blocks = 0;
  r = ConvertWaveFile(take, Dir.Path("old.wav"), ms, 0, events);
  EXPECT_EQ(r.Status, TWaveSaveStatus::wsAborted);
  EXPECT_EQ(ReadBytes(Dir.Path("old.wav")), (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_EQ(Dir.FileCount(), 2u);
}

TEST_F(WaveSave, AFailedWriteLeavesNoFile) {
  std::string take = Take(44100, 2, 2.0);  // 352 KB of A-law
  TWaveFormat alaw = Offered(WAVE_FORMAT_ALAW, TWaveFormat::Pcm(2, 44100, 16));
  TWaveSaveResult convert, copy;
  {
    TFileSizeLimit full(64 * 1024);
    convert = ConvertWaveFile(take, Dir.Path("alaw.wav"), alaw, 0);
    copy = CopyWaveFile(take, Dir.Path("copy.wav"));
  }
  EXPECT_EQ(convert.Status, TWaveSaveStatus::wsWriteError);
  EXPECT_EQ(copy.Status, TWaveSaveStatus::wsWriteError);
  // The system's cause comes with the failure, for the user's message.
  EXPECT_EQ(convert.Error, EFBIG);
  EXPECT_EQ(copy.Error, EFBIG);
  EXPECT_EQ(copy.Path, Dir.Path("copy.wav"));
  EXPECT_EQ(Dir.FileCount(), 1u);
}

TEST_F(WaveSave, RefusesWhatItCannotReadOrWrite) {
  std::string take = Take(8000, 2, 0.5);
  TWaveFormat ima = Offered(WAVE_FORMAT_IMA_ADPCM, TWaveFormat::Pcm(2, 8000, 16));
  std::string out = Dir.Path("out.wav");

  // The destination is the take itself, also under another name.
  std::filesystem::create_symlink(take, Dir.Path("link.wav"));
  for (const std::string& same : {take, Dir.Path("link.wav")}) {
    for (const TWaveSaveResult& r : {ConvertWaveFile(take, same, ima, 0), CopyWaveFile(take, same)}) {
      EXPECT_EQ(r.Status, TWaveSaveStatus::wsCannotOpen);
      EXPECT_EQ(r.Path, same);
    }
  }
  EXPECT_EQ(WalkChunks(take).DataSize, Signal.size() * 2);

  TWaveSaveResult missing = ConvertWaveFile(Dir.Path("none.wav"), out, ima, 0);
  EXPECT_EQ(missing.Status, TWaveSaveStatus::wsCannotOpen);
  EXPECT_EQ(missing.Path, Dir.Path("none.wav"));
  EXPECT_EQ(CopyWaveFile(Dir.Path("none.wav"), out).Path, Dir.Path("none.wav"));

  TWaveSaveResult noFolder = ConvertWaveFile(take, Dir.Path("no/such/folder.wav"), ima, 0);
  EXPECT_EQ(noFolder.Status, TWaveSaveStatus::wsCannotOpen);
  EXPECT_EQ(noFolder.Path, Dir.Path("no/such/folder.wav"));

  // GSM 6.10 takes no stereo; the MPEG Layer-3 driver has no IMA ADPCM.
  TWaveFormat gsm = Offered(WAVE_FORMAT_GSM610, TWaveFormat::Pcm(1, 8000, 16));
  EXPECT_EQ(ConvertWaveFile(take, out, gsm, 0).Status, TWaveSaveStatus::wsNoStream);
  EXPECT_EQ(ConvertWaveFile(take, out, ima, 5).Status, TWaveSaveStatus::wsNoStream);
  EXPECT_TRUE(ConvertWaveFile(take, out, ima, 2).Ok());
  std::filesystem::remove(out);
  EXPECT_EQ(Dir.FileCount(), 2u);
}

TEST_F(WaveSave, DamagedOrCompressedSourcesAreBadSources) {
  std::string take = Take(8000, 1, 0.5);
  TWaveFormat alaw = Offered(WAVE_FORMAT_ALAW, TWaveFormat::Pcm(1, 8000, 16));
  std::vector<uint8_t> good = ReadBytes(take);
  std::vector<std::vector<uint8_t>> damaged = {
      {}, std::vector<uint8_t>(good.begin(), good.begin() + 30), std::vector<uint8_t>(good.begin(), good.end() - 100)};
  std::string compressed = Dir.Path("ima.wav");
  ASSERT_TRUE(ConvertWaveFile(take, compressed, Offered(WAVE_FORMAT_IMA_ADPCM, TWaveFormat::Pcm(1, 8000, 16)), 0).Ok());
  std::string bad = Dir.Path("bad.wav");
  for (const std::vector<uint8_t>& bytes : damaged) {
    WriteBytes(bad, bytes);
    EXPECT_EQ(ConvertWaveFile(bad, Dir.Path("out.wav"), alaw, 0).Status, TWaveSaveStatus::wsBadSource);
  }
  TWaveSaveResult r = ConvertWaveFile(compressed, Dir.Path("out.wav"), alaw, 0);
  EXPECT_EQ(r.Status, TWaveSaveStatus::wsBadSource);
  EXPECT_EQ(Dir.FileCount(), 3u);
}

TEST_F(WaveSave, ShortTakesAndEmptyTakesConvert) {
  TWaveFormat pcm = TWaveFormat::Pcm(1, 48000, 16);
  for (double seconds : {0.0, 0.01, 0.1}) {
    std::string take = Take(48000, 1, seconds), out = Dir.Path("short.wav");
    for (uint16_t tag : {WAVE_FORMAT_IMA_ADPCM, WAVE_FORMAT_MPEGLAYER3, WAVE_FORMAT_GSM610}) {
      TWaveSaveResult r = ConvertWaveFile(take, out, Offered(tag, pcm), 0);
      ASSERT_TRUE(r.Ok()) << tag << " " << seconds << ": " << r.Detail;
      EXPECT_EQ(r.Samples, Signal.size());
      EXPECT_EQ(WalkChunks(out).Fact, Signal.size());
      TFileStream back(out, fmOpenRead);
      EXPECT_EQ(ReadWaveHeader(back).Format, Offered(tag, pcm));
    }
  }
}

TEST_F(WaveSave, CopyIsByteForByte) {
  std::string take = Take(22050, 2, 0.3);
  WriteBytes(Dir.Path("copy.wav"), {9, 9});
  ASSERT_TRUE(CopyWaveFile(take, Dir.Path("copy.wav")).Ok());
  EXPECT_EQ(ReadBytes(Dir.Path("copy.wav")), ReadBytes(take));
  EXPECT_EQ(Dir.FileCount(), 2u);
}

}  // namespace
