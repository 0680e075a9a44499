// The WAVE clip input on real clips made by sox and ffmpeg, checked against
// what ffmpeg decodes of the same file, and on damaged images built here.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "ClipReading.h"
#include "media/audio/AuException.h"
#include "media/audio/WaveIn.h"
#include "support/Raised.h"
#include "support/codec/CodecTestSupport.h"
#include "support/codec/RiffImage.h"

using namespace codectest;

namespace {

std::vector<uint8_t> DrainImage(const std::vector<uint8_t>& image, wavein::TWaveKind* kind = nullptr) {
  TMemoryStream stream(image);
  TWaveIn in;
  in.SetStream(&stream);
  std::vector<uint8_t> out = Drain(in);
  in.GetTotalTime();
  if (kind) *kind = in.HeaderKind();
  return out;
}

std::vector<uint8_t> Raw(const std::string& text) { return {text.begin(), text.end()}; }

// The clip input's float rule, written out from its description.
int32_t FloatRule(double x) {
  if (std::isnan(x) || x <= -1) return INT32_MIN;
  if (x >= 1) return INT32_MAX;
  return int32_t(std::floor(x * 2147483647.0));
}

enum class TCheck { Exact, Float, Correlated };

struct TClipCase {
  const char* Name;
  const char* Make;  // the command that writes %F
  const char* FfFormat;  // ffmpeg's raw output format for the reference; "sox" for sox's 16-bit
  TCheck Check;
  wavein::TWaveKind Kind;
  uint16_t Channels;
};

constexpr const char* kSine = "sox -n -r 44100 -c 2 ";

class ClipDecode : public testing::TestWithParam<TClipCase> {};

TEST_P(ClipDecode, DeliversWhatFfmpegDecodes) {
  const TClipCase& c = GetParam();
  TScratchDir dir;
  const std::string path = dir.Path("clip.wav");
  std::string make = c.Make;
  make.replace(make.find("%F"), 2, Quote(path));
  int status = -1;
  codectest::Run(make + " 2>&1", &status);
  ASSERT_EQ(status, 0) << make;

  TWaveIn in;
  in.SetFileName(path);
  EXPECT_EQ(in.GetChannels(), c.Channels);
  const std::vector<uint8_t> got = Drain(in);
  in.GetTotalTime();
  EXPECT_EQ(in.HeaderKind(), c.Kind);
  const std::string ff = c.FfFormat;
  std::vector<uint8_t> ref = Raw(codectest::Run(ff == "sox" ? "sox " + Quote(path) + " -t s16 -"
                                                            : "ffmpeg -nostdin -v error -i " + Quote(path) + " -f " + ff + " -"));
  const uint32_t fact = WalkChunks(path).Fact;
  const size_t refSample = ff == "u8" ? 1 : ff == "s16le" || ff == "sox" ? 2 : ff == "s24le" ? 3 : ff == "f64le" ? 8 : 4;
  if (fact && c.Check != TCheck::Correlated) ref.resize(std::min(ref.size(), size_t(fact) * c.Channels * refSample));
  ASSERT_FALSE(got.empty());
  switch (c.Check) {
    case TCheck::Exact:
      EXPECT_EQ(got, ref);
      break;
    case TCheck::Float: {
      const auto a = As<int32_t>(got);
      const auto x = As<double>(ref);
      ASSERT_EQ(a.size(), x.size());
      for (size_t i = 0; i < a.size(); ++i) ASSERT_EQ(a[i], FloatRule(x[i])) << i;
      break;
    }
    case TCheck::Correlated:
      EXPECT_GE(Correlation(As<int16_t>(ref), As<int16_t>(got), c.Channels, 3000), 0.99);
      break;
  }
}

INSTANTIATE_TEST_SUITE_P(
    RealClips, ClipDecode,
    testing::Values(
        TClipCase{"Pcm8", "sox -n -r 22050 -c 1 -b 8 %F synth 0.3 sine 440", "u8", TCheck::Exact, wavein::Pcm, 1},
        TClipCase{"Pcm16", "sox -n -r 44100 -c 2 -b 16 -t wavpcm %F synth 0.3 sine 440 sine 660", "s16le", TCheck::Exact,
                  wavein::Pcm, 2},
        TClipCase{"Pcm24", "sox -n -r 44100 -c 1 -b 24 -t wavpcm %F synth 0.3 sine 440", "s24le", TCheck::Exact,
                  wavein::Pcm, 1},
        TClipCase{"Pcm32", "sox -n -r 44100 -c 1 -b 32 -t wavpcm %F synth 0.3 sine 440", "s32le", TCheck::Exact,
                  wavein::Pcm, 1},
        TClipCase{"ExtensiblePcm24", "sox -n -r 44100 -c 2 -b 24 %F synth 0.3 sine 440 sine 660", "s24le",
                  TCheck::Exact, wavein::ExtensiblePcm, 2},
        TClipCase{"SixChannels", "sox -n -r 44100 -c 6 -b 16 %F synth 0.3 sine 440", "s16le", TCheck::Exact,
                  wavein::ExtensiblePcm, 6},
        TClipCase{"Float32", "sox -n -r 44100 -c 2 -e floating-point -b 32 -t wavpcm %F synth 0.3 sine 440 vol 1.2",
                  "f64le", TCheck::Float, wavein::IeeeFloat, 2},
        TClipCase{"Float64", "sox -n -r 44100 -c 1 -e floating-point -b 64 %F synth 0.3 sine 440", "f64le",
                  TCheck::Float, wavein::IeeeFloat, 1},
        TClipCase{"ExtensibleFloat",
                  "ffmpeg -nostdin -v error -f lavfi -i sine=f=440:d=0.3 -ac 2 -c:a pcm_f32le -f wav %F", "f64le",
                  TCheck::Float, wavein::ExtensibleFloat, 2},
        TClipCase{"ImaAdpcm", "sox -n -r 44100 -c 2 -e ima-adpcm -b 4 %F synth 0.3 sine 440 sine 660 vol 0.5",
                  "sox", TCheck::Exact, wavein::ImaAdpcm, 2},
        TClipCase{"ImaAdpcmAtTheLimit", "sox -n -r 8000 -c 1 -e ima-adpcm -b 4 %F synth 0.3 square 60", "sox",
                  TCheck::Exact, wavein::ImaAdpcm, 1},
        TClipCase{"MsAdpcm", "sox -n -r 44100 -c 2 -e ms-adpcm -b 4 %F synth 0.3 sine 440 sine 660", "s16le",
                  TCheck::Exact, wavein::MsAdpcm, 2},
        TClipCase{"MpegLayer3",
                  "ffmpeg -nostdin -v error -f lavfi -i sine=f=440:d=1 -ac 2 -c:a libmp3lame -f wav %F", "s16le",
                  TCheck::Correlated, wavein::MpegLayer3, 2}),
    [](const testing::TestParamInfo<TClipCase>& info) { return std::string(info.param.Name); });

// A "fmt " record of the given fields; Extra is appended after the 16 bytes.
std::vector<uint8_t> Fmt(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t align, uint16_t bits,
                         const std::vector<uint16_t>& extra = {}) {
  std::vector<uint8_t> f(16 + 2 * extra.size());
  le::store16(&f[0], tag);
  le::store16(&f[2], channels);
  le::store32(&f[4], rate);
  le::store32(&f[8], rate * align);
  le::store16(&f[12], align);
  le::store16(&f[14], bits);
  for (size_t i = 0; i < extra.size(); ++i) le::store16(&f[16 + 2 * i], extra[i]);
  return f;
}

std::vector<uint8_t> Fact(uint32_t n) {
  std::vector<uint8_t> f(4);
  le::store32(f.data(), n);
  return f;
}

// Microsoft ADPCM's seven standard coefficient pairs after cbSize, samples
// per block and the count.
std::vector<uint16_t> MsExtra(uint16_t samplesPerBlock, uint16_t count = 7) {
  std::vector<uint16_t> e = {32, samplesPerBlock, count, 256, 0, 512, uint16_t(-256), 0, 0, 192, 64, 240, 0,
                             460, uint16_t(-208), 392, uint16_t(-232)};
  return e;
}

struct TDamaged {
  const char* Name;
  std::vector<uint8_t> Image;
  size_t Bytes;  // delivered
};

class DamagedClip : public testing::TestWithParam<TDamaged> {};

TEST_P(DamagedClip, DeliversOnlyWhatIsSound) {
  EXPECT_EQ(DrainImage(GetParam().Image).size(), GetParam().Bytes);
}

std::vector<uint8_t> MsBlockWithPredictor(uint8_t predictor) {
  std::vector<uint8_t> block(256, 0x12);
  block[0] = predictor;
  return block;
}

INSTANTIATE_TEST_SUITE_P(
    Headers, DamagedClip,
    testing::Values(
        TDamaged{"OddListBeforeData",
                 TRiffImage().Chunk("fmt ", Fmt(1, 1, 8000, 2, 16)).Chunk("LIST", {1, 2, 3}).Chunk("data", std::vector<uint8_t>(100, 7)).Done(), 100},
        TDamaged{"ShortFormat", TRiffImage().Chunk("fmt ", std::vector<uint8_t>(14, 1)).Chunk("data", std::vector<uint8_t>(100)).Done(), 0},
        TDamaged{"NoChannels", TRiffImage().Chunk("fmt ", Fmt(1, 0, 8000, 2, 16)).Chunk("data", std::vector<uint8_t>(100)).Done(), 0},
        TDamaged{"NoBits", TRiffImage().Chunk("fmt ", Fmt(1, 1, 8000, 2, 0)).Chunk("data", std::vector<uint8_t>(100)).Done(), 0},
        TDamaged{"MsCoefficientsPastFormat",
                 TRiffImage().Chunk("fmt ", Fmt(2, 1, 8000, 256, 4, MsExtra(500, 200))).Chunk("fact", Fact(500)).Chunk("data", MsBlockWithPredictor(0)).Done(), 0},
        TDamaged{"MsPredictorNine",
                 TRiffImage().Chunk("fmt ", Fmt(2, 1, 8000, 256, 4, MsExtra(500))).Chunk("fact", Fact(500)).Chunk("data", MsBlockWithPredictor(9)).Done(), 0},
        TDamaged{"MsTooManySamplesPerBlock",
                 TRiffImage().Chunk("fmt ", Fmt(2, 1, 8000, 256, 4, MsExtra(501))).Chunk("fact", Fact(501)).Chunk("data", MsBlockWithPredictor(0)).Done(), 0},
        TDamaged{"MsSound",
                 TRiffImage().Chunk("fmt ", Fmt(2, 1, 8000, 256, 4, MsExtra(500))).Chunk("fact", Fact(500)).Chunk("data", MsBlockWithPredictor(0)).Done(), 1000},
        TDamaged{"ImaBlockOfTwoBuffers",
                 TRiffImage().Chunk("fmt ", Fmt(0x11, 1, 8000, 32768, 4, {2, 65529})).Chunk("fact", Fact(65529)).Chunk("data", std::vector<uint8_t>(32768, 0x35)).Done(),
                 65529 * 2},
        TDamaged{"NotWave", std::vector<uint8_t>(5000, 'R'), 0}),
    [](const testing::TestParamInfo<TDamaged>& info) { return std::string(info.param.Name); });

// Gives Byte for ever, or nothing at all; never reports an end.
class TEndlessStream : public TStream {
public:
  explicit TEndlessStream(int byte) : FByte(byte) {}
  int64_t Read(void* buffer, int64_t count) override {
    if (FByte < 0) return 0;
    std::memset(buffer, FByte, size_t(count));
    FRead += count;
    return count;
  }
  int64_t Write(const void*, int64_t) override { return 0; }
  int64_t Seek(int64_t offset, TSeekOrigin origin) override { return origin == TSeekOrigin::soEnd ? INT64_MAX : origin == TSeekOrigin::soBeginning ? offset : FRead; }
  int64_t FRead = 0;

private:
  int FByte;
};

TEST(WaveClipInput, StreamsThatNeverEndStopTheHeaderWalk) {
  for (int byte : {-1, int('R')}) {
    TEndlessStream stream(byte);
    TWaveIn in;
    in.SetStream(&stream);
    EXPECT_EQ(in.GetTotalTime(), 0);
    EXPECT_LE(stream.FRead, wavein::MaxHeaderBytes);
  }
}

TEST(WaveClipInput, ImaBlockStartsWithItsHeaderSample) {
  std::vector<uint8_t> block(256, 0xFF);  // the largest step down each sample
  le::store16(&block[0], 1234);
  block[2] = 0;
  const auto out = As<int16_t>(DrainImage(
      TRiffImage().Chunk("fmt ", Fmt(0x11, 1, 8000, 256, 4, {2, 505})).Chunk("fact", Fact(505)).Chunk("data", block).Done()));
  ASSERT_EQ(out.size(), 505u);
  EXPECT_EQ(out[0], 1234);
  EXPECT_LT(out[504], out[1]);
}

TEST(WaveClipInput, Float64BecomesInt32WithItsLimits) {
  std::vector<uint8_t> data(8 * 4);
  const double values[4] = {1.5, -1.0, std::nan(""), 0.25};
  for (int i = 0; i < 4; ++i) le::storeDouble(&data[8 * i], values[i]);
  const auto out = As<int32_t>(DrainImage(TRiffImage().Chunk("fmt ", Fmt(3, 1, 8000, 8, 64)).Chunk("data", data).Done()));
  EXPECT_EQ(out, (std::vector<int32_t>{INT32_MAX, INT32_MIN, INT32_MIN, 536870911}));
}

// A 16-bit mono clip whose samples count 0, 1, 2, ...
std::vector<uint8_t> Ramp(uint32_t samples, uint32_t rate = 8000, int64_t declared = -1) {
  std::vector<uint8_t> data(2 * samples);
  for (uint32_t i = 0; i < samples; ++i) le::store16(&data[2 * i], uint16_t(i));
  return TRiffImage().Chunk("fmt ", Fmt(1, 1, rate, 2, 16)).Chunk("data", data, declared).Chunk("LIST", {9, 9, 9, 9}).Done();
}

TEST(WaveClipInput, StartAndEndSamplesPickThePartToPlay) {
  TMemoryStream stream(Ramp(1000));
  TWaveIn in;
  in.SetStream(&stream);
  in.StartSample = 990;
  auto out = As<int16_t>(Drain(in));
  EXPECT_EQ(out, (std::vector<int16_t>{990, 991, 992, 993, 994, 995, 996, 997, 998, 999}));  // no trailing chunk bytes
  in.StartSample = 10;
  in.EndSample = 12;
  EXPECT_EQ(As<int16_t>(Drain(in)), (std::vector<int16_t>{10, 11, 12}));
}

TEST(WaveClipInput, LoopingStartsAgainAtTheStartSampleWithoutAGap) {
  TMemoryStream stream(Ramp(100));
  TWaveIn in;
  in.SetStream(&stream);
  in.StartSample = 40;
  in.Loop = true;
  const auto out = As<int16_t>(Drain(in, 50, 2 * 500));
  ASSERT_GE(out.size(), 500u);
  for (size_t i = 0; i < 500; ++i) ASSERT_EQ(out[i], 40 + int(i % 60)) << i;
}

TEST(WaveClipInput, SeekingIsRefusedForFloatAndItPlaysWhole) {
  std::vector<uint8_t> data(4 * 100);
  TMemoryStream stream(TRiffImage().Chunk("fmt ", Fmt(3, 1, 8000, 4, 32)).Chunk("data", data).Done());
  TWaveIn in;
  in.SetStream(&stream);
  in.StartSample = 30;
  EXPECT_EQ(Drain(in).size(), 400u);
}

TEST(WaveClipInput, SetStartTimeWithinTheClipOnly) {
  TMemoryStream stream(Ramp(10, 44100, 44100 * 2 * 70));  // a header of a 70 s clip
  TWaveIn in;
  in.SetStream(&stream);
  EXPECT_EQ(in.GetTotalTime(), 70);
  EXPECT_TRUE(in.SetStartTime(1, 5));
  EXPECT_EQ(in.StartSample, 2866500);
  EXPECT_FALSE(in.SetStartTime(1, 11));
  EXPECT_EQ(in.StartSample, 2866500);
}

TEST(WaveClipInput, MisuseRaisesItsText) {
  TMemoryStream stream(Ramp(10));
  TWaveIn in;
  auto text = [](const std::function<void()>& fn) { return RaisedBy<EAuException>(fn); };
  EXPECT_EQ(text([&] { in.Init(); }), "The file name is not assigned");
  uint8_t* buffer;
  uint32_t bytes = 10;
  in.SetStream(&stream);
  EXPECT_EQ(text([&] { in.GetData(buffer, bytes); }), "The Stream is not opened");
  in.Init();
  EXPECT_EQ(text([&] { in.Init(); }), "The component is Busy");
  in.Flush();
  TWaveIn missing;
  missing.SetFileName("/nonexistent/clip.wav");
  EXPECT_EQ(text([&] { missing.Init(); }), "No such file or directory");
}

}  // namespace
