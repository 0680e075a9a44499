#include "media/audio/WaveIn.h"

#include <algorithm>

#include "media/audio/AuException.h"
#include "media/audio/AuFileStream.h"
#include "media/audio/ClipDecoders.h"
#include "media/audio/WaveConverter.h"
#include "platform/codec/Acm.h"
#include "platform/codec/ImaAdpcm.h"

using namespace wavein;

TWaveIn::TWaveIn() : FBuffer(BufferBytes) {}

TWaveIn::~TWaveIn() { CloseFile(); }

void TWaveIn::ReadHeader() {
  FHeader = ReadWaveHeader(*FStream);
  FChan = FHeader.Channels;
  FSR = int32_t(FHeader.SampleRate);
  FBPS = FHeader.Bits;
  FSize = FHeader.DataSize;
}

void TWaveIn::OpenFile() {
  std::lock_guard<std::recursive_mutex> lock(FOpenLock);
  if (FOpened > 0) return;
  FValid = true;
  if (!FStreamAssigned) {
    if (FFileName.empty()) {
      FValid = false;
      return;
    }
    FFile = std::make_unique<TAuFileStream>(FFileName, 0x20);
    FStream = FFile.get();
  }
  ++FOpened;
  ReadHeader();
  const int ch = FHeader.Channels;
  switch (FHeader.Kind) {
    case ImaAdpcm:
    case MsAdpcm: {
      FBPS = 16;
      FSize = int64_t(FHeader.FactSamples) * 2 * ch;
      FBlock.resize(FHeader.BlockAlign);
      // A block that decodes to more than the buffer gets a buffer of its size.
      FBuffer.resize(std::max<size_t>(BufferBytes, size_t(FHeader.SamplesPerBlock) * 2 * ch));
      break;
    }
    case MpegLayer3:
      FValid = ConvertMpeg();
      break;
    case IeeeFloat:
    case ExtensibleFloat:
      if (FHeader.Bits == 64) FSize /= 2;
      FBPS = 32;
      break;
    case Pcm:
    case ExtensiblePcm:
      break;
    default:
      FValid = false;
  }
  if (!FValid) {
    FHeader.Kind = Invalid;
    FSize = 0;
  }
}

bool TWaveIn::ConvertMpeg() {
  TWaveConverter converter;
  if (!converter.LoadFromStream(*FStream)) return false;
  converter.TargetFormat().SetFormatTag(codec::WAVE_FORMAT_PCM);
  if (codec::acmFormatSuggest(nullptr, converter.SourceFormat(), converter.TargetFormat(),
                              codec::ACM_FORMATSUGGESTF_WFORMATTAG) != 0 ||
      converter.Convert() != 0)
    return false;
  auto image = std::make_unique<TMemoryStream>();
  converter.SaveToStream(*image);
  image->SetPosition(0);
  FReplaced = FStream;
  FImage = std::move(image);
  FStream = FImage.get();
  ReadHeader();
  if (FHeader.Kind != Pcm) return false;
  FHeader.Kind = MpegLayer3;
  return true;
}

void TWaveIn::CloseFile() {
  std::lock_guard<std::recursive_mutex> lock(FOpenLock);
  if (FOpened == 0) return;
  if (FImage) {
    FStream = FReplaced;
    FImage.reset();
    FReplaced = nullptr;
  }
  if (FFile) {
    FFile.reset();
    FStream = nullptr;
  } else if (FStream) {
    FStream->SetPosition(0);
  }
  FOpened = 0;
}

uint32_t TWaveIn::Fill() {
  const int ch = FHeader.Channels;
  switch (FHeader.Kind) {
    case Pcm:
    case ExtensiblePcm:
    case MpegLayer3: {
      const uint32_t frame = uint32_t(ch) * (FHeader.Bits / 8);
      return uint32_t(FStream->Read(FBuffer.data(), BufferBytes / frame * frame));
    }
    case IeeeFloat:
    case ExtensibleFloat: {
      const uint32_t unit = uint32_t(ch) * 8;
      const uint32_t got = uint32_t(FStream->Read(FBuffer.data(), BufferBytes / unit * unit));
      const uint32_t sampleBytes = FHeader.Bits / 8;
      return uint32_t(ConvertFloats(FBuffer.data(), got / sampleBytes, FHeader.Bits));
    }
    case ImaAdpcm:
    case MsAdpcm: {
      const size_t got = size_t(FStream->Read(FBlock.data(), FBlock.size()));
      auto* out = reinterpret_cast<int16_t*>(FBuffer.data());
      const size_t frames =
          FHeader.Kind == ImaAdpcm
              ? codec::DecodeImaBlock(FBlock.data(), got, ch, FHeader.SamplesPerBlock, out)
              : DecodeMsAdpcmBlock(FBlock.data(), got, ch, FHeader.SamplesPerBlock, FHeader.Coefficients, out);
      return uint32_t(frames * 2 * ch);
    }
    default:
      return 0;
  }
}

void TWaveIn::GetDataInternal(uint8_t*& buffer, uint32_t& bytes) {
  if (!FBusy) throw EAuException("The Stream is not opened");
  if (FBufStart >= FBufEnd) {
    FBufStart = 0;
    FBufEnd = FValid && FStream ? Fill() : 0;
  }
  const uint32_t frame = std::max<uint32_t>(FFrameSize, 1);
  bytes = std::min(bytes, FBufEnd - FBufStart) / frame * frame;
  buffer = FBuffer.data() + FBufStart;
  FBufStart += bytes;
}

bool TWaveIn::SeekInternal(int64_t& sample) {
  int64_t at;
  switch (FHeader.Kind) {
    case Pcm:
    case ExtensiblePcm:
      at = FHeader.DataOffset + sample * (FHeader.Bits / 8) * FHeader.Channels;
      break;
    case ImaAdpcm:
    case MsAdpcm:
      at = FHeader.DataOffset + sample / FHeader.SamplesPerBlock * FHeader.BlockAlign;
      break;
    default:
      return false;
  }
  FStream->SetPosition(at);
  FBufStart = FBufEnd = 0;
  return true;
}
