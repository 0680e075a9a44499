#pragma once
// Play and Stop of the player view, the one step of the opened file that
// waits for the play thread. Until that thread is part of the program, a
// Play ends at once: the view reports its stop as a score played to its end
// would, so that the window returns to idle; Stop has nothing to end.

class TKVWindow;

void StartViewPlaying(TKVWindow& View);
void StopViewPlaying(TKVWindow& View);
