#pragma once
// The program's real font services: text measured with the fonts of the
// project's font map, music-font codes with Emmentaler. Installed once at
// start, before scores are made (each score measures its music font when it
// is created; an existing score takes the new metrics with
// MeasureMusicFont).

// Installs the real text measurer and music-font service. Raises
// musicfont::EMusicFontError, naming the file it looked for, when the music
// font is missing; the services in use are then left as they were.
void InstallFontServices();
