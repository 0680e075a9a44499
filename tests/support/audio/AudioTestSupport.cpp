#include "support/audio/AudioTestSupport.h"

#include <cmath>
#include <sstream>
#include <thread>

#include "platform/audio/CaptureDevice.h"
#include "platform/audio/Mci.h"
#include "platform/threads/MainQueue.h"

namespace audiotest {

void AudioTest::SetUp() {
  TMainQueue::Instance().SetMainThread(std::this_thread::get_id());
  TMainQueue::Instance().ProcessPending();
  audio::SetInputDevice(0);
  audio::CaptureDevice(0)->SetVolume({audio::MaxInputVolume, audio::MaxInputVolume});
  audio::CaptureDevice(0)->SetMuted(false);
}

void AudioTest::TearDown() {
  audio::MciSendString("close take");
  TMainQueue::Instance().ProcessPending();
}

std::vector<float> AudioTest::Render(size_t frames, size_t block) {
  std::vector<float> out(frames * 2);
  for (size_t done = 0; done < frames;) {
    const size_t n = std::min(block, frames - done);
    Bus.Render(out.data() + 2 * done, int(n));
    done += n;
  }
  return out;
}

void AudioTest::Mci(const std::string& command) {
  std::string text;
  const audio::MCIERROR code = audio::MciSendString(command);
  audio::MciGetErrorString(code, text);
  ASSERT_EQ(code, 0u) << command << ": " << text;
}

void AudioTest::OpenTake(uint32_t rate, uint16_t channels, uint16_t bits) {
  Mci("OPEN NEW TYPE WAVEAUDIO ALIAS take");
  Mci("SET take TIME FORMAT MS BITSPERSAMPLE " + std::to_string(bits) + " CHANNELS " + std::to_string(channels) +
      " ALIGNMENT " + std::to_string(channels * bits / 8) + " SAMPLESPERSEC " + std::to_string(rate) +
      " BYTESPERSEC " + std::to_string(channels * rate * bits / 8));
}

TChord::TChord(audio::TOutputBus& bus) : FBus(bus) {
  FBus.ConnectSynthesiser();
  EXPECT_EQ(midi::Open(FHandle, 0), midi::MMSYSERR_NOERROR);
  midi::ShortMsg(FHandle, 0xC0 | 19 << 8);  // church organ: it holds its level
  for (uint32_t key : {60u, 64u, 67u}) midi::ShortMsg(FHandle, 0x90 | key << 8 | 100u << 16);
}

TChord::~TChord() {
  midi::Close(FHandle);
  FBus.DisconnectSynthesiser();
}

TFakeInput::TFakeInput(std::string name, uint16_t channels)
    : FName(std::move(name)), FChannels(channels), FSelf(this, [](TFakeInput*) {}) {
  audio::AddCaptureDevice(FSelf);
}

TFakeInput::~TFakeInput() { audio::RemoveCaptureDevice(FSelf); }

void TFakeInput::Push(int frames, float value) {
  const std::vector<float> block(size_t(frames) * 2, value);
  Deliver(block.data(), frames, 0);
}

int TFakeInput::Id() const {
  for (unsigned id = 0; id < audio::CaptureDeviceCount(); ++id)
    if (audio::CaptureDevice(int(id)).get() == this) return int(id);
  return -1;
}

TSoxInfo SoxInfo(const std::string& path) {
  TSoxInfo info;
  auto soxi = [&](const char* option) { return std::stoull("0" + codectest::Run(std::string("soxi ") + option + " " + codectest::Quote(path))); };
  info.Rate = uint32_t(soxi("-r"));
  info.Channels = uint32_t(soxi("-c"));
  info.Bits = uint32_t(soxi("-b"));
  info.Frames = soxi("-s");
  // "sox -n stat" reports on standard error.
  std::istringstream stat(codectest::Run("sox " + codectest::Quote(path) + " -n stat 2>&1"));
  for (std::string line; std::getline(stat, line);)
    if (line.rfind("RMS     amplitude:", 0) == 0) info.Rms = std::stod(line.substr(line.find(':') + 1));
  return info;
}

void WriteMix(const std::string& path, const std::vector<float>& mix, uint32_t rate) {
  std::vector<int16_t> samples(mix.size());
  for (size_t i = 0; i < mix.size(); ++i) samples[i] = int16_t(std::lrint(std::clamp(mix[i], -1.0f, 32767 / 32768.0f) * 32768));
  codectest::WritePcmWave(path, samples, rate, 2, 16);
}

}  // namespace audiotest
