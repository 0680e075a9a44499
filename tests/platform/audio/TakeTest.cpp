// Takes recorded through the MCI wave-audio device from "Program output":
// every format the recorder offers, exact frame counts, the input volume,
// bad command strings and a full disk.

#include <gtest/gtest.h>

#include <cmath>

#include "support/audio/AudioTestSupport.h"
#include "platform/audio/CaptureDevice.h"
#include "platform/audio/Mci.h"
#include "platform/audio/Mixer.h"

namespace {

using namespace audio;
using namespace audiotest;
using codectest::ReadBytes;

struct TTakeFormat {
  uint32_t Rate;
  uint16_t Channels, Bits;
};

std::vector<TTakeFormat> EveryRecordFormat() {
  std::vector<TTakeFormat> formats;
  for (uint32_t rate : {8000, 11025, 12000, 22050, 24000, 32000, 44100, 48000})
    for (uint16_t channels : {1, 2})
      for (uint16_t bits : {8, 16}) formats.push_back({rate, channels, bits});
  return formats;
}

std::string Name(const testing::TestParamInfo<TTakeFormat>& info) {
  return std::to_string(info.param.Rate) + (info.param.Channels == 2 ? "_stereo_" : "_mono_") +
         std::to_string(info.param.Bits) + "bit";
}

class TakeFormat : public AudioTest, public testing::WithParamInterface<TTakeFormat> {};

TEST_P(TakeFormat, AChordOfTwoSecondsBecomesAFileOfExactlyTwoSecondsInThatFormat) {
  const auto [rate, channels, bits] = GetParam();
  TChord chord(Bus);
  Render(4410);  // the chord's attack
  OpenTake(rate, channels, bits);
  Mci("RECORD take");
  const std::vector<float> mix = RenderSeconds(2.0);
  Mci("STOP take");
  const std::string path = Dir.Path("take of two seconds.wav");
  Mci("SAVE take \"" + path + "\"");

  const TSoxInfo info = SoxInfo(path);
  EXPECT_EQ(info.Rate, rate);
  EXPECT_EQ(info.Channels, channels);
  EXPECT_EQ(info.Bits, bits);
  EXPECT_EQ(info.Frames, 2 * rate);
  EXPECT_GT(info.Rms, 0.005);
  const codectest::TChunkWalk walk = codectest::WalkChunks(path);
  EXPECT_TRUE(walk.FitsRiffSize);
  EXPECT_EQ(walk.DataSize, info.Frames * channels * bits / 8);

  // Against sox's own conversion of what the bus played: a frame dropped or
  // doubled anywhere would shift all that follows it.
  const std::string reference = Dir.Path("reference.wav");
  WriteMix(Dir.Path("mix.wav"), mix, Bus.SampleRate());
  codectest::Run("sox -D " + codectest::Quote(Dir.Path("mix.wav")) + " -r " + std::to_string(rate) + " -c " +
                 std::to_string(channels) + " " + codectest::Quote(reference));
  uint32_t lag = 99;
  const double similarity = codectest::Correlation(codectest::FfDecode(reference, channels),
                                                   codectest::FfDecode(path, channels), channels, 8, &lag);
  EXPECT_EQ(lag, 0u);
  EXPECT_GT(similarity, bits == 8 ? 0.98 : 0.995);
}

INSTANTIATE_TEST_SUITE_P(EveryRecordFormat, TakeFormat, testing::ValuesIn(EveryRecordFormat()), Name);

class Take : public AudioTest {};

TEST_F(Take, ALongTakeHasExactlyItsDurationTimesTheRateInFrames) {
  // Three minutes in blocks of an odd size: the resampler must neither
  // drift nor lose its tail.
  for (uint32_t rate : {8000u, 11025u, 48000u}) {
    OpenTake(rate, 1, 8);
    Mci("RECORD take");
    for (int i = 0; i < 180; ++i) Render(44100, 437);
    Mci("STOP take");
    std::string length;
    EXPECT_EQ(MciSendString("status TAKE length", &length), 0u);
    EXPECT_EQ(length, "180000");
    const std::string path = Dir.Path("long.wav");
    Mci("SAVE take " + path);
    EXPECT_EQ(SoxInfo(path).Frames, 180u * rate) << rate;
    Mci("CLOSE take");
  }
}

TEST_F(Take, AtTheBusRateTheTakeIsTheMixSampleForSampleTimesTheInputVolume) {
  HMIXER mixer = 0;
  ASSERT_EQ(MixerOpen(mixer, 0, {}), MMSYSERR_NOERROR);
  TChord chord(Bus);
  Render(4410);
  // The volume on a cubic curve: half is an eighth (-18 dB), a quarter 1/64.
  const struct {
    uint32_t Left, Right;
    float LeftGain, RightGain;
  } volumes[] = {{65535, 65535, 1, 1}, {0, 0, 0, 0}, {32768, 16384, 0.125f, 0.015625f}};
  for (const auto& volume : volumes) {
    std::vector<TMixerControl> controls;
    ASSERT_EQ(MixerGetLineControls(mixer, 0xFFFF0000, controls), MMSYSERR_NOERROR);
    ASSERT_EQ(MixerSetControlDetails(mixer, controls[0].ControlID, {volume.Left, volume.Right}), MMSYSERR_NOERROR);
    OpenTake(44100, 2, 16);
    Mci("RECORD take");
    const std::vector<float> mix = Render(22050);
    Mci("STOP take");
    Mci("SAVE take \"" + Dir.Path("take.wav") + "\"");
    Mci("CLOSE take");
    const std::vector<int16_t> take = codectest::FfDecode(Dir.Path("take.wav"), 2);
    ASSERT_EQ(take.size(), mix.size());
    size_t wrong = 0;
    for (size_t i = 0; i < mix.size(); ++i) {
      const float gain = i % 2 ? volume.RightGain : volume.LeftGain;
      const long expected = std::lrint(std::clamp(mix[i] * gain, -1.0f, 32767 / 32768.0f) * 32768);
      if (std::abs(take[i] - expected) > 1) ++wrong;
    }
    EXPECT_EQ(wrong, 0u) << volume.Left << "/" << volume.Right;
    ASSERT_GT(*std::max_element(mix.begin(), mix.end()), 0.05f) << "the chord sounds";
  }
  MixerClose(mixer);
}

TEST_F(Take, WhileRecordingTheFormatAndSaveAreRefusedAndRecordGoesOn) {
  OpenTake(22050, 1, 16);
  Mci("RECORD take");
  Render(2205);
  EXPECT_EQ(MciSendString("SET take CHANNELS 2"), MCIERR_NONAPPLICABLE_FUNCTION);
  EXPECT_EQ(MciSendString("SAVE take \"" + Dir.Path("early.wav") + "\""), MCIERR_NONAPPLICABLE_FUNCTION);
  std::string mode;
  EXPECT_EQ(MciSendString("Status Take Mode", &mode), 0u);
  EXPECT_EQ(mode, "recording");
  Mci("RECORD take");
  Mci("STOP take");
  EXPECT_EQ(MciSendString("SET take CHANNELS 2"), MCIERR_NONAPPLICABLE_FUNCTION) << "the take holds mono frames";
  Mci("RECORD take");  // goes on at the end
  Render(2205);
  Mci("STOP take");
  Mci("SAVE take \"" + Dir.Path("two parts.wav") + "\"");
  // Each part rounds its own half frame.
  EXPECT_NEAR(double(SoxInfo(Dir.Path("two parts.wav")).Frames), 2205, 1);
}

TEST_F(Take, AFullDiskFailsTheSaveAndLeavesTheFileItNamesAsItWas) {
  OpenTake(44100, 2, 16);
  Mci("RECORD take");
  Render(44100);  // 176 kB
  Mci("STOP take");
  const std::string path = Dir.Path("Untitled.wav");
  codectest::WriteBytes(path, {'o', 'l', 'd'});
  {
    codectest::TFileSizeLimit disk(64 * 1024);
    EXPECT_EQ(MciSendString("SAVE take \"" + path + "\""), MCIERR_FILE_WRITE);
  }
  EXPECT_EQ(ReadBytes(path), (std::vector<uint8_t>{'o', 'l', 'd'}));
  EXPECT_EQ(Dir.FileCount(), 1u) << "no partial file is left";
  EXPECT_EQ(MciSendString("SAVE take \"" + Dir.Path("no folder/take.wav") + "\""), MCIERR_FILE_NOT_SAVED);
  Mci("SAVE take \"" + path + "\"");  // the take itself is not lost
  EXPECT_EQ(SoxInfo(path).Frames, 44100u);
}

struct TBadCommand {
  const char* Command;
  MCIERROR Code;
};

class BadCommand : public AudioTest, public testing::WithParamInterface<TBadCommand> {};

TEST_P(BadCommand, GetsItsCodeAndTextAndTheTakeStillRecords) {
  OpenTake(8000, 1, 8);
  const MCIERROR code = MciSendString(GetParam().Command);
  EXPECT_EQ(code, GetParam().Code) << GetParam().Command;
  std::string text;
  EXPECT_TRUE(MciGetErrorString(code, text));
  EXPECT_FALSE(text.empty());
  Mci("RECORD take");
  Render(4410);
  Mci("STOP take");
  Mci("SAVE take \"" + Dir.Path("after.wav") + "\"");
  EXPECT_EQ(SoxInfo(Dir.Path("after.wav")).Frames, 800u);
}

INSTANTIATE_TEST_SUITE_P(
    Table, BadCommand,
    testing::Values(TBadCommand{"", MCIERR_MISSING_COMMAND_STRING}, TBadCommand{"PLAY take", MCIERR_UNRECOGNIZED_COMMAND},
                    TBadCommand{"RECORD", MCIERR_MISSING_DEVICE_NAME}, TBadCommand{"RECORD other", MCIERR_INVALID_DEVICE_NAME},
                    TBadCommand{"RECORD take FROM 0", MCIERR_UNRECOGNIZED_KEYWORD},
                    TBadCommand{"open new type waveaudio alias TAKE", MCIERR_DUPLICATE_ALIAS},
                    TBadCommand{"OPEN NEW TYPE WAVEAUDIO", MCIERR_NEW_REQUIRES_ALIAS},
                    TBadCommand{"OPEN NEW ALIAS x", MCIERR_DEVICE_TYPE_REQUIRED},
                    TBadCommand{"OPEN NEW TYPE CDAUDIO ALIAS x", MCIERR_INVALID_DEVICE_NAME},
                    TBadCommand{"OPEN C:\\take.wav TYPE WAVEAUDIO ALIAS x", MCIERR_UNSUPPORTED_FUNCTION},
                    TBadCommand{"SET take", MCIERR_MISSING_PARAMETER}, TBadCommand{"SET take CHANNELS", MCIERR_MISSING_PARAMETER},
                    TBadCommand{"SET take BITSPERSAMPLE twelve", MCIERR_BAD_INTEGER},
                    TBadCommand{"SET take BITSPERSAMPLE 12", MCIERR_OUTOFRANGE},
                    TBadCommand{"SET take CHANNELS 2 ALIGNMENT 3", MCIERR_OUTOFRANGE},
                    TBadCommand{"SET take SAMPLESPERSEC 8000 BYTESPERSEC 1", MCIERR_OUTOFRANGE},
                    TBadCommand{"SET take CHANNELS 1 CHANNELS 2", MCIERR_DUPLICATE_FLAGS},
                    TBadCommand{"SET take TIME FORMAT FRAMES", MCIERR_BAD_TIME_FORMAT},
                    TBadCommand{"SET take TIME SAMPLES", MCIERR_UNRECOGNIZED_KEYWORD},
                    TBadCommand{"SET take VOLUME 5", MCIERR_UNRECOGNIZED_KEYWORD},
                    TBadCommand{"STOP take", MCIERR_WAVE_NOT_RECORDING}, TBadCommand{"SAVE take", MCIERR_FILENAME_REQUIRED},
                    TBadCommand{"SAVE take \"/tmp/empty.wav\"", MCIERR_WAVE_EMPTY},
                    TBadCommand{"SAVE take \"/tmp/no end", MCIERR_NO_CLOSING_QUOTE},
                    TBadCommand{"STATUS take", MCIERR_MISSING_PARAMETER},
                    TBadCommand{"STATUS take VOLUME", MCIERR_UNRECOGNIZED_KEYWORD}));

}  // namespace
