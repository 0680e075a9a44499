#pragma once
// One stream's decoder: libavcodec's decoder for the stream, its frames
// converted by libswresample to packed little-endian integers of 16, 24 or
// 32 bits at the stream's rate with the channel count asked for (mixed when
// it differs from the stream's).

#include <cstdint>
#include <memory>
#include <vector>

struct AVCodecParameters;
struct AVPacket;

namespace wma::detail {

class TPcmDecoder {
public:
  TPcmDecoder();
  ~TPcmDecoder();
  TPcmDecoder(const TPcmDecoder&) = delete;
  TPcmDecoder& operator=(const TPcmDecoder&) = delete;

  // False when the decoder cannot be opened.
  bool Open(const AVCodecParameters& stream, int channels, int bits);
  bool IsOpen() const;
  void Close();
  // A packet, or nullptr at the end of the stream; false when the decoder
  // refuses it (a damaged packet, which is then skipped).
  bool Send(const AVPacket* packet);

  enum class TResult { Frame, NeedPacket, End };
  // The next frame as PCM in Out (replaced) with its frame count and its
  // time stamp in stream units (INT64_MIN when it has none). A frame the
  // decoder fails on is skipped.
  TResult Receive(std::vector<uint8_t>& out, int& frames, int64_t& pts);

private:
  struct TContext;
  std::unique_ptr<TContext> FContext;
};

}  // namespace wma::detail
