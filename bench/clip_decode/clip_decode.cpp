// The sound clips: decoding speed of the WAVE clip input per kind, in
// seconds of audio per second (best of three, clips made by sox and ffmpeg),
// and the clip output's underruns while it plays a clip on the program's
// real-time bus with eight spinning threads beside it. One line per figure.
//
// Usage: clip_decode [seconds of playback, default 60]

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "base/Streams.h"
#include "media/audio/DXAudioOut.h"
#include "media/audio/WaveIn.h"
#include "platform/audio/OutputBus.h"
#include "platform/threads/MainQueue.h"

namespace {

constexpr double kClipSeconds = 30;

struct TKind {
  const char* Name;
  const char* Make;  // writes %F
};

const TKind kKinds[] = {
    {"PCM 16-bit stereo", "sox -n -r 44100 -c 2 -b 16 %F synth 30 sine 440 sine 660"},
    {"IMA ADPCM stereo", "sox -n -r 44100 -c 2 -e ima-adpcm %F synth 30 sine 440 sine 660"},
    {"Microsoft ADPCM stereo", "sox -n -r 44100 -c 2 -e ms-adpcm %F synth 30 sine 440 sine 660"},
    {"float 32-bit stereo", "sox -n -r 44100 -c 2 -e floating-point -b 32 %F synth 30 sine 440 sine 660"},
    {"MPEG Layer-3 in WAVE stereo",
     "ffmpeg -nostdin -y -v error -f lavfi -i sine=f=440:d=30 -ac 2 -c:a libmp3lame -b:a 128k -f wav %F"},
};

std::string Made(const std::string& dir, const TKind& kind) {
  const std::string path = dir + "/clip.wav";
  std::string command = kind.Make;
  command.replace(command.find("%F"), 2, "'" + path + "'");
  if (std::system(command.c_str()) != 0) std::fprintf(stderr, "failed: %s\n", command.c_str());
  return path;
}

// Seconds to open and read the whole clip from memory; Bytes: what it gave.
double DecodeSeconds(TMemoryStream& image, uint64_t& bytesOut) {
  const auto start = std::chrono::steady_clock::now();
  TWaveIn in;
  in.SetStream(&image);
  in.Init();
  for (;;) {
    uint8_t* buffer = nullptr;
    uint32_t bytes = 65536;
    in.GetData(buffer, bytes);
    if (bytes == 0) break;
    bytesOut += bytes;
  }
  in.Flush();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  const double playSeconds = argc > 1 ? std::atof(argv[1]) : 60;
  char pattern[] = "/tmp/clip_decode-XXXXXX";
  const std::string dir = mkdtemp(pattern) ? pattern : "/tmp";

  for (const TKind& kind : kKinds) {
    TMemoryStream image;
    image.LoadFromFile(Made(dir, kind));
    double best = 1e9;
    uint64_t bytes = 0;
    for (int i = 0; i < 3; ++i) best = std::min(best, DecodeSeconds(image, bytes));
    std::printf("clip_decode %s: %.0f x real time (%.1f MB of PCM a pass)\n", kind.Name, kClipSeconds / best,
                double(bytes) / 3 / 1e6);
  }

  // Playback on the real-time bus under load.
  TMainQueue::Instance().SetMainThread(std::this_thread::get_id());
  audio::TOutputBus::Instance().Start();
  std::atomic<bool> spin{true};
  std::vector<std::thread> load;
  for (int i = 0; i < 8; ++i)
    load.emplace_back([&] {
      volatile uint64_t n = 0;
      while (spin) n = n + 1;
    });
  TWaveIn in;
  in.SetFileName(Made(dir, kKinds[0]));
  in.Loop = true;
  TDXAudioOut out;
  int underruns = 0;
  out.OnUnderrun = [&](TAuOutput*) { ++underruns; };
  out.SetInput(&in);
  out.Run();
  const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(playSeconds);
  while (std::chrono::steady_clock::now() < until) {
    TMainQueue::Instance().WaitForPosts(50);
    TMainQueue::Instance().ProcessPending();
  }
  out.Stop(false);
  spin = false;
  for (std::thread& t : load) t.join();
  audio::TOutputBus::Instance().Stop();
  std::printf("clip_decode underruns in %.0f s of playback beside 8 spinning threads: %d\n", playSeconds, underruns);
  std::filesystem::remove_all(dir);
  return 0;
}
