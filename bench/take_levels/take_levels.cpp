// The level of a first start's take: the program's main window, started
// with no settings (as a new user starts it), opens a score and records a
// take of it through "Program output" (the built-in synthesiser on the
// output bus, at the input volume a first start sets) until the score ends
// or the time given has passed. Printed per score: the seconds recorded, the
// input volume the first start gave the mixer, the take's peak and RMS in
// dBFS and how many samples stand at full scale (clipped).
//
// Usage: take_levels [seconds per take at most, default 300] [score...]
// Without scores: two corpus MusicXML files without dynamics (which play
// mezzo-forte), a full orchestra (72b) and a solo line (61a), and the
// fetched MIDI corpus's orchestral music009.mid, loud throughout.

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/LoadedFile.h"
#include "app/Program.h"
#include "app/ProgramModule.h"
#include "app/ProgramUnit.h"
#include "platform/audio/CaptureDevice.h"
#include "platform/audio/OutputBus.h"
#include "platform/audio/WaveDecoder.h"
#include "platform/forms/Application.h"
#include "platform/threads/MainQueue.h"
#include "platform/window/HeadlessHost.h"

namespace fs = std::filesystem;

namespace {

std::string FindMidi(const std::string& name) {
  std::error_code error;
  for (fs::recursive_directory_iterator it(SONARID_MIDI_CACHE, error), end; !error && it != end; it.increment(error))
    if (it->path().filename() == name) return it->path().string();
  return "";
}

double Db(double amplitude) { return amplitude > 0 ? 20 * std::log10(amplitude) : -999; }

void Measure(const std::string& score, double seconds) {
  const fs::path folder = fs::temp_directory_path() / ("take_levels-" + std::to_string(::getpid()));
  fs::remove_all(folder);
  fs::create_directories(folder);
  auto host = std::make_unique<window::THeadlessHost>();
  window::THeadlessHost* clock = host.get();
  auto app = std::make_unique<forms::TApplication>(std::move(host));
  InitializeProgramUnit({std::string(SONARID_BINARY_DIR) + "/src/app/sonarid", folder.string() + "/"});
  TFProgramModule* main = nullptr;
  app->CreateForm(main);
  main->Show();
  app->ProcessMessages();
  const std::vector<uint16_t> volume = audio::CaptureDevice(0)->Volume();
  try {
    main->LoadFile(score);  // an import's warning would want a message box
    main->UpdateActions();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s: %s\n", score.c_str(), e.what());
  }
  main->ARecord->Execute();
  using namespace std::chrono;
  const auto start = steady_clock::now();
  auto now = start;
  while (main->Recording() && now - start < duration<double>(seconds)) {
    TMainQueue::Instance().WaitForPosts(10);
    const auto then = std::exchange(now, steady_clock::now());
    clock->AdvanceTime(uint64_t(duration_cast<milliseconds>(now - then).count()));
    app->ProcessMessages();
  }
  if (main->Recording()) main->AStopExecute();
  audio::TDecodedWave take;
  const bool read = audio::DecodeWaveFile(main->RecordFile(), take) == 0 && !take.Samples.empty();
  delete main;
  FinalizeProgramUnit();
  app.reset();
  fs::remove_all(folder);
  if (!read) {
    std::printf("take_levels %s no take\n", fs::path(score).filename().c_str());
    return;
  }
  int peak = 0;
  double sum = 0;
  size_t clipped = 0;
  for (int16_t s : take.Samples) {
    peak = std::max(peak, std::abs(int(s)));
    sum += double(s) * s;
    clipped += s >= 32767 || s <= -32767;
  }
  std::printf("take_levels %s seconds %.1f input_volume %u peak_dBFS %.1f rms_dBFS %.1f clipped_samples %zu\n",
              fs::path(score).filename().c_str(), double(take.Frames()) / take.Rate, volume.empty() ? 0u : volume[0],
              Db(peak / 32768.0), Db(std::sqrt(sum / double(take.Samples.size())) / 32768.0), clipped);
}

}  // namespace

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? std::atof(argv[1]) : 300;
  std::vector<std::string> scores(argv + std::min(argc, 2), argv + argc);
  if (scores.empty())
    scores = {std::string(SONARID_CORPUS_DIR) + "/musicxml/72b-TransposingInstruments-Full.xml",
              std::string(SONARID_CORPUS_DIR) + "/musicxml/61a-Lyrics.xml", FindMidi("music009.mid")};
  StartScoreServices();
  audio::TOutputBus::Instance().Start(audio::MakeSilentSink());
  for (const std::string& score : scores)
    if (!score.empty()) Measure(score, seconds);
  audio::TOutputBus::Instance().Stop();
  return 0;
}
