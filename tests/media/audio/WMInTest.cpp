// The Windows Media clip input on clips ffmpeg makes, checked against
// ffmpeg's own decoding and the texts written into them, and on clips
// edited at their ASF header.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "ClipReading.h"
#include "support/wma/WindowsMediaClips.h"
#include "base/Utf8.h"
#include "media/audio/AuException.h"
#include "media/audio/WMIn.h"
#include "support/Raised.h"

using namespace wmatest;

namespace {

// An input over a memory copy of Bytes.
struct TClipInput {
  explicit TClipInput(std::vector<uint8_t> bytes) : Stream(std::move(bytes)) { In.SetStream(&Stream); }
  TMemoryStream Stream;
  TWMIn In;
};

// The offset into Reference (in frames) where Got's first 2048 frames
// match it within 1, searched from Expected - Slack to Expected + Slack;
// -1 when they match nowhere.
long MatchAt(const std::vector<int16_t>& reference, const std::vector<int16_t>& got, int channels, long expected,
             long slack) {
  const size_t n = std::min<size_t>(got.size(), 2048 * size_t(channels));
  for (long at = std::max(0L, expected - slack); at <= expected + slack; ++at) {
    const size_t from = size_t(at) * size_t(channels);
    if (from + n > reference.size()) break;
    bool same = true;
    for (size_t i = 0; i < n && same; ++i) same = std::abs(reference[from + i] - got[i]) <= 1;
    if (same) return at;
  }
  return -1;
}

// Frames from Got equal Reference's from Offset on, within 1, as far as both go.
size_t FramesDiffering(const std::vector<int16_t>& reference, const std::vector<int16_t>& got, int channels,
                       long offset) {
  size_t differing = 0;
  for (size_t i = 0; i < got.size() && size_t(offset) * channels + i < reference.size(); ++i)
    if (std::abs(reference[size_t(offset) * channels + i] - got[i]) > 1) ++differing;
  return differing;
}

class RealClip : public testing::TestWithParam<const TClip& (*)()> {};

TEST_P(RealClip, DecodesWhatFfmpegDecodesWithTheClipsFormatLengthAndTexts) {
  const TClip& clip = GetParam()();
  TWMIn in;
  in.SetFileName(clip.Path);
  EXPECT_EQ(in.GetSampleRate(), int32_t(clip.Rate));
  EXPECT_EQ(in.GetChannels(), clip.Channels);
  EXPECT_EQ(in.GetBitsPerSample(), 16);
  EXPECT_TRUE(in.Valid());

  const std::vector<int16_t> got = As<int16_t>(Drain(in, 4000));
  const long at = MatchAt(clip.Decoded, got, clip.Channels, 0, 4096);
  ASSERT_GE(at, 0) << "the start lines up nowhere";
  EXPECT_EQ(FramesDiffering(clip.Decoded, got, clip.Channels, at), 0u);
  // Ours may run on where ffmpeg stops, never the other way.
  EXPECT_GE(got.size() / clip.Channels + size_t(at), clip.Decoded.size() / clip.Channels);

  const double durationFrames = in.DurationCs() / 100.0 * clip.Rate;
  EXPECT_NEAR(double(got.size() / clip.Channels), durationFrames, clip.PacketFrames);
  EXPECT_NEAR(in.DurationCs(), 204, 1);  // ffmpeg's 2.042 s

  const TId3v2Tags& tags = in.Id3v2Tags();
  EXPECT_EQ(Utf16ToUtf8(tags.Title()), clip.Title);
  EXPECT_EQ(Utf16ToUtf8(tags.Artist()), clip.Artist);
  EXPECT_EQ(Utf16ToUtf8(tags.Album()), clip.Album);
  EXPECT_EQ(Utf16ToUtf8(tags.Genre()), clip.Genre);
  EXPECT_EQ(tags.Track(), clip.Track);
  EXPECT_EQ(tags.Year(), clip.Year);
  EXPECT_EQ(Utf16ToUtf8(tags.Comment()), clip.Copyright);
}

INSTANTIATE_TEST_SUITE_P(WindowsMedia, RealClip, testing::Values(&StereoClip, &MonoClip),
                         [](const auto& info) { return info.index == 0 ? "Wmav2Stereo" : "Wmav1Mono"; });

TEST(WindowsMediaInput, AClipAfterThirtyBytesOfItsOwnPlaysAsTheClip) {
  const TClip& clip = StereoClip();
  std::vector<uint8_t> bytes(30, 0xA5);
  bytes.insert(bytes.end(), clip.Bytes.begin(), clip.Bytes.end());
  TClipInput plain(clip.Bytes), headed(bytes);
  EXPECT_TRUE(headed.In.Valid() || headed.In.GetChannels() == 2);
  EXPECT_EQ(Drain(headed.In), Drain(plain.In));
  EXPECT_EQ(headed.In.DurationCs(), plain.In.DurationCs());
}

// The position where data after a seek to Sample starts, in frames of
// ffmpeg's decoding: the hundredth of a second the seek asks for, less
// the time of ffmpeg's first frame (a time before it plays the clip from
// its first frame).
long SeekTarget(const TClip& clip, int64_t sample, int64_t clipSamples, int32_t durationCs) {
  const double cs = clipSamples > 0 ? std::nearbyint(double(sample) / double(clipSamples) * durationCs)
                                    : std::nearbyint(double(sample) * 100 / clip.Rate);
  return std::max(0L, std::lround((cs / 100 - clip.FirstFrameTime) * clip.Rate));
}

struct TSeekCase {
  const char* Name;
  int64_t Sample;
};

class ClipSeek : public testing::TestWithParam<TSeekCase> {};

// The Part's seek: while the input plays, a seek moves to the hundredth of
// a second nearest the sample; two samples in one hundredth land alike.
TEST_P(ClipSeek, LandsOnTheHundredthOfASecond) {
  const TClip& clip = StereoClip();
  TClipInput c(clip.Bytes);
  TWMIn& in = c.In;
  const int64_t clipSamples = int64_t(std::trunc(in.GetTotalSamples() * 1.0));
  in.Init();
  uint8_t* buffer;
  uint32_t bytes = 8000;
  in.GetData(buffer, bytes);
  std::vector<std::vector<int16_t>> after;
  for (int64_t sample : {GetParam().Sample, GetParam().Sample + 100}) {
    ASSERT_TRUE(in.Seek(sample));
    bytes = 8192;
    in.GetData(buffer, bytes);
    after.push_back(As<int16_t>(std::vector<uint8_t>(buffer, buffer + bytes)));
  }
  in.Flush();
  const long target = SeekTarget(clip, GetParam().Sample, clipSamples, in.DurationCs());
  // Within the rounding of the clip's time stamps to milliseconds.
  const long at = MatchAt(clip.Decoded, after[0], 2, target, clip.Rate / 1000);
  EXPECT_GE(at, 0) << "expected near frame " << target;
  EXPECT_EQ(after[0], after[1]);
}

INSTANTIATE_TEST_SUITE_P(WindowsMedia, ClipSeek,
                         testing::Values(TSeekCase{"HalfASecond", 22050 + 120}, TSeekCase{"FromTheStart", 0},
                                         TSeekCase{"PastOneSecond", 44100 * 3 / 2 + 7}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(WindowsMediaInput, AClipWithoutADurationPlaysToItsEndAndSeeksByItsRate) {
  const TClip& clip = StereoClip();
  std::vector<uint8_t> bytes = clip.Bytes;
  const size_t properties = FindObject(bytes, FilePropertiesGuid);
  ASSERT_NE(properties, std::string::npos);
  std::fill_n(bytes.begin() + long(properties) + 64, 8, 0);  // the play duration

  TClipInput c(bytes), whole(clip.Bytes);
  EXPECT_EQ(c.In.GetChannels(), 2);
  EXPECT_EQ(c.In.DurationCs(), 0);
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
  EXPECT_GE(MatchAt(clip.Decoded, As<int16_t>(std::vector<uint8_t>(buffer, buffer + n)), 2, target, 44), 0);
}

struct TFormatCase {
  const char* Name;
  TChannelsNumber Request;
  bool HighPrecision;
  int Channels, Bits;
  bool HighPrecisionAfter;
};

class ClipFormat : public testing::TestWithParam<TFormatCase> {};

TEST_P(ClipFormat, FollowsTheChannelRequestAndPrecision) {
  const TFormatCase& f = GetParam();
  TClipInput c(StereoClip().Bytes);
  c.In.SetHighPrecision(f.HighPrecision);
  c.In.SetOutputChannels(f.Request);
  EXPECT_EQ(c.In.HighPrecision(), f.HighPrecisionAfter);
  EXPECT_EQ(c.In.GetChannels(), f.Channels);
  EXPECT_EQ(c.In.GetBitsPerSample(), f.Bits);
  EXPECT_EQ(c.In.GetSampleRate(), 44100);
  const std::vector<uint8_t> data = Drain(c.In);
  EXPECT_EQ(data.size() % size_t(f.Channels * f.Bits / 8), 0u);
  EXPECT_NEAR(double(data.size()) / (f.Channels * f.Bits / 8), double(StereoClip().Decoded.size() / 2), 2048);
  if (f.Channels == 2 && f.Bits == 32) {
    // The same sound, more finely: its top 16 bits are the 16-bit decoding.
    const std::vector<int32_t> wide = As<int32_t>(data);
    const std::vector<int16_t>& ref = StereoClip().Decoded;
    const long at = MatchAt(ref, [&] {
      std::vector<int16_t> top;
      for (int32_t v : wide) top.push_back(int16_t(std::lround(v / 65536.0) > 32767 ? 32767 : std::lround(v / 65536.0)));
      return top;
    }(), 2, 0, 4096);
    EXPECT_GE(at, 0);
  }
}

INSTANTIATE_TEST_SUITE_P(
    WindowsMedia, ClipFormat,
    testing::Values(TFormatCase{"MonoOrStereo", TChannelsNumber::cnMonoOrStereo, false, 2, 16, false},
                    TFormatCase{"MonoOrStereoHighPrecision", TChannelsNumber::cnMonoOrStereo, true, 2, 32, true},
                    TFormatCase{"MaxAvailable", TChannelsNumber::cnMaxAvailable, false, 2, 32, true},
                    TFormatCase{"FiveDotOne", TChannelsNumber::cn5dot1, false, 6, 32, true},
                    TFormatCase{"SevenDotOne", TChannelsNumber::cn7dot1, false, 8, 32, true}),
    [](const auto& info) { return std::string(info.param.Name); });

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
  EXPECT_EQ(c.In.GetChannels(), 2);
  c.In.Flush();
  // HighPrecision stays as the channel request forced it.
  c.In.SetOutputChannels(TChannelsNumber::cn5dot1);
  c.In.SetHighPrecision(false);
  EXPECT_TRUE(c.In.HighPrecision());
}

TEST(WindowsMediaInput, AProtectedClipIsRefused) {
  TClipInput c(WithHeaderObject(StereoClip().Bytes, ContentEncryptionObject()));
  EXPECT_EQ(RaisedBy<EAuException>([&] { c.In.GetChannels(); }), "File is protected");
  EXPECT_EQ(RaisedBy<EAuException>([&] { c.In.Init(); }), "File is protected");
  EXPECT_FALSE(c.In.Busy());
}

TEST(WindowsMediaInput, WithoutAStreamOrANameItSaysSo) {
  TWMIn in;
  EXPECT_EQ(RaisedBy<EAuException>([&] { in.GetSampleRate(); }), "File name is not assigned");
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
  EXPECT_TRUE(in.Valid());
}

TEST(WindowsMediaInput, AClipWithoutAudioOpensInvalidWithoutAFormat) {
  TClipInput c(VideoOnlyAsf());
  EXPECT_EQ(c.In.GetChannels(), 0);
  EXPECT_EQ(c.In.GetSampleRate(), 0);
  EXPECT_EQ(c.In.GetBitsPerSample(), 0);
  EXPECT_FALSE(c.In.Valid());
  EXPECT_TRUE(Drain(c.In).empty());
}

TEST(WindowsMediaInput, DamagedAndCutClipsPlayWhatIsLeft) {
  const TClip& clip = StereoClip();
  std::vector<uint8_t> damaged = clip.Bytes;
  std::fill_n(damaged.begin() + long(damaged.size() / 2), 400, 0x55);
  TClipInput d(damaged);
  const size_t whole = clip.Decoded.size() * 2;
  EXPECT_GT(Drain(d.In).size(), whole * 8 / 10);

  TClipInput cut(std::vector<uint8_t>(clip.Bytes.begin(), clip.Bytes.begin() + long(clip.Bytes.size() / 2)));
  EXPECT_NEAR(double(Drain(cut.In).size()), whole / 2.0, whole / 8.0);
}

}  // namespace
