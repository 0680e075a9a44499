// A take saved as IMA ADPCM decodes in sox, in ffmpeg and through the
// clip input's block decoder with the error of the format itself: no
// louder than sox's own IMA encoding of the same take.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "platform/codec/ImaAdpcm.h"
#include "platform/codec/RiffWave.h"
#include "platform/codec/WaveSave.h"
#include "support/codec/CodecTestSupport.h"

namespace {

using namespace codec;
using namespace codectest;

struct TImaCase {
  const char* Name;
  uint32_t Rate;
  uint16_t Channels;
  double Gain;  // of the take signal: 1, or a quiet take far below full scale
  bool HighLine = false;  // a quiet line of high notes instead
};

// A line of high notes struck every quarter second and dying away, as a
// synthesiser plays a melody an octave above middle C, peaking near -27 dBFS.
std::vector<int16_t> HighLine(uint32_t rate, uint16_t channels, double seconds) {
  static const double notes[] = {523.3, 587.3, 659.3, 698.5, 784.0, 880.0, 987.8, 1046.5};
  std::vector<int16_t> out(size_t(std::lround(rate * seconds)) * channels);
  for (size_t i = 0; i < out.size() / channels; ++i) {
    const double t = double(i) / rate, since = std::fmod(t, 0.25);
    const double f = notes[size_t(t / 0.25) % 8];
    const double v = 0.03 * std::exp(-since * 8) * (std::sin(2 * M_PI * f * t) + 0.5 * std::sin(4 * M_PI * f * t));
    for (uint16_t ch = 0; ch < channels; ++ch) out[i * channels + ch] = int16_t(std::lround(v * 32767));
  }
  return out;
}

// The error of Decoded against Reference in dB of full scale (RMS over the
// reference's length).
double ErrorDb(const std::vector<int16_t>& reference, const std::vector<int16_t>& decoded) {
  double sum = 0;
  for (size_t i = 0; i < reference.size(); ++i) {
    const double e = (i < decoded.size() ? decoded[i] : 0) - reference[i];
    sum += e * e;
  }
  return 10 * std::log10(std::max(sum / double(reference.size()), 1e-3) / (32768.0 * 32768.0));
}

std::vector<int16_t> SoxDecode(const std::string& path) {
  const std::string raw = Run("sox " + Quote(path) + " -t s16 -e signed -L -");
  std::vector<int16_t> samples(raw.size() / 2);
  for (size_t i = 0; i < samples.size(); ++i)
    samples[i] = int16_t(uint8_t(raw[2 * i]) | uint8_t(raw[2 * i + 1]) << 8);
  return samples;
}

// The data chunk decoded block by block as the clip input decodes it.
std::vector<int16_t> BlockDecode(const std::string& path) {
  TFileStream in(path, fmOpenRead);
  const TWaveFileInfo info = ReadWaveHeader(in);
  std::vector<uint8_t> data(info.DataSize);
  in.Seek(info.DataOffset, TSeekOrigin::soBeginning);
  in.ReadBuffer(data.data(), data.size());
  const size_t align = info.Format.nBlockAlign(), spb = info.Format.ExtraU16(18), channels = info.Format.nChannels();
  std::vector<int16_t> out;
  for (size_t at = 0; at < data.size(); at += align) {
    std::vector<int16_t> block(spb * channels);
    const size_t frames = DecodeImaBlock(data.data() + at, std::min(align, data.size() - at), int(channels), spb, block.data());
    out.insert(out.end(), block.begin(), block.begin() + std::ptrdiff_t(frames * channels));
  }
  out.resize(std::min<size_t>(out.size(), size_t(info.FactSamples) * channels));
  return out;
}

class ImaAdpcm : public testing::TestWithParam<TImaCase> {
protected:
  TScratchDir Dir;
};

TEST_P(ImaAdpcm, ASavedTakeDecodesEverywhereWithinTheFormatsOwnError) {
  const TImaCase c = GetParam();
  std::vector<int16_t> signal = c.HighLine ? HighLine(c.Rate, c.Channels, 2.0) : TakeSignal(c.Rate, c.Channels, 2.0);
  for (int16_t& s : signal) s = int16_t(std::lround(s * c.Gain));
  const std::string pcm = Dir.Path("take.wav"), ours = Dir.Path("ours.wav"), sox = Dir.Path("sox.wav");
  const std::vector<int16_t> take = WritePcmWave(pcm, signal, c.Rate, c.Channels, 16);
  TWaveFormat pcmFormat = TWaveFormat::Pcm(c.Channels, c.Rate, 16);
  const TWaveSaveResult saved = ConvertWaveFile(pcm, ours, Offered(WAVE_FORMAT_IMA_ADPCM, pcmFormat), 0);
  ASSERT_TRUE(saved.Ok()) << saved.Detail;
  int status = -1;
  codectest::Run("sox " + Quote(pcm) + " -e ima-adpcm " + Quote(sox), &status);
  ASSERT_EQ(status, 0);

  // Each decoder against its own reading of sox's encoding: decoders
  // differ a little in their rounding (libavcodec's from the published rule).
  const double signalDb = ErrorDb(take, {});
  const std::pair<const char*, std::function<std::vector<int16_t>(const std::string&)>> decoders[] = {
      {"sox", SoxDecode}, {"ffmpeg", [&](const std::string& path) { return FfDecode(path, c.Channels); }},
      {"clip input", BlockDecode}};
  for (const auto& [name, decode] : decoders) {
    const std::vector<int16_t> decoded = decode(ours);
    const double error = ErrorDb(take, decoded), soxOwn = ErrorDb(take, decode(sox));
    SCOPED_TRACE(std::string(name) + ": take " + std::to_string(signalDb) + " dB, error " + std::to_string(error) +
                 " dB, of sox's own encoding " + std::to_string(soxOwn) + " dB");
    ASSERT_GE(decoded.size(), take.size());
    EXPECT_LT(soxOwn, signalDb - 10) << "the reference itself must be a fair one";
    EXPECT_LE(error, soxOwn + 1.0);
  }
  const std::vector<int16_t> soxDecoded = SoxDecode(ours), blockDecoded = BlockDecode(ours);
  EXPECT_TRUE(std::equal(soxDecoded.begin(), soxDecoded.begin() + std::ptrdiff_t(take.size()), blockDecoded.begin()))
      << "sox and the clip input decode the same samples";
}

INSTANTIATE_TEST_SUITE_P(Takes, ImaAdpcm,
                         testing::Values(TImaCase{"Stereo44k", 44100, 2, 1.0}, TImaCase{"Mono22k", 22050, 1, 1.0},
                                         TImaCase{"QuietStereo44k", 44100, 2, 0.004}, TImaCase{"QuietMono8k", 8000, 1, 0.004},
                                         TImaCase{"HighLine44k", 44100, 2, 1.0, true}),
                         [](const testing::TestParamInfo<TImaCase>& info) { return std::string(info.param.Name); });

// The published step rule, worked by hand from 0 at index 0 (step 7):
// code 7 adds 0 + 7 + 3 + 1 = 11 and moves to index 8 (step 16); code 10
// takes 2 + 8 = 10 away (1) and moves to index 7 (step 14); code 15 takes
// 1 + 14 + 7 + 3 = 25 away (-24), index 15 (step 31); code 7 adds
// 3 + 31 + 15 + 7 = 56 (32), index 23; and a sample never leaves 16 bits.
TEST(ImaChannel, DecodesByThePublishedStepRule) {
  const struct {
    int Code, Sample, Index;
  } steps[] = {{7, 11, 8}, {10, 1, 7}, {15, -24, 15}, {7, 32, 23}};
  TImaChannel channel;
  for (const auto& step : steps) {
    EXPECT_EQ(channel.Decode(step.Code), step.Sample);
    EXPECT_EQ(channel.Index, step.Index);
  }
  TImaChannel top{32760, 88}, bottom{-32760, 88};
  EXPECT_EQ(top.Decode(7), 32767);
  EXPECT_EQ(bottom.Decode(15), -32768);
}

}  // namespace
