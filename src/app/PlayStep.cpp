#include "app/PlayStep.h"

#include "player/Window.h"

void StartViewPlaying(TKVWindow& View) {
  if (View.OnStopPlay) View.OnStopPlay(&View);
}

void StopViewPlaying(TKVWindow&) {}
