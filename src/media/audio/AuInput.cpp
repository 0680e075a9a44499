#include "media/audio/AuInput.h"

#include <cmath>

#include "media/audio/AuException.h"

void TAuInput::Init() {
  std::lock_guard<std::recursive_mutex> lock(FLock);
  FEndReached = false;
  InitInternal();
}

void TAuInput::GetData(uint8_t*& buffer, uint32_t& bytes) {
  std::lock_guard<std::recursive_mutex> lock(FLock);
  GetDataInternal(buffer, bytes);
}

void TAuInput::Flush() {
  std::lock_guard<std::recursive_mutex> lock(FLock);
  FlushInternal();
  FBusy = false;
}

int64_t TAuInput::Position() {
  std::lock_guard<std::recursive_mutex> lock(FLock);
  return FPosition;
}

int64_t TAuInput::Size() {
  std::lock_guard<std::recursive_mutex> lock(FLock);
  return FSize;
}

void TAuStreamedInput::SetStream(TStream* stream) {
  std::lock_guard<std::recursive_mutex> lock(FLock);
  FStream = stream;
  FStreamAssigned = stream != nullptr;
}

void TAuStreamedInput::Account(uint32_t& bytes) {
  FPosition += bytes;
  if (FSize >= 0 && FPosition >= FSize) {
    bytes -= uint32_t(FPosition - FSize);
    FPosition = FSize;
    FEndReached = true;
  }
  if (bytes == 0) FEndReached = true;
}

void TAuStreamedInput::GetData(uint8_t*& buffer, uint32_t& bytes) {
  std::lock_guard<std::recursive_mutex> lock(FLock);
  if (FEndReached) {
    buffer = nullptr;
    bytes = 0;
    return;
  }
  const uint32_t wanted = bytes;
  GetDataInternal(buffer, bytes);
  Account(bytes);
  if (!FEndReached || !Loop) return;
  FEndReached = false;
  if (!FSeekable) {
    Flush();
    Init();
  } else {
    int64_t start = StartSample;
    SeekInternal(start);
    FBufStart = FBufEnd = 0;
  }
  FPosition = 0;
  // The last part of the clip goes out now; the next read starts it again.
  if (bytes > 0) return;
  bytes = wanted;
  GetDataInternal(buffer, bytes);
  Account(bytes);
}

bool TAuStreamedInput::Seek(int64_t sample) {
  if (!FSeekable) return false;
  // The output's thread may be preparing the input, which sets its length:
  // the length is read under the lock that preparing holds.
  std::lock_guard<std::recursive_mutex> lock(FLock);
  const int64_t total = GetTotalSamples();
  if (total >= 0 && sample > total) return false;
  if (FBusy) {
    int64_t at = sample + StartSample;
    SeekInternal(at);
    FBufStart = FBufEnd = 0;
  } else {
    StartSample = sample;
    EndSample = -1;
  }
  FPosition = sample * FFrameSize;
  return true;
}

bool TAuStreamedInput::SetStartTime(int32_t minutes, int32_t seconds) {
  if (!FSeekable) return false;
  std::lock_guard<std::recursive_mutex> lock(FLock);  // as in Seek
  const int64_t total = GetTotalSamples();
  const int64_t sample = (int64_t(minutes) * 60 + seconds) * int64_t(GetSampleRate());
  if (total < 0 || sample > total) return false;
  StartSample = sample;
  return true;
}

int32_t TAuFileIn::GetBitsPerSample() {
  OpenFile();
  return FBPS;
}

int32_t TAuFileIn::GetChannels() {
  OpenFile();
  return FChan;
}

int32_t TAuFileIn::GetSampleRate() {
  OpenFile();
  return FSR;
}

int32_t TAuFileIn::GetTotalTime() {
  OpenFile();
  if (FSR == 0 || FChan == 0 || FBPS < 8 || FSize < 0) return 0;
  return int32_t(std::lround(double(FSize) / (double(FSR) * FChan * (FBPS / 8))));
}

int64_t TAuFileIn::GetTotalSamples() {
  OpenFile();
  const int64_t frame = int64_t(FChan) * (FBPS / 8);
  FTotalSamples = FSize > 0 && frame > 0 ? FSize / frame : -1;
  return FTotalSamples;
}

void TAuFileIn::SetStream(TStream* stream) {
  std::lock_guard<std::recursive_mutex> lock(FLock);
  if (stream != FStream) CloseFile();
  TAuStreamedInput::SetStream(stream);
}

void TAuFileIn::SetFileName(const std::string& name) {
  CloseFile();
  FFileName = name;
}

void TAuFileIn::Flush() {
  TAuStreamedInput::Flush();
  std::lock_guard<std::recursive_mutex> lock(FOpenLock);
  FOpened = 0;
}

void TAuFileIn::InitInternal() {
  if (FBusy) throw EAuException("The component is Busy");
  if (!FStreamAssigned && FFileName.empty()) throw EAuException("The file name is not assigned");
  FBusy = true;
  FPosition = 0;
  try {
    OpenFile();
  } catch (...) {
    FBusy = false;
    throw;
  }
  FFrameSize = uint16_t(FChan * (FBPS / 8));
  // A size that ends inside a frame (a damaged header, an odd decoded
  // length) would cut the last read mid-frame: the part frame is dropped.
  if (FFrameSize > 0 && FSize > 0) FSize -= FSize % FFrameSize;
  const int64_t total = FFrameSize > 0 && FSize > 0 ? FSize / FFrameSize : 0;
  FTotalSamples = total;
  FTime = FSR > 0 ? int32_t(total / FSR) : 0;
  bool moved = true;
  if (StartSample > 0) {
    int64_t start = StartSample;
    moved = SeekInternal(start);
    FPosition = 0;
  }
  // A clip that cannot seek plays whole, from its start to its end.
  if (moved && !(StartSample == 0 && EndSample == -1)) {
    if (EndSample > total) EndSample = -1;
    const int64_t toPlay = EndSample == -1 ? total - StartSample : EndSample - StartSample + 1;
    FTotalSamples = toPlay < 0 ? 0 : toPlay;
    FSize = FTotalSamples * FFrameSize;
  }
  FBufStart = FBufEnd = 0;
}

void TAuFileIn::FlushInternal() {
  CloseFile();
  StartSample = 0;
  EndSample = -1;
  FBusy = false;
}
