#pragma once
// What the program sets up before its first window: the fonts the layout
// measures with, the layout service of every score and the importers that
// LoadFromFile uses, the GIF picture format, and the media services that
// play the sound clips. Idempotent.

void StartScoreServices();
