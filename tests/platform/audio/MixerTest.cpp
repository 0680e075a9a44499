// Mixers as the record panel reads them: one per capture device, the
// wave-input line and its controls, values clamped, and changes made
// elsewhere arriving on the main thread.

#include <gtest/gtest.h>

#include <thread>

#include "support/audio/AudioTestSupport.h"
#include "platform/audio/Mixer.h"
#include "platform/audio/WaveIn.h"
#include "platform/threads/MainQueue.h"

namespace {

using namespace audio;
using namespace audiotest;

class Mixer : public AudioTest {
protected:
  // What the record panel keeps of a mixer: the IDs of the volume and mute
  // controls and the channels it writes.
  struct TInputLine {
    uint32_t Volume = 0, Mute = 0, Channels = 0;
  };
  static TInputLine ReadLine(HMIXER mixer) {
    TInputLine found;
    TMixerLine line;
    EXPECT_EQ(MixerGetLineInfoByComponentType(mixer, MIXERLINE_COMPONENTTYPE_DST_WAVEIN, line), MMSYSERR_NOERROR);
    std::vector<TMixerControl> controls;
    EXPECT_EQ(MixerGetLineControls(mixer, line.LineID, controls), MMSYSERR_NOERROR);
    EXPECT_EQ(controls.size(), line.Controls);
    for (const TMixerControl& c : controls) {
      if (c.ControlType == MIXERCONTROL_CONTROLTYPE_VOLUME) found.Volume = c.ControlID;
      if (c.ControlType == MIXERCONTROL_CONTROLTYPE_MUTE) found.Mute = c.ControlID;
    }
    found.Channels = !controls.empty() && (controls[0].Flags & MIXERCONTROL_CONTROLF_UNIFORM) ? 1 : line.Channels;
    return found;
  }
};

TEST_F(Mixer, EachCaptureDeviceHasAMixerOfItsNameCutTo32CharactersProgramOutputFirst) {
  TFakeInput input("Mikrofon für Übertragungen und Aufnahmen", 1);
  ASSERT_EQ(MixerGetNumDevs(), WaveInGetNumDevs());
  TMixerCaps caps;
  TWaveInCaps inCaps;
  ASSERT_EQ(MixerGetDevCaps(0, caps), MMSYSERR_NOERROR);
  EXPECT_EQ(caps.ProductName, "Program output");
  ASSERT_EQ(MixerGetDevCaps(input.Id(), caps), MMSYSERR_NOERROR);
  ASSERT_EQ(WaveInGetDevCaps(input.Id(), inCaps), MMSYSERR_NOERROR);
  EXPECT_EQ(caps.ProductName, "Mikrofon für Übertragungen und A");
  EXPECT_EQ(inCaps.ProductName, caps.ProductName);
  EXPECT_EQ(MixerGetDevCaps(int(MixerGetNumDevs()), caps), MMSYSERR_BADDEVICEID);
}

TEST_F(Mixer, TheWaveInputLineHasAVolumePerChannelOrOneForAUniformControl) {
  TFakeInput mono("Mono input", 1);
  for (const auto& [id, channels] : {std::pair{0, 2u}, std::pair{mono.Id(), 1u}}) {
    HMIXER mixer = 0;
    ASSERT_EQ(MixerOpen(mixer, id, {}), MMSYSERR_NOERROR);
    TMixerLine line;
    EXPECT_EQ(MixerGetLineInfoByComponentType(mixer, 4, line), MIXERR_INVALLINE) << "only a wave-input line";
    const TInputLine input = ReadLine(mixer);
    EXPECT_EQ(input.Channels, channels);
    EXPECT_NE(input.Volume, input.Mute);
    std::vector<uint32_t> values;
    ASSERT_EQ(MixerSetControlDetails(mixer, input.Volume, std::vector<uint32_t>(channels, 70000)), MMSYSERR_NOERROR);
    ASSERT_EQ(MixerGetControlDetails(mixer, input.Volume, channels, values), MMSYSERR_NOERROR);
    EXPECT_EQ(values, std::vector<uint32_t>(channels, 65535)) << "clamped";
    EXPECT_EQ(MixerGetControlDetails(mixer, input.Volume, 3, values), MMSYSERR_INVALPARAM);
    EXPECT_EQ(MixerGetControlDetails(mixer, 99, 1, values), MIXERR_INVALCONTROL);
    EXPECT_EQ(MixerClose(mixer), MMSYSERR_NOERROR);
    EXPECT_EQ(MixerGetControlDetails(mixer, input.Volume, 1, values), MMSYSERR_INVALHANDLE);
  }
}

TEST_F(Mixer, StereoVolumesStaySeparateAndOneValueSetsBoth) {
  HMIXER mixer = 0;
  ASSERT_EQ(MixerOpen(mixer, 0, {}), MMSYSERR_NOERROR);
  const TInputLine input = ReadLine(mixer);
  std::vector<uint32_t> values;
  ASSERT_EQ(MixerSetControlDetails(mixer, input.Volume, {5000, 65535}), MMSYSERR_NOERROR);
  ASSERT_EQ(MixerGetControlDetails(mixer, input.Volume, 2, values), MMSYSERR_NOERROR);
  EXPECT_EQ(values, (std::vector<uint32_t>{5000, 65535}));
  ASSERT_EQ(MixerSetControlDetails(mixer, input.Volume, {1234}), MMSYSERR_NOERROR);
  ASSERT_EQ(MixerGetControlDetails(mixer, input.Volume, 2, values), MMSYSERR_NOERROR);
  EXPECT_EQ(values, (std::vector<uint32_t>{1234, 1234}));
  ASSERT_EQ(MixerSetControlDetails(mixer, input.Mute, {1}), MMSYSERR_NOERROR);
  EXPECT_TRUE(CaptureDevice(0)->Muted());
  MixerClose(mixer);
}

TEST_F(Mixer, AVolumeSetElsewhereReachesTheMainThreadAsAControlChange) {
  std::vector<std::pair<uint32_t, uint32_t>> heard;  // message, control
  HMIXER panel = 0, other = 0;
  ASSERT_EQ(MixerOpen(panel, 0,
                      [&](HMIXER mixer, uint32_t message, uint32_t id) {
                        EXPECT_EQ(mixer, panel);
                        EXPECT_TRUE(TMainQueue::Instance().IsMainThread());
                        heard.push_back({message, id});
                      }),
            MMSYSERR_NOERROR);
  ASSERT_EQ(MixerOpen(other, 0, {}), MMSYSERR_NOERROR);
  const TInputLine input = ReadLine(panel);
  // Another mixer handle and another thread (a sound server's notice, say).
  ASSERT_EQ(MixerSetControlDetails(other, input.Volume, {100, 200}), MMSYSERR_NOERROR);
  std::thread([] { CaptureDevice(0)->SetMuted(true); }).join();
  EXPECT_TRUE(heard.empty()) << "only through the main queue";
  TMainQueue::Instance().ProcessPending();
  EXPECT_EQ(heard, (std::vector<std::pair<uint32_t, uint32_t>>{{MM_MIXM_CONTROL_CHANGE, input.Volume},
                                                                {MM_MIXM_CONTROL_CHANGE, input.Mute}}));
  // A handle closed with a notice still queued hears nothing more.
  ASSERT_EQ(MixerSetControlDetails(other, input.Volume, {300, 300}), MMSYSERR_NOERROR);
  ASSERT_EQ(MixerClose(panel), MMSYSERR_NOERROR);
  TMainQueue::Instance().ProcessPending();
  EXPECT_EQ(heard.size(), 2u);
  MixerClose(other);
}

}  // namespace
