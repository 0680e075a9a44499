#pragma once
// What the program sets up before its first window: the fonts the layout
// measures with, the layout service of every score and the importers that
// LoadFromFile uses, and the GIF picture format. Idempotent.

void StartScoreServices();
