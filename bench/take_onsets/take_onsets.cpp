// Timing of a recorded take: a click track (a wood block every eighth note
// at tempo 120, so every 250 ms) plays through the opened file into the
// built-in synthesiser while the MCI wave-audio device records "Program
// output", in the order a take starts (Play, then RECORD). Each click's
// onset is found in the take (the first sample above a fifth of the
// loudest, at least 150 ms after the previous onset) and set against its
// ideal time, the ideal times placed at the clicks' median offset. Printed:
// the number of clicks found, the first click's delay after RECORD and its
// distance from the median, and p50, p99 and max of the deviation in ms.
//
// Usage: take_onsets [clicks, default 40]

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "app/LoadedFile.h"
#include "app/Program.h"
#include "platform/audio/CaptureDevice.h"
#include "platform/audio/Mci.h"
#include "platform/audio/OutputBus.h"
#include "platform/audio/WaveDecoder.h"
#include "support/MidiFileBuilder.h"

namespace {

constexpr double ClickMs = 250;

std::string WriteClickTrack(const std::filesystem::path& folder, int clicks) {
  TMidiFileBuilder builder(0, 480);
  TMidiTrackBuilder& track = builder.AddTrack();
  track.Tempo(0, 500000).TimeSignature(0, 4, 2);
  for (int i = 0; i < clicks; ++i) track.NoteOn(i ? 180 : 0, 9, 76, 127).NoteOff(60, 9, 76);
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

}  // namespace

int main(int argc, char** argv) {
  const int clicks = argc > 1 ? std::max(2, std::atoi(argv[1])) : 40;
  const auto folder = std::filesystem::temp_directory_path() / "sonarid-take-onsets";
  std::filesystem::create_directories(folder);
  StartScoreServices();
  audio::TOutputBus::Instance().Start(audio::MakeSilentSink());
  audio::SetInputDevice(0);
  const std::string take = (folder / "take.wav").string();
  {
    TLoadedFile file(WriteClickTrack(folder, clicks));
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
  audio::TOutputBus::Instance().Stop();

  audio::TDecodedWave wave;
  if (audio::DecodeWaveFile(take, wave) != 0 || wave.Samples.empty()) {
    std::fprintf(stderr, "take_onsets: no take\n");
    return 1;
  }
  int loudest = 0;
  for (int16_t s : wave.Samples) loudest = std::max(loudest, std::abs(int(s)));
  const double msPerFrame = 1000.0 / wave.Rate;
  std::vector<double> onsets;
  for (size_t i = 0; i < wave.Samples.size(); ++i)
    if (std::abs(int(wave.Samples[i])) * 5 > loudest && (onsets.empty() || i * msPerFrame - onsets.back() >= 150))
      onsets.push_back(double(i) * msPerFrame);
  // The ideal times are placed at the median offset of all clicks, so that
  // a first click early or late by a block does not shift all the others.
  std::vector<double> offsets;
  for (size_t k = 0; k < onsets.size(); ++k) offsets.push_back(onsets[k] - double(k) * ClickMs);
  const double offset = Percentile(offsets, 0.5);
  std::vector<double> deviations;
  for (double o : offsets) deviations.push_back(std::fabs(o - offset));
  std::printf("take_onsets clicks_played %d clicks_found %zu\n", clicks, onsets.size());
  std::printf("take_onsets first_click_after_record_ms %.2f\n", onsets.empty() ? 0.0 : onsets[0]);
  std::printf("take_onsets first_click_off_median_ms %.2f\n", offsets.empty() ? 0.0 : offsets[0] - offset);
  std::printf("take_onsets deviation_p50_ms %.2f\n", Percentile(deviations, 0.50));
  std::printf("take_onsets deviation_p99_ms %.2f\n", Percentile(deviations, 0.99));
  std::printf("take_onsets deviation_max_ms %.2f\n",
              deviations.empty() ? 0.0 : *std::max_element(deviations.begin(), deviations.end()));
  std::filesystem::remove_all(folder);
  return 0;
}
