#pragma once
// Capture devices: where recorded sound comes from. Each delivers float
// stereo blocks at its own rate to the consumers attached to it (the MCI
// recorder and wave-input handles, each converting to its own format) and
// carries an input volume per channel and a mute switch, which the mixer of
// the same index shows. Device 0, "Program output", is a sample-exact
// loopback of the output bus whose volume is a gain; other backends add
// devices of their own behind it.
//
// The device chosen for input (SetInputDevice, the mixer index the user
// picked) is the one that WAVE_MAPPER and "OPEN NEW TYPE WAVEAUDIO" record
// from, so that the level monitor and the take hear the same source.

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace audio {

class TOutputBus;

// Runs on the device's capture thread; must not block for long.
class TCaptureConsumer {
public:
  virtual ~TCaptureConsumer() = default;
  // FirstFrameNs: the monotonic time (SendTime.h) the block's first frame
  // stands for, the frames after it following at the device's rate; to the
  // frame for "Program output" under a sink, by the stream's own count for
  // a sound server's source; 0 when the device keeps no time.
  virtual void Captured(const float* stereo, int frames, int64_t firstFrameNs) = 0;
  // The device is gone for good (its sound server went away or dropped
  // it): nothing more arrives. Once, on any thread.
  virtual void CaptureLost() {}
};

enum class TCaptureControl { Volume, Mute };

constexpr uint16_t MaxInputVolume = 65535;

class TCaptureDevice {
public:
  virtual ~TCaptureDevice() = default;
  virtual std::string Name() const = 0;
  // Frames per second of the blocks the device delivers.
  virtual int SampleRate() const = 0;
  // Channels of its input line (and of its volume control).
  virtual uint16_t Channels() const { return 2; }

  // Input volume, one value per channel; a device with its own volume
  // (a sound server's source) overrides these to pass changes on, and
  // keeps the values here up to date.
  virtual std::vector<uint16_t> Volume() const;
  virtual void SetVolume(const std::vector<uint16_t>& values);
  virtual bool Muted() const;
  virtual void SetMuted(bool muted);

  // Any thread but the capture thread. Remove returns after the consumer's
  // last delivery. A consumer added to a lost device hears so at once.
  void AddConsumer(TCaptureConsumer& consumer);
  void RemoveConsumer(TCaptureConsumer& consumer);

  // Listeners hear of every change of the volume or the mute switch, made
  // through any mixer handle or outside the program, on the thread that
  // made it. Returns a token for Unsubscribe.
  using TControlListener = std::function<void(TCaptureControl control)>;
  int Subscribe(TControlListener listener);
  void Unsubscribe(int token);

protected:
  // Hands a block to every consumer; the capture thread.
  void Deliver(const float* stereo, int frames, int64_t firstFrameNs);
  void ControlChanged(TCaptureControl control);
  // The device is gone for good: every consumer, now or later, hears it.
  void Lose();
  // The first consumer arrived or the last one left; a device that streams
  // from a server starts or stops its stream here.
  virtual void ConsumersChanged(bool /*any*/) {}
  // Before a consumer leaves: a device whose blocks arrive late (from a
  // server) waits a little for those recorded up to now, so that a take
  // stopped now holds them.
  virtual void CatchUp() {}

private:
  // Keeps ConsumersChanged calls in the order of the changes; the capture
  // thread never takes it (ConsumersChanged may wait for that thread).
  std::mutex FChangeLock;
  std::mutex FConsumerLock;  // held for a whole delivery
  std::vector<TCaptureConsumer*> FConsumers;
  std::atomic<bool> FLost{false};
  mutable std::mutex FStateLock;
  std::vector<uint16_t> FVolume;  // empty: full volume on every channel
  bool FMuted = false;
  std::map<int, TControlListener> FListeners;
  int FNextToken = 1;
};

// The list of capture devices; device 0 is "Program output", made on the
// first call, followed by the sources of the default sound server when one
// answers (PulseBackend.h). Names are cut to 32 characters.
unsigned CaptureDeviceCount();
std::shared_ptr<TCaptureDevice> CaptureDevice(int id);
std::string CaptureDeviceName(int id);
// Adds a device at the end and returns its id; removing one moves the ids
// after it down by one.
int AddCaptureDevice(std::shared_ptr<TCaptureDevice> device);
void RemoveCaptureDevice(const std::shared_ptr<TCaptureDevice>& device);
// Listeners hear that devices came or went, on the thread that changed the
// list (a sound server's thread for its sources). Returns a token.
int SubscribeDeviceList(std::function<void()> listener);
void UnsubscribeDeviceList(int token);

// The device chosen for input (0 until set); an id outside the list leaves
// the choice without a device.
void SetInputDevice(int id);
int InputDevice();

extern const char* const ProgramOutputName;

}  // namespace audio
