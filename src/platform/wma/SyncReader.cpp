#include "platform/wma/SyncReader.h"

#include <algorithm>
#include <cstring>

#include "base/Utf8.h"
#include "platform/wma/AsfHeader.h"
#include "platform/wma/PcmDecoder.h"

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/log.h>
}

namespace wma {

namespace {

constexpr AVCodecID kWindowsMedia[] = {AV_CODEC_ID_WMAV1, AV_CODEC_ID_WMAV2, AV_CODEC_ID_WMAPRO,
                                       AV_CODEC_ID_WMALOSSLESS, AV_CODEC_ID_WMAVOICE};
constexpr int kIoBufferBytes = 32768;
constexpr int64_t kUnitsPerSecond = 10000000;  // 100-ns units
// A seek starts decoding this long before the range start, so that the
// decoder has settled by then.
constexpr int64_t kSeekLeadIn = kUnitsPerSecond / 2;

// The clip's attribute names that libavformat hands out under names of its own.
constexpr std::pair<const char*, const char*> kRenamed[] = {
    {"Author", "artist"},        {"Description", "comment"},
    {"WM/AlbumTitle", "album"},  {"WM/AlbumArtist", "album_artist"},
    {"WM/Genre", "genre"},       {"WM/TrackNumber", "track"},
    {"WM/Composer", "composer"}, {"WM/Publisher", "publisher"},
    {"WM/Language", "language"}, {"WM/EncodedBy", "encoded_by"}};

struct TOutput {
  int Stream = 0;  // libavformat's stream index
  bool Audio = false;
  int Channels = 0;
  int Rate = 0;
  bool Discrete = false;
  uint32_t SpeakerConfig = 0;
  bool FormatSet = false;
  codec::TWaveFormat Format;
};

std::vector<codec::TWaveFormat> Offered(const TOutput& o) {
  std::vector<codec::TWaveFormat> formats;
  const int own = o.Discrete ? o.Channels : std::min(o.Channels, 2);
  for (int bits : {16, 24, 32})
    if (bits == 16 || o.Discrete)
      formats.push_back(codec::TWaveFormat::Pcm(uint16_t(own), uint32_t(o.Rate), uint16_t(bits)));
  if ((o.SpeakerConfig == 6 || o.SpeakerConfig == 8) && int(o.SpeakerConfig) != own)
    for (int bits : {16, 24, 32})
      formats.push_back(codec::TWaveFormat::Pcm(uint16_t(o.SpeakerConfig), uint32_t(o.Rate), uint16_t(bits)));
  return formats;
}

TMediaType AudioType(const codec::TWaveFormat& format) {
  TMediaType type;
  type.MajorType = TMajorType::Audio;
  type.FormatType = TFormatType::WaveFormatEx;
  type.Format = format;
  return type;
}

HRESULT CopyOut(const std::vector<uint8_t>& bytes, uint8_t* value, uint16_t& length) {
  const uint16_t needed = uint16_t(bytes.size());
  if (!value) {
    length = needed;
    return S_OK;
  }
  if (length < needed) {
    length = needed;
    return ASF_E_BUFFERTOOSMALL;
  }
  std::memcpy(value, bytes.data(), needed);
  length = needed;
  return S_OK;
}

}  // namespace

struct TSyncReader::TState {
  TByteSource* Source = nullptr;
  int64_t Start = 0;  // the clip's first byte in the source
  TAsfHeaderFacts Facts;
  AVIOContext* Io = nullptr;
  AVFormatContext* Format = nullptr;
  AVPacket* Packet = nullptr;
  std::vector<TOutput> Outputs;

  detail::TPcmDecoder Decoder;
  int Decoding = -1;  // the output the decoder is open for
  codec::TWaveFormat DecodingFormat;
  bool Draining = false;
  // Sample clock of the decoded output: set from the first frame's time
  // stamp after an open or a seek, then counted in frames.
  int64_t Clock = 0;
  bool Anchored = false;
  bool FromStart = true;    // decoding began at the clip's first packet
  uint64_t RangeStart = 0;  // 100-ns units
  bool Trimming = false;

  ~TState() {
    av_packet_free(&Packet);
    avformat_close_input(&Format);
    if (Io) av_freep(&Io->buffer);
    avio_context_free(&Io);
  }

  static int Read(void* opaque, uint8_t* buffer, int size) {
    auto* s = static_cast<TState*>(opaque);
    const int64_t n = s->Source->Read(buffer, size);
    return n > 0 ? int(n) : AVERROR_EOF;
  }

  static int64_t Seek(void* opaque, int64_t offset, int whence) {
    auto* s = static_cast<TState*>(opaque);
    whence &= ~AVSEEK_FORCE;
    if (whence == AVSEEK_SIZE) {
      const int64_t size = s->Source->Size();
      return size < s->Start ? -1 : size - s->Start;
    }
    if (whence == SEEK_SET) {
      if (offset < 0 || offset > INT64_MAX - s->Start) return -1;
      offset += s->Start;
    } else if (whence != SEEK_CUR && whence != SEEK_END) {
      return -1;
    }
    const int64_t at = s->Source->Seek(offset, whence == SEEK_SET ? 0 : whence == SEEK_CUR ? 1 : 2);
    return at < s->Start ? -1 : at - s->Start;
  }

  const TOutput* Output(uint32_t output) const { return output < Outputs.size() ? &Outputs[output] : nullptr; }
  TOutput* AudioOutput(uint32_t output) {
    return output < Outputs.size() && Outputs[output].Audio ? &Outputs[output] : nullptr;
  }
  codec::TWaveFormat Current(const TOutput& o) const { return o.FormatSet ? o.Format : Offered(o).front(); }
};

TSyncReader::TSyncReader() {
  // Results travel as codes; libavformat's and libavcodec's own lines would
  // only repeat them on stderr (and a damaged clip would flood it).
  if (av_log_get_level() == AV_LOG_INFO) av_log_set_level(AV_LOG_FATAL);
}

TSyncReader::~TSyncReader() = default;

HRESULT TSyncReader::OpenStream(TByteSource& source) {
  FState.reset();
  auto s = std::make_unique<TState>();
  s->Source = &source;
  s->Start = source.Seek(0, 1);
  if (s->Start < 0) return NS_E_INVALID_DATA;
  s->Facts = WalkAsfHeader(source, s->Start);
  if (!s->Facts.Asf || source.Seek(s->Start, 0) != s->Start) return NS_E_INVALID_DATA;
  auto* buffer = static_cast<uint8_t*>(av_malloc(kIoBufferBytes));
  s->Io =
      buffer ? avio_alloc_context(buffer, kIoBufferBytes, 0, s.get(), &TState::Read, nullptr, &TState::Seek) : nullptr;
  if (!s->Io) {
    av_free(buffer);
    return NS_E_INVALID_DATA;
  }
  s->Format = avformat_alloc_context();
  s->Packet = av_packet_alloc();
  if (!s->Format || !s->Packet) return NS_E_INVALID_DATA;
  s->Format->pb = s->Io;
  s->Format->flags |= AVFMT_FLAG_CUSTOM_IO;
  // Only the ASF demuxer reads the clip: no other format is probed for.
  if (avformat_open_input(&s->Format, nullptr, av_find_input_format("asf"), nullptr) < 0) return NS_E_INVALID_DATA;
  for (unsigned i = 0; i < s->Format->nb_streams; ++i) {
    const AVCodecParameters& p = *s->Format->streams[i]->codecpar;
    TOutput o;
    o.Stream = int(i);
    o.Channels = p.ch_layout.nb_channels;
    o.Rate = p.sample_rate;
    o.Audio = p.codec_type == AVMEDIA_TYPE_AUDIO &&
              std::find(std::begin(kWindowsMedia), std::end(kWindowsMedia), p.codec_id) != std::end(kWindowsMedia) &&
              avcodec_find_decoder(p.codec_id) && o.Channels >= 1 && o.Channels <= 8 && o.Rate > 0 && o.Rate <= 384000;
    s->Outputs.push_back(o);
  }
  FState = std::move(s);
  return S_OK;
}

HRESULT TSyncReader::GetOutputCount(uint32_t& outputs) {
  if (!FState) return NS_E_INVALID_REQUEST;
  outputs = uint32_t(FState->Outputs.size());
  return S_OK;
}

HRESULT TSyncReader::GetOutputProps(uint32_t output, TMediaType& props) {
  if (!FState) return NS_E_INVALID_REQUEST;
  const TOutput* o = FState->Output(output);
  if (!o) return E_INVALIDARG;
  props = o->Audio ? AudioType(FState->Current(*o)) : TMediaType{};
  return S_OK;
}

HRESULT TSyncReader::SetOutputProps(uint32_t output, const TMediaType& props) {
  if (!FState) return NS_E_INVALID_REQUEST;
  TOutput* o = FState->AudioOutput(output);
  if (!o || props.MajorType != TMajorType::Audio || props.FormatType != TFormatType::WaveFormatEx) return E_INVALIDARG;
  const std::vector<codec::TWaveFormat> offered = Offered(*o);
  if (std::find(offered.begin(), offered.end(), props.Format) == offered.end()) return E_INVALIDARG;
  o->Format = props.Format;
  o->FormatSet = true;
  return S_OK;
}

HRESULT TSyncReader::GetOutputFormatCount(uint32_t output, uint32_t& formats) {
  if (!FState) return NS_E_INVALID_REQUEST;
  const TOutput* o = FState->Output(output);
  if (!o) return E_INVALIDARG;
  formats = o->Audio ? uint32_t(Offered(*o).size()) : 0;
  return S_OK;
}

HRESULT TSyncReader::GetOutputFormat(uint32_t output, uint32_t format, TMediaType& props) {
  if (!FState) return NS_E_INVALID_REQUEST;
  const TOutput* o = FState->AudioOutput(output);
  if (!o) return E_INVALIDARG;
  const std::vector<codec::TWaveFormat> offered = Offered(*o);
  if (format >= offered.size()) return E_INVALIDARG;
  props = AudioType(offered[format]);
  return S_OK;
}

HRESULT TSyncReader::SetOutputSetting(uint32_t output, const std::string& name, TAttrDataType type,
                                      const uint8_t* value, uint16_t length) {
  if (!FState) return NS_E_INVALID_REQUEST;
  TOutput* o = FState->AudioOutput(output);
  if (!o || !value || length != 4) return E_INVALIDARG;
  uint32_t v;
  std::memcpy(&v, value, 4);
  if (name == "EnableDiscreteOutput" && type == WMT_TYPE_BOOL) {
    o->Discrete = v != 0;
  } else if (name == "SpeakerConfig" && type == WMT_TYPE_DWORD) {
    o->SpeakerConfig = v;
  } else {
    return E_INVALIDARG;
  }
  // The offer changed: an earlier choice may no longer be in it.
  o->FormatSet = false;
  return S_OK;
}

HRESULT TSyncReader::GetStreamNumberForOutput(uint32_t output, uint16_t& stream) {
  if (!FState) return NS_E_INVALID_REQUEST;
  if (!FState->Output(output)) return E_INVALIDARG;
  stream = uint16_t(output + 1);
  return S_OK;
}

HRESULT TSyncReader::SetReadStreamSamples(uint16_t stream, bool compressed) {
  if (!FState) return NS_E_INVALID_REQUEST;
  if (stream == 0 || !FState->AudioOutput(stream - 1u) || compressed) return E_INVALIDARG;
  return FState->Facts.Encrypted ? NS_E_PROTECTED_CONTENT : S_OK;
}

HRESULT TSyncReader::GetNextSample(uint16_t stream, std::vector<uint8_t>& sample, uint64_t& time) {
  if (!FState) return NS_E_INVALID_REQUEST;
  TState& s = *FState;
  TOutput* o = stream > 0 ? s.AudioOutput(stream - 1u) : nullptr;
  if (!o) return E_INVALIDARG;
  if (s.Facts.Encrypted) return NS_E_PROTECTED_CONTENT;
  const codec::TWaveFormat format = s.Current(*o);
  if (!s.Decoder.IsOpen() || s.Decoding != stream - 1 || !(s.DecodingFormat == format)) {
    if (!s.Decoder.Open(*s.Format->streams[o->Stream]->codecpar, format.nChannels(), format.wBitsPerSample()))
      return NS_E_NO_MORE_SAMPLES;
    s.Decoding = stream - 1;
    s.DecodingFormat = format;
    s.Draining = false;
  }
  const AVRational timeBase = s.Format->streams[o->Stream]->time_base;
  const int64_t rate = format.nSamplesPerSec();
  const size_t frameBytes = format.nBlockAlign();
  for (;;) {
    int frames = 0;
    int64_t pts = 0;
    switch (s.Decoder.Receive(sample, frames, pts)) {
      case detail::TPcmDecoder::TResult::Frame: {
        if (!s.Anchored) {
          // A frame without a time stamp can be placed only at the clip's
          // start; after a seek it lies in the lead-in and goes.
          if (pts == INT64_MIN && !s.FromStart) continue;
          s.Clock = pts == INT64_MIN ? 0 : av_rescale_q(pts, timeBase, AVRational{1, int(rate)});
          s.Anchored = true;
        }
        int64_t at = s.Clock;
        s.Clock += frames;
        if (s.Trimming) {
          const int64_t start = av_rescale(int64_t(s.RangeStart), rate, kUnitsPerSecond);
          const int64_t drop = std::clamp<int64_t>(start - at, 0, frames);
          if (drop == frames) continue;
          sample.erase(sample.begin(), sample.begin() + ptrdiff_t(size_t(drop) * frameBytes));
          at += drop;
          s.Trimming = false;
        }
        time = uint64_t(std::max<int64_t>(0, av_rescale(at, kUnitsPerSecond, rate)));
        return S_OK;
      }
      case detail::TPcmDecoder::TResult::NeedPacket:
        if (s.Draining) return NS_E_NO_MORE_SAMPLES;
        if (av_read_frame(s.Format, s.Packet) < 0) {
          s.Decoder.Send(nullptr);
          s.Draining = true;
          break;
        }
        // A packet the decoder refuses is damaged and skipped.
        if (s.Packet->stream_index == o->Stream) s.Decoder.Send(s.Packet);
        av_packet_unref(s.Packet);
        break;
      case detail::TPcmDecoder::TResult::End: return NS_E_NO_MORE_SAMPLES;
    }
  }
}

HRESULT TSyncReader::SetRange(uint64_t start) {
  if (!FState) return NS_E_INVALID_REQUEST;
  TState& s = *FState;
  int stream = s.Decoding >= 0 ? s.Outputs[size_t(s.Decoding)].Stream : -1;
  for (size_t i = 0; stream < 0 && i < s.Outputs.size(); ++i)
    if (s.Outputs[i].Audio) stream = s.Outputs[i].Stream;
  if (stream < 0) return E_INVALIDARG;
  const int64_t from =
      start > uint64_t(2 * kSeekLeadIn) ? int64_t(std::min<uint64_t>(start, INT64_MAX)) - kSeekLeadIn : 0;
  const int64_t at = av_rescale_q(from, AVRational{1, int(kUnitsPerSecond)}, s.Format->streams[stream]->time_base);
  s.FromStart = from == 0;
  if (avformat_seek_file(s.Format, stream, INT64_MIN, at, at, 0) < 0) {
    if (from == 0 || avformat_seek_file(s.Format, stream, INT64_MIN, 0, 0, 0) < 0) return NS_E_INVALID_DATA;
    s.FromStart = true;
  }
  // A fresh decoder: one flushed keeps the overlap of what it decoded last.
  s.Decoder.Close();
  s.Draining = false;
  s.Anchored = false;
  s.RangeStart = start;
  s.Trimming = true;
  return S_OK;
}

HRESULT TSyncReader::GetAttributeByName(uint16_t stream, const std::string& name, TAttrDataType& type, uint8_t* value,
                                        uint16_t& length) {
  if (!FState) return NS_E_INVALID_REQUEST;
  if (stream != 0) return ASF_E_NOTFOUND;
  std::vector<uint8_t> bytes;
  if (name == "Duration") {
    const uint64_t duration = FState->Facts.Duration();
    if (duration == 0) return ASF_E_NOTFOUND;
    bytes.resize(8);
    for (int i = 0; i < 8; ++i) bytes[size_t(i)] = uint8_t(duration >> (8 * i));
    type = WMT_TYPE_QWORD;
    return CopyOut(bytes, value, length);
  }
  const AVDictionaryEntry* entry = av_dict_get(FState->Format->metadata, name.c_str(), nullptr, 0);
  for (const auto& [ours, theirs] : kRenamed)
    if (!entry && name == ours) entry = av_dict_get(FState->Format->metadata, theirs, nullptr, 0);
  if (!entry) return ASF_E_NOTFOUND;
  std::u16string text = Utf8ToUtf16(entry->value);
  text.resize(std::min<size_t>(text.size(), 32766));
  text.push_back(0);
  bytes.resize(text.size() * 2);
  for (size_t i = 0; i < text.size(); ++i) {
    bytes[2 * i] = uint8_t(text[i]);
    bytes[2 * i + 1] = uint8_t(text[i] >> 8);
  }
  type = WMT_TYPE_STRING;
  return CopyOut(bytes, value, length);
}

HRESULT TSyncReader::Close() {
  if (!FState) return NS_E_INVALID_REQUEST;
  FState.reset();
  return S_OK;
}

}  // namespace wma
