#include "platform/audio/DirectSound.h"

#include <algorithm>
#include <cstring>

#include "base/LittleEndian.h"
#include "platform/audio/OutputBus.h"

namespace audio {

namespace {

// Source frames converted per read of the ring: about one bus block.
constexpr int kReadFrames = 512;

float SampleAt(const uint8_t* p, int bits) {
  switch (bits) {
    case 8: return (int(p[0]) - 128) / 128.0f;
    case 16: return int16_t(le::load16(p)) / 32768.0f;
    case 24: return float(int32_t(uint32_t(p[0]) << 8 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 24) / 2147483648.0);
    default: return float(int32_t(le::load32(p)) / 2147483648.0);
  }
}

}  // namespace

HRESULT DirectSoundEnumerate(const TDSEnumCallback& callback) {
  callback(TGuid{}, "Program output");
  return DS_OK;
}

bool PcmFormatOk(const codec::TWaveFormat& f) {
  const bool extensible = f.wFormatTag() == WAVE_FORMAT_EXTENSIBLE && f.cbSize() >= 22 && f.ExtraU16(24) == 1;
  const uint16_t bits = f.wBitsPerSample();
  return (f.wFormatTag() == codec::WAVE_FORMAT_PCM || extensible) && f.nChannels() >= 1 && f.nChannels() <= 8 &&
         (bits == 8 || bits == 16 || bits == 24 || bits == 32) && f.nSamplesPerSec() > 0 &&
         f.nBlockAlign() == f.nChannels() * bits / 8;
}

TSoundBuffer::TSoundBuffer(TOutputBus& bus, const codec::TWaveFormat& format, uint32_t bytes)
    : FBus(bus),
      FSize(bytes / format.nBlockAlign() * format.nBlockAlign()),
      FBlockAlign(format.nBlockAlign()),
      FRate(format.nSamplesPerSec()),
      FChannels(format.nChannels()),
      FBits(format.wBitsPerSample()),
      FRing(FSize),
      FStage(FSize),
      FFeed(int(FRate), bus.SampleRate(), FChannels) {}

TSoundBuffer::~TSoundBuffer() { Stop(); }

int TSoundBuffer::SampleRate() const { return FBus.SampleRate(); }

HRESULT TSoundBuffer::Lock(uint32_t offset, uint32_t bytes, uint8_t*& part1, uint32_t& bytes1, uint8_t*& part2,
                           uint32_t& bytes2) {
  if (offset >= FSize || bytes > FSize) return DSERR_INVALIDPARAM;
  std::lock_guard<std::mutex> lock(FLock);
  FLockedAt = offset;
  bytes1 = std::min(bytes, FSize - offset);
  bytes2 = bytes - bytes1;
  part1 = FStage.data() + offset;
  part2 = bytes2 ? FStage.data() : nullptr;
  return DS_OK;
}

HRESULT TSoundBuffer::Unlock(uint8_t* part1, uint32_t bytes1, uint8_t* part2, uint32_t bytes2) {
  std::lock_guard<std::mutex> lock(FLock);
  if (part1) std::memcpy(FRing.data() + FLockedAt, part1, bytes1);
  if (part2) std::memcpy(FRing.data(), part2, bytes2);
  return DS_OK;
}

HRESULT TSoundBuffer::Play(uint32_t) {
  {
    std::lock_guard<std::mutex> lock(FLock);
    if (FPlaying) return DS_OK;
    FPlaying = true;
  }
  FBus.AddSource(*this);
  return DS_OK;
}

HRESULT TSoundBuffer::Stop() {
  {
    std::lock_guard<std::mutex> lock(FLock);
    if (!FPlaying) return DS_OK;
    FPlaying = false;
  }
  FBus.RemoveSource(*this);
  // Playing again goes on from where the cursor stands.
  std::lock_guard<std::mutex> lock(FLock);
  FStart = PlayCursor();
  FTaken = 0;
  FRead = FStart;
  FFeed.Reset();
  return DS_OK;
}

uint32_t TSoundBuffer::PlayCursor() const {
  const uint64_t frames = FTaken * FRate / uint64_t(FBus.SampleRate());
  return uint32_t((FStart + frames % (FSize / FBlockAlign) * FBlockAlign) % FSize);
}

HRESULT TSoundBuffer::GetCurrentPosition(uint32_t& play, uint32_t& write) {
  std::lock_guard<std::mutex> lock(FLock);
  play = PlayCursor();
  write = FPlaying ? FRead : play;
  return DS_OK;
}

HRESULT TSoundBuffer::SetCurrentPosition(uint32_t play) {
  if (play >= FSize) return DSERR_INVALIDPARAM;
  std::lock_guard<std::mutex> lock(FLock);
  FStart = FRead = play / FBlockAlign * FBlockAlign;
  FTaken = 0;
  FFeed.Reset();
  return DS_OK;
}

void TSoundBuffer::ReadAhead(int busFrames) {
  while (FFeed.Pending() < size_t(busFrames)) {
    FFloats.resize(size_t(kReadFrames) * FChannels);
    for (int i = 0; i < kReadFrames; ++i) {
      const uint8_t* frame = FRing.data() + FRead;
      for (int c = 0; c < FChannels; ++c) FFloats[size_t(i) * FChannels + c] = SampleAt(frame + c * (FBits / 8), FBits);
      FRead = (FRead + FBlockAlign) % FSize;
    }
    FFeed.Push(FFloats.data(), kReadFrames);
  }
}

void TSoundBuffer::SetPlayTime(int64_t timeNs) {
  std::lock_guard<std::mutex> lock(FLock);
  FPlayAt = timeNs;
}

void TSoundBuffer::RenderAt(float* out, int frames, int64_t firstFrameNs) {
  std::fill(out, out + size_t(frames) * 2, 0.0f);
  std::lock_guard<std::mutex> lock(FLock);
  if (!FPlaying || FSize == 0) return;
  int lead = 0;
  if (FPlayAt > firstFrameNs && firstFrameNs > 0)
    lead = int(std::min<int64_t>(frames, (FPlayAt - firstFrameNs) * FBus.SampleRate() / 1'000'000'000));
  if (lead == frames) return;
  FPlayAt = 0;
  ReadAhead(frames - lead);
  FTaken += uint64_t(FFeed.Take(out + 2 * lead, frames - lead));
}

HRESULT TDirectSound::SetCooperativeLevel(void*, uint32_t) { return DS_OK; }

HRESULT TDirectSound::SetPrimaryFormat(const codec::TWaveFormat& format) {
  return PcmFormatOk(format) ? DS_OK : DSERR_BADFORMAT;
}

HRESULT TDirectSound::CreateSoundBuffer(const codec::TWaveFormat& format, uint32_t bytes,
                                        std::unique_ptr<TSoundBuffer>& buffer) {
  if (!PcmFormatOk(format) || bytes < format.nBlockAlign()) return DSERR_INVALIDPARAM;
  // A ring of at most a minute at the format's rate.
  if (bytes / format.nBlockAlign() > uint64_t(format.nSamplesPerSec()) * 60) return DSERR_OUTOFMEMORY;
  auto made = std::make_unique<TSoundBuffer>(FBus, format, bytes);
  if (!made->Ok()) return DSERR_BADFORMAT;
  buffer = std::move(made);
  return DS_OK;
}

uint64_t TDirectSound::PerformanceCounter() const { return FBus.FramesRendered(); }
uint64_t TDirectSound::PerformanceFrequency() const { return uint64_t(FBus.SampleRate()); }

HRESULT DirectSoundCreate(const TGuid* guid, std::unique_ptr<TDirectSound>& device, TOutputBus* bus) {
  if (guid && std::any_of(guid->Bytes, guid->Bytes + 16, [](uint8_t b) { return b != 0; })) return DSERR_NODRIVER;
  device = std::make_unique<TDirectSound>(bus ? *bus : TOutputBus::Instance());
  return DS_OK;
}

}  // namespace audio
