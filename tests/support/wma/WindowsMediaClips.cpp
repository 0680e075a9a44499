#include "support/wma/WindowsMediaClips.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "base/LittleEndian.h"
#include "support/codec/CodecTestSupport.h"

namespace wmatest {

namespace {

codectest::TScratchDir& Dir() {
  static codectest::TScratchDir dir;
  return dir;
}

// A clip made by ffmpeg from the lavfi Source with Codec and its options.
TClip Made(const char* name, uint32_t rate, uint16_t channels, const TClipTexts& texts, const std::string& source,
           const std::string& codec) {
  TClip c;
  static_cast<TClipTexts&>(c) = texts;
  c.Path = Dir().Path(name);
  c.Rate = rate;
  c.Channels = channels;
  const std::string command = "ffmpeg -nostdin -v error -f lavfi -i '" + source + "' -c:a " + codec +
                              " -metadata title='" + c.Title + "' -metadata artist='" + c.Artist +
                              "' -metadata album='" + c.Album + "' -metadata genre='" + c.Genre +
                              "' -metadata copyright='" + c.Copyright + "' -metadata WM/Track=" + c.Track +
                              " -metadata WM/Year=" + c.Year + " " + codectest::Quote(c.Path) + " 2>&1";
  int status = -1;
  const std::string said = codectest::Run(command, &status);
  EXPECT_EQ(status, 0) << command << "\n" << said;
  c.Bytes = codectest::ReadBytes(c.Path);
  c.Decoded = codectest::FfDecode(c.Path, c.Channels);
  const std::string q = codectest::Quote(c.Path);
  c.FirstFrameTime = std::atof(
      codectest::Run("ffprobe -v error -show_entries frame=pts_time -of csv=p=0 " + q + " | head -n 1").c_str());
  const double packet =
      std::atof(codectest::Run("ffprobe -v error -show_packets -read_intervals %+#1 -show_entries packet=duration_time "
                               "-of csv=p=0 " +
                               q)
                    .c_str());
  c.PacketFrames = uint32_t(packet * c.Rate + 0.5);
  return c;
}

std::vector<uint8_t> GuidBytes(const char* text) {
  // 8-4-4-4-12 hex digits; the first three fields are stored little-endian.
  std::string hex;
  for (const char* p = text; *p; ++p)
    if (*p != '-') hex += *p;
  std::vector<uint8_t> b(16);
  for (size_t i = 0; i < 16; ++i) b[i] = uint8_t(std::stoul(hex.substr(2 * i, 2), nullptr, 16));
  std::swap(b[0], b[3]);
  std::swap(b[1], b[2]);
  std::swap(b[4], b[5]);
  std::swap(b[6], b[7]);
  return b;
}

}  // namespace

const TClip& StereoClip() {
  static const TClip clip =
      Made("stereo.wma", 44100, 2, {"Ünïcode Титул", "Артист", "Album A", "Jazz", "3", "2001", "(c) 2001 Someone"},
           "aevalsrc=0.5*sin(2*PI*1000*t)|0.4*sin(2*PI*660*t):s=44100:d=2", "wmav2 -b:a 128k");
  return clip;
}

const TClip& MonoClip() {
  static const TClip clip = Made("mono.wma", 22050, 1, {"Mono", "Someone Else", "B", "Other", "12", "1999", "free"},
                                 "aevalsrc=0.5*sin(2*PI*440*t):s=22050:d=2", "wmav1 -b:a 64k");
  return clip;
}

std::vector<uint8_t> VideoOnlyAsf() {
  const std::string path = Dir().Path("video.asf");
  codectest::Run("ffmpeg -nostdin -v error -y -f lavfi -i testsrc=d=0.2 -c:v wmv2 -f asf " + codectest::Quote(path));
  return codectest::ReadBytes(path);
}

size_t FindObject(const std::vector<uint8_t>& clip, const char* guid) {
  const std::vector<uint8_t> g = GuidBytes(guid);
  const auto at = std::search(clip.begin(), clip.end(), g.begin(), g.end());
  return at == clip.end() ? std::string::npos : size_t(at - clip.begin());
}

std::vector<uint8_t> WithHeaderObject(const std::vector<uint8_t>& clip, const std::vector<uint8_t>& object) {
  std::vector<uint8_t> out(clip.begin(), clip.begin() + 30);
  le::store64(out.data() + 16, le::load64(out.data() + 16) + object.size());
  le::store32(out.data() + 24, le::load32(out.data() + 24) + 1);
  out.insert(out.end(), object.begin(), object.end());
  out.insert(out.end(), clip.begin() + 30, clip.end());
  return out;
}

std::vector<uint8_t> ContentEncryptionObject() {
  std::vector<uint8_t> object = GuidBytes("2211B3FB-BD23-11D2-B4B7-00A0C955FC6E");
  object.resize(40, 0);  // size, then four empty length-prefixed fields
  le::store64(object.data() + 16, object.size());
  return object;
}

}  // namespace wmatest
