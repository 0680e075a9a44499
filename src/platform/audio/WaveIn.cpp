#include "platform/audio/WaveIn.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>

#include "platform/audio/CaptureDevice.h"
#include "platform/audio/CaptureFormat.h"
#include "platform/audio/HandleTable.h"
#include "platform/threads/MainQueue.h"

namespace audio {

namespace {

void Dispatch(HWAVEIN handle, TWaveHdr* header);

class TWaveInput final : public TCaptureConsumer {
public:
  TWaveInput(std::shared_ptr<TCaptureDevice> device, const codec::TWaveFormat& format, TWaveInProc proc)
      : Device(std::move(device)), Proc(std::move(proc)), FConverter(Device->SampleRate(), format) {}

  ~TWaveInput() override {
    if (FStarted) Device->RemoveConsumer(*this);
  }

  bool Ok() const { return FConverter.Ok(); }

  void Captured(const float* stereo, int frames, int64_t) override {
    std::lock_guard<std::mutex> lock(FLock);
    FConverted.clear();
    FConverter.Convert(stereo, frames, FConverted);
    Fill();
  }

  void Add(TWaveHdr& header) {
    std::lock_guard<std::mutex> lock(FLock);
    header.dwBytesRecorded = 0;
    header.dwFlags = (header.dwFlags & ~WHDR_DONE) | WHDR_INQUEUE;
    FQueue.push_back(&header);
  }

  void Start() {
    if (FStarted) return;
    FStarted = true;
    Device->AddConsumer(*this);
  }

  // Stop: the data still in the converter go into the buffer being filled,
  // which comes back unless it is empty. Reset: everything comes back.
  void Halt(bool reset) {
    if (FStarted) Device->RemoveConsumer(*this);
    std::lock_guard<std::mutex> lock(FLock);
    FConverted.clear();
    FConverter.Flush(FConverted);
    if (FStarted && !reset) Fill();
    FStarted = false;
    while (!FQueue.empty() && (reset || FQueue.front()->dwBytesRecorded > 0)) ReturnFront();
  }

  HWAVEIN Handle = 0;  // set before the input starts
  const std::shared_ptr<TCaptureDevice> Device;
  const TWaveInProc Proc;

private:
  // Copies the converted bytes into the queued buffers; the lock is held.
  void Fill() {
    const uint8_t* data = FConverted.data();
    size_t left = FConverted.size();
    while (left > 0 && !FQueue.empty()) {
      TWaveHdr& header = *FQueue.front();
      const size_t n = std::min<size_t>(left, header.dwBufferLength - header.dwBytesRecorded);
      std::memcpy(header.lpData + header.dwBytesRecorded, data, n);
      header.dwBytesRecorded += uint32_t(n);
      data += n;
      left -= n;
      if (header.dwBytesRecorded == header.dwBufferLength) ReturnFront();
    }
  }

  void ReturnFront() {
    TWaveHdr* header = FQueue.front();
    FQueue.pop_front();
    header->dwFlags = (header->dwFlags & ~WHDR_INQUEUE) | WHDR_DONE;
    const HWAVEIN handle = Handle;
    TMainQueue::Instance().Post([handle, header] { Dispatch(handle, header); });
  }

  std::mutex FLock;  // the queue, the converter and the headers in the queue
  TCaptureConverter FConverter;
  std::vector<uint8_t> FConverted;
  std::deque<TWaveHdr*> FQueue;
  bool FStarted = false;  // main thread
};

THandleTable<TWaveInput>& Table() {
  static THandleTable<TWaveInput> table;
  return table;
}

std::shared_ptr<TWaveInput> Find(HWAVEIN handle) { return Table().Find(handle); }

// On the main thread: a closed handle's buffers are not handed back.
void Dispatch(HWAVEIN handle, TWaveHdr* header) {
  auto input = Find(handle);
  if (input && input->Proc) input->Proc(handle, header);
}


int DeviceIndex(int deviceId) { return deviceId == WAVE_MAPPER ? InputDevice() : deviceId; }

}  // namespace

unsigned WaveInGetNumDevs() { return CaptureDeviceCount(); }

MMRESULT WaveInGetDevCaps(int deviceId, TWaveInCaps& caps) {
  auto device = CaptureDevice(DeviceIndex(deviceId));
  if (!device) return MMSYSERR_BADDEVICEID;
  caps.ProductName = CaptureDeviceName(DeviceIndex(deviceId));
  caps.Channels = device->Channels();
  return MMSYSERR_NOERROR;
}

MMRESULT WaveInOpen(HWAVEIN& handle, int deviceId, const codec::TWaveFormat& format, TWaveInProc proc) {
  handle = 0;
  auto device = CaptureDevice(DeviceIndex(deviceId));
  if (!device) return MMSYSERR_BADDEVICEID;
  if (!IsRecordFormat(format)) return WAVERR_BADFORMAT;
  auto input = std::make_shared<TWaveInput>(std::move(device), format, std::move(proc));
  if (!input->Ok()) return WAVERR_BADFORMAT;
  handle = input->Handle = Table().Add(input);
  return MMSYSERR_NOERROR;
}

MMRESULT WaveInClose(HWAVEIN handle) {
  auto input = Table().Remove(handle);
  if (!input) return MMSYSERR_INVALHANDLE;
  input->Halt(true);
  return MMSYSERR_NOERROR;
}

MMRESULT WaveInPrepareHeader(HWAVEIN handle, TWaveHdr& header) {
  if (!Find(handle)) return MMSYSERR_INVALHANDLE;
  if (!header.lpData || header.dwBufferLength == 0) return MMSYSERR_INVALPARAM;
  header.dwFlags |= WHDR_PREPARED;
  return MMSYSERR_NOERROR;
}

MMRESULT WaveInUnprepareHeader(HWAVEIN handle, TWaveHdr& header) {
  if (!Find(handle)) return MMSYSERR_INVALHANDLE;
  if (header.dwFlags & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
  header.dwFlags &= ~WHDR_PREPARED;
  return MMSYSERR_NOERROR;
}

MMRESULT WaveInAddBuffer(HWAVEIN handle, TWaveHdr& header) {
  auto input = Find(handle);
  if (!input) return MMSYSERR_INVALHANDLE;
  if (!(header.dwFlags & WHDR_PREPARED)) return WAVERR_UNPREPARED;
  if (header.dwFlags & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
  input->Add(header);
  return MMSYSERR_NOERROR;
}

MMRESULT WaveInStart(HWAVEIN handle) {
  auto input = Find(handle);
  if (!input) return MMSYSERR_INVALHANDLE;
  input->Start();
  return MMSYSERR_NOERROR;
}

MMRESULT WaveInStop(HWAVEIN handle) {
  auto input = Find(handle);
  if (!input) return MMSYSERR_INVALHANDLE;
  input->Halt(false);
  return MMSYSERR_NOERROR;
}

MMRESULT WaveInReset(HWAVEIN handle) {
  auto input = Find(handle);
  if (!input) return MMSYSERR_INVALHANDLE;
  input->Halt(true);
  return MMSYSERR_NOERROR;
}

}  // namespace audio
