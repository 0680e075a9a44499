#include "platform/codec/LavCoder.h"

#include <algorithm>
#include <cmath>
#include <cstring>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/channel_layout.h>
#include <libavutil/log.h>
#include <libavutil/opt.h>
}

namespace codec::detail {

struct TLavContext {
  AVCodecContext* Codec = nullptr;
  AVFrame* Frame = nullptr;
  AVPacket* Packet = nullptr;
  ~TLavContext() {
    av_packet_free(&Packet);
    av_frame_free(&Frame);
    avcodec_free_context(&Codec);
  }
};

namespace {

// Results travel as codes; libavcodec's own log lines would only repeat them
// on stderr (and a damaged clip would flood it).
void QuietLibraryLog() {
  static const bool once = [] {
    if (av_log_get_level() == AV_LOG_INFO) av_log_set_level(AV_LOG_FATAL);
    return true;
  }();
  (void)once;
}

std::unique_ptr<TLavContext> NewContext(const AVCodec* codec, const TWaveFormat& f) {
  QuietLibraryLog();
  auto ctx = std::make_unique<TLavContext>();
  ctx->Codec = avcodec_alloc_context3(codec);
  ctx->Frame = av_frame_alloc();
  ctx->Packet = av_packet_alloc();
  if (!ctx->Codec || !ctx->Frame || !ctx->Packet) return nullptr;
  ctx->Codec->sample_rate = int(f.nSamplesPerSec());
  av_channel_layout_default(&ctx->Codec->ch_layout, f.nChannels());
  ctx->Codec->block_align = f.nBlockAlign();
  ctx->Codec->bits_per_coded_sample = f.wBitsPerSample();
  return ctx;
}

// The encoder's input format: 16-bit, interleaved or planar as it takes them.
AVSampleFormat Int16FormatOf(const AVCodec* codec) {
  for (const AVSampleFormat* p = codec->sample_fmts; p && *p != AV_SAMPLE_FMT_NONE; ++p)
    if (*p == AV_SAMPLE_FMT_S16 || *p == AV_SAMPLE_FMT_S16P) return *p;
  return AV_SAMPLE_FMT_NONE;
}

int16_t ClampToInt16(double v) {
  return int16_t(std::lround(std::clamp(v, -32768.0, 32767.0)));
}

int16_t SampleAsInt16(const uint8_t* p, AVSampleFormat packed) {
  switch (packed) {
    case AV_SAMPLE_FMT_U8: return int16_t((int(*p) - 128) << 8);
    case AV_SAMPLE_FMT_S16: { int16_t v; std::memcpy(&v, p, 2); return v; }
    case AV_SAMPLE_FMT_S32: { int32_t v; std::memcpy(&v, p, 4); return int16_t(v >> 16); }
    case AV_SAMPLE_FMT_FLT: { float v; std::memcpy(&v, p, 4); return ClampToInt16(double(v) * 32768.0); }
    case AV_SAMPLE_FMT_DBL: { double v; std::memcpy(&v, p, 8); return ClampToInt16(v * 32768.0); }
    default: return 0;
  }
}

}  // namespace

// ---- Encoder

TLavEncoder::TLavEncoder() = default;
TLavEncoder::~TLavEncoder() = default;

bool TLavEncoder::Open(const TCodecInfo& info, const TWaveFormat& coded, const TBlockLayout& layout) {
  FContext.reset();
  const AVCodec* codec = avcodec_find_encoder_by_name(info.Encoder);
  if (!codec) return false;
  AVSampleFormat fmt = Int16FormatOf(codec);
  auto ctx = NewContext(codec, coded);
  if (fmt == AV_SAMPLE_FMT_NONE || !ctx) return false;
  AVCodecContext* c = ctx->Codec;
  c->sample_fmt = fmt;
  switch (info.Kind) {
    case TCodecKind::ImaAdpcm:
    case TCodecKind::MsAdpcm:
      av_opt_set_int(c->priv_data, "block_size", coded.nBlockAlign(), 0);
      break;
    case TCodecKind::Gsm610:
      // libgsm codes any rate as it comes; libavcodec asks to be told so.
      c->strict_std_compliance = FF_COMPLIANCE_UNOFFICIAL;
      break;
    case TCodecKind::MpegLayer3:
      c->bit_rate = int64_t(coded.nAvgBytesPerSec()) * 8;
      break;
    default:
      break;
  }
  if (avcodec_open2(c, codec, nullptr) < 0) return false;
  uint32_t frameSize = uint32_t(std::max(0, c->frame_size));
  bool fixedFrames = info.Kind != TCodecKind::Alaw && info.Kind != TCodecKind::Mulaw;
  if (fixedFrames && frameSize != layout.SamplesPerBlock) return false;
  if (layout.BytesPerBlock && fixedFrames && uint32_t(c->block_align) != layout.BytesPerBlock) return false;
  FChannels = coded.nChannels();
  FFrameSize = fixedFrames ? frameSize : 0;
  FShortLastFrame = codec->capabilities & AV_CODEC_CAP_SMALL_LAST_FRAME;
  FContext = std::move(ctx);
  return true;
}

bool TLavEncoder::SendFrame(const int16_t* samples, uint32_t frames, uint32_t frameSamples, std::vector<uint8_t>& out) {
  AVCodecContext* c = FContext->Codec;
  AVFrame* frame = FContext->Frame;
  av_frame_unref(frame);
  frame->nb_samples = int(frameSamples);
  frame->format = c->sample_fmt;
  frame->sample_rate = c->sample_rate;
  if (av_channel_layout_copy(&frame->ch_layout, &c->ch_layout) < 0 || av_frame_get_buffer(frame, 0) < 0) return false;
  if (c->sample_fmt == AV_SAMPLE_FMT_S16P) {
    for (uint32_t ch = 0; ch < FChannels; ++ch) {
      auto* plane = reinterpret_cast<int16_t*>(frame->extended_data[ch]);
      for (uint32_t i = 0; i < frames; ++i) plane[i] = samples[i * FChannels + ch];
      std::fill(plane + frames, plane + frameSamples, int16_t(0));
    }
  } else {
    auto* data = reinterpret_cast<int16_t*>(frame->data[0]);
    std::copy(samples, samples + size_t(frames) * FChannels, data);
    std::fill(data + size_t(frames) * FChannels, data + size_t(frameSamples) * FChannels, int16_t(0));
  }
  if (avcodec_send_frame(c, frame) < 0) return false;
  return Drain(out);
}

bool TLavEncoder::Drain(std::vector<uint8_t>& out) {
  AVPacket* pkt = FContext->Packet;
  for (;;) {
    int r = avcodec_receive_packet(FContext->Codec, pkt);
    if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) return true;
    if (r < 0) return false;
    out.insert(out.end(), pkt->data, pkt->data + pkt->size);
    av_packet_unref(pkt);
  }
}

bool TLavEncoder::Encode(const int16_t* samples, uint32_t frames, bool final, std::vector<uint8_t>& out) {
  if (!FContext) return false;
  if (FFrameSize == 0) return frames == 0 || SendFrame(samples, frames, frames, out);
  uint32_t done = 0;
  for (; frames - done >= FFrameSize; done += FFrameSize)
    if (!SendFrame(samples + size_t(done) * FChannels, FFrameSize, FFrameSize, out)) return false;
  uint32_t rest = frames - done;
  if (!final || rest == 0) return true;
  return SendFrame(samples + size_t(done) * FChannels, rest, FShortLastFrame ? rest : FFrameSize, out);
}

bool TLavEncoder::Flush(std::vector<uint8_t>& out) {
  if (!FContext) return false;
  if (avcodec_send_frame(FContext->Codec, nullptr) < 0) return false;
  return Drain(out);
}

// ---- Decoder

TLavDecoder::TLavDecoder() = default;
TLavDecoder::~TLavDecoder() = default;

bool TLavDecoder::Open(const TCodecInfo& info, const TWaveFormat& coded) {
  FContext.reset();
  const AVCodec* codec = avcodec_find_decoder_by_name(info.Decoder);
  auto ctx = codec ? NewContext(codec, coded) : nullptr;
  if (!ctx) return false;
  if (coded.cbSize() > 0) {
    // The format's extra bytes are what a decoder reads as its setup.
    ctx->Codec->extradata = static_cast<uint8_t*>(av_mallocz(coded.cbSize() + AV_INPUT_BUFFER_PADDING_SIZE));
    if (!ctx->Codec->extradata) return false;
    std::memcpy(ctx->Codec->extradata, coded.Data() + WAVEFORMATEX_SIZE, coded.cbSize());
    ctx->Codec->extradata_size = coded.cbSize();
  }
  if (avcodec_open2(ctx->Codec, codec, nullptr) < 0) return false;
  FChannels = coded.nChannels();
  FContext = std::move(ctx);
  return true;
}

bool TLavDecoder::Drain(std::vector<int16_t>& out) {
  AVFrame* frame = FContext->Frame;
  for (;;) {
    int r = avcodec_receive_frame(FContext->Codec, frame);
    if (r == AVERROR(EAGAIN) || r == AVERROR_EOF || r == AVERROR_INVALIDDATA) return true;
    if (r < 0) return false;
    auto fmt = AVSampleFormat(frame->format);
    AVSampleFormat packed = av_get_packed_sample_fmt(fmt);
    bool planar = av_sample_fmt_is_planar(fmt);
    int width = av_get_bytes_per_sample(fmt);
    uint32_t channels = uint32_t(frame->ch_layout.nb_channels);
    // A damaged frame that decodes to another channel count is skipped.
    if (channels != FChannels) {
      av_frame_unref(frame);
      continue;
    }
    size_t base = out.size();
    out.resize(base + size_t(frame->nb_samples) * channels);
    for (int i = 0; i < frame->nb_samples; ++i)
      for (uint32_t ch = 0; ch < channels; ++ch) {
        const uint8_t* p = planar ? frame->extended_data[ch] + size_t(i) * width
                                  : frame->data[0] + (size_t(i) * channels + ch) * width;
        out[base + size_t(i) * channels + ch] = SampleAsInt16(p, packed);
      }
    av_frame_unref(frame);
  }
}

bool TLavDecoder::Decode(const uint8_t* packet, uint32_t size, std::vector<int16_t>& out) {
  if (!FContext) return false;
  AVPacket* pkt = FContext->Packet;
  if (av_new_packet(pkt, int(size)) < 0) return false;
  std::memcpy(pkt->data, packet, size);
  int r = avcodec_send_packet(FContext->Codec, pkt);
  av_packet_unref(pkt);
  if (r < 0 && r != AVERROR_INVALIDDATA) return false;
  return Drain(out);
}

bool TLavDecoder::Flush(std::vector<int16_t>& out) {
  if (!FContext) return false;
  if (avcodec_send_packet(FContext->Codec, nullptr) < 0) return false;
  return Drain(out);
}

}  // namespace codec::detail
