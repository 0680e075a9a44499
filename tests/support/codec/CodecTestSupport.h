#pragma once
// Shared pieces of the codec and audio tests: a file size
// limit standing in for a full disk, test signals written as real WAVE
// files, the outside tools (sox, ffprobe, ffmpeg) that read the results
// back, an independent RIFF chunk walker and signal comparison.

#include <sys/resource.h>

#include <csignal>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/codec/Acm.h"
#include "support/ScratchDir.h"

namespace codectest {

// Lets this process write files of at most Bytes bytes while it lives, as a
// full disk would; writes beyond fail instead of raising SIGXFSZ.
class TFileSizeLimit {
public:
  explicit TFileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &FOld);
    FOldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = FOld;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~TFileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &FOld);
    std::signal(SIGXFSZ, FOldHandler);
  }

private:
  rlimit FOld;
  void (*FOldHandler)(int);
};

using test_support::ReadBytes;
using test_support::TScratchDir;
using test_support::WriteBytes;

// Interleaved 16-bit frames of a three-note chord (another chord on the
// right channel) over a rising sweep of 150 Hz to 3 kHz, Seconds long, with
// a short fade-in: tones and a moving frequency, all inside the band of an
// 8 kHz codec.
std::vector<int16_t> TakeSignal(uint32_t rate, uint16_t channels, double seconds);
// Writes Samples as a PCM WAVE file of Bits (8 or 16) bits; returns the
// samples as the file holds them (8-bit ones rounded) in 16-bit scale.
std::vector<int16_t> WritePcmWave(const std::string& path, const std::vector<int16_t>& samples, uint32_t rate,
                                  uint16_t channels, uint16_t bits);

// The format Src converts to under Tag, as the layer suggests it.
codec::TWaveFormat Offered(uint16_t tag, const codec::TWaveFormat& src);
// The first format of Tag at Record's channels and rate that driver Had (or
// any driver when nullptr) offers, enumerated the way the recorder's codec
// list asks for it; false when there is none.
bool FirstOfferedFormat(codec::HACMDRIVER had, uint16_t tag, const codec::TWaveFormat& record, codec::TWaveFormat& found);

// Runs a shell command; returns its standard output (binary safe) and sets Status.
std::string Run(const std::string& command, int* status = nullptr);
std::string Quote(const std::string& path);

struct TProbe {
  std::string CodecName;
  uint32_t SampleRate = 0;
  uint32_t Channels = 0;
};
// What ffprobe says of the file's first audio stream.
TProbe FfProbe(const std::string& path);
// The file decoded by ffmpeg into interleaved 16-bit frames.
std::vector<int16_t> FfDecode(const std::string& path, uint16_t channels);

// The file decoded through this layer's own reader and streams, as the clip
// reader decodes a clip: one BLOCKALIGN conversion of the whole "data"
// chunk, then an END round for what the decoder still holds. Fails the
// calling test (empty result) when a call fails.
std::vector<int16_t> LayerDecode(const std::string& path);

// The chunks of a RIFF WAVE file as a plain walk sees them: ids in order,
// and whether every chunk starts at an even offset.
struct TChunkWalk {
  std::vector<std::string> Ids;
  bool Even = true;
  bool FitsRiffSize = false;
  uint32_t Fact = 0;
  uint32_t DataSize = 0;
  std::vector<uint8_t> Fmt;
};
TChunkWalk WalkChunks(const std::string& path);

// Best normalised correlation of Decoded against Reference for a delay of
// 0..MaxLag frames (channel 0 picks the delay); the delay found goes to Lag.
double Correlation(const std::vector<int16_t>& reference, const std::vector<int16_t>& decoded, uint16_t channels,
                   uint32_t maxLag, uint32_t* lag = nullptr);

}  // namespace codectest
