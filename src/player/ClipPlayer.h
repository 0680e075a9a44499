#pragma once
// What the play thread does with the sound clips (kind 221) of a score. The
// media subsystem plays them; until it installs its player every view uses
// the null player, which plays nothing and reports clips of no length.

#include <cstdint>

class TKVSound;

class TKVClipPlayer {
public:
  virtual ~TKVClipPlayer() = default;
  // The clip's length in whole seconds; 0 when it cannot be played.
  virtual int32_t TotalSeconds(TKVSound& Sound) = 0;
  // Starts the clip's output OffsetSeconds into the clip.
  virtual void Run(TKVSound& Sound, int32_t OffsetSeconds) = 0;
  // Stops the clip's output without waiting for it.
  virtual void Stop(TKVSound& Sound) = 0;
};

TKVClipPlayer& NullClipPlayer();
