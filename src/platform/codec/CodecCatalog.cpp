#include "platform/codec/CodecCatalog.h"

#include <algorithm>
#include <iterator>

#include "base/Strings.h"

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace codec::detail {

namespace {

const TCodecInfo kAlaw{TCodecKind::Alaw, WAVE_FORMAT_ALAW, "CCITT A-Law", "pcm_alaw", "pcm_alaw"};
const TCodecInfo kMulaw{TCodecKind::Mulaw, WAVE_FORMAT_MULAW, "CCITT u-Law", "pcm_mulaw", "pcm_mulaw"};
const TCodecInfo kIma{TCodecKind::ImaAdpcm, WAVE_FORMAT_IMA_ADPCM, "IMA ADPCM", "adpcm_ima_wav", "adpcm_ima_wav"};
const TCodecInfo kMs{TCodecKind::MsAdpcm, WAVE_FORMAT_ADPCM, "Microsoft ADPCM", "adpcm_ms", "adpcm_ms"};
const TCodecInfo kGsm{TCodecKind::Gsm610, WAVE_FORMAT_GSM610, "GSM 6.10", "libgsm_ms", "gsm_ms"};
const TCodecInfo kMp3{TCodecKind::MpegLayer3, WAVE_FORMAT_MPEGLAYER3, "MPEG Layer-3", "libmp3lame", "mp3float"};

const TDriverInfo kDrivers[] = {
    {1, "G.711", "CCITT G.711 A-Law and u-Law codec", {&kAlaw, &kMulaw}},
    {2, "IMA ADPCM", "IMA ADPCM codec", {&kIma}},
    {3, "MS-ADPCM", "Microsoft ADPCM codec", {&kMs}},
    {4, "GSM 6.10", "GSM 6.10 audio codec (libgsm)", {&kGsm}},
    {5, "MPEG Layer-3", "MPEG Layer-3 codec (LAME encoder)", {&kMp3}},
};

const int16_t kMsCoefficients[7][2] = {{256, 0}, {512, -256}, {0, 0}, {192, 64}, {240, 0}, {460, -208}, {392, -232}};

constexpr uint32_t kImaMsExtra = 2, kMsExtra = 32, kGsmExtra = 2, kMp3Extra = 12;
constexpr uint32_t kGsmBlockAlign = 65, kGsmSamplesPerBlock = 320;
// LAME's encoder delay plus the decoder's, as libavcodec reports it.
constexpr uint16_t kMp3CodecDelay = 1105;

bool CodecPresent(const TCodecInfo* c) {
  return avcodec_find_encoder_by_name(c->Encoder) && avcodec_find_decoder_by_name(c->Decoder);
}

bool IsPowerOfTwo(uint32_t v) { return v && !(v & (v - 1)); }

// The usual ADPCM block: 256 bytes per channel, doubled for each doubling
// of the rate above 11025 Hz.
uint16_t AdpcmBlockAlign(uint16_t channels, uint32_t rate) {
  uint32_t scale = std::max<uint32_t>(1, rate / 11025);
  uint32_t pow2 = 1;
  while (pow2 * 2 <= scale) pow2 *= 2;
  return uint16_t(256 * channels * pow2);
}

uint32_t ImaSamplesPerBlock(uint32_t align, uint32_t channels) { return (align - 4 * channels) * 8 / (4 * channels) + 1; }
uint32_t MsSamplesPerBlock(uint32_t align, uint32_t channels) { return (align - 7 * channels) * 2 / channels + 2; }

// The bit rate first offered for a rate and channel count: full quality for
// MPEG-1 rates, less for the half and quarter rates.
uint32_t Mp3DefaultKbps(uint32_t rate, uint16_t channels) {
  uint32_t kbps = rate >= 32000 ? 128 : rate >= 16000 ? 64 : 32;
  return channels == 1 ? kbps / 2 : kbps;
}

uint32_t Mp3MaxFrameBytes(uint32_t rate, uint32_t kbps) {
  return Mp3SamplesPerFrame(rate) / 8 * kbps * 1000 / rate + 1;
}

void SetBlockFormat(TWaveFormat& f, uint16_t tag, uint16_t channels, uint32_t rate, uint16_t align, uint16_t bits) {
  f.SetFormatTag(tag);
  f.SetChannels(channels);
  f.SetSamplesPerSec(rate);
  f.SetBlockAlign(align);
  f.SetBitsPerSample(bits);
}

}  // namespace

const std::vector<const TDriverInfo*>& AvailableDrivers() {
  static const std::vector<const TDriverInfo*> drivers = [] {
    std::vector<const TDriverInfo*> list;
    for (const TDriverInfo& d : kDrivers)
      if (std::all_of(d.Codecs.begin(), d.Codecs.end(), CodecPresent)) list.push_back(&d);
    return list;
  }();
  return drivers;
}

const TDriverInfo* FindDriver(uint32_t id) {
  for (const TDriverInfo* d : AvailableDrivers())
    if (d->Id == id) return d;
  return nullptr;
}

const TDriverInfo* DriverOfTag(uint16_t tag) {
  for (const TDriverInfo* d : AvailableDrivers())
    for (const TCodecInfo* c : d->Codecs)
      if (c->Tag == tag) return d;
  return nullptr;
}

const TCodecInfo* FindCodec(uint16_t tag) {
  if (const TDriverInfo* d = DriverOfTag(tag))
    for (const TCodecInfo* c : d->Codecs)
      if (c->Tag == tag) return c;
  return nullptr;
}

const std::vector<uint32_t>& RecordRates() {
  static const std::vector<uint32_t> rates{8000, 11025, 12000, 22050, 24000, 32000, 44100, 48000};
  return rates;
}

uint32_t Mp3SamplesPerFrame(uint32_t rate) { return rate >= 32000 ? 1152 : 576; }

bool IsMp3Bitrate(uint32_t rate, uint32_t kbps) {
  static const uint32_t mpeg1[] = {32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
  static const uint32_t mpeg2[] = {8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};
  static const uint32_t rates[] = {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000};
  if (std::find(std::begin(rates), std::end(rates), rate) == std::end(rates)) return false;
  if (rate >= 32000) return std::find(std::begin(mpeg1), std::end(mpeg1), kbps) != std::end(mpeg1);
  return std::find(std::begin(mpeg2), std::end(mpeg2), kbps) != std::end(mpeg2);
}

bool BuildFormat(TCodecKind kind, uint16_t channels, uint32_t rate, TWaveFormat& f) {
  if (channels < 1 || channels > 2 || rate == 0) return false;
  f = TWaveFormat();
  switch (kind) {
    case TCodecKind::Alaw:
    case TCodecKind::Mulaw:
      SetBlockFormat(f, kind == TCodecKind::Alaw ? WAVE_FORMAT_ALAW : WAVE_FORMAT_MULAW, channels, rate, channels, 8);
      f.SetAvgBytesPerSec(rate * channels);
      return true;
    case TCodecKind::ImaAdpcm:
    case TCodecKind::MsAdpcm: {
      bool ima = kind == TCodecKind::ImaAdpcm;
      uint16_t align = AdpcmBlockAlign(channels, rate);
      uint32_t spb = ima ? ImaSamplesPerBlock(align, channels) : MsSamplesPerBlock(align, channels);
      SetBlockFormat(f, ima ? WAVE_FORMAT_IMA_ADPCM : WAVE_FORMAT_ADPCM, channels, rate, align, 4);
      f.SetAvgBytesPerSec(uint32_t(uint64_t(rate) * align / spb));
      f.SetExtraSize(uint16_t(ima ? kImaMsExtra : kMsExtra));
      f.SetExtraU16(18, uint16_t(spb));
      if (!ima) {
        f.SetExtraU16(20, 7);
        for (int i = 0; i < 7; ++i) {
          f.SetExtraU16(22 + 4 * i, uint16_t(kMsCoefficients[i][0]));
          f.SetExtraU16(24 + 4 * i, uint16_t(kMsCoefficients[i][1]));
        }
      }
      return true;
    }
    case TCodecKind::Gsm610:
      // libgsm codes one channel; any rate is coded as it comes.
      if (channels != 1) return false;
      SetBlockFormat(f, WAVE_FORMAT_GSM610, 1, rate, kGsmBlockAlign, 0);
      f.SetAvgBytesPerSec(uint32_t(uint64_t(rate) * kGsmBlockAlign / kGsmSamplesPerBlock));
      f.SetExtraSize(kGsmExtra);
      f.SetExtraU16(18, kGsmSamplesPerBlock);
      return true;
    case TCodecKind::MpegLayer3: {
      uint32_t kbps = Mp3DefaultKbps(rate, channels);
      if (!IsMp3Bitrate(rate, kbps)) return false;
      SetBlockFormat(f, WAVE_FORMAT_MPEGLAYER3, channels, rate, 1, 0);
      f.SetAvgBytesPerSec(kbps * 1000 / 8);
      f.SetExtraSize(kMp3Extra);
      f.SetExtraU16(18, MPEGLAYER3_ID_MPEG);
      f.SetExtraU32(20, MPEGLAYER3_FLAG_PADDING_ISO);
      f.SetExtraU16(24, uint16_t(Mp3MaxFrameBytes(rate, kbps) - 1));  // nBlockSize: an unpadded frame
      f.SetExtraU16(26, 1);                                             // nFramesPerBlock
      f.SetExtraU16(28, kMp3CodecDelay);
      return true;
    }
  }
  return false;
}

std::vector<TWaveFormat> StandardFormats(uint16_t tag) {
  std::vector<TWaveFormat> list;
  const TCodecInfo* codec = tag == WAVE_FORMAT_PCM ? nullptr : FindCodec(tag);
  if (tag != WAVE_FORMAT_PCM && !codec) return list;
  for (uint32_t rate : RecordRates())
    for (uint16_t channels = 1; channels <= 2; ++channels) {
      if (!codec) {
        list.push_back(TWaveFormat::Pcm(channels, rate, 16));
        list.push_back(TWaveFormat::Pcm(channels, rate, 8));
        continue;
      }
      TWaveFormat f;
      if (BuildFormat(codec->Kind, channels, rate, f)) list.push_back(f);
    }
  return list;
}

bool CheckPcmFormat(const TWaveFormat& f) {
  return f.IsPcm() && f.nChannels() >= 1 && f.nChannels() <= 2 && (f.wBitsPerSample() == 8 || f.wBitsPerSample() == 16) &&
         f.nSamplesPerSec() > 0 && f.nSamplesPerSec() <= 384000 && f.nBlockAlign() == f.nChannels() * f.wBitsPerSample() / 8;
}

bool CheckCodecFormat(const TCodecInfo& codec, const TWaveFormat& f, bool encode, TBlockLayout& layout) {
  uint32_t ch = f.nChannels(), rate = f.nSamplesPerSec(), align = f.nBlockAlign();
  if (f.wFormatTag() != codec.Tag || ch < 1 || ch > 2 || rate == 0 || rate > 384000) return false;
  // The ADPCM encoders of libavcodec take power-of-two blocks of 32..8192 bytes.
  bool encodableBlock = IsPowerOfTwo(align) && align >= 32 && align <= 8192;
  switch (codec.Kind) {
    case TCodecKind::Alaw:
    case TCodecKind::Mulaw:
      if (f.wBitsPerSample() != 8 || align != ch) return false;
      layout = {1, align, align};
      return true;
    case TCodecKind::ImaAdpcm: {
      if (f.wBitsPerSample() != 4 || f.cbSize() < kImaMsExtra || align <= 4 * ch || (align - 4 * ch) % (4 * ch) != 0)
        return false;
      uint32_t spb = ImaSamplesPerBlock(align, ch);
      if (f.ExtraU16(18) != spb || (encode && !encodableBlock)) return false;
      layout = {spb, align, align};
      return true;
    }
    case TCodecKind::MsAdpcm: {
      if (f.wBitsPerSample() != 4 || f.cbSize() < kMsExtra || align <= 7 * ch || f.ExtraU16(20) != 7) return false;
      // libavcodec codes with the standard coefficient table only.
      for (int i = 0; i < 7; ++i)
        if (int16_t(f.ExtraU16(22 + 4 * i)) != kMsCoefficients[i][0] || int16_t(f.ExtraU16(24 + 4 * i)) != kMsCoefficients[i][1])
          return false;
      uint32_t spb = MsSamplesPerBlock(align, ch);
      if (f.ExtraU16(18) != spb || (encode && !encodableBlock)) return false;
      layout = {spb, align, align};
      return true;
    }
    case TCodecKind::Gsm610:
      if (ch != 1 || align != kGsmBlockAlign) return false;
      if (f.cbSize() >= 2 && f.ExtraU16(18) != kGsmSamplesPerBlock) return false;
      layout = {kGsmSamplesPerBlock, kGsmBlockAlign, kGsmBlockAlign};
      return true;
    case TCodecKind::MpegLayer3: {
      uint32_t kbps = uint32_t(uint64_t(f.nAvgBytesPerSec()) * 8 / 1000);
      if (encode && (uint64_t(f.nAvgBytesPerSec()) * 8 % 1000 != 0 || !IsMp3Bitrate(rate, kbps))) return false;
      if (!encode && !IsMp3Bitrate(rate, 8) && !IsMp3Bitrate(rate, 32)) return false;  // an MPEG rate at all
      // Frames vary in size; sizes are estimated from the declared bit rate,
      // kept inside the rate class's range.
      uint32_t lowest = rate >= 32000 ? 32 : 8, highest = rate >= 32000 ? 320 : 160;
      layout = {Mp3SamplesPerFrame(rate), 0, Mp3MaxFrameBytes(rate, std::clamp(kbps, lowest, highest))};
      return true;
    }
  }
  return false;
}

std::string FormatText(const TWaveFormat& f) {
  std::string rate = Format("%u.%03u kHz", f.nSamplesPerSec() / 1000, f.nSamplesPerSec() % 1000);
  std::string channels = f.nChannels() == 1 ? "Mono" : f.nChannels() == 2 ? "Stereo" : Format("%u channels", f.nChannels());
  if (f.wFormatTag() == WAVE_FORMAT_MPEGLAYER3)
    return Format("%u kBit/s, ", f.nAvgBytesPerSec() * 8 / 1000) + rate + ", " + channels;
  if (f.wBitsPerSample() == 0) return rate + ", " + channels;
  return rate + Format(", %u Bit, ", f.wBitsPerSample()) + channels;
}

}  // namespace codec::detail
