// The record panel's input devices: the mixers that have a wave-input line,
// the chosen one opened with notifications, and its input volume shown and
// set by the two vertical bars (mixer value = 65535 - bar position, so that
// a bar at the top means full volume).

#include <algorithm>

#include "app/ProgramModule.h"
#include "app/ProgramUnit.h"
#include "app/TakeRecorder.h"
#include "platform/audio/CaptureDevice.h"

namespace {

// Bars run from -127, above the mixer's range.
uint32_t MixerValue(const TECImageTrack* bar) { return uint32_t(std::clamp(65535 - bar->Position(), 0, 65535)); }

}  // namespace

void TFProgramModule::FillInputDevices() {
  CBInputDevices->Items().Clear();
  for (unsigned id = 0; id < audio::MixerGetNumDevs(); ++id) {
    audio::TMixerCaps caps;
    audio::HMIXER mixer = 0;
    if (audio::MixerGetDevCaps(int(id), caps) != 0 || audio::MixerOpen(mixer, int(id), {}) != 0) continue;
    audio::TMixerLine line;
    if (audio::MixerGetLineInfoByComponentType(mixer, audio::MIXERLINE_COMPONENTTYPE_DST_WAVEIN, line) == 0)
      CBInputDevices->Items().AddTagged(caps.ProductName, id);
    audio::MixerClose(mixer);
  }
}

void TFProgramModule::CBInputDevicesChange() {
  const int index = CBInputDevices->ItemIndex();
  // The take recorded from the input before stays the take.
  WriteSettings([&](forms::TIniFile& ini) { ini.WriteInteger("Record", "InputDevice", index); });
  if (FMixer) audio::MixerClose(FMixer);
  FMixer = 0;
  if (index < 0) {
    UpdateActions();
    return;
  }
  const int id = int(CBInputDevices->Items().Tags(index));
  // The level monitor and the take record from the device of this mixer.
  audio::SetInputDevice(id);
  auto notify = [this](audio::HMIXER, uint32_t message, uint32_t control) {
    if (message == audio::MM_MIXM_LINE_CHANGE ||
        (message == audio::MM_MIXM_CONTROL_CHANGE && control == FVolumeControlID))
      ReadInputVolume();
  };
  if (audio::MixerOpen(FMixer, id, notify) != 0) FMixer = 0;
  audio::TMixerLine line;
  std::vector<audio::TMixerControl> controls;
  if (FMixer && audio::MixerGetLineInfoByComponentType(FMixer, audio::MIXERLINE_COMPONENTTYPE_DST_WAVEIN, line) == 0 &&
      audio::MixerGetLineControls(FMixer, line.LineID, controls) == 0) {
    for (const audio::TMixerControl& control : controls) {
      if (control.ControlType == audio::MIXERCONTROL_CONTROLTYPE_VOLUME) FVolumeControlID = control.ControlID;
      if (control.ControlType == audio::MIXERCONTROL_CONTROLTYPE_MUTE) FMuteControlID = control.ControlID;
    }
    FMixerChannels =
        !controls.empty() && (controls.front().Flags & audio::MIXERCONTROL_CONTROLF_UNIFORM) ? 1 : line.Channels;
  }
  ReadInputVolume();
  FillCompressions();
  UpdateActions();
}

void TFProgramModule::ReadInputVolume() {
  std::vector<uint32_t> values;
  if (!FMixer || audio::MixerGetControlDetails(FMixer, FVolumeControlID, FMixerChannels, values) != 0 ||
      values.empty())
    return;
  // Moving the bars here must not write the volume back channel by channel.
  const bool updating = FUpdating;
  FUpdating = true;
  TBLeftVolume->SetPosition(65535 - int(values[0]));
  TBRightVolume->SetPosition(FMixerChannels >= 2 && values.size() >= 2 ? 65535 - int(values[1])
                                                                      : TBLeftVolume->Position());
  ShowChannelBars();
  FUpdating = updating;
}

void TFProgramModule::WriteInputVolume() {
  if (FUpdating || !FMixer) return;
  FUpdating = true;
  // In mono the one bar shown sets both channels of the line, which the
  // take mixes into one.
  std::vector<uint32_t> values{MixerValue(TBLeftVolume)};
  if (FMixerChannels >= 2) values.push_back(TBRightVolume->Visible() ? MixerValue(TBRightVolume) : values[0]);
  FLastResult = audio::MixerSetControlDetails(FMixer, FVolumeControlID, values);
  FUpdating = false;
}

void TFProgramModule::ShowChannelBars() {
  const bool stereo = CBChannels->Checked();
  PRightVolume->SetVisible(stereo);
  TBRightVolume->SetVisible(stereo && FMixerChannels >= 2);
}
