#include "platform/midi/FluidEngine.h"

#include <fluidsynth.h>

#include <mutex>

namespace midi {

namespace {

// FluidSynth chats on stderr about SoundFont details; keep only errors.
void QuietFluidLog() {
  static std::once_flag once;
  std::call_once(once, [] {
    fluid_set_log_function(FLUID_WARN, nullptr, nullptr);
    fluid_set_log_function(FLUID_INFO, nullptr, nullptr);
    fluid_set_log_function(FLUID_DBG, nullptr, nullptr);
  });
}

}  // namespace

uint32_t FluidVersion() {
  int major = 0, minor = 0, micro = 0;
  fluid_version(&major, &minor, &micro);
  return uint32_t(major) << 8 | uint32_t(minor & 0xFF);
}

std::unique_ptr<TFluidEngine> TFluidEngine::Create(int sampleRate, const std::string& soundFont, TResult& error) {
  QuietFluidLog();
  if (soundFont.empty()) {
    error = MIDIERR_NOSOUNDFONT;
    return nullptr;
  }
  fluid_settings_t* settings = new_fluid_settings();
  if (!settings) {
    error = MMSYSERR_NOMEM;
    return nullptr;
  }
  fluid_settings_setnum(settings, "synth.sample-rate", double(sampleRate));
  fluid_settings_setnum(settings, "synth.gain", Gain);
  // Sends come from the play thread while the audio thread renders.
  fluid_settings_setint(settings, "synth.threadsafe-api", 1);
  fluid_synth_t* synth = new_fluid_synth(settings);
  if (!synth) {
    delete_fluid_settings(settings);
    error = MMSYSERR_NOMEM;
    return nullptr;
  }
  if (fluid_synth_sfload(synth, soundFont.c_str(), 1) == FLUID_FAILED) {
    delete_fluid_synth(synth);
    delete_fluid_settings(settings);
    error = MIDIERR_NOSOUNDFONT;
    return nullptr;
  }
  double rate = sampleRate;
  fluid_settings_getnum(settings, "synth.sample-rate", &rate);
  error = MMSYSERR_NOERROR;
  return std::unique_ptr<TFluidEngine>(new TFluidEngine(settings, synth, int(rate)));
}

TFluidEngine::~TFluidEngine() {
  delete_fluid_synth(FSynth);
  delete_fluid_settings(FSettings);
}

int TFluidEngine::Polyphony() const { return fluid_synth_get_polyphony(FSynth); }

void TFluidEngine::Short(uint32_t message) {
  const int status = int(message & 0xFF);
  const int d1 = int(message >> 8) & 0x7F;
  const int d2 = int(message >> 16) & 0x7F;
  const int channel = status & 0x0F;
  // FluidSynth's results (for example no preset on a channel) are not the
  // sender's concern: a sound module takes every message silently.
  switch (status & 0xF0) {
    case 0x80: fluid_synth_noteoff(FSynth, channel, d1); break;
    case 0x90:
      if (d2) fluid_synth_noteon(FSynth, channel, d1, d2);
      else fluid_synth_noteoff(FSynth, channel, d1);
      break;
    case 0xA0: fluid_synth_key_pressure(FSynth, channel, d1, d2); break;
    case 0xB0: fluid_synth_cc(FSynth, channel, d1, d2); break;
    case 0xC0: fluid_synth_program_change(FSynth, channel, d1); break;
    case 0xD0: fluid_synth_channel_pressure(FSynth, channel, d1); break;
    case 0xE0: fluid_synth_pitch_bend(FSynth, channel, d1 | d2 << 7); break;
    default:
      if (status == 0xFF) fluid_synth_system_reset(FSynth);
      break;
  }
}

void TFluidEngine::SysEx(const uint8_t* block, size_t length) {
  if (length < 2 || length - 2 > size_t(INT32_MAX)) return;
  fluid_synth_sysex(FSynth, reinterpret_cast<const char*>(block + 1), int(length - 2), nullptr, nullptr, nullptr, 0);
}

void TFluidEngine::Render(float* interleaved, int frames) {
  if (frames <= 0) return;
  fluid_synth_write_float(FSynth, frames, interleaved, 0, 2, interleaved, 1, 2);
  FRendered += uint64_t(frames);
}

bool TFluidEngine::Sounding() const { return fluid_synth_get_active_voice_count(FSynth) > 0; }

void TFluidEngine::AlignGrid() {
  const int phase = GridPhase();
  if (phase == 0) return;
  float scratch[2 * GridFrames];
  Render(scratch, GridFrames - phase);
}

void TFluidEngine::Reset() {
  // FluidSynth queues voice events until the next render and drops what
  // does not fit; after a flood of messages the reset itself could be lost.
  // One short render first empties the queue (its sound goes nowhere).
  float scratch[2 * GridFrames];
  Render(scratch, GridFrames);
  // The reset puts channels and effects back but lets voices release; the
  // sounds-off after it cuts them (in that order: a reset after the cut
  // would let them ring on).
  fluid_synth_system_reset(FSynth);
  fluid_synth_all_sounds_off(FSynth, -1);
}

}  // namespace midi
