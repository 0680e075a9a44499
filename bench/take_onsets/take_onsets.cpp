// Timing of a recorded take: a click track (a wood block every eighth note
// at tempo 120, so every 250 ms, after a leading silence) plays through the
// opened file into the built-in synthesiser while the MCI wave-audio device
// records "Program output", in the order a take starts (Play, then RECORD).
// Each click's onset is found in the take (the first sample above a fifth
// of the loudest, at least 150 ms after the previous onset) and matched to
// the click that was played: the one expected nearest to it, within half a
// click. Expected: the leading silence plus 250 ms per click plus the wood
// block's own rise to a fifth of its peak, measured on the synthesiser
// alone. Printed per run: clicks played, found, missing and extra; where
// the first click sits in the take against the leading silence; p50, p99
// and max of the onset error, and p99 and max around its median (what is
// left when a sound server's latency is taken away). The runs go once on an idle machine and once
// with every core kept busy by the benchmark itself.
//
// Usage: take_onsets [clicks, default 40] [runs per condition, default 3]
//                    [leading silence in ms, default 500] [input]
// Input: part of the name of the capture device to record (for example
// "Monitor" under scripts/pulse-server run); the bus then plays to the
// sound server. Without it: "Program output", the bus on the silent sink.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include <unistd.h>

#include "app/LoadedFile.h"
#include "app/Program.h"
#include "platform/audio/CaptureDevice.h"
#include "platform/audio/Mci.h"
#include "platform/audio/OutputBus.h"
#include "platform/audio/WaveDecoder.h"
#include "platform/midi/MidiOut.h"
#include "platform/midi/Synthesiser.h"
#include "support/BusyCores.h"
#include "support/MidiFileBuilder.h"

namespace {

constexpr double ClickMs = 250;
constexpr int Rate = 44100;
constexpr uint8_t Key = 76, Velocity = 127;

std::string WriteClickTrack(const std::filesystem::path& folder, int clicks, int leadMs) {
  TMidiFileBuilder builder(0, 480);
  TMidiTrackBuilder& track = builder.AddTrack();
  // 480 ticks a quarter at 500000 us: 0.96 ticks per ms.
  track.Tempo(0, 500000).TimeSignature(0, 4, 2);
  for (int i = 0; i < clicks; ++i) track.NoteOn(i ? 180 : uint32_t(leadMs * 24 / 25), 9, Key, Velocity).NoteOff(60, 9, Key);
  track.EndOfTrack(0);
  const TBytes bytes = builder.Bytes();
  const std::string path = (folder / "clicks.mid").string();
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  return path;
}

void Mci(const std::string& command) {
  if (const audio::MCIERROR e = audio::MciSendString(command))
    std::fprintf(stderr, "%s: error %u\n", command.c_str(), e);
}

double Percentile(std::vector<double> values, double p) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[std::min(values.size() - 1, size_t(p * double(values.size() - 1) + 0.5))];
}

std::vector<double> Onsets(const std::vector<float>& mono) {
  float loudest = 0;
  for (float s : mono) loudest = std::max(loudest, std::fabs(s));
  const double msPerFrame = 1000.0 / Rate;
  std::vector<double> onsets;
  for (size_t i = 0; i < mono.size(); ++i)
    if (std::fabs(mono[i]) * 5 > loudest && (onsets.empty() || double(i) * msPerFrame - onsets.back() >= 150))
      onsets.push_back(double(i) * msPerFrame);
  return onsets;
}

// The click's rise on the synthesiser alone: the onset of a click sent
// before the first frame rendered. The first note a new synthesiser plays
// rises later than all after it; the first click is played for nothing.
double RiseMs() {
  midi::TSampleSource& synth = midi::AttachSynthesiser(Rate);
  midi::THandle handle = 0;
  if (midi::Open(handle, 0) != 0) return 0;
  std::vector<float> stereo(size_t(Rate) * 2), mono(size_t(Rate) / 5);
  for (int i = 0; i < 2; ++i) {
    midi::ShortMsg(handle, 0x99u | uint32_t(Key) << 8 | uint32_t(Velocity) << 16);
    synth.Render(stereo.data(), Rate);
  }
  for (size_t i = 0; i < mono.size(); ++i) mono[i] = (stereo[2 * i] + stereo[2 * i + 1]) / 2;
  midi::Close(handle);
  midi::DetachSynthesiser();
  const std::vector<double> onsets = Onsets(mono);
  return onsets.empty() ? 0 : onsets[0];
}

std::vector<float> RecordTake(const std::filesystem::path& folder, const std::string& score) {
  const std::string take = (folder / "take.wav").string();
  {
    TLoadedFile file(score);
    Mci("OPEN NEW TYPE WAVEAUDIO ALIAS KorvaneFile");
    Mci("SET KorvaneFile TIME FORMAT MS BITSPERSAMPLE 16 CHANNELS 1 ALIGNMENT 2 SAMPLESPERSEC 44100 BYTESPERSEC 88200");
    file.Play();
    Mci("RECORD KorvaneFile");
    while (file.Playing) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    Mci("STOP KorvaneFile");
    Mci("SAVE KorvaneFile \"" + take + "\"");
    Mci("CLOSE KorvaneFile");
    file.Stop();
  }
  audio::TDecodedWave wave;
  std::vector<float> mono;
  if (audio::DecodeWaveFile(take, wave) == 0)
    for (int16_t s : wave.Samples) mono.push_back(float(s) / 32768.0f);
  return mono;
}

void Report(const char* condition, int run, int clicks, int leadMs, double riseMs, const std::vector<float>& take) {
  const std::vector<double> onsets = Onsets(take);
  // A sound server's source hears the clicks later by its latency: the
  // first click's delay places the grid the others are matched against.
  const double latency = onsets.empty() ? 0 : std::max(0.0, onsets[0] - leadMs - riseMs);
  std::vector<int> matched(size_t(clicks), 0);
  std::vector<double> errors, offsets;
  int extra = 0;
  for (double onset : onsets) {
    const long k = std::lround((onset - leadMs - riseMs - latency) / ClickMs);
    if (k < 0 || k >= clicks || matched[size_t(k)]++) {
      ++extra;
      continue;
    }
    offsets.push_back(onset - (leadMs + double(k) * ClickMs + riseMs));
    errors.push_back(std::fabs(offsets.back()));
  }
  const double median = Percentile(offsets, 0.5);
  std::vector<double> spread;
  for (double o : offsets) spread.push_back(std::fabs(o - median));
  const long missing = std::count(matched.begin(), matched.end(), 0);
  std::printf("take_onsets %-4s run %d clicks_played %d found %zu missing %ld extra %d\n", condition, run, clicks,
              errors.size(), missing, extra);
  std::printf("take_onsets %-4s run %d first_click_at_ms %.3f leading_silence_ms %d rise_ms %.3f\n", condition, run,
              onsets.empty() ? -1.0 : onsets[0], leadMs, riseMs);
  std::printf("take_onsets %-4s run %d error_p50_ms %.3f p99_ms %.3f max_ms %.3f\n", condition, run,
              Percentile(errors, 0.50), Percentile(errors, 0.99),
              errors.empty() ? 0.0 : *std::max_element(errors.begin(), errors.end()));
  std::printf("take_onsets %-4s run %d around_the_median_offset_%.3f_ms p99_ms %.3f max_ms %.3f\n", condition, run,
              median, Percentile(spread, 0.99), spread.empty() ? 0.0 : *std::max_element(spread.begin(), spread.end()));
}

}  // namespace

int main(int argc, char** argv) {
  const int clicks = argc > 1 ? std::max(2, std::atoi(argv[1])) : 40;
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
  const int leadMs = argc > 3 ? std::max(0, std::atoi(argv[3])) : 500;
  const auto folder = std::filesystem::temp_directory_path() / ("sonarid-take-onsets-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  StartScoreServices();
  const double rise = RiseMs();
  const std::string input = argc > 4 ? argv[4] : "";
  audio::TOutputBus::Instance().Start(input.empty() ? audio::MakeSilentSink() : nullptr);
  audio::SetInputDevice(0);
  for (unsigned id = 0; !input.empty() && id < audio::CaptureDeviceCount(); ++id)
    if (audio::CaptureDeviceName(int(id)).find(input) != std::string::npos) audio::SetInputDevice(int(id));
  std::printf("take_onsets input %s\n", audio::CaptureDeviceName(audio::InputDevice()).c_str());
  const std::string score = WriteClickTrack(folder, clicks, leadMs);
  for (int run = 1; run <= runs; ++run) Report("idle", run, clicks, leadMs, rise, RecordTake(folder, score));

  {
    TBusyCores busy;
    for (int run = 1; run <= runs; ++run) Report("busy", run, clicks, leadMs, rise, RecordTake(folder, score));
  }
  std::printf("take_onsets bus_clock_anchors %d\n", audio::TOutputBus::Instance().ClockAnchors());
  audio::TOutputBus::Instance().Stop();
  std::filesystem::remove_all(folder);
  return 0;
}
