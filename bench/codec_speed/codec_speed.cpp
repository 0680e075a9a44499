// Conversion speed per codec, in seconds of audio converted per second,
// for this layer's take conversion (file to file) and, beside it, ffmpeg's
// own encoder on the same take (file to file, its "-benchmark" real time,
// which leaves out the process start). One line per figure; best of three.
//
// Usage: codec_speed [seconds of audio, default 30]

#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "base/Streams.h"
#include "platform/codec/Acm.h"
#include "platform/codec/RiffWave.h"
#include "platform/codec/WaveSave.h"

using namespace codec;

namespace {

struct TBenchCodec {
  const char* Name;
  uint16_t Tag;
  uint16_t Channels;
  const char* FfmpegArgs;
};

const TBenchCodec kCodecs[] = {
    {"A-law", WAVE_FORMAT_ALAW, 2, "-c:a pcm_alaw"},
    {"u-law", WAVE_FORMAT_MULAW, 2, "-c:a pcm_mulaw"},
    {"IMA ADPCM", WAVE_FORMAT_IMA_ADPCM, 2, "-c:a adpcm_ima_wav -block_size 2048"},
    {"Microsoft ADPCM", WAVE_FORMAT_ADPCM, 2, "-c:a adpcm_ms -block_size 2048"},
    {"GSM 6.10", WAVE_FORMAT_GSM610, 1, "-c:a libgsm_ms -strict unofficial"},
    {"MPEG Layer-3", WAVE_FORMAT_MPEGLAYER3, 2, "-c:a libmp3lame -b:a 128k"},
};

constexpr uint32_t kRate = 44100;

void WriteTake(const std::string& path, uint16_t channels, double seconds) {
  size_t frames = size_t(kRate * seconds);
  std::vector<uint8_t> data(frames * channels * 2);
  for (size_t i = 0; i < frames; ++i)
    for (uint16_t ch = 0; ch < channels; ++ch) {
      double t = double(i) / kRate;
      double v = 0.3 * std::sin(2 * M_PI * (220 + 30 * ch) * t) + 0.2 * std::sin(2 * M_PI * 1000 * t * (1 + t / seconds));
      auto s = int16_t(std::lround(v * 32767));
      data[(i * channels + ch) * 2] = uint8_t(s);
      data[(i * channels + ch) * 2 + 1] = uint8_t(uint16_t(s) >> 8);
    }
  TFileStream file(path, fmCreate);
  TWaveFileWriter writer(file, TWaveFormat::Pcm(channels, kRate, 16).Bytes(), false);
  writer.Write(data.data(), data.size());
  writer.Finish(0);
  file.Flush();
}

template <class F>
double BestSeconds(F run) {
  double best = 1e9;
  for (int i = 0; i < 3; ++i) {
    auto start = std::chrono::steady_clock::now();
    if (!run()) return -1;
    best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  return best;
}

// The "rtime" ffmpeg reports for its conversion; 1e9 when it failed.
double FfmpegSeconds(const std::string& command) {
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return 1e9;
  std::string text;
  char buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, n);
  if (::pclose(pipe) != 0) return 1e9;
  size_t at = text.find("rtime=");
  return at == std::string::npos ? 1e9 : std::atof(text.c_str() + at + 6);
}

void Print(const char* who, const TBenchCodec& c, double audioSeconds, double seconds) {
  if (seconds <= 0)
    std::printf("codec_speed %-7s %-16s %u Hz %-6s: failed\n", who, c.Name, kRate, c.Channels == 1 ? "mono" : "stereo");
  else
    std::printf("codec_speed %-7s %-16s %u Hz %-6s: %8.1f s audio/s\n", who, c.Name, kRate,
                c.Channels == 1 ? "mono" : "stereo", audioSeconds / seconds);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  double audioSeconds = argc > 1 ? std::atof(argv[1]) : 30.0;
  if (audioSeconds <= 0) audioSeconds = 30.0;
  auto dir = std::filesystem::temp_directory_path() / ("sonarid-codec-speed-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  std::string takes[3] = {"", (dir / "mono.wav").string(), (dir / "stereo.wav").string()};
  WriteTake(takes[1], 1, audioSeconds);
  WriteTake(takes[2], 2, audioSeconds);
  std::string out = (dir / "out.wav").string();
  bool haveFfmpeg = std::system("ffmpeg -version >/dev/null 2>&1") == 0;
  if (!haveFfmpeg) std::printf("codec_speed: no ffmpeg, its figures are left out\n");
  for (const TBenchCodec& c : kCodecs) {
    TWaveFormat format;
    format.SetFormatTag(c.Tag);
    if (acmFormatSuggest(nullptr, TWaveFormat::Pcm(c.Channels, kRate, 16), format, ACM_FORMATSUGGESTF_WFORMATTAG) != 0) {
      Print("sonarid", c, audioSeconds, -1);
      continue;
    }
    const std::string& take = takes[c.Channels];
    Print("sonarid", c, audioSeconds, BestSeconds([&] { return ConvertWaveFile(take, out, format, 0).Ok(); }));
    if (!haveFfmpeg) continue;
    std::string command = "ffmpeg -nostdin -y -hide_banner -nostats -v info -benchmark -i '" + take + "' " + c.FfmpegArgs + " '" + out + "' 2>&1";
    double best = 1e9;
    for (int i = 0; i < 3; ++i) best = std::min(best, FfmpegSeconds(command));
    Print("ffmpeg", c, audioSeconds, best < 1e9 ? best : -1);
  }
  std::filesystem::remove_all(dir);
  return 0;
}
