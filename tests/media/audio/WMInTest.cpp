// The Windows Media clip input on clips ffmpeg makes, checked against
// ffmpeg's own decoding and the texts written into them, and on clips
// edited at their ASF header.

#include <gtest/gtest.h>

#include <cmath>

#include "ClipReading.h"
#include "base/Utf8.h"
#include "media/audio/AuException.h"
#include "media/audio/WMIn.h"
#include "support/Raised.h"
#include "support/wma/WindowsMediaClips.h"

using namespace wmatest;

namespace {

// An input over a memory copy of Bytes.
struct TClipInput {
  explicit TClipInput(std::vector<uint8_t> bytes) : Stream(std::move(bytes)) { In.SetStream(&Stream); }
  TMemoryStream Stream;
  TWMIn In;
};

// Where in ffmpeg's decoding (in frames, from Expected - Slack on) Got's
// first 2048 frames stand, within 1 per sample; -1 when nowhere.
long MatchAt(const TClip& clip, const std::vector<int16_t>& got, long expected, long slack) {
  const size_t n = std::min<size_t>(got.size(), 2048 * clip.Channels);
  for (long at = std::max(0L, expected - slack); at <= expected + slack; ++at) {
    const size_t from = size_t(at) * clip.Channels;
    if (from + n > clip.Decoded.size()) break;
    size_t i = 0;
    while (i < n && std::abs(clip.Decoded[from + i] - got[i]) <= 1) ++i;
    if (i == n) return at;
  }
  return -1;
}

class RealClip : public testing::TestWithParam<const TClip& (*)()> {};

TEST_P(RealClip, DecodesWhatFfmpegDecodesWithTheClipsFormatLengthAndTexts) {
  const TClip& clip = GetParam()();
  TWMIn in;
  in.SetFileName(clip.Path);
  EXPECT_EQ(in.GetSampleRate(), int32_t(clip.Rate));
  EXPECT_EQ(in.GetChannels(), clip.Channels);
  EXPECT_EQ(in.GetBitsPerSample(), 16);
  EXPECT_EQ(in.DurationCs(), 204);  // ffmpeg's 2.042 s

  const std::vector<int16_t> got = As<int16_t>(Drain(in, 4000));
  const long at = MatchAt(clip, got, 0, 4096);
  ASSERT_GE(at, 0) << "the start lines up nowhere";
  const size_t common = std::min(got.size(), clip.Decoded.size() - size_t(at) * clip.Channels);
  EXPECT_GT(common, clip.Decoded.size() * 9 / 10);
  for (size_t i = 0; i < common; ++i) ASSERT_LE(std::abs(got[i] - clip.Decoded[at * clip.Channels + i]), 1) << i;
  EXPECT_NEAR(double(got.size() / clip.Channels), in.DurationCs() / 100.0 * clip.Rate, clip.PacketFrames);

  const TId3v2Tags& tags = in.Id3v2Tags();
  const std::vector<std::string> texts = {Utf16ToUtf8(tags.Title()),
                                          Utf16ToUtf8(tags.Artist()),
                                          Utf16ToUtf8(tags.Album()),
                                          Utf16ToUtf8(tags.Genre()),
                                          tags.Track(),
                                          tags.Year(),
                                          Utf16ToUtf8(tags.Comment())};
  EXPECT_EQ(texts, (std::vector<std::string>{clip.Title, clip.Artist, clip.Album, clip.Genre, clip.Track, clip.Year,
                                             clip.Copyright}));
}

INSTANTIATE_TEST_SUITE_P(WindowsMedia, RealClip, testing::Values(&StereoClip, &MonoClip),
                         [](const auto& info) { return info.index == 0 ? "Wmav2Stereo" : "Wmav1Mono"; });

TEST(WindowsMediaInput, AClipAfterThirtyBytesOfItsOwnPlaysAsTheClip) {
  std::vector<uint8_t> bytes(30, 0xA5);
  bytes.insert(bytes.end(), StereoClip().Bytes.begin(), StereoClip().Bytes.end());
  TClipInput plain(StereoClip().Bytes), headed(bytes);
  EXPECT_EQ(headed.In.GetChannels(), 2);
  EXPECT_EQ(Drain(headed.In), Drain(plain.In));
}

// While the input plays, a seek to a sample goes to the nearest hundredth
// of a second of the clip: there data starts as ffmpeg decodes it from the
// time of its first frame on (within the milliseconds of the time stamps).
class ClipSeek : public testing::TestWithParam<int64_t> {};

TEST_P(ClipSeek, LandsOnTheHundredthOfASecond) {
  const TClip& clip = StereoClip();
  TClipInput c(clip.Bytes);
  const double clipSamples = double(c.In.GetTotalSamples());  // from "Duration"
  c.In.Init();
  std::vector<std::vector<int16_t>> after;
  for (int64_t sample : {GetParam(), GetParam() + 100}) {  // in one hundredth
    ASSERT_TRUE(c.In.Seek(sample));
    uint8_t* buffer;
    uint32_t bytes = 8192;
    c.In.GetData(buffer, bytes);
    after.push_back(As<int16_t>(std::vector<uint8_t>(buffer, buffer + bytes)));
  }
  c.In.Flush();
  const double seconds = std::nearbyint(GetParam() / clipSamples * c.In.DurationCs()) / 100;
  const long target = std::max(0L, std::lround((seconds - clip.FirstFrameTime) * clip.Rate));
  EXPECT_GE(MatchAt(clip, after[0], target, clip.Rate / 1000), 0) << "expected near frame " << target;
  EXPECT_EQ(after[0], after[1]);
}

INSTANTIATE_TEST_SUITE_P(WindowsMedia, ClipSeek, testing::Values(22050 + 120, 0, 44100 * 3 / 2 + 7));

TEST(WindowsMediaInput, AClipWithoutADurationPlaysToItsEndAndSeeksByItsRate) {
  const TClip& clip = StereoClip();
  std::vector<uint8_t> bytes = clip.Bytes;
  const size_t properties = FindObject(bytes, FilePropertiesGuid);
  ASSERT_NE(properties, std::string::npos);
  std::fill_n(bytes.begin() + long(properties) + 64, 8, 0);  // the play duration
  TClipInput c(bytes), whole(clip.Bytes);
  EXPECT_EQ(c.In.GetChannels(), 2);
  EXPECT_EQ(c.In.Size(), 0);
  EXPECT_EQ(c.In.GetTotalTime(), 0);
  EXPECT_EQ(Drain(c.In), Drain(whole.In));

  c.In.Init();
  ASSERT_TRUE(c.In.Seek(22050));  // half a second by the rate alone
  uint8_t* buffer;
  uint32_t n = 8192;
  c.In.GetData(buffer, n);
  c.In.Flush();
  const long target = std::lround((0.5 - clip.FirstFrameTime) * clip.Rate);
  EXPECT_GE(MatchAt(clip, As<int16_t>(std::vector<uint8_t>(buffer, buffer + n)), target, 44), 0);
}

struct TFormatCase {
  TChannelsNumber Request;
  bool HighPrecision;
  int Channels, Bits;
};

class ClipFormat : public testing::TestWithParam<TFormatCase> {};

TEST_P(ClipFormat, FollowsTheChannelRequestAndPrecision) {
  const TFormatCase& f = GetParam();
  TClipInput c(StereoClip().Bytes);
  c.In.SetHighPrecision(f.HighPrecision);
  c.In.SetOutputChannels(f.Request);
  EXPECT_EQ(c.In.HighPrecision(), f.Bits == 32);
  EXPECT_EQ(c.In.GetChannels(), f.Channels);
  EXPECT_EQ(c.In.GetBitsPerSample(), f.Bits);
  EXPECT_EQ(c.In.GetSampleRate(), 44100);
  const std::vector<uint8_t> data = Drain(c.In);
  if (f.Channels != 2) return;
  // The same sound: its top 16 bits are the 16-bit decoding's.
  std::vector<int16_t> top = As<int16_t>(data);
  if (f.Bits == 32) {
    top.clear();
    for (int32_t v : As<int32_t>(data)) top.push_back(int16_t(std::min(std::lround(v / 65536.0), 32767L)));
  }
  EXPECT_GE(MatchAt(StereoClip(), top, 0, 4096), 0);
}

INSTANTIATE_TEST_SUITE_P(WindowsMedia, ClipFormat,
                         testing::Values(TFormatCase{TChannelsNumber::cnMonoOrStereo, false, 2, 16},
                                         TFormatCase{TChannelsNumber::cnMonoOrStereo, true, 2, 32},
                                         TFormatCase{TChannelsNumber::cnMaxAvailable, false, 2, 32},
                                         TFormatCase{TChannelsNumber::cn5dot1, false, 6, 32},
                                         TFormatCase{TChannelsNumber::cn7dot1, false, 8, 32}));

TEST(WindowsMediaInput, SettersReopenAnOpenInputAndWaitWhileBusy) {
  TClipInput c(StereoClip().Bytes);
  EXPECT_EQ(c.In.GetBitsPerSample(), 16);
  c.In.SetHighPrecision(true);
  EXPECT_EQ(c.In.GetBitsPerSample(), 32) << "an open input opens again with the new setting";
  c.In.Init();
  c.In.SetHighPrecision(false);
  c.In.SetOutputChannels(TChannelsNumber::cn5dot1);
  EXPECT_TRUE(c.In.HighPrecision());
  EXPECT_EQ(c.In.OutputChannels(), TChannelsNumber::cnMonoOrStereo);
  c.In.Flush();
  c.In.SetOutputChannels(TChannelsNumber::cn5dot1);
  c.In.SetHighPrecision(false);
  EXPECT_TRUE(c.In.HighPrecision()) << "as the channel request forced it";
}

TEST(WindowsMediaInput, ProtectedOrNamelessClipsRaise) {
  TClipInput c(WithHeaderObject(StereoClip().Bytes, ContentEncryptionObject()));
  EXPECT_EQ(RaisedBy<EAuException>([&] { c.In.GetChannels(); }), "File is protected");
  EXPECT_EQ(RaisedBy<EAuException>([&] { c.In.Init(); }), "File is protected");
  EXPECT_FALSE(c.In.Busy());
  EXPECT_FALSE(c.In.Valid());
  TWMIn nameless;
  EXPECT_EQ(RaisedBy<EAuException>([&] { nameless.GetSampleRate(); }), "File name is not assigned");
}

TEST(WindowsMediaInput, WhatIsNotAClipOpensNothingAndIsTriedAgain) {
  TMemoryStream stream(std::vector<uint8_t>(4000, 7));
  TWMIn in;
  in.SetStream(&stream);
  EXPECT_EQ(in.GetChannels(), 0);
  EXPECT_FALSE(in.Valid());
  EXPECT_TRUE(Drain(in).empty());
  stream.Clear();
  stream.WriteBytes(StereoClip().Bytes);
  stream.SetPosition(0);
  EXPECT_EQ(in.GetChannels(), 2) << "the next use opens the clip now there";

  TClipInput video(VideoOnlyAsf());
  EXPECT_EQ(video.In.GetSampleRate() + video.In.GetChannels() + video.In.GetBitsPerSample(), 0);
  EXPECT_FALSE(video.In.Valid());
  EXPECT_TRUE(Drain(video.In).empty());
}

TEST(WindowsMediaInput, DamagedAndCutClipsPlayWhatIsLeft) {
  const std::vector<uint8_t>& bytes = StereoClip().Bytes;
  std::vector<uint8_t> damaged = bytes;
  std::fill_n(damaged.begin() + long(damaged.size() / 2), 400, 0x55);
  TClipInput d(damaged), cut(std::vector<uint8_t>(bytes.begin(), bytes.begin() + long(bytes.size() / 2)));
  const double whole = double(StereoClip().Decoded.size() * 2);
  EXPECT_GT(double(Drain(d.In).size()), whole * 0.8);
  EXPECT_NEAR(double(Drain(cut.In).size()), whole / 2, whole / 8);
}

}  // namespace
