#pragma once
// Clip inputs: components that deliver raw PCM from a file or a stream to
// an output's pump thread. TAuInput keeps the position, size and frame size
// and serialises GetData, Init, Flush and Seek under its lock; the streamed
// input adds the part of the clip to play and looping; the file input opens
// its source when first asked about it (OpenFile of a descendant reads the
// header) and closes it on Flush.

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "base/Streams.h"
#include "score/model/MediaServices.h"

class TAuInput : public TKVAudioInput {
public:
  ~TAuInput() override = default;

  virtual int32_t GetBitsPerSample() { return 0; }
  virtual int32_t GetChannels() { return 0; }
  virtual int32_t GetSampleRate() { return 0; }
  int32_t GetTotalTime() override { return 0; }
  virtual int64_t GetTotalSamples() { return 0; }
  void SetStream(TStream*) override {}

  // Under the lock: the end is not reached, then InitInternal.
  void Init();
  // Up to Bytes bytes of PCM; Buffer points into the input's own buffer,
  // valid until the next call. Bytes 0 (Buffer nil) at the end.
  virtual void GetData(uint8_t*& buffer, uint32_t& bytes);
  // FlushInternal under the lock; the input is no longer busy.
  virtual void Flush();

  bool Busy() const { return FBusy; }
  int64_t Position();
  // Bytes to deliver; -1 when not known.
  int64_t Size();
  uint16_t FrameSize() const { return FFrameSize; }

protected:
  virtual void InitInternal() = 0;
  virtual void FlushInternal() = 0;
  virtual void GetDataInternal(uint8_t*& buffer, uint32_t& bytes) = 0;
  // Positions the source at Sample; false when it cannot.
  virtual bool SeekInternal(int64_t& /*sample*/) { return false; }
  virtual void OpenFile() {}
  virtual void CloseFile() {}

  std::recursive_mutex FLock;
  int64_t FPosition = 0;
  int64_t FSize = -1;
  uint16_t FFrameSize = 0;
  std::atomic<bool> FBusy{false};
  uint32_t FBufStart = 0, FBufEnd = 0;  // the unread part of the internal buffer
  bool FEndReached = false;
};

class TAuStreamedInput : public TAuInput {
public:
  void SetStream(TStream* stream) override;
  void GetData(uint8_t*& buffer, uint32_t& bytes) override;
  // Moves to Sample of the part to play; false when the input cannot seek
  // or Sample lies past a known total.
  bool Seek(int64_t sample);
  // Plays from Minutes:Seconds on; false (nothing changed) when the input
  // cannot seek, its length is not known or the time lies past its end.
  bool SetStartTime(int32_t minutes, int32_t seconds);

  int64_t StartSample = 0;
  int64_t EndSample = -1;  // inclusive; -1 = to the end
  std::atomic<bool> Loop{false};

protected:
  // The position grows by Bytes; a read that reaches a known size (cut to
  // it) or gives nothing ends the data.
  void Account(uint32_t& bytes);

  TStream* FStream = nullptr;
  bool FStreamAssigned = false;
  bool FSeekable = true;
  int64_t FTotalSamples = 0;  // total samples, then the samples to play
};

class TAuFileIn : public TAuStreamedInput {
public:
  int32_t GetBitsPerSample() override;
  int32_t GetChannels() override;
  int32_t GetSampleRate() override;
  int32_t GetTotalTime() override;
  int64_t GetTotalSamples() override;
  void SetStream(TStream* stream) override;
  void Flush() override;
  void SetFileName(const std::string& name);
  const std::string& FileName() const { return FFileName; }
  bool Valid() const { return FValid; }

protected:
  void InitInternal() override;
  void FlushInternal() override;

  std::recursive_mutex FOpenLock;
  std::string FFileName;
  int32_t FOpened = 0;
  bool FValid = false;
  int32_t FBPS = 0, FSR = 0, FChan = 0;
  int32_t FTime = 0;
};
