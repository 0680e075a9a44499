#include "platform/wma/PcmDecoder.h"

#include <cstring>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
}

namespace wma::detail {

struct TPcmDecoder::TContext {
  AVCodecContext* Codec = nullptr;
  AVFrame* Frame = nullptr;
  SwrContext* Convert = nullptr;
  AVChannelLayout OutLayout{};
  int Bits = 16;
  // What the converter was made for (a stream may change it mid-way).
  AVChannelLayout InLayout{};
  int InFormat = -1;
  int InRate = 0;
  std::vector<uint8_t> Wide;  // 32-bit samples before they are packed to 24 bits
  ~TContext() {
    swr_free(&Convert);
    av_frame_free(&Frame);
    avcodec_free_context(&Codec);
    av_channel_layout_uninit(&OutLayout);
    av_channel_layout_uninit(&InLayout);
  }
};

TPcmDecoder::TPcmDecoder() = default;
TPcmDecoder::~TPcmDecoder() = default;

bool TPcmDecoder::IsOpen() const { return FContext != nullptr; }

void TPcmDecoder::Close() { FContext.reset(); }

bool TPcmDecoder::Open(const AVCodecParameters& stream, int channels, int bits) {
  Close();
  const AVCodec* codec = avcodec_find_decoder(stream.codec_id);
  auto ctx = std::make_unique<TContext>();
  ctx->Codec = codec ? avcodec_alloc_context3(codec) : nullptr;
  ctx->Frame = av_frame_alloc();
  if (!ctx->Codec || !ctx->Frame || avcodec_parameters_to_context(ctx->Codec, &stream) < 0 ||
      avcodec_open2(ctx->Codec, codec, nullptr) < 0)
    return false;
  av_channel_layout_default(&ctx->OutLayout, channels);
  ctx->Bits = bits;
  FContext = std::move(ctx);
  return true;
}

bool TPcmDecoder::Send(const AVPacket* packet) { return FContext && avcodec_send_packet(FContext->Codec, packet) >= 0; }

TPcmDecoder::TResult TPcmDecoder::Receive(std::vector<uint8_t>& out, int& frames, int64_t& pts) {
  if (!FContext) return TResult::End;
  TContext& c = *FContext;
  for (int failures = 0;;) {
    const int r = avcodec_receive_frame(c.Codec, c.Frame);
    if (r == AVERROR(EAGAIN)) return TResult::NeedPacket;
    if (r == AVERROR_EOF) return TResult::End;
    // A frame the decoder fails on is skipped; one that keeps failing ends the stream.
    if (r < 0) {
      if (++failures > 16) return TResult::End;
      continue;
    }
    AVFrame& f = *c.Frame;
    if (f.nb_samples <= 0 || f.sample_rate <= 0) {
      av_frame_unref(&f);
      continue;
    }
    if (!c.Convert || f.format != c.InFormat || f.sample_rate != c.InRate ||
        av_channel_layout_compare(&f.ch_layout, &c.InLayout) != 0) {
      swr_free(&c.Convert);
      av_channel_layout_uninit(&c.InLayout);
      if (f.ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
        av_channel_layout_default(&c.InLayout, f.ch_layout.nb_channels);
      else
        av_channel_layout_copy(&c.InLayout, &f.ch_layout);
      const AVSampleFormat outFormat = c.Bits == 16 ? AV_SAMPLE_FMT_S16 : AV_SAMPLE_FMT_S32;
      if (swr_alloc_set_opts2(&c.Convert, &c.OutLayout, outFormat, f.sample_rate, &c.InLayout, AVSampleFormat(f.format),
                              f.sample_rate, 0, nullptr) < 0 ||
          swr_init(c.Convert) < 0) {
        swr_free(&c.Convert);
        av_frame_unref(&f);
        return TResult::End;
      }
      c.InFormat = f.format;
      c.InRate = f.sample_rate;
    }
    const int channels = c.OutLayout.nb_channels;
    const size_t wide = c.Bits == 16 ? 2 : 4;
    std::vector<uint8_t>& target = c.Bits == 24 ? c.Wide : out;
    target.resize(size_t(f.nb_samples) * size_t(channels) * wide);
    uint8_t* planes[1] = {target.data()};
    const int done =
        swr_convert(c.Convert, planes, f.nb_samples, const_cast<const uint8_t**>(f.extended_data), f.nb_samples);
    pts = f.best_effort_timestamp == AV_NOPTS_VALUE ? INT64_MIN : f.best_effort_timestamp;
    av_frame_unref(&f);
    if (done <= 0) continue;
    frames = done;
    const size_t samples = size_t(done) * size_t(channels);
    if (c.Bits == 24) {
      // The top three bytes of each 32-bit sample.
      out.resize(samples * 3);
      for (size_t i = 0; i < samples; ++i) std::memcpy(&out[3 * i], &c.Wide[4 * i + 1], 3);
    } else {
      out.resize(samples * wide);
    }
    return TResult::Frame;
  }
}

}  // namespace wma::detail
