#include "platform/audio/Resampler.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/samplefmt.h>
#include <libswresample/swresample.h>
}

namespace audio {

struct TResampler::TContext {
  SwrContext* Swr = nullptr;
  ~TContext() { swr_free(&Swr); }
};

namespace {

AVSampleFormat LibraryFormat(TSampleFormat format) {
  switch (format) {
    case TSampleFormat::Unsigned8: return AV_SAMPLE_FMT_U8;
    case TSampleFormat::Signed16: return AV_SAMPLE_FMT_S16;
    default: return AV_SAMPLE_FMT_FLT;
  }
}

// Runs one conversion of Frames input frames (none to drain) into Out.
void Run(SwrContext* swr, const float* in, int frames, int frameBytes, std::vector<uint8_t>& out) {
  const int room = swr_get_out_samples(swr, frames);
  if (room <= 0) return;
  const size_t at = out.size();
  out.resize(at + size_t(room) * size_t(frameBytes));
  uint8_t* dst = out.data() + at;
  const uint8_t* src = reinterpret_cast<const uint8_t*>(in);
  const int made = swr_convert(swr, &dst, room, in ? &src : nullptr, frames);
  out.resize(at + size_t(made > 0 ? made : 0) * size_t(frameBytes));
}

}  // namespace

TResampler::TResampler(int inRate, int outRate, int channels, TSampleFormat format, int inChannels) {
  if (inChannels == 0) inChannels = channels;
  if (inRate <= 0 || outRate <= 0 || channels < 1 || channels > 2 || inChannels < channels || inChannels > 8) return;
  auto context = std::make_unique<TContext>();
  AVChannelLayout layout, inLayout;
  av_channel_layout_default(&layout, channels);
  av_channel_layout_default(&inLayout, inChannels);
  const AVSampleFormat outFormat = LibraryFormat(format);
  if (swr_alloc_set_opts2(&context->Swr, &layout, outFormat, outRate, &inLayout, AV_SAMPLE_FMT_FLT, inRate, 0, nullptr) < 0 ||
      swr_init(context->Swr) < 0)
    return;
  FFrameBytes = channels * av_get_bytes_per_sample(outFormat);
  FContext = std::move(context);
}

TResampler::~TResampler() = default;

void TResampler::Convert(const float* in, int frames, std::vector<uint8_t>& out) {
  if (FContext && frames > 0) Run(FContext->Swr, in, frames, FFrameBytes, out);
}

void TResampler::Flush(std::vector<uint8_t>& out) {
  if (!FContext) return;
  // Draining may take more than one call when much is kept back.
  for (size_t before = out.size() + 1; out.size() != before;) {
    before = out.size();
    Run(FContext->Swr, nullptr, 0, FFrameBytes, out);
  }
  swr_init(FContext->Swr);
}

}  // namespace audio
