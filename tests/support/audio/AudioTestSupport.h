#pragma once
// Shared pieces of the audio tests: the program's bus pulled by the test
// itself (faster than real time), a chord on the built-in synthesiser, MCI
// calls that must succeed, and what sox reads from a recorded file.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/audio/CaptureDevice.h"
#include "platform/audio/OutputBus.h"
#include "support/codec/CodecTestSupport.h"
#include "platform/midi/MidiOut.h"

namespace audiotest {

// Every test pulls the program's bus by hand and handles the main queue on
// its own thread; the chosen input is "Program output".
class AudioTest : public testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;
  // Frames of the bus in blocks of Block frames, as a sink would pull them;
  // returns the mix (interleaved stereo).
  std::vector<float> Render(size_t frames, size_t block = 441);
  std::vector<float> RenderSeconds(double seconds) { return Render(size_t(seconds * Bus.SampleRate())); }
  // Sends Command and expects it to succeed.
  static void Mci(const std::string& command);
  // Opens "take" and sets its format with the recorder's own command.
  static void OpenTake(uint32_t rate, uint16_t channels, uint16_t bits);

  audio::TOutputBus& Bus = audio::TOutputBus::Instance();
  codectest::TScratchDir Dir;
};

// An organ chord (C4 E4 G4) on the synthesiser, mixed into the bus while
// it lives.
class TChord {
public:
  explicit TChord(audio::TOutputBus& bus);
  ~TChord();

private:
  audio::TOutputBus& FBus;
  midi::THandle FHandle = 0;
};

// A capture device of the test's own, added to the list while it lives:
// 8000 Hz, with the channels given, delivering what the test pushes.
class TFakeInput final : public audio::TCaptureDevice {
public:
  TFakeInput(std::string name, uint16_t channels);
  ~TFakeInput() override;
  std::string Name() const override { return FName; }
  int SampleRate() const override { return 8000; }
  uint16_t Channels() const override { return FChannels; }
  // Delivers Frames frames of Value on both channels.
  void Push(int frames, float value);
  int Id() const;

private:
  const std::string FName;
  const uint16_t FChannels;
  std::shared_ptr<TFakeInput> FSelf;
};

struct TSoxInfo {
  uint32_t Rate = 0, Channels = 0, Bits = 0;
  uint64_t Frames = 0;
  double Rms = 0;  // of all channels, full scale = 1
};
TSoxInfo SoxInfo(const std::string& path);

// The mix as a 16-bit stereo WAVE file at the bus's rate.
void WriteMix(const std::string& path, const std::vector<float>& mix, uint32_t rate);

}  // namespace audiotest
