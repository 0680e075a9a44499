#pragma once
// Windows Media clips made by ffmpeg for the tests (once per run), with
// what ffmpeg itself says of them, and the clip bytes edited at the ASF
// header's objects, found here by their GUIDs.

#include <cstdint>
#include <string>
#include <vector>

namespace wmatest {

// The texts written into a clip, by the clip input's tag names.
struct TClipTexts {
  std::string Title, Artist, Album, Genre, Track, Year, Copyright;
};

struct TClip : TClipTexts {
  std::string Path;
  uint32_t Rate = 0;
  uint16_t Channels = 0;
  // What ffmpeg reports: the first decoded frame's time, one packet's
  // frames, and its own decoding into 16-bit frames.
  double FirstFrameTime = 0;
  uint32_t PacketFrames = 0;
  std::vector<int16_t> Decoded;
  std::vector<uint8_t> Bytes;
};

// wmav2, 44100 Hz stereo, 2 s (1 kHz left, 660 Hz right).
const TClip& StereoClip();
// wmav1, 22050 Hz mono, 2 s of 440 Hz.
const TClip& MonoClip();
// An ASF file with a video stream only.
std::vector<uint8_t> VideoOnlyAsf();

// The offset of the header object that GUID (as text) names; npos when none.
size_t FindObject(const std::vector<uint8_t>& clip, const char* guid);
// The clip with an object inserted after the header object's head, the
// header's size and object count grown to match.
std::vector<uint8_t> WithHeaderObject(const std::vector<uint8_t>& clip, const std::vector<uint8_t>& object);
// A content-encryption object with empty fields.
std::vector<uint8_t> ContentEncryptionObject();

constexpr const char* FilePropertiesGuid = "8CABDCA1-A947-11CF-8EE4-00C00C205365";

}  // namespace wmatest
