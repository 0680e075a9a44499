#pragma once
// Checks on rendered audio (interleaved stereo float) for the MIDI tests:
// loudness per channel and the strongest pitch, found by measuring the
// power at each semitone's frequency (Goertzel) over a range of keys.

#include <cmath>
#include <cstddef>
#include <vector>

#include "platform/midi/SampleSource.h"

namespace audiocheck {

using TStereo = std::vector<float>;

inline TStereo Pull(midi::TSampleSource& source, double seconds) {
  TStereo out(size_t(seconds * source.SampleRate()) * 2);
  source.Render(out.data(), int(out.size() / 2));
  return out;
}

inline size_t Frames(const TStereo& audio) { return audio.size() / 2; }

// Channel 0 = left, 1 = right.
inline double Rms(const TStereo& audio, int channel) {
  double sum = 0;
  for (size_t i = 0; i < Frames(audio); ++i) sum += double(audio[2 * i + size_t(channel)]) * audio[2 * i + size_t(channel)];
  return Frames(audio) ? std::sqrt(sum / double(Frames(audio))) : 0.0;
}

inline double Peak(const TStereo& audio) {
  double peak = 0;
  for (float v : audio) peak = std::max(peak, double(std::fabs(v)));
  return peak;
}

inline double KeyFrequency(int key) { return 440.0 * std::pow(2.0, (key - 69) / 12.0); }

// Power of one frequency in the mono mix (Goertzel).
inline double TonePower(const TStereo& audio, int rate, double frequency) {
  const double coeff = 2.0 * std::cos(2.0 * M_PI * frequency / rate);
  double s1 = 0, s2 = 0;
  for (size_t i = 0; i < Frames(audio); ++i) {
    const double s0 = 0.5 * (audio[2 * i] + audio[2 * i + 1]) + coeff * s1 - s2;
    s2 = s1;
    s1 = s0;
  }
  return s1 * s1 + s2 * s2 - coeff * s1 * s2;
}

// The key from Low to High whose fundamental carries the most power.
inline int StrongestKey(const TStereo& audio, int rate, int low, int high) {
  int best = low;
  double bestPower = -1;
  for (int key = low; key <= high; ++key) {
    const double power = TonePower(audio, rate, KeyFrequency(key));
    if (power > bestPower) {
      bestPower = power;
      best = key;
    }
  }
  return best;
}

// The part of Audio from Start seconds on, Length seconds long.
inline TStereo Slice(const TStereo& audio, int rate, double start, double length) {
  const size_t from = std::min(Frames(audio), size_t(start * rate));
  const size_t to = std::min(Frames(audio), from + size_t(length * rate));
  return TStereo(audio.begin() + std::ptrdiff_t(2 * from), audio.begin() + std::ptrdiff_t(2 * to));
}

}  // namespace audiocheck
