#pragma once
// How a player of its own frames joins the output bus: its frames, turned
// into float stereo at the bus's rate by the resampler, wait here until the
// bus takes them. The media player's track and the sound-clip buffer both
// sound through it.

#include <cstddef>
#include <vector>

#include "platform/audio/Resampler.h"

namespace audio {

class TBusFeed {
public:
  // InChannels 1 (both sides get it), 2, or 3 to 8 (mixed down to stereo).
  TBusFeed(int inRate, int busRate, int inChannels);
  bool Ok() const { return FResampler.Ok(); }
  // Frames at the bus's rate ready to be taken.
  size_t Pending() const { return FPending.size() / (2 * sizeof(float)); }
  // Converts Frames interleaved frames of the input's channels.
  void Push(const float* in, int frames);
  // Converts what the resampler still keeps back (the input's end).
  void Finish();
  // Moves up to Frames frames into Out; returns the frames moved.
  int Take(float* out, int frames);
  // Drops what waits and what the resampler keeps back (a new position).
  void Reset();

private:
  TResampler FResampler;
  const int FInChannels;
  std::vector<float> FStereo;
  std::vector<uint8_t> FPending;  // float stereo at the bus's rate
};

}  // namespace audio
