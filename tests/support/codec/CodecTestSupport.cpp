#include "support/codec/CodecTestSupport.h"


#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include <gtest/gtest.h>

#include "base/LittleEndian.h"
#include "base/Streams.h"
#include "platform/codec/Acm.h"
#include "platform/codec/RiffWave.h"

namespace codectest {

std::vector<int16_t> TakeSignal(uint32_t rate, uint16_t channels, double seconds) {
  static const double notes[2][3] = {{220.0, 277.18, 329.63}, {246.94, 311.13, 369.99}};
  size_t frames = size_t(std::lround(rate * seconds));
  std::vector<int16_t> out(frames * channels);
  for (size_t i = 0; i < frames; ++i) {
    double t = double(i) / rate;
    double fade = std::min(1.0, t / 0.01);
    for (uint16_t ch = 0; ch < channels; ++ch) {
      double v = 0;
      for (double f : notes[ch % 2]) v += 0.18 * std::sin(2 * M_PI * f * t);
      // Exponential sweep: phase = 2 pi f0 T / ln(k) (k^(t/T) - 1), k = f1 / f0.
      double k = 3000.0 / 150.0;
      v += 0.2 * std::sin(2 * M_PI * 150.0 * seconds / std::log(k) * (std::pow(k, t / seconds) - 1));
      out[i * channels + ch] = int16_t(std::lround(v * fade * 32767));
    }
  }
  return out;
}

std::vector<int16_t> WritePcmWave(const std::string& path, const std::vector<int16_t>& samples, uint32_t rate,
                                  uint16_t channels, uint16_t bits) {
  std::vector<uint8_t> data;
  std::vector<int16_t> held;
  for (int16_t s : samples) {
    if (bits == 8) {
      uint8_t b = uint8_t(std::clamp((s + 128) >> 8, -128, 127) + 128);
      data.push_back(b);
      held.push_back(int16_t((b - 128) << 8));
    } else {
      data.push_back(uint8_t(s));
      data.push_back(uint8_t(uint16_t(s) >> 8));
      held.push_back(s);
    }
  }
  uint16_t align = uint16_t(channels * bits / 8);
  std::vector<uint8_t> file(44);
  uint8_t* h = file.data();
  std::memcpy(h, "RIFF", 4);
  le::store32(h + 4, uint32_t(36 + data.size() + (data.size() & 1)));
  std::memcpy(h + 8, "WAVEfmt ", 8);
  le::store32(h + 16, 16);
  le::store16(h + 20, 1);
  le::store16(h + 22, channels);
  le::store32(h + 24, rate);
  le::store32(h + 28, rate * align);
  le::store16(h + 32, align);
  le::store16(h + 34, bits);
  std::memcpy(h + 36, "data", 4);
  le::store32(h + 40, uint32_t(data.size()));
  file.insert(file.end(), data.begin(), data.end());
  if (data.size() & 1) file.push_back(0);
  WriteBytes(path, file);
  return held;
}

codec::TWaveFormat Offered(uint16_t tag, const codec::TWaveFormat& src) {
  using namespace codec;
  TWaveFormat f;
  f.SetFormatTag(tag);
  EXPECT_EQ(acmFormatSuggest(nullptr, src, f, ACM_FORMATSUGGESTF_WFORMATTAG), MMSYSERR_NOERROR) << tag;
  return f;
}

bool FirstOfferedFormat(codec::HACMDRIVER had, uint16_t tag, const codec::TWaveFormat& record, codec::TWaveFormat& found) {
  using namespace codec;
  ACMFORMATDETAILS pattern;
  pattern.dwFormatTag = tag;
  pattern.pwfx = record;
  pattern.pwfx.SetFormatTag(tag);
  bool any = false;
  MMRESULT r = acmFormatEnum(
      had, pattern,
      [&](HACMDRIVERID, const ACMFORMATDETAILS& d, uint32_t) {
        found = d.pwfx;
        any = true;
        return false;
      },
      ACM_FORMATENUMF_WFORMATTAG | ACM_FORMATENUMF_NCHANNELS | ACM_FORMATENUMF_NSAMPLESPERSEC);
  return r == MMSYSERR_NOERROR && any;
}

std::string Quote(const std::string& path) { return "'" + path + "'"; }

std::string Run(const std::string& command, int* status) {
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) throw std::runtime_error("cannot run " + command);
  std::string out;
  char buffer[65536];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
  int rc = ::pclose(pipe);
  if (status) *status = rc;
  return out;
}

TProbe FfProbe(const std::string& path) {
  std::istringstream lines(Run("ffprobe -v error -select_streams a:0 -show_entries stream=codec_name,sample_rate,channels "
                               "-of default=noprint_wrappers=1 " + Quote(path)));
  TProbe p;
  for (std::string line; std::getline(lines, line);) {
    auto eq = line.find('=');
    if (eq == std::string::npos) continue;
    std::string key = line.substr(0, eq), value = line.substr(eq + 1);
    if (key == "codec_name") p.CodecName = value;
    if (key == "sample_rate") p.SampleRate = uint32_t(std::stoul(value));
    if (key == "channels") p.Channels = uint32_t(std::stoul(value));
  }
  return p;
}

std::vector<int16_t> FfDecode(const std::string& path, uint16_t channels) {
  std::string raw = Run("ffmpeg -nostdin -v error -i " + Quote(path) + " -f s16le -acodec pcm_s16le -ac " +
                        std::to_string(channels) + " -");
  std::vector<int16_t> out(raw.size() / 2);
  for (size_t i = 0; i < out.size(); ++i) out[i] = int16_t(le::load16(reinterpret_cast<const uint8_t*>(raw.data()) + 2 * i));
  return out;
}

std::vector<int16_t> LayerDecode(const std::string& path) {
  using namespace codec;
  TFileStream file(path, fmOpenRead);
  TWaveFileInfo info = ReadWaveHeader(file);
  std::vector<uint8_t> data(info.DataSize);
  file.SetPosition(info.DataOffset);
  file.ReadBuffer(data.data(), int64_t(data.size()));
  TWaveFormat pcm;
  pcm.SetFormatTag(WAVE_FORMAT_PCM);
  EXPECT_EQ(acmFormatSuggest(nullptr, info.Format, pcm, ACM_FORMATSUGGESTF_WFORMATTAG), MMSYSERR_NOERROR);
  EXPECT_EQ(pcm.wBitsPerSample(), 16);
  HACMSTREAM has = nullptr;
  if (acmStreamOpen(has, nullptr, info.Format, pcm, ACM_STREAMOPENF_NONREALTIME) != MMSYSERR_NOERROR) {
    ADD_FAILURE() << "no decoding stream for " << path;
    return {};
  }
  uint32_t size = 0;
  EXPECT_EQ(acmStreamSize(has, uint32_t(data.size()), size, ACM_STREAMSIZEF_SOURCE), MMSYSERR_NOERROR);
  std::vector<uint8_t> out(size);
  ACMSTREAMHEADER hdr;
  hdr.pbSrc = data.data();
  hdr.cbSrcLength = uint32_t(data.size());
  hdr.pbDst = out.data();
  hdr.cbDstLength = size;
  EXPECT_EQ(acmStreamPrepareHeader(has, hdr), MMSYSERR_NOERROR);
  EXPECT_EQ(acmStreamConvert(has, hdr, ACM_STREAMCONVERTF_BLOCKALIGN), MMSYSERR_NOERROR);
  size_t produced = hdr.cbDstLengthUsed;
  out.resize(produced + size);
  hdr.pbDst = out.data() + produced;
  hdr.cbSrcLength = 0;
  EXPECT_EQ(acmStreamConvert(has, hdr, ACM_STREAMCONVERTF_END), MMSYSERR_NOERROR);
  produced += hdr.cbDstLengthUsed;
  EXPECT_EQ(acmStreamUnprepareHeader(has, hdr), MMSYSERR_NOERROR);
  EXPECT_EQ(acmStreamClose(has), MMSYSERR_NOERROR);
  std::vector<int16_t> samples(produced / 2);
  for (size_t i = 0; i < samples.size(); ++i) samples[i] = int16_t(le::load16(&out[2 * i]));
  return samples;
}

TChunkWalk WalkChunks(const std::string& path) {
  std::vector<uint8_t> b = ReadBytes(path);
  TChunkWalk w;
  if (b.size() < 12) return w;
  w.FitsRiffSize = le::load32(&b[4]) + 8 == b.size();
  for (size_t pos = 12; pos + 8 <= b.size();) {
    std::string id(reinterpret_cast<const char*>(&b[pos]), 4);
    uint32_t size = le::load32(&b[pos + 4]);
    w.Ids.push_back(id);
    if (pos & 1) w.Even = false;
    if (id == "fact" && size >= 4) w.Fact = le::load32(&b[pos + 8]);
    if (id == "data") w.DataSize = size;
    if (id == "fmt ") w.Fmt.assign(b.begin() + long(pos + 8), b.begin() + long(std::min(b.size(), pos + 8 + size)));
    pos += 8 + size + (size & 1);
  }
  return w;
}

namespace {

double Normalised(const std::vector<int16_t>& a, const std::vector<int16_t>& b, size_t aStart, size_t bStart,
                  size_t count, size_t stride) {
  double ab = 0, aa = 0, bb = 0;
  for (size_t i = 0; i < count; i += stride) {
    double x = a[aStart + i], y = b[bStart + i];
    ab += x * y;
    aa += x * x;
    bb += y * y;
  }
  return aa > 0 && bb > 0 ? ab / std::sqrt(aa * bb) : 0.0;
}

}  // namespace

double Correlation(const std::vector<int16_t>& reference, const std::vector<int16_t>& decoded, uint16_t channels,
                   uint32_t maxLag, uint32_t* lagOut) {
  size_t frames = reference.size() / channels;
  size_t window = std::min<size_t>(4096, frames / 4), from = frames / 4;
  uint32_t bestLag = 0;
  double best = -2;
  for (uint32_t lag = 0; lag <= maxLag; ++lag) {
    if ((from + lag + window) * channels > decoded.size()) break;
    double c = Normalised(reference, decoded, from * channels, (from + lag) * channels, window * channels, channels);
    if (c > best) {
      best = c;
      bestLag = lag;
    }
  }
  if (lagOut) *lagOut = bestLag;
  size_t overlap = std::min(frames, decoded.size() / channels - std::min(decoded.size() / channels, size_t(bestLag)));
  if (overlap == 0) return 0.0;
  return Normalised(reference, decoded, 0, size_t(bestLag) * channels, overlap * channels, 1);
}

}  // namespace codectest
