#include "media/audio/WaveConverter.h"

#include <vector>

#include "media/audio/WaveHeader.h"
#include "platform/codec/Acm.h"

using namespace codec;

TWaveConverter::TWaveConverter() { acmMetrics(ACM_METRIC_MAX_SIZE_FORMAT, FMaxFormatSize); }

bool TWaveConverter::LoadFromStream(TStream& stream) {
  stream.SetPosition(0);
  const wavein::TWaveHeader h = wavein::ReadWaveHeader(stream);
  if (h.Kind == wavein::Invalid) return false;
  // The format record again, whole, as the codec layer wants it.
  stream.SetPosition(0);
  const std::vector<uint8_t> image = stream.ReadBytes(std::min<int64_t>(stream.GetSize(), wavein::MaxHeaderBytes));
  for (size_t at = 12; at + 8 <= image.size();) {
    const uint32_t size = uint32_t(image[at + 4] | image[at + 5] << 8 | image[at + 6] << 16 | uint32_t(image[at + 7]) << 24);
    if (image[at] == 'f' && image[at + 1] == 'm' && image[at + 2] == 't') {
      if (!FSource.Assign(image.data() + at + 8, std::min<size_t>(size, image.size() - at - 8))) return false;
      break;
    }
    at += 8 + size_t(size) + (size & 1);
  }
  stream.SetPosition(h.DataOffset);
  const int64_t bytes = std::min<int64_t>(h.DataSize, stream.Remaining());
  Clear();
  SetSize(bytes);
  stream.ReadBuffer(Memory(), bytes);
  SetPosition(0);
  return true;
}

uint32_t TWaveConverter::Convert() {
  HACMSTREAM has = nullptr;
  if (MMRESULT r = acmStreamOpen(has, nullptr, FSource, FTarget, ACM_STREAMOPENF_NONREALTIME)) return r;
  uint32_t target = 0;
  MMRESULT r = acmStreamSize(has, uint32_t(GetSize()), target, ACM_STREAMSIZEF_SOURCE);
  if (r == 0 && target > MaxImageBytes) r = MMSYSERR_NOMEM;
  if (r == 0) {
    std::vector<uint8_t> out(target);
    ACMSTREAMHEADER hdr;
    hdr.pbSrc = Memory();
    hdr.cbSrcLength = uint32_t(GetSize());
    hdr.pbDst = out.data();
    hdr.cbDstLength = target;
    r = acmStreamPrepareHeader(has, hdr);
    if (r == 0) r = acmStreamConvert(has, hdr, ACM_STREAMCONVERTF_BLOCKALIGN);
    acmStreamUnprepareHeader(has, hdr);
    if (r == 0) {
      out.resize(hdr.cbDstLengthUsed);
      Clear();
      WriteBytes(out);
    }
  }
  acmStreamClose(has);
  return r;
}

void TWaveConverter::SaveToStream(TStream& stream) {
  const int64_t at = GetPosition();
  const uint32_t dataSize = uint32_t(GetSize());
  stream.WriteString("RIFF");
  stream.WriteU32(36 + dataSize);
  stream.WriteString("WAVEfmt ");
  stream.WriteU32(16);
  stream.WriteBuffer(FTarget.Bytes().data(), 16);
  stream.WriteString("data");
  stream.WriteU32(dataSize);
  stream.WriteBuffer(Memory(), dataSize);
  SetPosition(at);
}
