#pragma once
// The score view that plays an opened file, as the opened file drives it:
// a view made without owner or parent, in real-time style (so that going to
// the start or end and the time queries work on the play position), linked
// to the score; its time functions, Play and Stop, and the MIDI and stop
// events its play thread raises.
//
// The player's view and its play thread are not part of the program yet;
// until they are, CreatePlaybackView gives a stand-in that answers from the
// layout's play order (the total time is the score's running time, the
// position is where the last seek or jump put it) and whose Play starts
// nothing.

#include <memory>

#include "base/Object.h"
#include "score/model/ScoreTypes.h"

class TKVScore;

class TPlaybackView : public TObject {
public:
  // Milliseconds at the tempo scale of 100 %.
  virtual double GetTotalTime() = 0;
  virtual double GetCursorTime() = 0;
  virtual void SeekTime(double Ms) = 0;
  virtual void GotoStart() = 0;
  virtual void GotoEnd() = 0;
  virtual void Play() = 0;
  // Returns once the play thread has ended.
  virtual void Stop() = 0;
  virtual bool Playing() const = 0;

  // Raised from the play thread.
  TECOnPlayShortEvent OnPlayShort;
  TECOnPlayLongEvent OnPlayLong;
  TNotifyEvent OnStopPlay;
};

std::unique_ptr<TPlaybackView> CreatePlaybackView(TKVScore& Score);
