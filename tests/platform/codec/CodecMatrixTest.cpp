// Every codec at every rate it offers, mono and stereo: a two-second take
// is converted into a WAVE file that ffprobe recognises, whose "fact" holds
// the take's sample frames, and that decodes back (by ffmpeg and by this
// layer's own streams) to a signal close to the take.
//
// The take is made by sox, the same at every run: plucked strings (C3, and
// E4 on the right in stereo), broadband and decaying like a recorded
// instrument, over two sweeps that keep the best delay unambiguous.
// Correlation thresholds (normalised, at the best delay, over the whole
// take), with the lowest values measured: A-law and u-law 0.999 (8-bit
// companding only; 0.99991), IMA ADPCM 0.99 (4 bits per sample, worst at
// 8 kHz mono: 0.9966), Microsoft ADPCM 0.99 (0.9956), GSM 6.10 0.9 (a speech
// coder, worst at 8 kHz: 0.941), MPEG Layer-3 0.98 (worst at 11025 Hz mono:
// 0.9956). The margin leaves room for other library versions; a broken
// block or a channel mix-up falls far below, and a lost tail fails the length check.

#include <gtest/gtest.h>

#include <map>

#include "support/codec/CodecTestSupport.h"
#include "platform/codec/Acm.h"
#include "platform/codec/WaveSave.h"

using namespace codec;
using namespace codectest;

namespace {

struct TCodecCase {
  uint16_t Tag;
  const char* Name;
  const char* ProbeName;  // ffprobe's codec_name
  double MinCorrelation;
  uint32_t MaxDelay;  // frames the decoded signal may lag
  bool StereoToo;
};

const TCodecCase kCodecs[] = {
    {WAVE_FORMAT_ALAW, "Alaw", "pcm_alaw", 0.999, 0, true},
    {WAVE_FORMAT_MULAW, "Mulaw", "pcm_mulaw", 0.999, 0, true},
    {WAVE_FORMAT_IMA_ADPCM, "ImaAdpcm", "adpcm_ima_wav", 0.99, 0, true},
    {WAVE_FORMAT_ADPCM, "MsAdpcm", "adpcm_ms", 0.99, 0, true},
    {WAVE_FORMAT_GSM610, "Gsm610", "gsm_ms", 0.9, 8, false},
    {WAVE_FORMAT_MPEGLAYER3, "MpegLayer3", "mp3", 0.98, 2400, true},
};

const uint32_t kRates[] = {8000, 11025, 12000, 22050, 24000, 32000, 44100, 48000};

struct TMatrixCase {
  const TCodecCase* Codec;
  uint32_t Rate;
  uint16_t Channels;
};

std::vector<TMatrixCase> AllCases() {
  std::vector<TMatrixCase> cases;
  for (const TCodecCase& c : kCodecs)
    for (uint32_t rate : kRates)
      for (uint16_t ch = 1; ch <= (c.StereoToo ? 2 : 1); ++ch) cases.push_back({&c, rate, ch});
  return cases;
}

class CodecMatrix : public testing::TestWithParam<TMatrixCase> {};

TEST_P(CodecMatrix, ConvertsATakeThatDecodesBackToTheSameSignal) {
  const TMatrixCase& m = GetParam();
  TScratchDir dir;
  std::string src = dir.Path("take.wav"), dst = dir.Path("saved.wav");
  ASSERT_EQ(std::system(("sox -R -q -n -r " + std::to_string(m.Rate) + " -c " + std::to_string(m.Channels) + " -b 16 " +
                         Quote(src) + " synth 2 pluck C3 pluck E4 synth 2 sine mix 150-3000 sine mix 170-2800 gain -6").c_str()), 0);
  std::vector<int16_t> take = FfDecode(src, m.Channels);

  TWaveFormat format;
  ASSERT_TRUE(FirstOfferedFormat(nullptr, m.Codec->Tag, TWaveFormat::Pcm(m.Channels, m.Rate, 16), format));
  TWaveSaveResult r = ConvertWaveFile(src, dst, format, 0);
  ASSERT_TRUE(r.Ok()) << r.Detail;
  EXPECT_EQ(r.Samples, 2 * m.Rate);

  TChunkWalk walk = WalkChunks(dst);
  EXPECT_EQ(walk.Ids, (std::vector<std::string>{"fmt ", "fact", "data"}));
  EXPECT_TRUE(walk.Even);
  EXPECT_TRUE(walk.FitsRiffSize);
  EXPECT_EQ(walk.Fact, 2 * m.Rate);
  EXPECT_EQ(walk.Fmt, format.Bytes());

  TProbe probe = FfProbe(dst);
  EXPECT_EQ(probe.CodecName, m.Codec->ProbeName);
  EXPECT_EQ(probe.SampleRate, m.Rate);
  EXPECT_EQ(probe.Channels, m.Channels);

  uint32_t lag = 0;
  std::vector<int16_t> byFfmpeg = FfDecode(dst, m.Channels);
  EXPECT_GE(byFfmpeg.size(), take.size());
  double ffCorrelation = Correlation(take, byFfmpeg, m.Channels, m.Codec->MaxDelay, &lag);
  EXPECT_GE(ffCorrelation, m.Codec->MinCorrelation) << "delay " << lag;
  // The MPEG Layer-3 record announces the delay a decoder sees.
  if (m.Codec->Tag == WAVE_FORMAT_MPEGLAYER3) {
    EXPECT_EQ(lag, format.ExtraU16(28));
  }

  std::vector<int16_t> byLayer = LayerDecode(dst);
  EXPECT_GE(byLayer.size(), take.size());
  double ownCorrelation = Correlation(take, byLayer, m.Channels, m.Codec->MaxDelay, &lag);
  EXPECT_GE(ownCorrelation, m.Codec->MinCorrelation) << "delay " << lag;
  RecordProperty("ffmpeg_correlation", std::to_string(ffCorrelation));
  RecordProperty("layer_correlation", std::to_string(ownCorrelation));
  if (std::getenv("SONARID_PRINT_CORRELATION"))
    std::printf("correlation %s %u %u: ffmpeg %.5f layer %.5f delay %u\n", m.Codec->Name, m.Rate, m.Channels,
                ffCorrelation, ownCorrelation, lag);
}

std::string CaseName(const testing::TestParamInfo<TMatrixCase>& info) {
  return std::string(info.param.Codec->Name) + "_" + std::to_string(info.param.Rate) +
         (info.param.Channels == 1 ? "_Mono" : "_Stereo");
}

INSTANTIATE_TEST_SUITE_P(EveryCodecRateAndChannelCount, CodecMatrix, testing::ValuesIn(AllCases()), CaseName);

}  // namespace
