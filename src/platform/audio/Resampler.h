#pragma once
// Converts interleaved float audio to another rate and sample format with a
// band-limited resampler. The count of frames out follows the count in
// exactly over any length (no drift): after Flush, Frames in x OutRate /
// InRate, rounded. Input and output keep the same channels, unless the
// input has more (up to 8), which are then mixed down.

#include <cstdint>
#include <memory>
#include <vector>

namespace audio {

enum class TSampleFormat { Float32, Unsigned8, Signed16 };

class TResampler {
public:
  TResampler(int inRate, int outRate, int channels, TSampleFormat format, int inChannels = 0);
  ~TResampler();
  TResampler(const TResampler&) = delete;
  TResampler& operator=(const TResampler&) = delete;

  // False when the rates or the channel count cannot be converted.
  bool Ok() const { return FContext != nullptr; }
  int FrameBytes() const { return FFrameBytes; }
  // Appends the output for Frames input frames to Out; the resampler keeps
  // a few frames back until later input (or Flush) completes them.
  void Convert(const float* in, int frames, std::vector<uint8_t>& out);
  // Appends what is kept back; the next Convert starts a new stream.
  void Flush(std::vector<uint8_t>& out);

private:
  struct TContext;
  std::unique_ptr<TContext> FContext;
  int FFrameBytes = 0;
};

}  // namespace audio
