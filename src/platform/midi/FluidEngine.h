#pragma once
// One FluidSynth synthesiser with its SoundFont loaded: the sound of the
// built-in device. Short, SysEx and Render are thread-safe among themselves
// (FluidSynth's own API lock); creating, destroying and Reset are not.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/midi/MidiOut.h"

struct _fluid_hashtable_t;
struct _fluid_synth_t;

namespace midi {

class TFluidEngine {
public:
  // FluidSynth's master gain (its default, 0.2, leaves a mezzo-forte line
  // near -40 dBFS): 21 dB above it, a score without dynamics peaks at about
  // -19 dBFS as a solo line and -4 dBFS as a full orchestra, and the output
  // limiter catches what a loud one puts above -1 dBFS.
  static constexpr double Gain = 2.2;

  // Null with Error set when the synthesiser or the SoundFont cannot be had.
  static std::unique_ptr<TFluidEngine> Create(int sampleRate, const std::string& soundFont, TResult& error);
  ~TFluidEngine();
  TFluidEngine(const TFluidEngine&) = delete;
  TFluidEngine& operator=(const TFluidEngine&) = delete;

  int SampleRate() const { return FRate; }
  int Polyphony() const;
  void Short(uint32_t message);
  // Block: F0 .. F7 included.
  void SysEx(const uint8_t* block, size_t length);
  void Render(float* interleaved, int frames);

  // FluidSynth works in blocks of GridFrames: a message takes effect at the
  // next block boundary of what has been rendered, never inside a block.
  static constexpr int GridFrames = 64;
  // Frames rendered since the last boundary.
  int GridPhase() const { return int(FRendered % GridFrames); }
  // Some voice sounds (or rings out).
  bool Sounding() const;
  // Renders to the next boundary and throws that sound away, so that a
  // message sent now takes effect with the next frame rendered. Only for a
  // synthesiser that sounds no voice: what it drops is at most the quiet
  // end of the effects' echo.
  void AlignGrid();
  // Sound off at once (effects too); controllers and programs back to
  // their defaults. It renders a little itself: no Render may run beside it.
  void Reset();

private:
  TFluidEngine(_fluid_hashtable_t* settings, _fluid_synth_t* synth, int rate)
      : FSettings(settings), FSynth(synth), FRate(rate) {}
  _fluid_hashtable_t* FSettings;
  _fluid_synth_t* FSynth;
  int FRate;
  uint64_t FRendered = 0;
};

// Version of the FluidSynth library, major << 8 | minor.
uint32_t FluidVersion();

}  // namespace midi
