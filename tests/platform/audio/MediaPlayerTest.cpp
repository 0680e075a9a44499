// The media player that plays a take back through the bus: to its end,
// from where it is put, compressed files, and files it cannot read.

#include <gtest/gtest.h>

#include "support/audio/AudioTestSupport.h"
#include "platform/audio/Mci.h"
#include "platform/audio/MediaPlayer.h"
#include "platform/audio/WaveDecoder.h"
#include "platform/codec/WaveSave.h"

namespace {

using namespace audio;
using namespace audiotest;

class MediaPlayer : public AudioTest {
protected:
  // A take of Seconds of the chord at Rate, mono, 16 bits.
  std::string RecordTake(uint32_t rate, double seconds) {
    TChord chord(Bus);
    Render(4410);
    OpenTake(rate, 1, 16);
    Mci("RECORD take");
    RenderSeconds(seconds);
    Mci("STOP take");
    const std::string path = Dir.Path("take.wav");
    Mci("SAVE take \"" + path + "\"");
    Mci("CLOSE take");
    return path;
  }
};

TEST_F(MediaPlayer, PlaysARecordedTakeToItsEndThroughTheBus) {
  const std::string take = RecordTake(22050, 1.0);
  TMediaPlayer player;
  EXPECT_EQ(player.Mode(), TMPModes::mpNotReady);
  EXPECT_EQ(player.Play(), MCIERR_DEVICE_NOT_READY);
  player.FileName = take;
  ASSERT_EQ(player.Open(), 0u);
  EXPECT_EQ(player.Mode(), TMPModes::mpStopped);
  EXPECT_EQ(player.Length(), 1000u);
  const std::vector<float> idle = Render(4410);
  EXPECT_EQ(*std::max_element(idle.begin(), idle.end()), 0.0f) << "silent until it plays";

  // Played back and recorded again, the take comes back as it was.
  OpenTake(22050, 1, 16);
  Mci("RECORD take");
  ASSERT_EQ(player.Play(), 0u);
  EXPECT_EQ(player.Mode(), TMPModes::mpPlaying);
  Render(22050);
  EXPECT_EQ(player.Position(), 500u);
  Render(26460);
  EXPECT_EQ(player.Mode(), TMPModes::mpStopped);
  EXPECT_EQ(player.Position(), 1000u);
  Mci("STOP take");
  Mci("SAVE take \"" + Dir.Path("replay.wav") + "\"");
  uint32_t lag = 99;
  const double similarity =
      codectest::Correlation(codectest::FfDecode(take, 1), codectest::FfDecode(Dir.Path("replay.wav"), 1), 1, 8, &lag);
  EXPECT_EQ(lag, 0u);
  EXPECT_GT(similarity, 0.99);
}

TEST_F(MediaPlayer, SeeksStopsWhereItIsAndStartsAgainFromTheEnd) {
  TMediaPlayer player;
  player.FileName = RecordTake(11025, 1.0);
  ASSERT_EQ(player.Open(), 0u);
  ASSERT_EQ(player.SetPosition(900), 0u);
  EXPECT_EQ(player.Position(), 900u);
  ASSERT_EQ(player.Play(), 0u);
  Render(2205);  // 50 ms
  ASSERT_EQ(player.Stop(), 0u);
  EXPECT_EQ(player.Position(), 950u);
  Render(4410);
  EXPECT_EQ(player.Position(), 950u) << "a stopped player stays where it is";
  ASSERT_EQ(player.Play(), 0u);
  const std::vector<float> tail = Render(4410);
  EXPECT_GT(*std::max_element(tail.begin(), tail.end()), 0.01f);
  EXPECT_EQ(player.Mode(), TMPModes::mpStopped);
  EXPECT_EQ(player.Position(), 1000u);
  ASSERT_EQ(player.Play(), 0u);  // from the start again
  Render(4410);
  EXPECT_EQ(player.Position(), 100u);
  ASSERT_EQ(player.SetPosition(200), 0u);  // while it plays
  Render(4410);
  EXPECT_EQ(player.Position(), 300u);
  EXPECT_EQ(player.SetPosition(5000), 0u);
  EXPECT_EQ(player.Position(), 1000u);
  ASSERT_EQ(player.Rewind(), 0u);
  EXPECT_EQ(player.Position(), 0u);
}

TEST_F(MediaPlayer, OpensACompressedTakeAndRefusesFilesItCannotRead) {
  const std::string pcm = Dir.Path("pcm.wav");
  codectest::WritePcmWave(pcm, codectest::TakeSignal(8000, 1, 1.0), 8000, 1, 16);
  const std::string ima = Dir.Path("ima.wav");
  const codec::TWaveFormat format = codectest::Offered(codec::WAVE_FORMAT_IMA_ADPCM, codec::TWaveFormat::Pcm(1, 8000, 16));
  ASSERT_TRUE(codec::ConvertWaveFile(pcm, ima, format, 0).Ok());
  TMediaPlayer player;
  player.FileName = ima;
  ASSERT_EQ(player.Open(), 0u);
  EXPECT_NEAR(player.Length(), 1000.0, 64.0) << "a last block of padding at most";
  ASSERT_EQ(player.Play(), 0u);
  const std::vector<float> sound = Render(4410);
  EXPECT_GT(*std::max_element(sound.begin(), sound.end()), 0.1f);

  codectest::WriteBytes(Dir.Path("garbage.wav"), std::vector<uint8_t>(100, 0x5A));
  player.FileName = Dir.Path("garbage.wav");
  EXPECT_EQ(player.Open(), MCIERR_INVALID_FILE);
  EXPECT_EQ(player.Mode(), TMPModes::mpNotReady);
  player.FileName = Dir.Path("missing.wav");
  EXPECT_EQ(player.Open(), MCIERR_FILE_NOT_FOUND);
  EXPECT_EQ(player.Length(), 0u);
}

// Found by fuzzing: a block align of 1 for 16-bit stereo kept half a frame.
TEST(WaveDecoder, PcmDecodesWholeFramesWhateverTheBlockAlignSays) {
  codectest::TScratchDir dir;
  const std::string path = dir.Path("align.wav");
  codectest::WritePcmWave(path, {1, 2, 3}, 8000, 2, 16);
  std::vector<uint8_t> bytes = codectest::ReadBytes(path);
  bytes[32] = 1;  // block align
  codectest::WriteBytes(path, bytes);
  TDecodedWave wave;
  ASSERT_EQ(DecodeWaveFile(path, wave), 0u);
  EXPECT_EQ(wave.Samples, (std::vector<int16_t>{1, 2}));
}

}  // namespace
