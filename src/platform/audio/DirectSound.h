#pragma once
// The sound-clip device: DirectSound's calls as the clip output makes them,
// on the output bus. One device, "Program output", whose secondary buffer
// is a looping ring of PCM (8, 16, 24 or 32 bits, 1 to 8 channels, plain
// or WAVE_FORMAT_EXTENSIBLE) that the bus pulls as one of its sources while
// it plays, so that clips are heard and recorded by the "Program output"
// capture device. The play cursor moves by the clip frames the bus has
// taken; the write cursor stands where the bus has read up to, about one
// bus block ahead. The performance counter counts the bus's frames: it
// runs at real time while a sink plays the bus and with the pulls when a
// test pulls it.

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/audio/BusFeed.h"
#include "platform/codec/WaveFormat.h"
#include "platform/midi/SampleSource.h"

namespace audio {

class TOutputBus;

using HRESULT = int32_t;
constexpr HRESULT DS_OK = 0;
constexpr HRESULT DSERR_INVALIDPARAM = HRESULT(0x80070057);
constexpr HRESULT DSERR_NODRIVER = HRESULT(0x88780078);
constexpr HRESULT DSERR_BADFORMAT = HRESULT(0x88780064);
constexpr HRESULT DSERR_OUTOFMEMORY = HRESULT(0x8007000E);

constexpr uint32_t DSSCL_EXCLUSIVE = 3;
constexpr uint32_t DSBCAPS_PRIMARYBUFFER = 0x1;
constexpr uint32_t DSBPLAY_LOOPING = 0x1;
constexpr uint16_t WAVE_FORMAT_EXTENSIBLE = 0xFFFE;

struct TGuid {
  uint8_t Bytes[16] = {};
};

// Called once per device until it returns false.
using TDSEnumCallback = std::function<bool(const TGuid& guid, const std::string& description)>;
HRESULT DirectSoundEnumerate(const TDSEnumCallback& callback);

// The channels, rate and bits of a plain PCM or extensible PCM record;
// false for any other record.
bool PcmFormatOk(const codec::TWaveFormat& format);

class TSoundBuffer final : public midi::TSampleSource {
public:
  TSoundBuffer(TOutputBus& bus, const codec::TWaveFormat& format, uint32_t bytes);
  ~TSoundBuffer() override;

  // Two parts of the ring from Offset, the second where it wraps. The bytes
  // given to fill go into the ring on Unlock.
  HRESULT Lock(uint32_t offset, uint32_t bytes, uint8_t*& part1, uint32_t& bytes1, uint8_t*& part2,
               uint32_t& bytes2);
  HRESULT Unlock(uint8_t* part1, uint32_t bytes1, uint8_t* part2, uint32_t bytes2);
  HRESULT Play(uint32_t flags);
  HRESULT Stop();
  HRESULT GetCurrentPosition(uint32_t& play, uint32_t& write);
  HRESULT SetCurrentPosition(uint32_t play);
  // The next Play sounds from the bus frame that stands for TimeNs on the
  // monotonic clock (when a sink plays the bus and that is still to come),
  // so that a clip keeps time with the synthesiser's timed messages.
  void SetPlayTime(int64_t timeNs);

  bool Ok() const { return FFeed.Ok(); }
  int SampleRate() const override;
  void Render(float* out, int frames) override { RenderAt(out, frames, 0); }
  void RenderAt(float* out, int frames, int64_t firstFrameNs) override;

private:
  void ReadAhead(int busFrames);
  uint32_t PlayCursor() const;

  TOutputBus& FBus;
  const uint32_t FSize, FBlockAlign, FRate;
  const uint16_t FChannels, FBits;
  std::mutex FLock;
  std::vector<uint8_t> FRing, FStage;
  uint32_t FLockedAt = 0;
  std::vector<float> FFloats;
  TBusFeed FFeed;
  bool FPlaying = false;
  uint32_t FStart = 0;       // the play cursor at Play or SetCurrentPosition
  uint64_t FTaken = 0;       // bus frames taken since
  uint32_t FRead = 0;        // ring bytes converted so far (the write cursor)
  int64_t FPlayAt = 0;       // ns; 0: at once
};

class TDirectSound {
public:
  explicit TDirectSound(TOutputBus& bus) : FBus(bus) {}
  HRESULT SetCooperativeLevel(void* window, uint32_t level);
  // The primary buffer's format: any PCM record the secondary takes.
  HRESULT SetPrimaryFormat(const codec::TWaveFormat& format);
  HRESULT CreateSoundBuffer(const codec::TWaveFormat& format, uint32_t bytes, std::unique_ptr<TSoundBuffer>& buffer);
  uint64_t PerformanceCounter() const;
  uint64_t PerformanceFrequency() const;

private:
  TOutputBus& FBus;
};

// The device of Guid (the zero GUID: "Program output") on Bus (the
// program's when nil).
HRESULT DirectSoundCreate(const TGuid* guid, std::unique_ptr<TDirectSound>& device, TOutputBus* bus = nullptr);

}  // namespace audio
