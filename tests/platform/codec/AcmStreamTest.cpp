// Conversion streams round by round: what BLOCKALIGN, END and START do,
// that the size query covers a round, that output a small destination
// cannot take is kept, and that bad formats, handles and data are refused
// or survived.

#include <gtest/gtest.h>

#include <random>

#include "support/codec/CodecTestSupport.h"
#include "platform/codec/Acm.h"
#include "platform/codec/Mp3Frames.h"

using namespace codec;
using namespace codectest;

namespace {

std::vector<uint8_t> PcmBytes(const std::vector<int16_t>& samples) {
  std::vector<uint8_t> out;
  for (int16_t s : samples) {
    out.push_back(uint8_t(s));
    out.push_back(uint8_t(uint16_t(s) >> 8));
  }
  return out;
}

// One stream with a prepared header over caller-owned buffers.
class TTestStream {
public:
  TTestStream(const TWaveFormat& src, const TWaveFormat& dst) { Open = acmStreamOpen(Has, nullptr, src, dst, 0); }
  ~TTestStream() {
    if (Has) acmStreamClose(Has);
  }
  MMRESULT Convert(const std::vector<uint8_t>& src, size_t from, size_t count, uint32_t capacity, uint32_t flags,
                   std::vector<uint8_t>& out) {
    std::vector<uint8_t> dst(capacity);
    ACMSTREAMHEADER hdr;
    hdr.pbSrc = src.data() + from;
    hdr.cbSrcLength = uint32_t(count);
    hdr.pbDst = dst.data();
    hdr.cbDstLength = capacity;
    MMRESULT r = acmStreamPrepareHeader(Has, hdr);
    if (r == MMSYSERR_NOERROR) r = acmStreamConvert(Has, hdr, flags);
    Used = hdr.cbSrcLengthUsed;
    Produced = hdr.cbDstLengthUsed;
    out.insert(out.end(), dst.begin(), dst.begin() + Produced);
    if (r == MMSYSERR_NOERROR) r = acmStreamUnprepareHeader(Has, hdr);
    return r;
  }
  HACMSTREAM Has = nullptr;
  MMRESULT Open;
  uint32_t Used = 0, Produced = 0;
};

TEST(AcmStream, BlockAlignConvertsWholeBlocksAndEndPadsTheLastOne) {
  TWaveFormat pcm = TWaveFormat::Pcm(1, 8000, 16);
  TWaveFormat ima = Offered(WAVE_FORMAT_IMA_ADPCM, pcm);  // 505 samples in 256 bytes
  std::vector<uint8_t> src = PcmBytes(TakeSignal(8000, 1, 0.1));  // 800 frames
  TTestStream s(pcm, ima);
  ASSERT_EQ(s.Open, MMSYSERR_NOERROR);
  std::vector<uint8_t> out;
  ASSERT_EQ(s.Convert(src, 0, src.size(), 4096, ACM_STREAMCONVERTF_START | ACM_STREAMCONVERTF_BLOCKALIGN, out),
            MMSYSERR_NOERROR);
  EXPECT_EQ(s.Used, 505u * 2);
  EXPECT_EQ(s.Produced, 256u);
  // The rest (295 frames) makes a padded block at END.
  ASSERT_EQ(s.Convert(src, s.Used, src.size() - s.Used, 4096, ACM_STREAMCONVERTF_END, out), MMSYSERR_NOERROR);
  EXPECT_EQ(s.Used, 295u * 2);
  EXPECT_EQ(s.Produced, 256u);
}

TEST(AcmStream, OutputThatDoesNotFitComesWithTheNextCall) {
  TWaveFormat pcm = TWaveFormat::Pcm(2, 44100, 16);
  TWaveFormat ms = Offered(WAVE_FORMAT_ADPCM, pcm);
  std::vector<uint8_t> src = PcmBytes(TakeSignal(44100, 2, 0.1));
  TTestStream whole(pcm, ms), small(pcm, ms);
  std::vector<uint8_t> expected, got;
  ASSERT_EQ(whole.Convert(src, 0, src.size(), 1 << 16, ACM_STREAMCONVERTF_END, expected), MMSYSERR_NOERROR);
  ASSERT_EQ(small.Convert(src, 0, src.size(), 100, ACM_STREAMCONVERTF_END, got), MMSYSERR_NOERROR);
  EXPECT_EQ(small.Used, src.size());
  EXPECT_EQ(small.Produced, 100u);
  for (int round = 0; round < 1000 && small.Produced > 0; ++round)
    ASSERT_EQ(small.Convert(src, 0, 0, 100, ACM_STREAMCONVERTF_END, got), MMSYSERR_NOERROR);
  EXPECT_EQ(got, expected);
}

TEST(AcmStream, StartBeginsANewStreamWithTheSameOutput) {
  TWaveFormat pcm = TWaveFormat::Pcm(1, 22050, 16);
  std::vector<uint8_t> src = PcmBytes(TakeSignal(22050, 1, 0.3));
  for (uint16_t tag : {WAVE_FORMAT_IMA_ADPCM, WAVE_FORMAT_MPEGLAYER3}) {
    TTestStream s(pcm, Offered(tag, pcm));
    std::vector<uint8_t> first, second;
    ASSERT_EQ(s.Convert(src, 0, src.size(), 1 << 16, ACM_STREAMCONVERTF_START | ACM_STREAMCONVERTF_END, first), 0u);
    ASSERT_EQ(s.Convert(src, 0, src.size(), 1 << 16, ACM_STREAMCONVERTF_START | ACM_STREAMCONVERTF_END, second), 0u);
    EXPECT_FALSE(first.empty());
    EXPECT_EQ(first, second) << tag;
  }
}

// For every offered format at the rates the recorder uses: the size the
// stream asks for one 100 ms block holds what a round of it gives.
TEST(AcmStream, SizeQueryCoversEveryRound) {
  ACMFORMATDETAILS pattern;
  for (uint16_t ch = 1; ch <= 2; ++ch)
    for (uint32_t rate : {8000u, 22050u, 48000u}) {
      pattern.pwfx = TWaveFormat::Pcm(ch, rate, 16);
      std::vector<TWaveFormat> targets;
      acmFormatEnum(nullptr, pattern, [&](HACMDRIVERID, const ACMFORMATDETAILS& d, uint32_t) {
        targets.push_back(d.pwfx);
        return true;
      }, ACM_FORMATENUMF_CONVERT);
      std::vector<uint8_t> src = PcmBytes(TakeSignal(rate, ch, 0.3));
      uint32_t block = rate / 10 * 2 * ch;
      for (const TWaveFormat& f : targets) {
        TTestStream s(pattern.pwfx, f);
        ASSERT_EQ(s.Open, MMSYSERR_NOERROR);
        uint32_t size = 0;
        ASSERT_EQ(acmStreamSize(s.Has, block, size, ACM_STREAMSIZEF_SOURCE), MMSYSERR_NOERROR);
        std::vector<uint8_t> out;
        size_t pos = 0;
        for (int round = 0; pos < src.size(); ++round) {
          size_t n = std::min<size_t>(block, src.size() - pos);
          uint32_t flags = n < block ? ACM_STREAMCONVERTF_END : ACM_STREAMCONVERTF_BLOCKALIGN;
          ASSERT_EQ(s.Convert(src, pos, n, 1 << 20, flags | (round ? 0 : ACM_STREAMCONVERTF_START), out), 0u);
          EXPECT_LE(s.Produced, size) << f.wFormatTag() << " " << rate << " " << ch;
          pos += s.Used;
        }
        ASSERT_EQ(s.Convert(src, 0, 0, 1 << 20, ACM_STREAMCONVERTF_END, out), 0u);
        EXPECT_LE(s.Produced, size);
      }
    }
}

TEST(AcmStream, EightBitTakesConvertToo) {
  TWaveFormat pcm8 = TWaveFormat::Pcm(1, 11025, 8);
  std::vector<int16_t> signal = TakeSignal(11025, 1, 0.5);
  std::vector<uint8_t> src;
  std::vector<int16_t> held;
  for (int16_t v : signal) {
    src.push_back(uint8_t((v >> 8) + 128));
    held.push_back(int16_t((v >> 8) * 256));
  }
  for (uint16_t tag : {WAVE_FORMAT_ALAW, WAVE_FORMAT_IMA_ADPCM}) {
    TWaveFormat coded = Offered(tag, pcm8);
    TTestStream enc(pcm8, coded);
    std::vector<uint8_t> packed, decoded;
    ASSERT_EQ(enc.Convert(src, 0, src.size(), 1 << 16, ACM_STREAMCONVERTF_START | ACM_STREAMCONVERTF_END, packed), 0u);
    TWaveFormat pcm16 = TWaveFormat::Pcm(1, 11025, 16);
    TTestStream dec(coded, pcm16);
    ASSERT_EQ(dec.Open, MMSYSERR_NOERROR);
    ASSERT_EQ(dec.Convert(packed, 0, packed.size(), 1 << 20, ACM_STREAMCONVERTF_END, decoded), 0u);
    std::vector<int16_t> samples(decoded.size() / 2);
    for (size_t i = 0; i < samples.size(); ++i) samples[i] = int16_t(decoded[2 * i] | (decoded[2 * i + 1] << 8));
    EXPECT_GE(Correlation(held, samples, 1, 0), 0.99) << tag;
  }
}

TEST(AcmStream, RefusesFormatsItCannotConvert) {
  TWaveFormat pcm = TWaveFormat::Pcm(2, 22050, 16);
  TWaveFormat ima = Offered(WAVE_FORMAT_IMA_ADPCM, pcm);
  TWaveFormat ms = Offered(WAVE_FORMAT_ADPCM, pcm);
  HACMSTREAM has = nullptr;
  auto open = [&](const TWaveFormat& src, const TWaveFormat& dst) {
    MMRESULT r = acmStreamOpen(has, nullptr, src, dst, 0);
    if (has) acmStreamClose(has);
    return r;
  };
  EXPECT_EQ(open(pcm, ima), MMSYSERR_NOERROR);
  EXPECT_EQ(open(TWaveFormat::Pcm(2, 44100, 16), ima), ACMERR_NOTPOSSIBLE);  // no resampling
  EXPECT_EQ(open(TWaveFormat::Pcm(1, 22050, 16), ima), ACMERR_NOTPOSSIBLE);  // no channel mixing
  EXPECT_EQ(open(TWaveFormat::Pcm(2, 22050, 24), ima), ACMERR_NOTPOSSIBLE);
  EXPECT_EQ(open(pcm, pcm), ACMERR_NOTPOSSIBLE);
  TWaveFormat badIma = ima;
  badIma.SetExtraU16(18, 500);  // samples per block that do not fit the block
  EXPECT_EQ(open(pcm, badIma), ACMERR_NOTPOSSIBLE);
  EXPECT_EQ(open(badIma, pcm), ACMERR_NOTPOSSIBLE);
  TWaveFormat oddBlock = ima;  // a block libavcodec cannot encode, but can decode
  oddBlock.SetBlockAlign(1000);
  oddBlock.SetExtraU16(18, (1000 - 8) * 8 / 8 + 1);
  EXPECT_EQ(open(pcm, oddBlock), ACMERR_NOTPOSSIBLE);
  EXPECT_EQ(open(oddBlock, pcm), MMSYSERR_NOERROR);
  TWaveFormat ownCoefficients = ms;
  ownCoefficients.SetExtraU16(22, 300);
  EXPECT_EQ(open(ownCoefficients, pcm), ACMERR_NOTPOSSIBLE);
  TWaveFormat gsm = Offered(WAVE_FORMAT_GSM610, TWaveFormat::Pcm(1, 22050, 16));
  gsm.SetChannels(2);
  EXPECT_EQ(open(pcm, gsm), ACMERR_NOTPOSSIBLE);
  // A query answers without opening.
  EXPECT_EQ(acmStreamOpen(has, nullptr, pcm, ima, ACM_STREAMOPENF_QUERY), MMSYSERR_NOERROR);
  EXPECT_EQ(has, nullptr);
  // A driver answers only for its own tags.
  HACMDRIVER had = nullptr;
  ASSERT_EQ(acmDriverOpen(had, 5), MMSYSERR_NOERROR);  // MPEG Layer-3
  EXPECT_EQ(acmStreamOpen(has, had, pcm, ima, 0), ACMERR_NOTPOSSIBLE);
  acmDriverClose(had);
}

TEST(AcmStream, MisuseGivesCodesNotCrashes) {
  TWaveFormat pcm = TWaveFormat::Pcm(1, 8000, 16);
  TTestStream s(pcm, Offered(WAVE_FORMAT_ALAW, pcm));
  std::vector<uint8_t> src(1600), dst(1600);
  ACMSTREAMHEADER hdr;
  hdr.pbSrc = src.data();
  hdr.cbSrcLength = 1600;
  hdr.pbDst = dst.data();
  hdr.cbDstLength = 1600;
  EXPECT_EQ(acmStreamConvert(s.Has, hdr, 0), ACMERR_UNPREPARED);
  EXPECT_EQ(acmStreamUnprepareHeader(s.Has, hdr), ACMERR_UNPREPARED);
  ASSERT_EQ(acmStreamPrepareHeader(s.Has, hdr), MMSYSERR_NOERROR);
  EXPECT_EQ(acmStreamConvert(s.Has, hdr, 0x1000), MMSYSERR_INVALFLAG);
  uint32_t size;
  EXPECT_EQ(acmStreamSize(s.Has, 100, size, 1), MMSYSERR_NOTSUPPORTED);
  EXPECT_EQ(acmStreamSize(nullptr, 100, size, 0), MMSYSERR_INVALHANDLE);
  EXPECT_EQ(acmStreamConvert(nullptr, hdr, 0), MMSYSERR_INVALHANDLE);
  EXPECT_EQ(acmStreamClose(nullptr), MMSYSERR_INVALHANDLE);
  // A closed handle is refused without being touched.
  HACMSTREAM closed = nullptr;
  ASSERT_EQ(acmStreamOpen(closed, nullptr, pcm, Offered(WAVE_FORMAT_MULAW, pcm), 0), MMSYSERR_NOERROR);
  ASSERT_EQ(acmStreamClose(closed), MMSYSERR_NOERROR);
  EXPECT_EQ(acmStreamClose(closed), MMSYSERR_INVALHANDLE);
  EXPECT_EQ(acmStreamSize(closed, 100, size, 0), MMSYSERR_INVALHANDLE);
  HACMDRIVER had = nullptr;
  ASSERT_EQ(acmDriverOpen(had, 1), MMSYSERR_NOERROR);
  ASSERT_EQ(acmDriverClose(had), MMSYSERR_NOERROR);
  EXPECT_EQ(acmDriverClose(had), MMSYSERR_INVALHANDLE);
  EXPECT_EQ(acmFormatTagEnum(had, [](HACMDRIVERID, const ACMFORMATTAGDETAILS&, uint32_t) { return true; }, 0),
            MMSYSERR_INVALHANDLE);
  EXPECT_EQ(acmDriverClose(nullptr), MMSYSERR_INVALHANDLE);
  ACMSTREAMHEADER noBuffer;
  noBuffer.cbSrcLength = 10;
  EXPECT_EQ(acmStreamPrepareHeader(s.Has, noBuffer), MMSYSERR_INVALPARAM);
}

TEST(AcmStream, GarbageCodedDataDecodesToSomethingOrNothingButNeverCrashes) {
  std::mt19937 random(7);
  std::vector<uint8_t> garbage(20000);
  for (uint8_t& b : garbage) b = uint8_t(random());
  // Frame-like bytes too: many MPEG sync words with random headers.
  for (size_t i = 0; i + 1 < garbage.size(); i += 97) garbage[i] = 0xFF, garbage[i + 1] = 0xFB;
  TWaveFormat pcm = TWaveFormat::Pcm(2, 44100, 16);
  for (uint16_t tag : {WAVE_FORMAT_IMA_ADPCM, WAVE_FORMAT_ADPCM, WAVE_FORMAT_MPEGLAYER3, WAVE_FORMAT_MULAW}) {
    TTestStream s(Offered(tag, pcm), pcm);
    ASSERT_EQ(s.Open, MMSYSERR_NOERROR);
    uint32_t size = 0;
    ASSERT_EQ(acmStreamSize(s.Has, uint32_t(garbage.size()), size, ACM_STREAMSIZEF_SOURCE), 0u);
    std::vector<uint8_t> out;
    EXPECT_EQ(s.Convert(garbage, 0, garbage.size(), size, ACM_STREAMCONVERTF_END, out), MMSYSERR_NOERROR) << tag;
    EXPECT_EQ(s.Used, garbage.size());
  }
}

TEST(Mp3Frames, LengthFollowsBitRateRateAndPadding) {
  const uint8_t mpeg1[4] = {0xFF, 0xFB, 0x90, 0x00};       // 128 kbit/s, 44100 Hz
  const uint8_t padded[4] = {0xFF, 0xFB, 0x92, 0x00};      // the same, padded
  const uint8_t mpeg25[4] = {0xFF, 0xE3, 0x28, 0x00};      // MPEG-2.5, 16 kbit/s, 8000 Hz (rate index 2)
  const uint8_t layer2[4] = {0xFF, 0xFD, 0x90, 0x00};
  const uint8_t freeFormat[4] = {0xFF, 0xFB, 0x00, 0x00};
  EXPECT_EQ(detail::Mp3FrameLength(mpeg1), 417u);
  EXPECT_EQ(detail::Mp3FrameLength(padded), 418u);
  EXPECT_EQ(detail::Mp3FrameLength(mpeg25), 144u);
  EXPECT_EQ(detail::Mp3FrameLength(layer2), 0u);
  EXPECT_EQ(detail::Mp3FrameLength(freeFormat), 0u);
}

}  // namespace
