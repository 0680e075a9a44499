#include "platform/audio/Mixer.h"

#include <algorithm>
#include <memory>

#include "platform/audio/CaptureDevice.h"
#include "platform/audio/HandleTable.h"
#include "platform/threads/MainQueue.h"

namespace audio {

namespace {

constexpr uint32_t kWaveInLineId = 0xFFFF0000;  // destination 0
constexpr uint32_t kVolumeId = 1;
constexpr uint32_t kMuteId = 2;

struct TOpenMixer {
  ~TOpenMixer() {
    Device->Unsubscribe(Subscription);
    UnsubscribeDeviceList(ListSubscription);
  }
  std::shared_ptr<TCaptureDevice> Device;
  TMixerProc Proc;
  int Subscription = 0, ListSubscription = 0;
};

THandleTable<TOpenMixer>& Table() {
  static THandleTable<TOpenMixer> table;
  return table;
}

std::shared_ptr<TOpenMixer> Find(HMIXER handle) { return Table().Find(handle); }

// Any thread; the handle hears it on the main thread, unless closed by then.
void Notify(HMIXER handle, uint32_t message, uint32_t id) {
  TMainQueue::Instance().Post([=] {
    auto mixer = Find(handle);
    if (mixer && mixer->Proc) mixer->Proc(handle, message, id);
  });
}

std::vector<TMixerControl> Controls(const TCaptureDevice& device) {
  TMixerControl volume;
  volume.ControlID = kVolumeId;
  volume.ControlType = MIXERCONTROL_CONTROLTYPE_VOLUME;
  volume.Flags = device.Channels() == 1 ? MIXERCONTROL_CONTROLF_UNIFORM : 0;
  volume.Maximum = MaxInputVolume;
  volume.ShortName = volume.Name = "Volume";
  TMixerControl mute;
  mute.ControlID = kMuteId;
  mute.ControlType = MIXERCONTROL_CONTROLTYPE_MUTE;
  mute.Flags = MIXERCONTROL_CONTROLF_UNIFORM;
  mute.Maximum = 1;
  mute.ShortName = mute.Name = "Mute";
  return {volume, mute};
}

// The values count a control takes: 1, or one per channel of a control
// that is not uniform.
bool ValidCount(const TCaptureDevice& device, uint32_t controlId, size_t count) {
  return count == 1 || (controlId == kVolumeId && count == device.Channels());
}

}  // namespace

unsigned MixerGetNumDevs() { return CaptureDeviceCount(); }

MMRESULT MixerGetDevCaps(int mixerId, TMixerCaps& caps) {
  if (!CaptureDevice(mixerId)) return MMSYSERR_BADDEVICEID;
  caps.ProductName = CaptureDeviceName(mixerId);
  caps.Destinations = 1;
  return MMSYSERR_NOERROR;
}

MMRESULT MixerOpen(HMIXER& handle, int mixerId, TMixerProc proc) {
  handle = 0;
  auto device = CaptureDevice(mixerId);
  if (!device) return MMSYSERR_BADDEVICEID;
  auto mixer = std::make_shared<TOpenMixer>();
  mixer->Device = device;
  mixer->Proc = std::move(proc);
  const HMIXER h = handle = Table().Add(mixer);
  mixer->Subscription = device->Subscribe([h](TCaptureControl control) {
    Notify(h, MM_MIXM_CONTROL_CHANGE, control == TCaptureControl::Volume ? kVolumeId : kMuteId);
  });
  // Devices that come or go move the indexes of the others.
  mixer->ListSubscription = SubscribeDeviceList([h] { Notify(h, MM_MIXM_LINE_CHANGE, kWaveInLineId); });
  return MMSYSERR_NOERROR;
}

MMRESULT MixerClose(HMIXER handle) {
  return Table().Remove(handle) ? MMSYSERR_NOERROR : MMSYSERR_INVALHANDLE;
}

MMRESULT MixerGetLineInfoByComponentType(HMIXER handle, uint32_t componentType, TMixerLine& line) {
  auto mixer = Find(handle);
  if (!mixer) return MMSYSERR_INVALHANDLE;
  if (componentType != MIXERLINE_COMPONENTTYPE_DST_WAVEIN) return MIXERR_INVALLINE;
  line = TMixerLine();
  line.LineID = kWaveInLineId;
  line.Flags = MIXERLINE_LINEF_ACTIVE;
  line.ComponentType = MIXERLINE_COMPONENTTYPE_DST_WAVEIN;
  line.Channels = mixer->Device->Channels();
  line.Controls = 2;
  line.ShortName = line.Name = "Recording";
  return MMSYSERR_NOERROR;
}

MMRESULT MixerGetLineControls(HMIXER handle, uint32_t lineId, std::vector<TMixerControl>& controls) {
  auto mixer = Find(handle);
  if (!mixer) return MMSYSERR_INVALHANDLE;
  if (lineId != kWaveInLineId) return MIXERR_INVALLINE;
  controls = Controls(*mixer->Device);
  return MMSYSERR_NOERROR;
}

MMRESULT MixerGetControlDetails(HMIXER handle, uint32_t controlId, uint32_t channels, std::vector<uint32_t>& values) {
  auto mixer = Find(handle);
  if (!mixer) return MMSYSERR_INVALHANDLE;
  const TCaptureDevice& device = *mixer->Device;
  if (controlId != kVolumeId && controlId != kMuteId) return MIXERR_INVALCONTROL;
  if (!ValidCount(device, controlId, channels)) return MMSYSERR_INVALPARAM;
  if (controlId == kMuteId) {
    values.assign(1, device.Muted() ? 1 : 0);
    return MMSYSERR_NOERROR;
  }
  const std::vector<uint16_t> volume = device.Volume();
  values.assign(volume.begin(), volume.begin() + channels);
  return MMSYSERR_NOERROR;
}

MMRESULT MixerSetControlDetails(HMIXER handle, uint32_t controlId, const std::vector<uint32_t>& values) {
  auto mixer = Find(handle);
  if (!mixer) return MMSYSERR_INVALHANDLE;
  TCaptureDevice& device = *mixer->Device;
  if (controlId != kVolumeId && controlId != kMuteId) return MIXERR_INVALCONTROL;
  if (!ValidCount(device, controlId, values.size())) return MMSYSERR_INVALPARAM;
  if (controlId == kMuteId) {
    device.SetMuted(values[0] != 0);
    return MMSYSERR_NOERROR;
  }
  std::vector<uint16_t> volume(device.Channels());
  for (size_t i = 0; i < volume.size(); ++i)
    volume[i] = uint16_t(std::min<uint32_t>(values[std::min(i, values.size() - 1)], MaxInputVolume));
  device.SetVolume(volume);
  return MMSYSERR_NOERROR;
}

}  // namespace audio
