#include "platform/midi/AlsaPorts.h"

#include <alsa/asoundlib.h>
#include <unistd.h>

#include <mutex>
#include <string>

#include "platform/midi/MidiStream.h"

namespace midi {

namespace {

// ALSA prints its errors on stderr unless a handler takes them; a missing
// sequencer is an ordinary state here, not worth a line. (The handler must
// be a real variadic function.)
void IgnoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

void QuietAlsa() {
  static std::once_flag once;
  std::call_once(once, [] { snd_lib_error_set_handler(IgnoreAlsaError); });
}

class TAlsaPort final : public TOutputDevice {
public:
  TAlsaPort(std::string name, int client, int port) : FName(std::move(name)), FClient(client), FPort(port) {}
  ~TAlsaPort() override { Release(); }

  TMidiOutCaps Caps() override {
    TMidiOutCaps caps;
    caps.DriverVersion = uint32_t(SND_LIB_MAJOR) << 8 | uint32_t(SND_LIB_MINOR);
    caps.ProductName = FName;
    caps.Technology = MOD_MIDIPORT;
    caps.ChannelMask = 0xFFFF;
    return caps;
  }

  TResult Open() override {
    std::lock_guard<std::mutex> guard(FLock);
    QuietAlsa();
    if (snd_seq_open(&FSeq, "default", SND_SEQ_OPEN_OUTPUT, 0) < 0) {
      FSeq = nullptr;
      return MIDIERR_NODEVICE;
    }
    snd_seq_set_client_name(FSeq, "Sonarid");
    FOwnPort = snd_seq_create_simple_port(FSeq, "Sonarid output", SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ,
                                          SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
    if (FOwnPort < 0 || snd_seq_connect_to(FSeq, FOwnPort, FClient, FPort) < 0 ||
        snd_midi_event_new(16, &FEncoder) < 0) {
      ReleaseLocked();
      return MIDIERR_NODEVICE;
    }
    return MMSYSERR_NOERROR;
  }

  void Close() override {
    std::lock_guard<std::mutex> guard(FLock);
    // Release the sustain pedal and end every note, as a reset would.
    for (uint8_t channel = 0; channel < 16; ++channel) {
      const uint8_t pedalUp[3] = {uint8_t(0xB0 | channel), 64, 0};
      const uint8_t notesOff[3] = {uint8_t(0xB0 | channel), 123, 0};
      Encode(pedalUp, 3);
      Encode(notesOff, 3);
    }
    ReleaseLocked();
  }

  TResult Short(uint32_t message, int64_t) override {
    const uint8_t bytes[3] = {uint8_t(message), uint8_t(message >> 8), uint8_t(message >> 16)};
    const int length = MidiDataLength(bytes[0]) + 1;
    if (length < 1) return MMSYSERR_INVALPARAM;
    std::lock_guard<std::mutex> guard(FLock);
    return Encode(bytes, length);
  }

  TResult Long(const uint8_t* data, size_t length, int64_t) override {
    std::lock_guard<std::mutex> guard(FLock);
    TResult result = MMSYSERR_NOERROR;
    auto keep = [&result](TResult r) { if (result == MMSYSERR_NOERROR) result = r; };
    SplitMidiStream(data, length,
                    {[&](uint32_t m) {
                       const uint8_t bytes[3] = {uint8_t(m), uint8_t(m >> 8), uint8_t(m >> 16)};
                       keep(Encode(bytes, MidiDataLength(bytes[0]) + 1));
                     },
                     [&](const uint8_t* block, size_t n) {
                       snd_seq_event_t ev;
                       snd_seq_ev_clear(&ev);
                       snd_seq_ev_set_sysex(&ev, unsigned(n), const_cast<uint8_t*>(block));
                       keep(Send(ev));
                     }});
    return result;
  }

private:
  TResult Encode(const uint8_t* bytes, int length) {
    if (!FSeq) return MMSYSERR_INVALHANDLE;
    snd_seq_event_t ev;
    snd_seq_ev_clear(&ev);
    snd_midi_event_reset_encode(FEncoder);
    if (snd_midi_event_encode(FEncoder, bytes, length, &ev) < 0) return MMSYSERR_INVALPARAM;
    if (ev.type == SND_SEQ_EVENT_NONE) return MMSYSERR_NOERROR;
    return Send(ev);
  }

  TResult Send(snd_seq_event_t& ev) {
    if (!FSeq) return MMSYSERR_INVALHANDLE;
    snd_seq_ev_set_source(&ev, FOwnPort);
    snd_seq_ev_set_subs(&ev);
    snd_seq_ev_set_direct(&ev);
    return snd_seq_event_output_direct(FSeq, &ev) < 0 ? MMSYSERR_ERROR : MMSYSERR_NOERROR;
  }

  void Release() {
    std::lock_guard<std::mutex> guard(FLock);
    ReleaseLocked();
  }

  void ReleaseLocked() {
    if (FEncoder) snd_midi_event_free(FEncoder);
    if (FSeq) snd_seq_close(FSeq);
    FEncoder = nullptr;
    FSeq = nullptr;
    FOwnPort = -1;
  }

  const std::string FName;
  const int FClient, FPort;
  std::mutex FLock;  // a sequencer handle serves one thread at a time
  snd_seq_t* FSeq = nullptr;
  snd_midi_event_t* FEncoder = nullptr;
  int FOwnPort = -1;
};

}  // namespace

std::vector<std::shared_ptr<TOutputDevice>> ListAlsaPorts() {
  std::vector<std::shared_ptr<TOutputDevice>> ports;
  if (access("/dev/snd", F_OK) != 0) return ports;
  QuietAlsa();
  snd_seq_t* seq = nullptr;
  if (snd_seq_open(&seq, "default", SND_SEQ_OPEN_OUTPUT, SND_SEQ_NONBLOCK) < 0) return ports;
  const int self = snd_seq_client_id(seq);
  snd_seq_client_info_t* client;
  snd_seq_port_info_t* port;
  snd_seq_client_info_alloca(&client);
  snd_seq_port_info_alloca(&port);
  snd_seq_client_info_set_client(client, -1);
  const unsigned wanted = SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE;
  while (snd_seq_query_next_client(seq, client) >= 0) {
    const int id = snd_seq_client_info_get_client(client);
    if (id == SND_SEQ_CLIENT_SYSTEM || id == self) continue;
    snd_seq_port_info_set_client(port, id);
    snd_seq_port_info_set_port(port, -1);
    while (snd_seq_query_next_port(seq, port) >= 0) {
      const unsigned caps = snd_seq_port_info_get_capability(port);
      if ((caps & wanted) != wanted || (caps & SND_SEQ_PORT_CAP_NO_EXPORT)) continue;
      std::string name = std::string(snd_seq_client_info_get_name(client)) + ":" + snd_seq_port_info_get_name(port);
      ports.push_back(std::make_shared<TAlsaPort>(std::move(name), id, snd_seq_port_info_get_port(port)));
    }
  }
  snd_seq_close(seq);
  return ports;
}

}  // namespace midi
